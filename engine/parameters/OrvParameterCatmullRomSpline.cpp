#include "parameters/OrvParameterCatmullRomSpline.h"

OrvParameterCatmullRomSpline::OrvParameterCatmullRomSpline(unsigned int itemStart,
                                                           unsigned int itemDuration, double c0,
                                                           double c1, double c2, double c3)
    : IOrvParameterEnvelopeItem(itemStart, itemDuration == 0 ? 1 : itemDuration), p0(c0), p1(c1),
      p2(c2), p3(c3) {}

double OrvParameterCatmullRomSpline::Value(unsigned int time) {
    double u = static_cast<double>(time - start) / duration;
    if (u > 1.0)
        u = 1.0; // past the end the segment rests on p2
    double u2 = u * u;
    double u3 = u2 * u;
    return 0.5 * (2.0 * p1 + (p2 - p0) * u + (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3) * u2 +
                  (-p0 + 3.0 * p1 - 3.0 * p2 + p3) * u3);
}
