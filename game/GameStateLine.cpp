#include "game/GameStateLine.h"

#include <cstdio>

#include "game/CGame.h"

std::string StateLine(const CGame& game)
{
    char line[256];
    std::snprintf(line, sizeof line,
                  "tick %d state %d energy %d %d robots %d %d magnets %d %d lasers %d %d "
                  "movemagnets %d %d trees %d shots %d aistep %d",
                  game.ticksPlayed, static_cast<int>(game.state), game.energy[0], game.energy[1], game.robotCount[0],
                  game.robotCount[1], game.magnetCount[0], game.magnetCount[1], game.laserCount[0], game.laserCount[1],
                  game.moveMagnetCount[0], game.moveMagnetCount[1], game.treeCount, game.shotCount, game.aiStep);
    return line;
}

namespace {

template <class T, class F>
void Each(const T* list, int count, F f)
{
    for (int i = 0; i < count; ++i)
        f(list[i]);
}

// A magnet reference as its cell (magnets never overlap), -1 for none.
int64_t Cell(const CMagnet* magnet)
{
    return magnet == nullptr ? -1 : magnet->y * CGame::kGridSize + magnet->x;
}

} // namespace

uint64_t StateDigest(const CGame& game)
{
    // FNV-1a over 64-bit words.
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](auto... values) {
        for (int64_t v : {static_cast<int64_t>(values)...})
            h = (h ^ static_cast<uint64_t>(v)) * 1099511628211ull;
    };
    mix(game.ticksPlayed, game.state, game.aiStep, game.aiCountdown, game.energy[0], game.energy[1]);
    for (int side = 0; side < 2; ++side) {
        Each(game.robots[side], game.robotCount[side], [&](const CRobot& r) { mix(r.x, r.y, r.facing, r.dead, r.moveTimer); });
        Each(game.magnets[side], game.magnetCount[side], [&](const CMagnet& m) { mix(m.x, m.y, m.charge); });
        Each(game.lasers[side], game.laserCount[side],
             [&](const CLaser& l) { mix(l.x, l.y, l.health, l.aimTimer, l.angle * 1e8, Cell(l.target)); });
        Each(game.moveMagnets[side], game.moveMagnetCount[side], [&](const CMoveMagnet& m) { mix(m.x, m.y, m.kind); });
    }
    Each(game.shots, game.shotCount, [&](const CLaserShot& s) { mix(s.curX, s.curY, s.step, s.steps, Cell(s.target)); });
    Each(game.trees, game.treeCount, [&](const CTree& t) { mix(t.x, t.y, t.wood); });
    return h;
}
