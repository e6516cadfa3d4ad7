// The robot pass and the move magnets.

#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "game/CGame.h"
#include "tlib/TRandom.h"

namespace {

// facing by step (sx, sy), indexed [sy + 1][sx + 1]; -1: unchanged.
const int kFacing[3][3] = {
    {3, 4, 5},
    {2, -1, 6},
    {1, 0, 7},
};

} // namespace

void CGame::UpdateRobots()
{
    for (int side = 0; side < 2; ++side) {
        const int other = 1 - side;
        for (int k = 0; k < robotCount[side]; ++k) {
            mSpacingX[k] = static_cast<float>(robots[side][k].x);
            mSpacingY[k] = static_cast<float>(robots[side][k].y);
        }
        int i = 0;
        while (i < robotCount[side]) {
            CRobot& robot = robots[side][i];

            // Contact: every enemy robot on the eight neighbours dies with
            // this one. Each robot occupies exactly its own cell, so the grid
            // names the same enemies a scan of the enemy list would.
            for (int dy = -1; dy <= 1; ++dy) {
                const int y = robot.y + dy;
                if (y < 0 || y >= kGridSize)
                    continue;
                for (int dx = -1; dx <= 1; ++dx) {
                    const int x = robot.x + dx;
                    if (x < 0 || x >= kGridSize)
                        continue;
                    CLocObject* object = At(x, y);
                    if (object != nullptr && object->isUnit && object->side == other) {
                        static_cast<CRobot*>(object)->dead = true;
                        robot.dead = true;
                    }
                }
            }

            if (robot.dead) {
                Vacate(&robot);
                RemoveRobot(side, i);
                const int count = robotCount[side];
                std::memmove(&mSpacingX[i], &mSpacingX[i + 1], sizeof(float) * static_cast<size_t>(count - i));
                std::memmove(&mSpacingY[i], &mSpacingY[i + 1], sizeof(float) * static_cast<size_t>(count - i));
                continue;
            }

            if (++robot.moveTimer >= kMoveInterval) {
                robot.moveTimer = 0;
                // Wander: the first draw is the y component.
                const int w1 = tlib::Random() % 17 - 8;
                const int w2 = tlib::Random() % 17 - 8;
                double sumX;
                double sumY;
                SpacingSum(robotCount[side], robot.x, robot.y, sumX, sumY);
                double vx = w2 + sumX;
                double vy = w1 + sumY;
                AddMoveMagnetPushes(side, robot.x, robot.y, vx, vy);
                if (vx != 0.0 || vy != 0.0) {
                    const double length = std::sqrt(vx * vx + vy * vy);
                    const double nx = vx / length;
                    const double ny = vy / length;
                    const int sx = nx > 0.3 ? 1 : (nx < -0.3 ? -1 : 0);
                    const int sy = ny > 0.3 ? 1 : (ny < -0.3 ? -1 : 0);
                    const int facing = kFacing[sy + 1][sx + 1];
                    if (facing >= 0)
                        robot.facing = facing;
                    if (IsAreaFree(robot.x + sx, robot.y + sy, 1, 1)) {
                        MoveObject(&robot, sx, sy);
                        mSpacingX[i] = static_cast<float>(robot.x);
                        mSpacingY[i] = static_cast<float>(robot.y);
                    }
                }
            }
            ++i;
        }
    }
}

// The steering vector is kept in doubles. Each spacing term dx / f (f the
// squared distance as a float) is a float of magnitude 2^-13..1, and the
// wander is a small integer, so every partial sum is a multiple of 2^-36
// below 2^13 and is exact in a double: the spacing sum does not depend on
// the order of its additions. The move-magnet terms are added after it, one
// by one in list order.
void CGame::AddSteering(const CRobot& robot, double& vx, double& vy) const
{
    const CRobot* list = robots[robot.side];
    double sumX = 0.0;
    double sumY = 0.0;
    for (int k = 0; k < robotCount[robot.side]; ++k) {
        const int dx = robot.x - list[k].x;
        const int dy = robot.y - list[k].y;
        const int n = dx * dx + dy * dy;
        if (n != 0) {
            const float f = static_cast<float>(n);
            sumX += static_cast<float>(dx) / f;
            sumY += static_cast<float>(dy) / f;
        }
    }
    vx += sumX;
    vy += sumY;
    AddMoveMagnetPushes(robot.side, robot.x, robot.y, vx, vy);
}

void CGame::AddSteeringVectorised(const CRobot& robot, double& vx, double& vy)
{
    const int count = robotCount[robot.side];
    for (int k = 0; k < count; ++k) {
        mSpacingX[k] = static_cast<float>(robots[robot.side][k].x);
        mSpacingY[k] = static_cast<float>(robots[robot.side][k].y);
    }
    double sumX;
    double sumY;
    SpacingSum(count, robot.x, robot.y, sumX, sumY);
    vx += sumX;
    vy += sumY;
    AddMoveMagnetPushes(robot.side, robot.x, robot.y, vx, vy);
}

