#pragma once
// A point or direction in 3D, in world units (doubles, z up).

namespace Orvel {

class CVector {
public:
    // x and y are set to 0 as well (callers assign them before reading anyway).
    CVector() : x(0.0), y(0.0), z(0.0) {}
    CVector(double ax, double ay, double az) : x(ax), y(ay), z(az) {}

    CVector& operator+=(const CVector& other)
    {
        x += other.x;
        y += other.y;
        z += other.z;
        return *this;
    }
    CVector operator-() const { return CVector(-x, -y, -z); }

    // A new vector of length 1 in the same direction; raises TException
    // "CVector::Normalise() - Vector has length 0" for the zero vector.
    CVector Normalise() const;

    double x, y, z;
};

} // namespace Orvel
