#ifndef ORV_SCENE_ORV3DSFACENORMAL_H
#define ORV_SCENE_ORV3DSFACENORMAL_H

// The unit normal of one triangle of a 3DS mesh, for the faces whose normal lib3ds gets
// wrong. Used by Orv3dsFileReader before corner normals are summed from the face normals.
//
// Why: lib3ds works a face's normal out in float, so the cross product of a face whose
// coordinates lie beyond about 1e19 overflows (infinite components, then NaN once
// normalised), and beyond about 1e9 the squared length overflows (the normal shrinks to
// zero). Here the same normal is worked out in double, where the largest float coordinates
// give products far inside the range: every finite triangle gets a finite unit normal. A
// face without area (its corners on one line or one point) has no direction; it gets
// (1, 0, 0), the normal lib3ds gives such a face.
//
// Plain arithmetic on three floats per point; owns nothing and keeps nothing.

class Orv3dsFaceNormal {
public:
    // True when the three floats are finite and of unit length (within float rounding).
    static bool IsUnit(const float* normal);
    // Writes the unit normal of the triangle a, b, c, oriented as lib3ds orients it:
    // (c - b) x (a - b). The points must be finite.
    static void Compute(const float* a, const float* b, const float* c, float* normal);
};

#endif