// The spacing sum of AddSteering over mSpacingX/Y[0..count), four robots at
// a time where SSE2 is available. The quotients are the same IEEE
// single-precision divisions and the sum is exact, so the result is bit for
// bit that of the plain loop.
void CGame::SpacingSum(int count, int x, int y, double& sumX, double& sumY) const
{
    const float rx = static_cast<float>(x);
    const float ry = static_cast<float>(y);
    double tailX = 0.0;
    double tailY = 0.0;
    int k = 0;
#if defined(__SSE2__)
    const __m128 rx4 = _mm_set1_ps(rx);
    const __m128 ry4 = _mm_set1_ps(ry);
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 zero = _mm_setzero_ps();
    __m128d accX0 = _mm_setzero_pd();
    __m128d accX1 = _mm_setzero_pd();
    __m128d accY0 = _mm_setzero_pd();
    __m128d accY1 = _mm_setzero_pd();
    for (; k + 4 <= count; k += 4) {
        const __m128 dx = _mm_sub_ps(rx4, _mm_loadu_ps(&mSpacingX[k]));
        const __m128 dy = _mm_sub_ps(ry4, _mm_loadu_ps(&mSpacingY[k]));
        // Exact: small whole numbers.
        const __m128 n = _mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy));
        // The robot itself (n = 0, dx = dy = 0) divides by 1 and adds 0.
        const __m128 self = _mm_cmpeq_ps(n, zero);
        const __m128 f = _mm_or_ps(_mm_andnot_ps(self, n), _mm_and_ps(self, one));
        const __m128 qx = _mm_div_ps(dx, f);
        const __m128 qy = _mm_div_ps(dy, f);
        accX0 = _mm_add_pd(accX0, _mm_cvtps_pd(qx));
        accX1 = _mm_add_pd(accX1, _mm_cvtps_pd(_mm_movehl_ps(qx, qx)));
        accY0 = _mm_add_pd(accY0, _mm_cvtps_pd(qy));
        accY1 = _mm_add_pd(accY1, _mm_cvtps_pd(_mm_movehl_ps(qy, qy)));
    }
    double lanes[4];
    _mm_storeu_pd(&lanes[0], accX0);
    _mm_storeu_pd(&lanes[2], accX1);
    tailX = (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
    _mm_storeu_pd(&lanes[0], accY0);
    _mm_storeu_pd(&lanes[2], accY1);
    tailY = (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
#endif
    for (; k < count; ++k) {
        const float dx = rx - mSpacingX[k];
        const float dy = ry - mSpacingY[k];
        const float n = dx * dx + dy * dy;
        if (n != 0.0f) {
            tailX += dx / n;
            tailY += dy / n;
        }
    }
    sumX = tailX;
    sumY = tailY;
}

namespace {

// For each squared cell distance n: q = |d| and p = |d|^1.5, rounded to
// floats exactly as the steering computes them.
constexpr int kMaxSquaredDistance = 2 * 63 * 63;

struct SDistanceTables {
    float q[kMaxSquaredDistance + 1];
    float p[kMaxSquaredDistance + 1];
    SDistanceTables()
    {
        for (int n = 0; n <= kMaxSquaredDistance; ++n) {
            const double distance = std::sqrt(static_cast<double>(n));
            q[n] = static_cast<float>(distance);
            p[n] = static_cast<float>(std::pow(distance, 1.5));
        }
    }
};

const SDistanceTables gDistance;

} // namespace

void CGame::AddMoveMagnetPushes(int side, int x, int y, double& vx, double& vy) const
{
    const CMoveMagnet* marks = moveMagnets[side];
    const int markCount = moveMagnetCount[side];
    for (int m = 0; m < markCount; ++m) {
        const CMoveMagnet& mark = marks[m];
        const int dx = mark.x - x;
        const int dy = mark.y - y;
        const int n = dx * dx + dy * dy;
        if (mark.kind == 0) {
            // Pull of strength 15 / sqrt|d| towards the mark, beyond 3 cells.
            if (n > 9) {
                const float p = gDistance.p[n];
                vx += static_cast<float>(15 * dx) / p;
                vy += static_cast<float>(15 * dy) / p;
            }
        } else if (n != 0) {
            // Push of strength 20 / |d| in the mark's direction.
            const double q = gDistance.q[n];
            vx += mark.pushX / q;
            vy += mark.pushY / q;
        }
    }
}

void CGame::AddMoveMagnet(int x, int y, int type, int side)
{
    if (type < 0 || type > 8)
        return;
    CMoveMagnet* list = moveMagnets[side];
    const int count = moveMagnetCount[side];
    for (int i = 0; i < count; ++i)
        if (list[i].x == x && list[i].y == y)
            return;
    if (count >= kMoveMagnetCapacity)
        return;
    CMoveMagnet& mark = list[count];
    mark = CMoveMagnet();
    mark.x = x;
    mark.y = y;
    mark.kind = (type == 4) ? 0 : 1;
    mark.angle = (type == 4) ? 0.0f : kMoveMagnetAngles[type];
    mark.pushX = 20.0 * std::cos(static_cast<double>(mark.angle));
    mark.pushY = 20.0 * std::sin(static_cast<double>(mark.angle));
    moveMagnetCount[side] = count + 1;
}

void CGame::RemoveMoveMagnet(int x, int y, int side)
{
    CMoveMagnet* list = moveMagnets[side];
    const int count = moveMagnetCount[side];
    for (int i = 0; i < count; ++i) {
        if (list[i].x == x && list[i].y == y) {
            for (int j = i; j + 1 < count; ++j)
                list[j] = list[j + 1];
            moveMagnetCount[side] = count - 1;
            return;
        }
    }
}

void CGame::ClearMoveMagnets(int side)
{
    moveMagnetCount[side] = 0;
}
