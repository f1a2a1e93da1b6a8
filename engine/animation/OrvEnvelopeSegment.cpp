#include "animation/OrvEnvelopeSegment.h"

OrvEnvelopeSegment::OrvEnvelopeSegment(Kind segmentKind, unsigned int segmentStart,
                                       unsigned int segmentDuration)
    : start(segmentStart), duration(segmentDuration), kind(segmentKind), values{0, 0, 0, 0},
      item(nullptr) {}

OrvEnvelopeSegment OrvEnvelopeSegment::Hold(unsigned int start, double value) {
    // One millisecond, so a later item may start right after it and one at the same start
    // replaces it.
    OrvEnvelopeSegment segment(Kind::Hold, start, 1);
    segment.values[0] = value;
    return segment;
}

OrvEnvelopeSegment OrvEnvelopeSegment::Linear(unsigned int start, unsigned int duration,
                                              double from, double to) {
    // Never 0 ms, so the slope is always finite.
    OrvEnvelopeSegment segment(Kind::Linear, start, duration == 0 ? 1 : duration);
    segment.values[0] = from;
    segment.values[1] = to;
    segment.values[2] = FadeSlope(from, to, segment.duration);
    return segment;
}

OrvEnvelopeSegment OrvEnvelopeSegment::CatmullRom(unsigned int start, unsigned int duration,
                                                  double p0, double p1, double p2, double p3) {
    OrvEnvelopeSegment segment(Kind::CatmullRom, start, duration == 0 ? 1 : duration);
    segment.values[0] = p0;
    segment.values[1] = p1;
    segment.values[2] = p2;
    segment.values[3] = p3;
    return segment;
}

OrvEnvelopeSegment OrvEnvelopeSegment::Ease(unsigned int start, unsigned int duration, double from,
                                            double to, bool smooth) {
    OrvEnvelopeSegment segment(smooth ? Kind::Smooth : Kind::Ramp, start,
                               duration == 0 ? 1 : duration);
    segment.values[0] = from;
    segment.values[1] = to;
    return segment;
}

OrvEnvelopeSegment OrvEnvelopeSegment::ForItem(IOrvParameterEnvelopeItem& item) {
    OrvEnvelopeSegment segment(Kind::Item, item.Start(), item.Duration());
    segment.item = &item;
    return segment;
}
