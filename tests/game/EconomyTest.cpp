// Energy, production of robots, building and harvesting.

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "GameFixture.h"

TEST(Building, CostsAndRefusals)
{
    auto game = MakeBareGame();
    // Too little energy, off the grid, on the factory, far from red's
    // structures: nothing built, nothing paid.
    game->energy[0] = 2;
    game->BuildMagnet(34, 52, 0);
    game->energy[0] = 100;
    const struct { int x, y; } refused[] = {{63, 57}, {-1, 52}, {33, 57}, {32, 50}};
    for (const auto& cell : refused)
        game->BuildMagnet(cell.x, cell.y, 0);
    EXPECT_EQ(game->magnetCount[0], 0);
    EXPECT_EQ(game->energy[0], 100);
    game->energy[0] = 10;  // exactly the two costs
    game->BuildMagnet(34, 52, 0);  // factory cell (33, 58) at 1 + 36
    game->BuildLaser(32, 46, 0);   // in reach of the new magnet only
    EXPECT_EQ(game->magnetCount[0], 1);
    EXPECT_EQ(game->laserCount[0], 1);
    EXPECT_EQ(game->energy[0], 0);
    // Robots and enemy structures do not extend the reach.
    PutRobot(*game, 0, 20, 20);
    PutMagnet(*game, 1, 40, 20);
    EXPECT_FALSE(game->IsNearOwnStructure(21, 21, 0)) << "own robot";
    EXPECT_FALSE(game->IsNearOwnStructure(41, 21, 0)) << "enemy magnet";
    EXPECT_TRUE(game->IsNearOwnStructure(41, 21, 1)) << "own magnet";
}

TEST(Production, FourRobotsNearTheFactoryWhileEnergyLimitAndRoomLast)
{
    auto game = MakeBareGame(5);
    game->energy[1] = 2;
    game->ProduceRobots(0);
    game->ProduceRobots(1);
    // Robots and energy of red, then blue.
    EXPECT_EQ(std::make_tuple(game->robotCount[0], game->energy[0], game->robotCount[1], game->energy[1]),
              std::make_tuple(4, 96, 2, 0));
    for (int i = 0; i < 4; ++i)  // within 9 cells of (32, 59) in x and in y
        EXPECT_LE(std::hypot(game->robots[0][i].x - 32, game->robots[0][i].y - 59), 9 * std::sqrt(2.0));
    EXPECT_EQ(GridProblem(*game), "");
    game->robotCount[0] = CGame::kRobotLimit;  // entries are not on the grid; only the count matters
    game->ProduceRobots(0);
    EXPECT_EQ(game->robotCount[0], CGame::kRobotLimit);
    EXPECT_EQ(game->energy[0], 96);
    // Every cell within reach of blue's factory taken: spawns fail and cost nothing.
    game->energy[1] = 100;
    for (int cell = 0; cell < 16 * 64; ++cell)
        if (game->At(cell % 64, cell / 64) == nullptr)
            PutRobot(*game, 0, cell % 64, cell / 64);
    game->ProduceRobots(1);
    EXPECT_EQ(game->robotCount[1], 2);
    EXPECT_EQ(game->energy[1], 100);
}

TEST(Harvest, TheRobotReachedLastInTheScanTakesTheEnergy)
{
    auto game = MakeBareGame();
    PutTree(*game, 20, 20).wood = 2;  // both neighbours take one: blue, scanned last, gets the 8
    PutRobot(*game, 0, 19, 19);
    PutRobot(*game, 1, 21, 21);
    PutTree(*game, 30, 20).wood = 1;
    PutRobot(*game, 0, 29, 20).dead = true;  // dead robots still harvest
    PutTree(*game, 40, 20).wood = 1;  // moves into a felled tree's index: scanned in the same pass
    PutRobot(*game, 0, 41, 20);
    game->UpdateTrees();
    EXPECT_EQ(game->energy[0], 116);
    EXPECT_EQ(game->energy[1], 108);
    EXPECT_EQ(game->treeCount, 0);
    EXPECT_EQ(GridProblem(*game), "");
}
