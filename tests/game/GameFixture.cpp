#include "GameFixture.h"

#include <cstring>
#include <string>

#include "tlib/TRandom.h"

namespace {

class CIdlePlayer : public IPlayerActions {
public:
    void Apply(CGame&) override {}
};

} // namespace

IPlayerActions* IdlePlayer()
{
    static CIdlePlayer idle;
    return &idle;
}

std::unique_ptr<CGame> MakeBareGame(uint32_t seed)
{
    tlib::SeedRandom(seed);
    std::unique_ptr<CGame> game(new CGame());
    game->BuildWorld();
    for (int i = 0; i < game->treeCount; ++i)
        game->Vacate(&game->trees[i]);
    game->treeCount = 0;
    game->playerActions = IdlePlayer();
    return game;
}

namespace {

template <class T>
T& Place(CGame& game, T& object, int side, int x, int y, int size)
{
    object = T();
    object.x = x;
    object.y = y;
    object.width = size;
    object.height = size;
    object.side = side;
    game.Occupy(&object);
    return object;
}

} // namespace

CRobot& PutRobot(CGame& game, int side, int x, int y)
{
    CRobot& robot = Place(game, game.robots[side][game.robotCount[side]++], side, x, y, 1);
    robot.isUnit = true;
    return robot;
}

CMagnet& PutMagnet(CGame& game, int side, int x, int y)
{
    return Place(game, game.magnets[side][game.magnetCount[side]++], side, x, y, 2);
}

CLaser& PutLaser(CGame& game, int side, int x, int y)
{
    CLaser& laser = Place(game, game.lasers[side][game.laserCount[side]++], side, x, y, 2);
    laser.angle = 3.14159265358979323846f;
    laser.health = CGame::kLaserHealth;
    return laser;
}

CTree& PutTree(CGame& game, int x, int y)
{
    CTree& tree = Place(game, game.trees[game.treeCount++], -1, x, y, 1);
    tree.wood = CGame::kTreeWood;
    return tree;
}

std::string GridProblem(const CGame& game)
{
    const CLocObject* expected[CGame::kCellCount] = {};
    std::string problem;
    auto claim = [&](const CLocObject& object, const char* what) {
        for (int y = object.y; y < object.y + object.height; ++y)
            for (int x = object.x; x < object.x + object.width; ++x) {
                const int cell = y * CGame::kGridSize + x;
                if (expected[cell] != nullptr && problem.empty())
                    problem = std::string(what) + " overlaps at " + std::to_string(x) + "," + std::to_string(y);
                expected[cell] = &object;
            }
    };
    claim(game.factories[0], "factory");
    claim(game.factories[1], "factory");
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < game.robotCount[side]; ++i)
            claim(game.robots[side][i], "robot");
        for (int i = 0; i < game.magnetCount[side]; ++i)
            claim(game.magnets[side][i], "magnet");
        for (int i = 0; i < game.laserCount[side]; ++i)
            claim(game.lasers[side][i], "laser");
    }
    for (int i = 0; i < game.treeCount; ++i)
        claim(game.trees[i], "tree");
    for (int cell = 0; cell < CGame::kCellCount && problem.empty(); ++cell)
        if (game.grid[cell] != expected[cell])
            problem = "cell " + std::to_string(cell % 64) + "," + std::to_string(cell / 64) + " refers to the wrong object";
    return problem;
}

uint64_t Digest(const CGame& game)
{
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](int64_t v) {
        h ^= static_cast<uint64_t>(v);
        h *= 1099511628211ull;
    };
    mix(game.state);
    mix(game.aiStep);
    mix(game.aiCountdown);
    mix(game.treeCount);
    mix(game.shotCount);
    for (int side = 0; side < 2; ++side) {
        mix(game.energy[side]);
        for (int i = 0; i < game.robotCount[side]; ++i) {
            const CRobot& r = game.robots[side][i];
            mix(r.x * 4096 + r.y * 64 + r.facing * 8 + r.dead);
            mix(r.moveTimer);
        }
        for (int i = 0; i < game.magnetCount[side]; ++i)
            mix(game.magnets[side][i].x * 100000 + game.magnets[side][i].y * 1000 + game.magnets[side][i].charge);
        for (int i = 0; i < game.laserCount[side]; ++i) {
            const CLaser& l = game.lasers[side][i];
            mix(l.x * 100000 + l.y * 1000 + l.health);
            mix(l.aimTimer);
            uint32_t bits;
            std::memcpy(&bits, &l.angle, sizeof bits);
            mix(bits);
        }
        for (int i = 0; i < game.moveMagnetCount[side]; ++i)
            mix(game.moveMagnets[side][i].x * 64 + game.moveMagnets[side][i].y);
    }
    for (int i = 0; i < game.shotCount; ++i)
        mix(game.shots[i].curX * 100000 + game.shots[i].curY * 10 + (game.shots[i].target != nullptr));
    for (int i = 0; i < game.treeCount; ++i)
        mix(game.trees[i].x * 100000 + game.trees[i].y * 1000 + game.trees[i].wood);
    return h;
}
