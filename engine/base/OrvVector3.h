#ifndef ORV_BASE_ORVVECTOR3_H
#define ORV_BASE_ORVVECTOR3_H

// Three doubles, copied by value, used for positions, directions, angles and scales.
// The DoGl* operations multiply onto OpenGL's current matrix and need a current context.

class OrvVector3 {
public:
    double x;
    double y;
    double z;

    OrvVector3();
    OrvVector3(double x, double y, double z);

    void Set(double x, double y, double z);

    OrvVector3 operator+(const OrvVector3& v) const;
    OrvVector3 operator-(const OrvVector3& v) const;
    OrvVector3 operator*(double s) const;
    // These change this vector and return a copy of it, not a reference.
    OrvVector3 operator+=(const OrvVector3& v);
    OrvVector3 operator*=(double s);

    OrvVector3 CrossProduct(const OrvVector3& v) const;
    double Length() const;
    // A zero vector has no direction: its normal is the zero vector (never NaN).
    OrvVector3 Normal() const;
    void Normalize();

    // Angles in degrees about X, then Y, then Z, multiplied onto the current matrix in that
    // order, so a vertex drawn afterwards turns about Z first.
    void DoGlRotate() const;
    void DoGlTranslate() const;
    void DoGlScale() const;
};

#endif
