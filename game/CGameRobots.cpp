// Layer 1: the robot pass and the move magnets. Calls the grid only;
// called by the tick, the controls, the computer and the replay script.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "game/CGame.h"
#include "tlib/TRandom.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// facing by step (sx, sy), indexed [sy + 1][sx + 1]; -1: unchanged.
const int kFacing[3][3] = {
    {3, 4, 5},
    {2, -1, 6},
    {1, 0, 7},
};

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

// The steering vector while the move-magnet terms are added to it one by
// one: x and y side by side where SSE2 is available, with the same IEEE
// operations lane by lane as on two doubles.
class CSteeringVector {
public:
#if defined(__SSE2__)
    CSteeringVector(double vx, double vy) : mV(_mm_setr_pd(vx, vy)) {}
    // Adds (fx / p, fy / p), divided as floats.
    void AddFloatQuotients(float fx, float fy, float p)
    {
        const __m128 quotients = _mm_div_ps(_mm_setr_ps(fx, fy, 0.0f, 0.0f), _mm_set1_ps(p));
        mV = _mm_add_pd(mV, _mm_cvtps_pd(quotients));
    }
    // Adds (px / q, py / q).
    void AddQuotients(double px, double py, double q) { mV = _mm_add_pd(mV, _mm_div_pd(_mm_setr_pd(px, py), _mm_set1_pd(q))); }
    void Get(double& vx, double& vy) const
    {
        vx = _mm_cvtsd_f64(mV);
        vy = _mm_cvtsd_f64(_mm_unpackhi_pd(mV, mV));
    }

private:
    __m128d mV;
#else
    CSteeringVector(double vx, double vy) : mX(vx), mY(vy) {}
    void AddFloatQuotients(float fx, float fy, float p)
    {
        mX += fx / p;
        mY += fy / p;
    }
    void AddQuotients(double px, double py, double q)
    {
        mX += px / q;
        mY += py / q;
    }
    void Get(double& vx, double& vy) const
    {
        vx = mX;
        vy = mY;
    }

private:
    double mX;
    double mY;
#endif
};

// Adds the push of one move magnet on a robot at (x, y).
inline void AddPush(const CMoveMagnet& mark, int x, int y, CSteeringVector& sum)
{
    const int dx = mark.x - x;
    const int dy = mark.y - y;
    const int n = dx * dx + dy * dy;
    if (mark.kind == 0) {
        // Pull of strength 15 / sqrt|d| towards the mark, beyond 3 cells.
        if (n > 9)
            sum.AddFloatQuotients(static_cast<float>(15 * dx), static_cast<float>(15 * dy), gDistance.p[n]);
    } else if (n != 0) {
        // Push of strength 20 / |d| in the mark's direction.
        sum.AddQuotients(mark.pushX, mark.pushY, gDistance.q[n]);
    }
}

// The spacing quotient dx / f of AddSteering depends only on the offset
// (dx, dy) between two robots, -63..63 each way. The table holds it for every
// offset in whole units of 2^-36: each such float is a multiple of 2^-36 of
// magnitude at most 1 (see AddSteering), so an entry is exact, a sum of up to
// kRobotCapacity entries is exact in an int64 (below 2^48) and again as a
// double. A spacing sum from the table is the plain one bit for bit, in
// whatever order its entries are added.
struct alignas(16) SSpacingQuotient {
    int64_t x;
    int64_t y;
};

// Offset (dx, dy) is entry (dx + 63) * kOffsetSpan + dy + 63. Rows of 127
// entries, not 128: at a stride of 2 KiB the rows that one robot's sum reads
// would fall into a few cache sets and evict each other.
constexpr int kOffsetSpan = 2 * CGame::kGridSize - 1;

struct SSpacingTable {
    SSpacingQuotient entries[kOffsetSpan * kOffsetSpan];
    SSpacingTable()
    {
        for (int dx = -63; dx <= 63; ++dx) {
            for (int dy = -63; dy <= 63; ++dy) {
                SSpacingQuotient& entry = entries[(dx + 63) * kOffsetSpan + dy + 63];
                entry = SSpacingQuotient();
                const int n = dx * dx + dy * dy;
                if (n != 0) {
                    const float f = static_cast<float>(n);
                    entry.x = static_cast<int64_t>(std::ldexp(static_cast<double>(static_cast<float>(dx) / f), 36));
                    entry.y = static_cast<int64_t>(std::ldexp(static_cast<double>(static_cast<float>(dy) / f), 36));
                }
            }
        }
    }
};

