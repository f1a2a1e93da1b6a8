#include "scene/Orv3dsFaceNormal.h"

#include <cmath>

bool Orv3dsFaceNormal::IsUnit(const float* normal) {
    double squared = 0;
    for (int axis = 0; axis < 3; ++axis) {
        if (!std::isfinite(normal[axis]))
            return false;
        squared += double(normal[axis]) * double(normal[axis]);
    }
    return std::fabs(squared - 1.0) < 1e-4;
}

void Orv3dsFaceNormal::Compute(const float* a, const float* b, const float* c, float* normal) {
    double p[3];
    double q[3];
    for (int axis = 0; axis < 3; ++axis) {
        p[axis] = double(c[axis]) - double(b[axis]);
        q[axis] = double(a[axis]) - double(b[axis]);
    }
    // Differences of floats stay below 7e38 and above 1e-45 apart from 0, so the products
    // and their squares (at most about 1e156, at least about 1e-180) fit a double.
    double n[3] = {p[1] * q[2] - p[2] * q[1], p[2] * q[0] - p[0] * q[2], p[0] * q[1] - p[1] * q[0]};
    double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0)) {
        normal[0] = 1.0f;
        normal[1] = 0.0f;
        normal[2] = 0.0f;
        return;
    }
    for (int axis = 0; axis < 3; ++axis)
        normal[axis] = static_cast<float>(n[axis] / length);
}
