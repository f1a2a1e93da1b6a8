#include "base/OrvVector3.h"

#include <cmath>
#include <epoxy/gl.h>

OrvVector3::OrvVector3() : x(0), y(0), z(0) {}

OrvVector3::OrvVector3(double x, double y, double z) : x(x), y(y), z(z) {}

void OrvVector3::Set(double newX, double newY, double newZ) {
    x = newX;
    y = newY;
    z = newZ;
}

OrvVector3 OrvVector3::operator+(const OrvVector3& v) const {
    return OrvVector3(x + v.x, y + v.y, z + v.z);
}

OrvVector3 OrvVector3::operator-(const OrvVector3& v) const {
    return OrvVector3(x - v.x, y - v.y, z - v.z);
}

OrvVector3 OrvVector3::operator*(double s) const {
    return OrvVector3(x * s, y * s, z * s);
}

OrvVector3 OrvVector3::operator+=(const OrvVector3& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

OrvVector3 OrvVector3::operator*=(double s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

OrvVector3 OrvVector3::CrossProduct(const OrvVector3& v) const {
    return OrvVector3(y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x);
}

double OrvVector3::Length() const {
    return std::sqrt(x * x + y * y + z * z);
}

OrvVector3 OrvVector3::Normal() const {
    OrvVector3 copy(*this);
    copy.Normalize();
    return copy;
}

void OrvVector3::Normalize() {
    double length = Length();
    // No usable direction: the zero vector stays zero instead of turning into NaN.
    if (length == 0.0)
        return;
    x /= length;
    y /= length;
    z /= length;
}

void OrvVector3::DoGlRotate() const {
    glRotated(x, 1, 0, 0);
    glRotated(y, 0, 1, 0);
    glRotated(z, 0, 0, 1);
}

void OrvVector3::DoGlTranslate() const {
    glTranslated(x, y, z);
}

void OrvVector3::DoGlScale() const {
    glScaled(x, y, z);
}
