#include "animation/OrvSampledCurve.h"

#include <utility>

OrvSampledCurve::OrvSampledCurve() : step(10) {}

void OrvSampledCurve::Assign(std::vector<float> values, unsigned stepMs) {
    samples = std::move(values);
    step = stepMs > 0 ? stepMs : 1;
}
