// The robot pass: contact, steering and move magnets.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "GameFixture.h"
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
    EXPECT_TRUE(game->robotCount[0] == 0 && game->robotCount[1] == 1 && game->robots[1][0].x == 30);
    // A red robot steps next to a blue one: marked in the blue half of the
    // pass, it goes only at its turn in the next tick.
    CRobot& red = PutRobot(*game, 0, 10, 10);
    red.moveTimer = CGame::kMoveInterval - 1;
    game->AddMoveMagnet(9, 10, 5, 0);  // two pushes of 20 to the right outweigh any wander
    game->AddMoveMagnet(11, 10, 5, 0);
    PutRobot(*game, 1, 12, 10);
    game->UpdateRobots();
    EXPECT_TRUE(game->robotCount[0] == 1 && red.x == 11 && red.facing == 6 && red.dead && game->robotCount[1] == 1);
    game->UpdateRobots();
    EXPECT_EQ(game->robotCount[0], 0);
    EXPECT_EQ(GridProblem(*game), "");
}

// The tick uses the vectorised sum; the plain one is its reference: both
// are checked.
TEST(Steering, MoveMagnetStrengthsSpacingAndListRules)
{
    auto game = MakeBareGame(31);
    const CRobot& robot = PutRobot(*game, 0, 20, 20);
    const double diagonal = -20.0 / static_cast<float>(std::sqrt(800.0)) * std::sqrt(0.5);
    // Move magnet x, y and type (x -1: none), expected vx and vy, tolerance.
    const double cases[][6] = {
        {20, 23, 4, 0.0, 0.0, 0.0},   // attracting at distance 3: no pull
        {24, 20, 4, 7.5, 0.0, 0.0},   // attracting at distance 4: 15 / sqrt(4)
        {20, 22, 5, 10.0, 0.0, 0.0},  // pushing right at distance 2: 20 / 2, wherever it stands
        {20, 20, 5, 0.0, 0.0, 0.0},   // on the robot's own cell: no push
        {0, 0, 0, diagonal, diagonal, 1e-6},  // up and left at 20 * sqrt(2)
        {-1, 0, 0, -0.5, 0.25, 0.0},  // own robots at (22, 20) and (20, 16) space it by 1 / |d|
    };
    for (const auto& c : cases) {
        game->ClearMoveMagnets(0);
        if (c[0] < 0) {
            PutRobot(*game, 0, 22, 20);
            PutRobot(*game, 0, 20, 16);
            PutRobot(*game, 1, 19, 20);  // enemies do not count
        } else {
            game->AddMoveMagnet(static_cast<int>(c[0]), static_cast<int>(c[1]), static_cast<int>(c[2]), 0);
        }
        double v[4] = {0.0, 0.0, 0.0, 0.0};
        game->AddSteering(robot, v[0], v[1]);
        game->AddSteeringVectorised(robot, v[2], v[3]);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(v[i], c[3 + i % 2], c[5]) << c[0] << "," << c[1] << " type " << c[2] << " " << i;
    }

    // One move magnet per cell and side; removal keeps the order.
    const int laid[][4] = {{5, 5, 4, 0}, {5, 5, 2, 0}, {5, 5, 2, 1}, {6, 5, 7, 0}, {7, 5, 3, 0}};
    for (const auto& m : laid)
        game->AddMoveMagnet(m[0], m[1], m[2], m[3]);  // the second refused: red has one there
    game->RemoveMoveMagnet(9, 9, 0);
    game->RemoveMoveMagnet(5, 5, 0);
    ASSERT_EQ(game->moveMagnetCount[0], 2);
    EXPECT_TRUE(game->moveMagnets[0][0].x == 6 && game->moveMagnets[0][0].kind == 1 && game->moveMagnets[0][1].x == 7);
    game->ClearMoveMagnets(0);
    EXPECT_TRUE(game->moveMagnetCount[0] == 0 && game->moveMagnetCount[1] == 1);
    // Every cell can hold one: the list never overflows.
    for (int cell = 0; cell <= CGame::kCellCount; ++cell)
        game->AddMoveMagnet(cell % 64, cell / 64 % 64, cell % 9, 0);
    EXPECT_EQ(game->moveMagnetCount[0], CGame::kMoveMagnetCapacity);
}

// The robot pass sums four robots at a time; the plain loop is the
// reference. 1023 robots leave a partial group of three at the end.
TEST(Steering, TheVectorisedSumEqualsThePlainSumBitForBitOnACrowdedField)
{
    auto game = MakeBareGame(31);
    tlib::SeedRandom(4242);
    while (game->robotCount[0] < 1023) {
        const int x = tlib::Random() % CGame::kGridSize;
        const int y = tlib::Random() % CGame::kGridSize;
        if (game->IsAreaFree(x, y, 1, 1))
            PutRobot(*game, 0, x, y);
    }
    for (int i = 0; i < 96; ++i)  // types 0..8: attracting (4) and pushing
        game->AddMoveMagnet(tlib::Random() % CGame::kGridSize, tlib::Random() % CGame::kGridSize, i % 9, 0);
    ASSERT_GT(game->moveMagnetCount[0], 80);
    for (int i = 0; i < game->robotCount[0]; ++i) {
        double plain[2] = {i % 17 - 8.0, i % 13 - 6.0};
        double fast[2] = {plain[0], plain[1]};
        game->AddSteering(game->robots[0][i], plain[0], plain[1]);
        game->AddSteeringVectorised(game->robots[0][i], fast[0], fast[1]);
        ASSERT_EQ(std::memcmp(plain, fast, sizeof plain), 0) << "robot " << i << ": " << plain[0] << " " << fast[0];
    }
}
