#include <gtest/gtest.h>

#include <cmath>

#include "engine/CMatrix.h"
#include "engine/CVector.h"
#include "tlib/TException.h"

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

// Conventions: row vectors, translation in the fourth row, A * B applies A first.
TEST(Matrix, TranslationAndProductConventions)
{
    ExpectNear(CMatrix().TransformPoint(CVector(5, -7, 9)), 0, 0, 0); // the default is not the identity
    CMatrix t = CMatrix::Translation(CVector(1, 2, 3));
    ExpectNear(t.TransformPoint(CVector(-1, 1, 10)), 0, 3, 13);
    ExpectMatrixNear(t * CMatrix::Translation(CVector(-4, 0.5, 7)), CMatrix::Translation(CVector(-3, 2.5, 10)));
    // A model turns to its heading, then moves to its position.
    CMatrix world = CMatrix::Rotation(0, 0, M_PI / 2) * CMatrix::Translation(CVector(10, 20, 0));
    ExpectNear(world.TransformPoint(CVector(0, 0, 0)), 10, 20, 0);
    ExpectNear(world.TransformPoint(CVector(1, 0, 0)), 10, 21, 0);
}

TEST(Matrix, RotationsTurnTheAxesThisWayAboutZThenYThenX)
{
    const double t = 0.3, a = 0.7, b = -0.4, c = 1.9;
    ExpectNear(CMatrix::Rotation(0, 0, t).TransformPoint(CVector(1, 0, 0)), std::cos(t), std::sin(t), 0);
    ExpectNear(CMatrix::Rotation(t, 0, 0).TransformPoint(CVector(0, 1, 0)), 0, std::cos(t), std::sin(t));
    ExpectNear(CMatrix::Rotation(0, t, 0).TransformPoint(CVector(1, 0, 0)), std::cos(t), 0, std::sin(t));
    ExpectNear(CMatrix::Rotation(0, 0, 1.1).TransformPoint(CVector(0, 0, 2)), 0, 0, 2);
    CMatrix r = CMatrix::Rotation(a, b, c);
    CMatrix composed = CMatrix::Rotation(0, 0, c) * CMatrix::Rotation(0, b, 0) * CMatrix::Rotation(a, 0, 0);
    ExpectMatrixNear(r, composed);
    CMatrix reversed = CMatrix::Rotation(a, 0, 0) * CMatrix::Rotation(0, b, 0) * CMatrix::Rotation(0, 0, c);
    EXPECT_GT(std::fabs(reversed.m[0][1] - r.m[0][1]) + std::fabs(reversed.m[1][2] - r.m[1][2]), 1e-3);
    CMatrix undo = CMatrix::Rotation(-a, 0, 0) * CMatrix::Rotation(0, -b, 0) * CMatrix::Rotation(0, 0, -c);
    ExpectMatrixNear(r * undo, CMatrix::Identity());
}

TEST(Matrix, DeviceMatrixIsRowMajorInFloats)
{
    CMatrix m = CMatrix::Translation(CVector(1, 2, 3));
    m.m[2][1] = 0.1;
    float out[16];
    m.ToD3DMatrix(out);
    EXPECT_EQ(out[12], 1.0f);
    EXPECT_EQ(out[14], 3.0f);
    EXPECT_EQ(out[9], 0.1f);
    EXPECT_EQ(out[3], 0.0f);
}

TEST(Vector, NormaliseKeepsDirectionAndRaisesOnZero)
{
    CVector v(3, 4, 0);
    ExpectNear(v.Normalise(), 0.6, 0.8, 0);
    ExpectNear(v, 3, 4, 0);
    ExpectNear(CVector(0, 0, -1e-100).Normalise(), 0, 0, -1);
    try {
        CVector(0, 0, 0).Normalise();
        FAIL();
    } catch (tlib::TException& e) {
        EXPECT_STREQ(e.Message(), "CVector::Normalise() - Vector has length 0");
    }
}

} // namespace
