#pragma once
// A 4 x 4 transform in doubles, stored row by row (element [r][c] is number
// 4r + c), used with row vectors: a point is (x, y, z, 1) * M, the fourth row
// holds the translation and A * B applies A first, then B.

#include "engine/CVector.h"

namespace Orvel {

class CMatrix {
public:
    // Every element 0 except [3][3] = 1. This is not the identity.
    CMatrix();

    static CMatrix Identity();
    // Z(c) * Y(-b) * X(a): turns about z by c first, then about y, then about x
    // by a. Rotation(0, 0, c) takes the x axis towards the y axis for c > 0.
    static CMatrix Rotation(double a, double b, double c);
    // The identity with the fourth row (v.x, v.y, v.z, 1).
    static CMatrix Translation(const CVector& v);

    CMatrix operator*(const CMatrix& other) const;

    // Sixteen floats in the same row-major order, each rounded to single
    // precision: what the device receives.
    void ToD3DMatrix(float out[16]) const;

    // Transforms the point p as the row vector (p, 1), without the division by w.
    CVector TransformPoint(const CVector& p) const;

    double m[4][4];
};

} // namespace Orvel
