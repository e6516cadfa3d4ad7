// The robot pass and the move magnets.

#include <cmath>

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
                continue;
            }

            if (++robot.moveTimer >= kMoveInterval) {
                robot.moveTimer = 0;
                // Wander: the first draw is the y component.
                const int w1 = tlib::Random() % 17 - 8;
                const int w2 = tlib::Random() % 17 - 8;
                double vx = w2;
                double vy = w1;
                AddSteering(robot, vx, vy);
                if (vx != 0.0 || vy != 0.0) {
                    const double length = std::sqrt(vx * vx + vy * vy);
                    const double nx = vx / length;
                    const double ny = vy / length;
                    const int sx = nx > 0.3 ? 1 : (nx < -0.3 ? -1 : 0);
                    const int sy = ny > 0.3 ? 1 : (ny < -0.3 ? -1 : 0);
                    const int facing = kFacing[sy + 1][sx + 1];
                    if (facing >= 0)
                        robot.facing = facing;
                    if (IsAreaFree(robot.x + sx, robot.y + sy, 1, 1))
                        MoveObject(&robot, sx, sy);
                }
            }
            ++i;
        }
    }
}

// The steering vector is kept in doubles. Each spacing term dx / f is a float
// of magnitude 2^-13..1 and the wander is a small integer, so every partial
// sum is a multiple of 2^-36 below 2^13 and is exact in a double: the spacing
// sum does not depend on the order of its additions, which lets it run in
// four independent lanes. The move-magnet terms are added afterwards, one by
// one in list order.
void CGame::AddSteering(const CRobot& robot, double& vx, double& vy) const
{
    const int side = robot.side;
    const CRobot* list = robots[side];
    const int count = robotCount[side];
    const int rx = robot.x;
    const int ry = robot.y;

    double ax[4] = {0.0, 0.0, 0.0, 0.0};
    double ay[4] = {0.0, 0.0, 0.0, 0.0};
    auto term = [rx, ry](const CRobot& other, double& sumX, double& sumY) {
        const int dx = rx - other.x;
        const int dy = ry - other.y;
        const int n = dx * dx + dy * dy;
        if (n != 0) {
            const float f = static_cast<float>(n);
            sumX += static_cast<float>(dx) / f;
            sumY += static_cast<float>(dy) / f;
        }
    };
    int k = 0;
    for (; k + 4 <= count; k += 4) {
        term(list[k], ax[0], ay[0]);
        term(list[k + 1], ax[1], ay[1]);
        term(list[k + 2], ax[2], ay[2]);
        term(list[k + 3], ax[3], ay[3]);
    }
    for (; k < count; ++k)
        term(list[k], ax[0], ay[0]);
    vx += (ax[0] + ax[1]) + (ax[2] + ax[3]);
    vy += (ay[0] + ay[1]) + (ay[2] + ay[3]);

    const CMoveMagnet* marks = moveMagnets[side];
    const int markCount = moveMagnetCount[side];
    for (int m = 0; m < markCount; ++m) {
        const CMoveMagnet& mark = marks[m];
        const int dx = mark.x - rx;
        const int dy = mark.y - ry;
        const double distance = std::sqrt(static_cast<double>(dx * dx + dy * dy));
        if (mark.kind == 0) {
            // Pull of strength 15 / sqrt|d| towards the mark, beyond 3 cells.
            if (distance > 3.0) {
                const float p = static_cast<float>(std::pow(distance, 1.5));
                if (p != 0.0f) {
                    vx += static_cast<float>(15 * dx) / p;
                    vy += static_cast<float>(15 * dy) / p;
                }
            }
        } else {
            // Push of strength 20 / |d| in the mark's direction.
            const float q = static_cast<float>(distance);
            if (q != 0.0f) {
                const double angle = mark.angle;
                vx += 20.0 * std::cos(angle) / q;
                vy += 20.0 * std::sin(angle) / q;
            }
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