const SSpacingTable gSpacing;

// What a robot at cell (x, y) adds to the table address of a spacing sum
// (CSpacingSum) to find its quotient: minus its cell's entry, in bytes.
int32_t SpacingOffset(int x, int y)
{
    return -static_cast<int32_t>((x * kOffsetSpan + y) * sizeof(SSpacingQuotient));
}

// The spacing sum of one robot, built up from the table robot by robot.
class CSpacingSum {
public:
    CSpacingSum() = default;
    // The sum of the robot at cell (x, y), at 0.
    CSpacingSum(int x, int y)
        : mBase(reinterpret_cast<const char*>(&gSpacing.entries[(x + 63) * kOffsetSpan + y + 63]))
    {
    }

    // Adds the quotients of the robots with SpacingOffset offsets[begin..end).
    void Add(const int32_t* offsets, int begin, int end)
    {
        int k = begin;
#if defined(__SSE2__)
        // Four lanes of additions in flight; the order does not matter.
        __m128i sum0 = _mm_setzero_si128();
        __m128i sum1 = _mm_setzero_si128();
        __m128i sum2 = _mm_setzero_si128();
        __m128i sum3 = _mm_setzero_si128();
        for (; k + 4 <= end; k += 4) {
            sum0 = _mm_add_epi64(sum0, Load(offsets[k]));
            sum1 = _mm_add_epi64(sum1, Load(offsets[k + 1]));
            sum2 = _mm_add_epi64(sum2, Load(offsets[k + 2]));
            sum3 = _mm_add_epi64(sum3, Load(offsets[k + 3]));
        }
        alignas(16) int64_t lanes[2];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), _mm_add_epi64(_mm_add_epi64(sum0, sum1), _mm_add_epi64(sum2, sum3)));
        mX += lanes[0];
        mY += lanes[1];
#endif
        for (; k < end; ++k) {
            mX += Entry(offsets[k]).x;
            mY += Entry(offsets[k]).y;
        }
    }
    void Add(int32_t offset) { Add(&offset, 0, 1); }
    void Subtract(int32_t offset)
    {
        mX -= Entry(offset).x;
        mY -= Entry(offset).y;
    }

    double X() const { return std::ldexp(static_cast<double>(mX), -36); }
    double Y() const { return std::ldexp(static_cast<double>(mY), -36); }

private:
    const SSpacingQuotient& Entry(int32_t offset) const
    {
        return *reinterpret_cast<const SSpacingQuotient*>(mBase + offset);
    }
#if defined(__SSE2__)
    __m128i Load(int32_t offset) const { return _mm_load_si128(reinterpret_cast<const __m128i*>(mBase + offset)); }
#endif

    const char* mBase = nullptr;
    int64_t mX = 0;
    int64_t mY = 0;
};

// The move-magnet pushes on the robot at (x, y), added to (vx, vy) as
// AddMoveMagnetPushes adds them, and meanwhile the spacing sum `other` over
// offsets[0..count). The pushes are one chain of dependent additions; the
// spacing sum, independent of it, is spread along the chain in slices, so
// that the processor works on it while each addition waits for the one
// before.
void AddPushesWithSpacing(const CMoveMagnet* marks, int markCount, int x, int y, double& vx, double& vy,
                          const int32_t* offsets, int count, CSpacingSum& other)
{
    constexpr int kMarksPerSlice = 8;
    const int robotsPerSlice = markCount == 0 ? 0 : (count * kMarksPerSlice + markCount - 1) / markCount;
    CSteeringVector sum(vx, vy);
    int k = 0;
    for (int m = 0; m < markCount; ++m) {
        AddPush(marks[m], x, y, sum);
        if (m % kMarksPerSlice == kMarksPerSlice - 1 && k < count) {
            const int end = std::min(count, k + robotsPerSlice);
            other.Add(offsets, k, end);
            k = end;
        }
    }
    other.Add(offsets, k, count);
    sum.Get(vx, vy);
}

} // namespace

