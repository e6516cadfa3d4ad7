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

void ExpectMatrixNear(const CMatrix& a, const CMatrix& b, double tolerance = 1e-12)
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(a.m[r][c], b.m[r][c], tolerance) << "element [" << r << "][" << c << "]";
}

// A matrix whose elements are all distinct, so a transposed or reversed
// product cannot pass by accident.
CMatrix Sample(double base)
{
    CMatrix m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m.m[r][c] = base + r * 4 + c * 0.5 + r * c * 0.25;
    return m;
}

TEST(Matrix, DefaultSendsEveryPointToTheOrigin)
{
    CMatrix m;
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m.m[i / 4][i % 4], i == 15 ? 1.0 : 0.0);
    ExpectNear(m.TransformPoint(CVector(5, -7, 9)), 0, 0, 0);
}

TEST(Matrix, ProductIsRowsTimesColumns)
{
    CMatrix a = Sample(1), b = Sample(-3);
    CMatrix p = a * b;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            EXPECT_DOUBLE_EQ(p.m[i][j], sum);
        }
    ExpectMatrixNear(CMatrix::Identity() * a, a, 0);
    ExpectMatrixNear(a * CMatrix::Identity(), a, 0);
}

TEST(Matrix, TranslationMovesByTheFourthRow)
{
    CMatrix t = CMatrix::Translation(CVector(1, 2, 3));
    ExpectNear(t.TransformPoint(CVector(0, 0, 0)), 1, 2, 3);
    ExpectNear(t.TransformPoint(CVector(-1, 1, 10)), 0, 3, 13);
    EXPECT_EQ(t.m[3][0], 1.0);
    EXPECT_EQ(t.m[3][2], 3.0);
    EXPECT_EQ(t.m[0][3], 0.0);

    CVector v(1, 2, 3), w(-4, 0.5, 7);
    CVector sum = v;
    sum += w;
    ExpectMatrixNear(CMatrix::Translation(v) * CMatrix::Translation(w), CMatrix::Translation(sum));
    ExpectMatrixNear(CMatrix::Translation(v) * CMatrix::Translation(-v), CMatrix::Identity());
}

TEST(Matrix, RotationsTurnTheAxesThisWay)
{
    const double t = 0.3;
    ExpectNear(CMatrix::Rotation(0, 0, t).TransformPoint(CVector(1, 0, 0)), std::cos(t), std::sin(t), 0);
    ExpectNear(CMatrix::Rotation(t, 0, 0).TransformPoint(CVector(0, 1, 0)), 0, std::cos(t), std::sin(t));
    ExpectNear(CMatrix::Rotation(0, t, 0).TransformPoint(CVector(1, 0, 0)), std::cos(t), 0, std::sin(t));
    // A quarter turn about z takes x to y; z is the vertical axis and stays.
    ExpectNear(CMatrix::Rotation(0, 0, M_PI / 2).TransformPoint(CVector(1, 0, 0)), 0, 1, 0);
    ExpectNear(CMatrix::Rotation(0, 0, 1.1).TransformPoint(CVector(0, 0, 2)), 0, 0, 2);
    ExpectMatrixNear(CMatrix::Rotation(0, 0, 0), CMatrix::Identity(), 0);
}

TEST(Matrix, RotationTurnsAboutZThenYThenX)
{
    const double a = 0.7, b = -0.4, c = 1.9;
    CMatrix composed = CMatrix::Rotation(0, 0, c) * CMatrix::Rotation(0, b, 0) * CMatrix::Rotation(a, 0, 0);
    ExpectMatrixNear(CMatrix::Rotation(a, b, c), composed);
    // Not the reverse order.
    CMatrix reversed = CMatrix::Rotation(a, 0, 0) * CMatrix::Rotation(0, b, 0) * CMatrix::Rotation(0, 0, c);
    EXPECT_GT(std::fabs(reversed.m[0][1] - composed.m[0][1]) + std::fabs(reversed.m[1][2] - composed.m[1][2]),
              1e-3);

    // Rotations keep lengths and the inverse turn undoes them.
    CMatrix r = CMatrix::Rotation(a, b, c);
    CVector p = r.TransformPoint(CVector(3, 4, 12));
    EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 13.0, 1e-12);
    CMatrix undo = CMatrix::Rotation(-a, 0, 0) * CMatrix::Rotation(0, -b, 0) * CMatrix::Rotation(0, 0, -c);
    ExpectMatrixNear(r * undo, CMatrix::Identity());
}

TEST(Matrix, ModelTransformTurnsThenMoves)
{
    // Rotation(0, 0, heading) * Translation(position): the model's own x axis
    // points along the heading, and its origin lands at the position.
    CMatrix world = CMatrix::Rotation(0, 0, M_PI / 2) * CMatrix::Translation(CVector(10, 20, 0));
    ExpectNear(world.TransformPoint(CVector(0, 0, 0)), 10, 20, 0);
    ExpectNear(world.TransformPoint(CVector(1, 0, 0)), 10, 21, 0);
}

TEST(Matrix, DeviceMatrixRoundsEachElementToFloat)
{
    CMatrix m = Sample(0.1);
    m.m[2][1] = 0.1;
    m.m[0][3] = 1e300;
    float out[16];
    m.ToD3DMatrix(out);
    for (int i = 0; i < 16; ++i) {
        if (i == 3)
            continue;
        EXPECT_EQ(out[i], static_cast<float>(m.m[i / 4][i % 4])) << "element " << i;
    }
    EXPECT_EQ(out[9], 0.1f);
    EXPECT_TRUE(std::isinf(out[3]));
}

TEST(Vector, NormaliseKeepsDirectionAndLeavesTheSource)
{
    CVector v(3, 4, 0);
    ExpectNear(v.Normalise(), 0.6, 0.8, 0);
    ExpectNear(v, 3, 4, 0);
    CVector tiny(0, 0, -1e-100);
    ExpectNear(tiny.Normalise(), 0, 0, -1);
}

TEST(Vector, NormaliseOfZeroRaises)
{
    try {
        CVector(0, 0, 0).Normalise();
        FAIL();
    } catch (tlib::TException& e) {
        EXPECT_STREQ(e.Message(), "CVector::Normalise() - Vector has length 0");
    }
}

} // namespace
