// The robot pass: contact, steering and move magnets.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "GameFixture.h"
#include "game/GameStateLine.h"
#include "tlib/TRandom.h"

TEST(Contact, TouchingRobotsGoEachAtItsOwnTurnDeadOrAlive)
{
    auto game = MakeBareGame();
    PutRobot(*game, 0, 10, 10);
    PutRobot(*game, 1, 11, 11);
    PutRobot(*game, 0, 20, 10).dead = true;  // captured by a magnet last tick: still touches
    PutRobot(*game, 1, 19, 10);
    PutRobot(*game, 1, 30, 30);
    game->UpdateRobots();
    EXPECT_EQ(game->robotCount[0], 0);
    ASSERT_EQ(game->robotCount[1], 1);
    EXPECT_EQ(game->robots[1][0].x, 30);
    // A red robot steps next to a blue one: marked in the blue half of the
    // pass, it goes only at its turn in the next tick.
    CRobot& red = PutRobot(*game, 0, 10, 10);
    red.moveTimer = CGame::kMoveInterval - 1;
    game->AddMoveMagnet(9, 10, 5, 0);  // two pushes of 20 to the right outweigh any wander
    game->AddMoveMagnet(11, 10, 5, 0);
    PutRobot(*game, 1, 12, 10);
    game->UpdateRobots();
    EXPECT_EQ(game->robotCount[0], 1);
    EXPECT_EQ(game->robotCount[1], 1);
    EXPECT_EQ(red.x, 11);
    EXPECT_EQ(red.facing, 6);
    EXPECT_TRUE(red.dead);
    game->UpdateRobots();
    EXPECT_EQ(game->robotCount[0], 0);
    EXPECT_EQ(GridProblem(*game), "");
}

