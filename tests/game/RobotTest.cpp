// The robot pass: contact, removal, steering and move magnets.

#include <gtest/gtest.h>

#include <cmath>

#include "GameFixture.h"

TEST(Contact, BothRobotsGoEachAtItsOwnTurn)
{
    auto game = MakeBareGame();
    PutRobot(*game, 0, 10, 10);
    PutRobot(*game, 1, 11, 11);
    PutRobot(*game, 1, 30, 30);
    game->UpdateRobots();
    EXPECT_EQ(game->robotCount[0], 0);
    ASSERT_EQ(game->robotCount[1], 1);
    EXPECT_EQ(game->robots[1][0].x, 30);
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Contact, ADeadRobotStillTouchesBeforeItIsRemoved)
{
    auto game = MakeBareGame();
    PutRobot(*game, 0, 10, 10).dead = true;  // captured by a magnet last tick
    PutRobot(*game, 1, 9, 10);
    PutRobot(*game, 1, 40, 40).dead = true;
    game->UpdateRobots();
    EXPECT_EQ(game->robotCount[0], 0);
    EXPECT_EQ(game->robotCount[1], 0);
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Contact, ARedRobotMarkedInTheBlueHalfStaysUntilTheNextTick)
{
    auto game = MakeBareGame();
    CRobot& red = PutRobot(*game, 0, 10, 10);
    red.moveTimer = CGame::kMoveInterval - 1;
    // Two pushes of 20 to the right outweigh any wander: red steps to (11, 10).
    game->AddMoveMagnet(9, 10, 5, 0);
    game->AddMoveMagnet(11, 10, 5, 0);
    PutRobot(*game, 1, 12, 10);
    game->UpdateRobots();
    ASSERT_EQ(game->robotCount[0], 1);
    EXPECT_EQ(game->robots[0][0].x, 11);
    EXPECT_EQ(game->robots[0][0].facing, 6);
    EXPECT_TRUE(game->robots[0][0].dead);
    EXPECT_EQ(game->robotCount[1], 0);
    game->UpdateRobots();
    EXPECT_EQ(game->robotCount[0], 0);
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Steering, MoveMagnetStrengths)
{
    auto game = MakeBareGame();
    CRobot& robot = PutRobot(*game, 0, 20, 20);
    double vx = 0.0;
    double vy = 0.0;

    game->AddMoveMagnet(20, 23, 4, 0);  // attracting, distance 3: no pull
    game->AddSteering(robot, vx, vy);
    EXPECT_EQ(vx, 0.0);
    EXPECT_EQ(vy, 0.0);

    game->ClearMoveMagnets(0);
    game->AddMoveMagnet(24, 20, 4, 0);  // distance 4: 15 / sqrt(4)
    game->AddSteering(robot, vx, vy);
    EXPECT_DOUBLE_EQ(vx, 7.5);
    EXPECT_DOUBLE_EQ(vy, 0.0);

    vx = vy = 0.0;
    game->ClearMoveMagnets(0);
    game->AddMoveMagnet(20, 22, 5, 0);  // pushing right, distance 2: 20 / 2, wherever it stands
    game->AddMoveMagnet(20, 20, 5, 0);  // on the robot's own cell: no push
    game->AddSteering(robot, vx, vy);
    EXPECT_DOUBLE_EQ(vx, 10.0);
    EXPECT_DOUBLE_EQ(vy, 0.0);

    vx = vy = 0.0;
    game->ClearMoveMagnets(0);
    game->AddMoveMagnet(0, 0, 0, 0);  // up and left: angle 5pi/4, distance 20*sqrt(2)
    game->AddSteering(robot, vx, vy);
    const double strength = 20.0 / static_cast<float>(std::sqrt(800.0));
    EXPECT_NEAR(vx, -strength * std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(vy, -strength * std::sqrt(0.5), 1e-6);

    // Spacing: 1 / |d| away from each robot of the own side; enemies do not count.
    vx = vy = 0.0;
    game->ClearMoveMagnets(0);
    PutRobot(*game, 0, 22, 20);
    PutRobot(*game, 0, 20, 16);
    PutRobot(*game, 1, 19, 20);
    game->AddSteering(robot, vx, vy);
    EXPECT_DOUBLE_EQ(vx, -0.5);
    EXPECT_DOUBLE_EQ(vy, 0.25);
}

TEST(Steering, ALoneRobotStepsOnceEveryFifteenTicks)
{
    auto game = MakeBareGame(77);
    CRobot& robot = PutRobot(*game, 0, 20, 30);
    int steps = 0;
    int lastX = 20;
    int lastY = 30;
    for (int tick = 1; tick <= 150; ++tick) {
        game->UpdateRobots();
        const CRobot& r = game->robots[0][0];
        const int dx = r.x - lastX;
        const int dy = r.y - lastY;
        if (dx != 0 || dy != 0) {
            EXPECT_EQ(tick % 15, 0) << "tick " << tick;
            EXPECT_LE(std::abs(dx), 1);
            EXPECT_LE(std::abs(dy), 1);
            static const int kFacing[3][3] = {{3, 4, 5}, {2, -1, 6}, {1, 0, 7}};
            EXPECT_EQ(r.facing, kFacing[dy + 1][dx + 1]);
            ++steps;
        }
        lastX = r.x;
        lastY = r.y;
    }
    EXPECT_GE(steps, 5);
    EXPECT_EQ(&robot, &game->robots[0][0]);
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Steering, ARobotNeverStepsOntoAnOccupiedCell)
{
    auto game = MakeBareGame(3);
    // A robot boxed in by trees turns but stays.
    CRobot& robot = PutRobot(*game, 0, 20, 30);
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (dx != 0 || dy != 0)
                PutTree(*game, 20 + dx, 30 + dy);
    for (int tick = 0; tick < 60; ++tick)
        game->UpdateRobots();
    EXPECT_EQ(robot.x, 20);
    EXPECT_EQ(robot.y, 30);
    // A robot in a corner pushed off the grid stays on it.
    auto corner = MakeBareGame(4);
    PutRobot(*corner, 1, 0, 0);
    corner->AddMoveMagnet(1, 1, 0, 1);
    for (int tick = 0; tick < 150; ++tick)
        corner->UpdateRobots();
    EXPECT_EQ(corner->robots[1][0].x + corner->robots[1][0].y, 0);
}

TEST(MoveMagnets, OnePerCellAndSideRemovalKeepsOrder)
{
    auto game = MakeBareGame();
    game->AddMoveMagnet(5, 5, 4, 0);
    game->AddMoveMagnet(5, 5, 2, 0);  // refused: red already has one there
    game->AddMoveMagnet(5, 5, 2, 1);  // blue may
    game->AddMoveMagnet(6, 5, 7, 0);
    game->AddMoveMagnet(7, 5, 3, 0);
    ASSERT_EQ(game->moveMagnetCount[0], 3);
    EXPECT_EQ(game->moveMagnets[0][0].kind, 0);
    EXPECT_EQ(game->moveMagnets[0][1].kind, 1);
    EXPECT_FLOAT_EQ(game->moveMagnets[0][1].angle, 1.5707964f);
    EXPECT_EQ(game->moveMagnetCount[1], 1);
    EXPECT_FLOAT_EQ(game->moveMagnets[1][0].angle, 5.497787f);

    game->RemoveMoveMagnet(9, 9, 0);
    EXPECT_EQ(game->moveMagnetCount[0], 3);
    game->RemoveMoveMagnet(5, 5, 0);
    ASSERT_EQ(game->moveMagnetCount[0], 2);
    EXPECT_EQ(game->moveMagnets[0][0].x, 6);
    EXPECT_EQ(game->moveMagnets[0][1].x, 7);
    EXPECT_EQ(game->moveMagnetCount[1], 1);
    game->ClearMoveMagnets(0);
    EXPECT_EQ(game->moveMagnetCount[0], 0);
    EXPECT_EQ(game->moveMagnetCount[1], 1);

    // Every cell can hold one: the list never overflows.
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            game->AddMoveMagnet(x, y, 1, 0);
    EXPECT_EQ(game->moveMagnetCount[0], CGame::kMoveMagnetCapacity);
    game->AddMoveMagnet(3, 3, 1, 0);
    EXPECT_EQ(game->moveMagnetCount[0], CGame::kMoveMagnetCapacity);
}

TEST(Steering, TheVectorisedSumEqualsThePlainSumBitForBit)
{
    auto game = MakeBareGame(31);
    // A crowded, irregular side: 1023 robots on random free cells.
    uint32_t s = 12345;
    auto next = [&s]() {
        s = s * 1103515245u + 12345u;
        return static_cast<int>((s >> 8) % 64);
    };
    while (game->robotCount[0] < 1023) {
        const int x = next();
        const int y = next();
        if (game->IsAreaFree(x, y, 1, 1))
            PutRobot(*game, 0, x, y);
    }
    for (int i = 0; i < 64; ++i)
        game->AddMoveMagnet(next(), next(), i % 9, 0);
    for (int i = 0; i < game->robotCount[0]; i += 7) {
        const CRobot& robot = game->robots[0][i];
        double plainX = i % 17 - 8.0;
        double plainY = i % 13 - 6.0;
        double fastX = plainX;
        double fastY = plainY;
        game->AddSteering(robot, plainX, plainY);
        game->AddSteeringVectorised(robot, fastX, fastY);
        ASSERT_EQ(plainX, fastX) << i;
        ASSERT_EQ(plainY, fastY) << i;
    }
}
