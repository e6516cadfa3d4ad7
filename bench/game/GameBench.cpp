// One Update tick: at the opening of a normal game, and in the worst case of
// a crowded field (1024 robots a side, 256 move magnets a side, a magnet or
// laser in every free 2 x 2 slot, shots in flight).

#include <benchmark/benchmark.h>

#include <memory>

#include "game/CGame.h"
#include "game/IPlayerActions.h"
#include "game/SPlayerInput.h"
#include "tlib/TRandom.h"

namespace {

class CIdlePlayer : public IPlayerActions {
public:
    void Apply(CGame&) override {}
};

CIdlePlayer gIdle;
// Red is played by gIdle: the input record is never read.
const SPlayerInput kNoInput;

void NewOpening(CGame& game)
{
    tlib::SeedRandom(1);
    game.NewGame();
    game.playerActions = &gIdle;
}

// Each side fills its half of the field with blocks of 4 x 2 cells: a 2 x 2
// structure (magnets and lasers alternating) and four robots. Robots' move
// timers are either all due this tick (synchronised) or spread over the 15
// phases that robots produced over time have.
void NewWorstCase(CGame& game, bool synchronised)
{
    tlib::SeedRandom(1);
    game.BuildWorld();
    for (int i = 0; i < game.treeCount; ++i)
        game.Vacate(&game.trees[i]);
    game.treeCount = 0;
    game.playerActions = &gIdle;
    game.state = CGame::STATE_PLAYING;
    game.aiStep = 4;  // the lottery, with rich blue: 5000 failed build attempts per decision
    for (int side = 0; side < 2; ++side) {
        game.energy[side] = 100000;
        const int top = side == 0 ? 32 : 0;
        int placed = 0;
        for (int pair = 0; pair < 16; ++pair) {
            const int y = top + 2 * pair;
            for (int block = 0; block < 16; ++block) {
                const int x = 4 * block;
                if (game.IsAreaFree(x, y, 2, 2)) {
                    if ((pair + block) % 2 == 0) {
                        CMagnet& magnet = game.magnets[side][game.magnetCount[side]++];
                        magnet = CMagnet();
                        magnet.charge = 94;  // every magnet searches this tick
                        game.Place(magnet, x, y, 2, 2, side);
                    } else {
                        CLaser& laser = game.lasers[side][game.laserCount[side]++];
                        laser = CLaser();
                        laser.health = CGame::kLaserHealth;
                        game.Place(laser, x, y, 2, 2, side);
                    }
                }
                for (int cell = 0; cell < 4; ++cell) {
                    const int rx = x + 2 + cell % 2;
                    const int ry = y + cell / 2;
                    if (!game.IsAreaFree(rx, ry, 1, 1))
                        continue;
                    CRobot& robot = game.robots[side][game.robotCount[side]++];
                    robot = CRobot();
                    robot.facing = placed % 8;
                    robot.moveTimer = synchronised ? CGame::kMoveInterval - 1 : placed % CGame::kMoveInterval;
                    game.Place(robot, rx, ry, 1, 1, side);
                    ++placed;
                }
            }
        }
        for (int i = 0; i < 256; ++i)
            game.AddMoveMagnet((i * 37) % 64, (i * 11) % 64, i % 9, side);
    }
    // Every laser aims; half of them fire this tick; two shots per laser fly.
    for (int side = 0; side < 2; ++side) {
        const int other = 1 - side;
        for (int i = 0; i < game.laserCount[side]; ++i) {
            CLaser& laser = game.lasers[side][i];
            laser.target = &game.magnets[other][(i * 7) % game.magnetCount[other]];
            laser.aimTimer = (i % 2 == 0) ? CGame::kLaserAimTicks : i % CGame::kLaserAimTicks;
            for (int shot = 0; shot < 2 && game.shotCount < CGame::kShotCapacity; ++shot) {
                game.FireLaserShot(laser);
                game.shots[game.shotCount - 1].step = shot * 50;
            }
        }
    }
}

void BM_TickOpening(benchmark::State& state)
{
    std::unique_ptr<CGame> game(new CGame());
    NewOpening(*game);
    int ticks = 0;
    for (auto _ : state) {
        if (ticks == 600 || game->state != CGame::STATE_PLAYING) {
            state.PauseTiming();
            NewOpening(*game);
            ticks = 0;
            state.ResumeTiming();
        }
        game->Update(kNoInput);
        ++ticks;
    }
}

// The tick in which every robot of both sides steers at once.
void BM_TickWorstCaseSynchronised(benchmark::State& state)
{
    std::unique_ptr<CGame> game(new CGame());
    for (auto _ : state) {
        state.PauseTiming();
        NewWorstCase(*game, true);
        state.ResumeTiming();
        game->Update(kNoInput);
    }
    state.counters["robots"] = game->robotCount[0] + game->robotCount[1];
}

// Ticks of the crowded field with the robots' steps spread over 15 ticks.
void BM_TickWorstCaseSpread(benchmark::State& state)
{
    std::unique_ptr<CGame> game(new CGame());
    NewWorstCase(*game, false);
    int ticks = 0;
    for (auto _ : state) {
        if (ticks == 30) {
            state.PauseTiming();
            NewWorstCase(*game, false);
            ticks = 0;
            state.ResumeTiming();
        }
        game->Update(kNoInput);
        ++ticks;
    }
    state.counters["robots"] = game->robotCount[0] + game->robotCount[1];
    state.counters["shots"] = game->shotCount;
}

} // namespace

BENCHMARK(BM_TickOpening)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickWorstCaseSynchronised)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TickWorstCaseSpread)->Unit(benchmark::kMicrosecond);
