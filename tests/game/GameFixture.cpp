#include "GameFixture.h"

#include <type_traits>

#include "tlib/TRandom.h"

namespace {

struct SIdlePlayer : IPlayerActions {
    void Apply(CGame&) override {}
};

template <class T>
T& Place(CGame& game, T* list, int32_t& count, int side, int x, int y, int size)
{
    T& object = list[count++];
    object = T();
    if constexpr (std::is_same<T, CLaser>::value)
        object.health = CGame::kLaserHealth;
    game.Place(object, x, y, size, size, side);
    return object;
}

template <class T, class F>
void Each(const T* list, int count, F f)
{
    for (int i = 0; i < count; ++i)
        f(list[i]);
}

} // namespace

IPlayerActions* IdlePlayer()
{
    static SIdlePlayer idle;
    return &idle;
}

std::unique_ptr<CGame> MakeBareGame(uint32_t seed)
{
    tlib::SeedRandom(seed);
    std::unique_ptr<CGame> game(new CGame());
    game->BuildWorld();
    game->playerActions = IdlePlayer();
    for (int i = 0; i < game->treeCount; ++i)
        game->Vacate(&game->trees[i]);
    game->treeCount = 0;
    return game;
}

std::unique_ptr<CGame> MakeNewGame(uint32_t seed, IPlayerActions* player)
{
    tlib::SeedRandom(seed);
    std::unique_ptr<CGame> game(new CGame());
    game->NewGame();
    game->playerActions = player;
    return game;
}

CRobot& PutRobot(CGame& game, int side, int x, int y) { return Place(game, game.robots[side], game.robotCount[side], side, x, y, 1); }
CMagnet& PutMagnet(CGame& game, int side, int x, int y) { return Place(game, game.magnets[side], game.magnetCount[side], side, x, y, 2); }
CTree& PutTree(CGame& game, int x, int y) { return Place(game, game.trees, game.treeCount, -1, x, y, 1); }
CLaser& PutLaser(CGame& game, int side, int x, int y) { return Place(game, game.lasers[side], game.laserCount[side], side, x, y, 2); }

void Repeat(CGame& game, void (CGame::*step)(), int n)
{
    for (int i = 0; i < n; ++i)
        (game.*step)();
}

void Play(CGame& game, int n)
{
    const SPlayerInput none;
    for (int i = 0; i < n; ++i)
        game.Update(none);
}

std::string GridProblem(const CGame& game)
{
    std::string problem;
    int area = 0;
    auto claim = [&](const CLocObject& o) {
        for (int y = o.y; y < o.y + o.height; ++y)
            for (int x = o.x; x < o.x + o.width; ++x, ++area)
                if (game.At(x, y) != &o)
                    problem = "cell " + std::to_string(x) + "," + std::to_string(y) + " does not refer to its object";
    };
    Each(game.factories, 2, claim);
    for (int side = 0; side < 2; ++side) {
        Each(game.robots[side], game.robotCount[side], claim);
        Each(game.magnets[side], game.magnetCount[side], claim);
        Each(game.lasers[side], game.laserCount[side], claim);
    }
    Each(game.trees, game.treeCount, claim);
    int occupied = 0;
    Each(game.grid, CGame::kCellCount, [&](const CLocObject* o) { occupied += o != nullptr; });
    if (problem.empty() && occupied != area)
        problem = std::to_string(occupied) + " cells occupied for objects of " + std::to_string(area);
    return problem;
}
