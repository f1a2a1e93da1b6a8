#ifndef ORV_ANIMATION_IORVPARAMETERSOURCE_H
#define ORV_ANIMATION_IORVPARAMETERSOURCE_H

// A stage of the frame that sets parameters from the frame's position alone: the timeline
// (the parameter manager's envelopes) first, then any later source in the order the show was
// given them, so a later one takes over the parameters it sets (a sync editor's tracks, the
// music's analysis). Sources set values; they never draw and never allocate per frame.

class IOrvParameterSource {
public:
    virtual void ApplyAt(unsigned position) = 0;

protected:
    ~IOrvParameterSource() {}
};

#endif
