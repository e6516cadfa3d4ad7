#include <gtest/gtest.h>

#include <cmath>

#include "engine/CMatrix.h"
#include "engine/CVector.h"
#include "tests/tlib/MessageOf.h"

namespace {

using Orvel::CMatrix;
using Orvel::CVector;

void ExpectNear(const CVector& v, double x, double y, double z)
{
    EXPECT_NEAR(v.x, x, 1e-12);
    EXPECT_NEAR(v.y, y, 1e-12);
    EXPECT_NEAR(v.z, z, 1e-12);
}

void ExpectMatrixNear(const CMatrix& a, const CMatrix& b)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a.m[i / 4][i % 4], b.m[i / 4][i % 4], 1e-12) << "element " << i;
}

// Row vectors, the translation in the fourth row, A * B applying A first, the
// turn about z and the device's float layout are pinned by the world
// matrices the game hands the device (tests/play). Here: the default matrix,
// the turns about x and y, and the order of the three turns.
TEST(Matrix, TheDefaultIsZeroAndRotationsTurnAboutZThenYThenX)
{
    ExpectNear(CMatrix().TransformPoint(CVector(5, -7, 9)), 0, 0, 0); // not the identity
    const double t = 0.3, a = 0.7, b = -0.4, c = 1.9;
    ExpectNear(CMatrix::Rotation(t, 0, 0).TransformPoint(CVector(0, 1, 0)), 0, std::cos(t), std::sin(t));
    ExpectNear(CMatrix::Rotation(0, t, 0).TransformPoint(CVector(1, 0, 0)), std::cos(t), 0, std::sin(t));
    CMatrix r = CMatrix::Rotation(a, b, c);
    ExpectMatrixNear(r, CMatrix::Rotation(0, 0, c) * CMatrix::Rotation(0, b, 0) * CMatrix::Rotation(a, 0, 0));
    // Each turn is a rotation: the turns back undo it.
    ExpectMatrixNear(r * CMatrix::Rotation(-a, 0, 0) * CMatrix::Rotation(0, -b, 0) * CMatrix::Rotation(0, 0, -c),
                     CMatrix::Identity());
}

TEST(Vector, NormaliseKeepsDirectionAndRaisesOnZero)
{
    CVector v(3, 4, 0);
    ExpectNear(v.Normalise(), 0.6, 0.8, 0);
    ExpectNear(v, 3, 4, 0);
    ExpectNear(CVector(0, 0, -1e-100).Normalise(), 0, 0, -1);
    EXPECT_EQ(MessageOf([] { CVector(0, 0, 0).Normalise(); }), "CVector::Normalise() - Vector has length 0");
}

} // namespace
