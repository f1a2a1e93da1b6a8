#ifndef ORV_ANIMATION_ORVENVELOPESEGMENT_H
#define ORV_ANIMATION_ORVENVELOPESEGMENT_H

// One envelope item as a plain copyable record, so that an envelope can keep its items side
// by side in one array and evaluate the common kinds with no call through a pointer.
//
// A hold, a linear fade and a Catmull-Rom segment are described completely by their span and
// a few numbers. Any other item (a random one, which keeps state and draws from the shared
// generator, or a kind the engine does not know) is referred to and asked through its
// Value(); the record never owns it.
//
// The formulas of holds, fades and splines live here and nowhere else: OrvParameterHold,
// OrvParameterLinear and OrvParameterCatmullRomSpline answer through a record of their own,
// so an item and the envelope's copy of it give the same bits.
//
// Value(time), like an item's, is asked only for times at or after start. It allocates
// nothing and reads nothing but the record (and, for Kind::Item, the item).

#include "animation/IOrvParameterEnvelopeItem.h"

class OrvEnvelopeSegment {
public:
    enum class Kind : unsigned char { Hold, Linear, CatmullRom, Item, Smooth, Ramp };

    static OrvEnvelopeSegment Hold(unsigned int start, double value);
    // A duration of 0 is taken as 1 ms, as in the items.
    static OrvEnvelopeSegment Linear(unsigned int start, unsigned int duration, double from,
                                     double to);
    static OrvEnvelopeSegment CatmullRom(unsigned int start, unsigned int duration, double p0,
                                         double p1, double p2, double p3);
    // An ease from `from` to `to`: smooth follows t²(3 − 2t), ramp t², with t the elapsed part
    // of the duration (0 taken as 1 ms); exactly `to` from the end on.
    static OrvEnvelopeSegment Ease(unsigned int start, unsigned int duration, double from,
                                   double to, bool smooth);
    // The ease's value `elapsed` ms after its start: the one formula for eased keys, used by
    // the envelopes and by the sync tracks alike, so both give the same bits.
    static double EaseValue(bool smooth, double from, double to, unsigned int elapsed,
                            unsigned int duration) {
        if (elapsed >= duration)
            return to;
        double t = static_cast<double>(elapsed) / duration;
        double shape = smooth ? t * t * (3.0 - 2.0 * t) : t * t;
        return from + (to - from) * shape;
    }
    // Refers to `item` with its span; whoever keeps the record decides who owns the item.
    static OrvEnvelopeSegment ForItem(IOrvParameterEnvelopeItem& item);

    // A fade's change per millisecond, and its value `elapsed` ms after its start (before its
    // end). Envelopes that keep a fade in pieces compute it with these, so every way of
    // keeping a fade gives the same bits.
    static double FadeSlope(double from, double to, unsigned int duration) {
        return (to - from) / duration;
    }
    static double FadeValue(double from, double slope, unsigned int elapsed) {
        return from + slope * elapsed;
    }

    double Value(unsigned int time) const {
        switch (kind) {
        case Kind::Hold:
            return values[0];
        case Kind::Linear:
            return LinearValue(time);
        case Kind::CatmullRom:
            return CatmullRomValue(time);
        case Kind::Smooth:
        case Kind::Ramp:
            return EaseValue(kind == Kind::Smooth, values[0], values[1], time - start, duration);
        case Kind::Item:
            break;
        }
        return item->Value(time);
    }

    unsigned int start;
    unsigned int duration;
    Kind kind;
    // Hold: the value. Linear: from, to, and the change per millisecond. CatmullRom: p0 to p3.
    // Smooth, Ramp: from and to.
    double values[4];
    IOrvParameterEnvelopeItem* item; // Kind::Item only, else null; never owned

private:
    OrvEnvelopeSegment(Kind kind, unsigned int start, unsigned int duration);

    double LinearValue(unsigned int time) const {
        unsigned int elapsed = time - start;
        // Exactly `to` from the end on, rather than from + slope * duration with its rounding.
        if (elapsed < duration)
            return FadeValue(values[0], values[2], elapsed);
        return values[1];
    }

    // p1 at start, p2 at the end and ever after; p0 and p3 set the tangents.
    double CatmullRomValue(unsigned int time) const {
        const double p0 = values[0], p1 = values[1], p2 = values[2], p3 = values[3];
        double u = static_cast<double>(time - start) / duration;
        if (u > 1.0)
            u = 1.0; // past the end the segment rests on p2
        double u2 = u * u;
        double u3 = u2 * u;
        return 0.5 * (2.0 * p1 + (p2 - p0) * u + (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3) * u2 +
                      (-p0 + 3.0 * p1 - 3.0 * p2 + p3) * u3);
    }
};

#endif
