// Layer 1: the economy. Robot production, building magnets and lasers with
// the placement rule, and the harvesting of trees, the one income. Calls
// the grid only; called by the tick, the controls, the computer, the
// replay script and the world builder.

#include <cmath>

#include "game/CGame.h"
#include "tlib/TRandom.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The building rules shared by magnets and lasers: when side can pay cost,
// the 2 x 2 cells at (x, y) are free and near one of its own structures, and
// list has room, takes list's next entry, places it there and charges cost.
// Returns the new structure for the caller to finish, or null when refused
// (nothing changed).
template <class T>
T* BuildStructure(CGame& game, T* list, int32_t& count, int capacity, int cost, int x, int y, int side)
{
    if (game.energy[side] < cost || !game.IsAreaFree(x, y, 2, 2) || !game.IsNearOwnStructure(x, y, side))
        return nullptr;
    if (count >= capacity)
        return nullptr;
    T& structure = list[count++];
    structure = T();
    game.Place(structure, x, y, 2, 2, side);
    game.energy[side] -= cost;
    return &structure;
}

} // namespace

void CGame::ProduceRobots(int side)
{
    for (int i = 0; i < 4; ++i) {
        if (robotCount[side] >= kRobotLimit || energy[side] < kRobotCost)
            return;
        if (SpawnRobot(side))
            energy[side] -= kRobotCost;
    }
}

bool CGame::SpawnRobot(int side)
{
    if (robotCount[side] >= kRobotCapacity)
        return false;
    const int cx = factories[side].x;
    const int cy = factories[side].y + 1;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const double a = (tlib::Random() % 100) * kPi * 0.02;
        const int r = tlib::Random() % 10;
        const int x = static_cast<int>(cx + r * std::cos(a));
        const int y = static_cast<int>(cy + r * std::sin(a));
        if (x >= 0 && x < kGridSize && y >= 0 && y < kGridSize && At(x, y) == nullptr) {
            CRobot& robot = robots[side][robotCount[side]++];
            robot = CRobot();  // alive, move timer 0
            robot.facing = tlib::Random() % 8;
            Place(robot, x, y, 1, 1, side);
            return true;
        }
    }
    return false;
}

void CGame::BuildMagnet(int x, int y, int side)
{
    // A new magnet starts uncharged (its defaults).
    BuildStructure(*this, magnets[side], magnetCount[side], kMagnetCapacity, kMagnetCost, x, y, side);
}

void CGame::BuildLaser(int x, int y, int side)
{
    CLaser* laser = BuildStructure(*this, lasers[side], laserCount[side], kLaserCapacity, kLaserCost, x, y, side);
    if (laser == nullptr)
        return;
    laser->angle = kLaserBuiltAngle;  // no target, aim timer 0 (its defaults)
    laser->health = kLaserHealth;
}

bool CGame::IsNearOwnStructure(int x, int y, int side) const
{
    for (int row = y - 7; row <= y + 7; ++row) {
        if (row < 0 || row >= kGridSize)
            continue;
        for (int col = x - 7; col <= x + 7; ++col) {
            if (col < 0 || col >= kGridSize)
                continue;
            const int dx = col - x;
            const int dy = row - y;
            if (dx * dx + dy * dy > kBuildReach2)
                continue;
            const CLocObject* object = At(col, row);
            if (object != nullptr && object->side == side && !object->isUnit)
                return true;
        }
    }
    return false;
}

void CGame::UpdateTrees()
{
    int i = 0;
    while (i < treeCount) {
        CTree& tree = trees[i];
        bool felled = false;
        for (int dy = -1; dy <= 1 && !felled; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = tree.x + dx;
                const int y = tree.y + dy;
                if (x < 0 || x >= kGridSize || y < 0 || y >= kGridSize)
                    continue;
                const CLocObject* object = At(x, y);
                if (object == nullptr || !object->isUnit)
                    continue;
                --tree.wood;
                if (tree.wood < 1) {
                    // Dead robots not yet removed still harvest.
                    energy[object->side] += kTreeEnergy;
                    RemoveTree(i);
                    felled = true;
                    break;
                }
            }
        }
        if (!felled)
            ++i;
    }
}
