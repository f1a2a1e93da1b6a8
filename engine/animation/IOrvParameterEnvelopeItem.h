#ifndef ORV_ANIMATION_IORVPARAMETERENVELOPEITEM_H
#define ORV_ANIMATION_IORVPARAMETERENVELOPEITEM_H

// One stretch of a parameter's timeline: it begins at start (milliseconds from the start of
// the show) and covers start up to start + duration. Items are created on the heap and, once
// an envelope accepts one, owned by that envelope.
//
// Value(time) is asked only for times at or after start; past the end an item keeps
// answering (a gap, or the time after the last item) with whatever its kind gives there.

class IOrvParameterEnvelopeItem {
public:
    virtual double Value(unsigned int time) = 0;
    virtual ~IOrvParameterEnvelopeItem();

    unsigned int Start() const { return start; }
    unsigned int Duration() const { return duration; }

protected:
    IOrvParameterEnvelopeItem(unsigned int start, unsigned int duration);

    unsigned int start;
    unsigned int duration;
};

#endif
