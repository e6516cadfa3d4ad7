#include "engine/CMatrix.h"

#include <cmath>

namespace Orvel {

CMatrix::CMatrix() : m{}
{
    m[3][3] = 1.0;
}

CMatrix CMatrix::Identity()
{
    CMatrix r;
    r.m[0][0] = r.m[1][1] = r.m[2][2] = 1.0;
    return r;
}

CMatrix CMatrix::Rotation(double a, double b, double c)
{
    const double ca = std::cos(a), sa = std::sin(a);
    const double cb = std::cos(b), sb = std::sin(b);
    const double cc = std::cos(c), sc = std::sin(c);
    CMatrix r;
    r.m[0][0] = cb * cc;
    r.m[0][1] = ca * sc - sa * sb * cc;
    r.m[0][2] = ca * sb * cc + sa * sc;
    r.m[1][0] = -cb * sc;
    r.m[1][1] = ca * cc + sa * sb * sc;
    r.m[1][2] = sa * cc - ca * sb * sc;
    r.m[2][0] = -sb;
    r.m[2][1] = -sa * cb;
    r.m[2][2] = ca * cb;
    return r;
}

CMatrix CMatrix::Translation(const CVector& v)
{
    CMatrix r = Identity();
    r.m[3][0] = v.x;
    r.m[3][1] = v.y;
    r.m[3][2] = v.z;
    return r;
}

CMatrix CMatrix::operator*(const CMatrix& o) const
{
    CMatrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j] + m[i][3] * o.m[3][j];
    return r;
}

void CMatrix::ToD3DMatrix(float out[16]) const
{
    for (int i = 0; i < 16; ++i)
        out[i] = static_cast<float>(m[i / 4][i % 4]);
}

CVector CMatrix::TransformPoint(const CVector& p) const
{
    return CVector(p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                   p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                   p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]);
}

} // namespace Orvel