// The tick takes its spacing sums from a table; the plain sum is the
// reference: both are checked.
TEST(Steering, MoveMagnetStrengthsSpacingAndListRules)
{
    auto game = MakeBareGame(31);
    const CRobot& robot = PutRobot(*game, 0, 20, 20);
    const double diagonal = -20.0 / static_cast<float>(std::sqrt(800.0)) * std::sqrt(0.5);
    // A move magnet of red (x -1: none, but red robots nearby), the
    // steering it adds to the robot at (20, 20), the tolerance.
    const struct {
        int x, y, type;
        double vx, vy, tolerance;
        const char* what;
    } cases[] = {
        {20, 23, 4, 0.0, 0.0, 0.0, "attracting at distance 3: no pull"},
        {24, 20, 4, 7.5, 0.0, 0.0, "attracting at distance 4: 15 / sqrt(4)"},
        {20, 22, 5, 10.0, 0.0, 0.0, "pushing right at distance 2: 20 / 2, wherever it stands"},
        {20, 20, 5, 0.0, 0.0, 0.0, "on the robot's own cell: no push"},
        {0, 0, 0, diagonal, diagonal, 1e-6, "up and left at 20 * sqrt(2)"},
        {-1, 0, 0, -0.5, 0.25, 0.0, "own robots at (22, 20) and (20, 16) space it by 1 / |d|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        game->ClearMoveMagnets(0);
        if (c.x < 0) {
            PutRobot(*game, 0, 22, 20);
            PutRobot(*game, 0, 20, 16);
            PutRobot(*game, 1, 19, 20);  // enemies do not count
        } else {
            game->AddMoveMagnet(c.x, c.y, c.type, 0);
        }
        double plain[2] = {0.0, 0.0};
        double table[2] = {0.0, 0.0};
        game->AddSteering(robot, plain[0], plain[1]);
        game->AddSteeringFromTable(robot, table[0], table[1]);
        for (const double* v : {plain, table}) {
            EXPECT_NEAR(v[0], c.vx, c.tolerance) << (v == plain ? "plain" : "table");
            EXPECT_NEAR(v[1], c.vy, c.tolerance) << (v == plain ? "plain" : "table");
        }
    }

    // One move magnet per cell and side; removal keeps the order.
    const struct { int x, y, type, side; } laid[] = {{5, 5, 4, 0}, {5, 5, 2, 0}, {5, 5, 2, 1}, {6, 5, 7, 0}, {7, 5, 3, 0}};
    for (const auto& m : laid)
        game->AddMoveMagnet(m.x, m.y, m.type, m.side);  // the second refused: red has one there
    game->RemoveMoveMagnet(9, 9, 0);
    game->RemoveMoveMagnet(5, 5, 0);
    ASSERT_EQ(game->moveMagnetCount[0], 2);
    EXPECT_EQ(game->moveMagnets[0][0].x, 6);
    EXPECT_EQ(game->moveMagnets[0][0].kind, 1);
    EXPECT_EQ(game->moveMagnets[0][1].x, 7);
    game->ClearMoveMagnets(0);
    EXPECT_EQ(game->moveMagnetCount[0], 0);
    EXPECT_EQ(game->moveMagnetCount[1], 1);
    // Every cell can hold one: the list never overflows.
    for (int cell = 0; cell <= CGame::kCellCount; ++cell)
        game->AddMoveMagnet(cell % 64, cell / 64 % 64, cell % 9, 0);
    EXPECT_EQ(game->moveMagnetCount[0], CGame::kMoveMagnetCapacity);
}

// The robot pass takes its spacing sums from a table of quotients per
// offset; the plain loop is the reference. The fields: two robots at every
// offset in turn, a crowded field at random (1023 robots leave a partial
// group of four at the end) and every cell taken (the largest sums).
TEST(Steering, TheTableSumEqualsThePlainSumBitForBit)
{
    auto expectEqual = [](CGame& game, const CRobot& robot) {
        double plain[2] = {robot.x % 17 - 8.0, robot.y % 13 - 6.0};
        double table[2] = {plain[0], plain[1]};
        game.AddSteering(robot, plain[0], plain[1]);
        game.AddSteeringFromTable(robot, table[0], table[1]);
        return std::memcmp(plain, table, sizeof plain) == 0;
    };
    auto emptyGame = [] {
        auto game = MakeBareGame(31);
        for (CFactory& factory : game->factories)
            game->Vacate(&factory);
        return game;
    };

    {
        SCOPED_TRACE("two robots at every offset");
        auto game = emptyGame();
        int mismatches = 0;
        for (const int corner : {0, 63, 63 * 64, 63 * 64 + 63}) {
            const CRobot& fixed = PutRobot(*game, 0, corner % 64, corner / 64);
            for (int cell = 0; cell < CGame::kCellCount; ++cell) {
                if (cell == corner)
                    continue;
                const CRobot& moving = PutRobot(*game, 0, cell % 64, cell / 64);
                mismatches += !expectEqual(*game, fixed) + !expectEqual(*game, moving);
                game->RemoveRobot(0, 1);
            }
            game->RemoveRobot(0, 0);
        }
        EXPECT_EQ(mismatches, 0);
    }

    const struct {
        const char* what;
        int robots;
        int marks;
    } fields[] = {
        {"1023 robots at random, 96 move magnets", 1023, 96},
        {"every cell", CGame::kCellCount, 0},
    };
    for (const auto& field : fields) {
        SCOPED_TRACE(field.what);
        auto game = emptyGame();
        tlib::SeedRandom(4242);
        while (game->robotCount[0] < field.robots) {
            const int x = tlib::Random() % CGame::kGridSize;
            const int y = tlib::Random() % CGame::kGridSize;
            if (game->IsAreaFree(x, y, 1, 1))
                PutRobot(*game, 0, x, y);
        }
        for (int i = 0; i < field.marks; ++i)  // types 0..8: attracting (4) and pushing
            game->AddMoveMagnet(tlib::Random() % CGame::kGridSize, tlib::Random() % CGame::kGridSize, i % 9, 0);
        for (int i = 0; i < game->robotCount[0]; i += field.robots / 256 + 1)
            ASSERT_TRUE(expectEqual(*game, game->robots[0][i])) << "robot " << i;
    }
}

// The robot pass works a robot's spacing sum out while the pushes of the
// robot before it add up, and accounts for that robot's step afterwards;
// the plain pass, with AddSteering for every robot, is the reference. Red
// and blue overlap in rows 24..39, so robots die in contact too.
TEST(Steering, ThePassEqualsThePlainPassBitForBit)
{
    const struct {
        const char* what;
        int robots;     // per side
        int marks;      // move magnets per side
        bool atOnce;    // every robot steps in the first pass; otherwise timers at random
        int deadEvery;  // every n-th robot starts dead; 0: none
    } cases[] = {
        {"a crowded field stepping at once", 1000, 256, true, 0},
        {"timers at random, some robots dead", 700, 40, false, 5},
        {"no move magnets", 300, 0, true, 0},
        {"few robots, dead ones among them", 12, 100, true, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint64_t> plainDigests;
        for (const bool plain : {true, false}) {
            auto game = MakeBareGame(8);
            for (int side = 0; side < 2; ++side) {
                while (game->robotCount[side] < c.robots) {
                    const int x = tlib::Random() % CGame::kGridSize;
                    const int y = side * 24 + tlib::Random() % 40;
                    if (!game->IsAreaFree(x, y, 1, 1))
                        continue;
                    CRobot& robot = PutRobot(*game, side, x, y);
                    robot.moveTimer = c.atOnce ? CGame::kMoveInterval - 1 : tlib::Random() % CGame::kMoveInterval;
                    robot.dead = c.deadEvery != 0 && game->robotCount[side] % c.deadEvery == 0;
                }
                for (int i = 0; i < c.marks; ++i)
                    game->AddMoveMagnet(tlib::Random() % CGame::kGridSize, tlib::Random() % CGame::kGridSize, i % 9, side);
            }
            for (int pass = 0; pass < 2 * CGame::kMoveInterval + 1; ++pass) {
                if (plain)
                    game->UpdateRobotsPlain();
                else
                    game->UpdateRobots();
                const uint64_t digest = StateDigest(*game) ^ tlib::RandomState();
                if (plain)
                    plainDigests.push_back(digest);
                else
                    ASSERT_EQ(digest, plainDigests[static_cast<size_t>(pass)]) << "pass " << pass;
            }
            EXPECT_EQ(GridProblem(*game), "");
        }
    }
}