const float CGame::kMoveMagnetAngles[9] = {
    static_cast<float>(5.0 * kPi / 4.0), static_cast<float>(3.0 * kPi / 2.0),
    static_cast<float>(7.0 * kPi / 4.0), static_cast<float>(kPi),
    0.0f,                                0.0f,
    static_cast<float>(3.0 * kPi / 4.0), static_cast<float>(kPi / 2.0),
    static_cast<float>(kPi / 4.0),
};

void CGame::UpdateRobots()
{
    RobotPass(false);
}

void CGame::UpdateRobotsPlain()
{
    RobotPass(true);
}

void CGame::RobotPass(bool plainSteering)
{
    for (int side = 0; side < 2; ++side) {
        const int other = 1 - side;
        CRobot* list = robots[side];
        for (int k = 0; k < robotCount[side]; ++k)
            mSpacingOffsets[k] = SpacingOffset(list[k].x, list[k].y);
        // When robot i - 1 steered and robot i looked due to steer too,
        // robot i's spacing sum was worked out along robot i - 1's pushes.
        // Robots change cells only when they step, and robot i - 1's step is
        // accounted for once made; if robot i dies first, the sum is dropped.
        CSpacingSum prepared;
        bool preparedForNext = false;
        int i = 0;
        while (i < robotCount[side]) {
            CRobot& robot = list[i];
            const bool havePrepared = preparedForNext;
            preparedForNext = false;

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
                RemoveRobot(side, i);
                const int count = robotCount[side];
                std::memmove(&mSpacingOffsets[i], &mSpacingOffsets[i + 1], sizeof mSpacingOffsets[0] * static_cast<size_t>(count - i));
                continue;
            }

            if (++robot.moveTimer >= kMoveInterval) {
                robot.moveTimer = 0;
                // Wander: the first draw is the y component.
                const int w1 = tlib::Random() % 17 - 8;
                const int w2 = tlib::Random() % 17 - 8;
                double vx = w2;
                double vy = w1;
                if (plainSteering) {
                    AddSteering(robot, vx, vy);
                } else {
                    const int count = robotCount[side];
                    if (!havePrepared) {
                        prepared = CSpacingSum(robot.x, robot.y);
                        prepared.Add(mSpacingOffsets, 0, count);
                    }
                    vx += prepared.X();
                    vy += prepared.Y();
                    // The next robot's sum is worked out along the pushes
                    // when it looks due to steer in this tick too.
                    const CRobot* next = i + 1 < count ? &list[i + 1] : nullptr;
                    if (next != nullptr && !next->dead && next->moveTimer + 1 >= kMoveInterval) {
                        prepared = CSpacingSum(next->x, next->y);
                        AddPushesWithSpacing(moveMagnets[side], moveMagnetCount[side], robot.x, robot.y, vx, vy,
                                             mSpacingOffsets, count, prepared);
                        preparedForNext = true;
                    } else {
                        AddMoveMagnetPushes(side, robot.x, robot.y, vx, vy);
                    }
                }
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
                        const int32_t from = mSpacingOffsets[i];
                        MoveObject(&robot, sx, sy);
                        mSpacingOffsets[i] = SpacingOffset(robot.x, robot.y);
                        if (preparedForNext) {
                            prepared.Subtract(from);
                            prepared.Add(mSpacingOffsets[i]);
                        }
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

void CGame::AddSteeringFromTable(const CRobot& robot, double& vx, double& vy)
{
    const int count = robotCount[robot.side];
    for (int k = 0; k < count; ++k)
        mSpacingOffsets[k] = SpacingOffset(robots[robot.side][k].x, robots[robot.side][k].y);
    CSpacingSum sum(robot.x, robot.y);
    sum.Add(mSpacingOffsets, 0, count);
    vx += sum.X();
    vy += sum.Y();
    AddMoveMagnetPushes(robot.side, robot.x, robot.y, vx, vy);
}

void CGame::AddMoveMagnetPushes(int side, int x, int y, double& vx, double& vy) const
{
    // Summed in a local: through the references every addition would wait
    // for the store of the one before.
    const CMoveMagnet* marks = moveMagnets[side];
    const int markCount = moveMagnetCount[side];
    CSteeringVector sum(vx, vy);
    for (int m = 0; m < markCount; ++m)
        AddPush(marks[m], x, y, sum);
    sum.Get(vx, vy);
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
            RemoveEntry(list, moveMagnetCount[side], i);
            return;
        }
    }
}

void CGame::ClearMoveMagnets(int side)
{
    moveMagnetCount[side] = 0;
}
