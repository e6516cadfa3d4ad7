// Energy, production of robots, building and harvesting.

#include <gtest/gtest.h>

#include "GameFixture.h"

TEST(Building, MagnetAndLaserNeedTheirEnergy)
{
    auto game = MakeBareGame();
    game->energy[0] = 2;
    game->BuildMagnet(34, 52, 0);
    EXPECT_EQ(game->magnetCount[0], 0);
    EXPECT_EQ(game->energy[0], 2);
    game->energy[0] = 3;
    game->BuildMagnet(34, 52, 0);
    ASSERT_EQ(game->magnetCount[0], 1);
    EXPECT_EQ(game->energy[0], 0);
    const CMagnet& magnet = game->magnets[0][0];
    EXPECT_EQ(game->At(35, 53), &magnet);
    EXPECT_EQ(magnet.charge, 0);
    EXPECT_FALSE(magnet.destroyed);

    game->energy[0] = 6;
    game->BuildLaser(30, 54, 0);
    EXPECT_EQ(game->laserCount[0], 0);
    game->energy[0] = 7;
    game->BuildLaser(30, 54, 0);
    ASSERT_EQ(game->laserCount[0], 1);
    EXPECT_EQ(game->energy[0], 0);
    EXPECT_EQ(game->lasers[0][0].health, 58);
    EXPECT_FLOAT_EQ(game->lasers[0][0].angle, 3.14159265f);
    EXPECT_EQ(game->lasers[0][0].target, nullptr);
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Building, RefusedWhereOccupiedOrFarFromOwnStructures)
{
    auto game = MakeBareGame();
    EXPECT_TRUE(game->IsNearOwnStructure(34, 52, 0));   // factory cell (33, 58): 1 + 36
    EXPECT_FALSE(game->IsNearOwnStructure(32, 50, 0));  // nearest factory cell at (0, 8)
    EXPECT_FALSE(game->IsNearOwnStructure(34, 52, 1));  // blue's factory is far
    game->BuildMagnet(32, 50, 0);
    EXPECT_EQ(game->magnetCount[0], 0);
    game->BuildMagnet(33, 57, 0);  // overlaps the factory
    EXPECT_EQ(game->magnetCount[0], 0);
    game->BuildMagnet(63, 57, 0);  // leaves the grid
    EXPECT_EQ(game->magnetCount[0], 0);
    EXPECT_EQ(game->energy[0], 100);

    // A new structure extends the reach; robots and enemy structures do not.
    game->BuildMagnet(34, 52, 0);
    EXPECT_TRUE(game->IsNearOwnStructure(32, 46, 0));
    PutRobot(*game, 0, 20, 20);
    PutMagnet(*game, 1, 40, 20);
    EXPECT_FALSE(game->IsNearOwnStructure(21, 21, 0));
    EXPECT_FALSE(game->IsNearOwnStructure(41, 21, 0));
    EXPECT_TRUE(game->IsNearOwnStructure(41, 21, 1));
}

TEST(Production, FourRobotsNearTheFactoryForOneEnergyEach)
{
    auto game = MakeBareGame(5);
    game->ProduceRobots(0);
    ASSERT_EQ(game->robotCount[0], 4);
    EXPECT_EQ(game->energy[0], 96);
    for (int i = 0; i < 4; ++i) {
        const CRobot& robot = game->robots[0][i];
        const int dx = robot.x - 32;
        const int dy = robot.y - 59;
        EXPECT_LE(dx * dx + dy * dy, 2 * 81);
        EXPECT_TRUE(robot.facing >= 0 && robot.facing < 8);
    }
    EXPECT_EQ(GridProblem(*game), "");

    game->energy[1] = 2;
    game->ProduceRobots(1);
    EXPECT_EQ(game->robotCount[1], 2);
    EXPECT_EQ(game->energy[1], 0);
}

TEST(Production, StopsAtTheRobotLimitAndWhenTheAreaIsFull)
{
    auto game = MakeBareGame();
    game->robotCount[0] = CGame::kRobotLimit;  // entries are not on the grid; only the count matters
    game->ProduceRobots(0);
    EXPECT_EQ(game->robotCount[0], CGame::kRobotLimit);
    EXPECT_EQ(game->energy[0], 100);

    // Every cell within reach of blue's factory taken: spawns fail and cost nothing.
    auto full = MakeBareGame();
    for (int y = 0; y < 16; ++y)
        for (int x = 21; x < 42; ++x)
            if (full->At(x, y) == nullptr)
                PutRobot(*full, 0, x, y);
    EXPECT_FALSE(full->SpawnRobot(1));
    full->ProduceRobots(1);
    EXPECT_EQ(full->robotCount[1], 0);
    EXPECT_EQ(full->energy[1], 100);
}

TEST(Harvest, OneNeighbourFellsATreeInOneHundredTicks)
{
    auto game = MakeBareGame();
    PutTree(*game, 10, 10);
    PutRobot(*game, 1, 11, 11);
    for (int tick = 1; tick < 100; ++tick)
        game->UpdateTrees();
    EXPECT_EQ(game->treeCount, 1);
    EXPECT_EQ(game->trees[0].wood, 1);
    game->UpdateTrees();
    EXPECT_EQ(game->treeCount, 0);
    EXPECT_EQ(game->At(10, 10), nullptr);
    EXPECT_EQ(game->energy[1], 108);
    EXPECT_EQ(game->energy[0], 100);
}

TEST(Harvest, TheRobotReachedLastInTheScanTakesTheEnergy)
{
    auto game = MakeBareGame();
    PutTree(*game, 20, 20);
    PutTree(*game, 30, 20);
    PutTree(*game, 40, 20);
    PutRobot(*game, 0, 19, 19);  // scanned first (dy = -1)
    PutRobot(*game, 1, 21, 21);  // scanned last (dy = 1)
    game->trees[0].wood = 2;     // both take one: blue takes the last
    CRobot& dead = PutRobot(*game, 0, 29, 20);
    dead.dead = true;  // dead robots still harvest
    game->trees[1].wood = 1;
    PutRobot(*game, 0, 41, 20);
    game->trees[2].wood = 1;
    game->UpdateTrees();
    EXPECT_EQ(game->energy[1], 108);
    // The trees that moved into a felled tree's index are scanned in the same pass.
    EXPECT_EQ(game->energy[0], 116);
    EXPECT_EQ(game->treeCount, 0);
    EXPECT_EQ(GridProblem(*game), "");
}
