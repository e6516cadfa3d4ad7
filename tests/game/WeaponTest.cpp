// Magnets, lasers and laser shots.

#include <gtest/gtest.h>

#include "GameFixture.h"

TEST(Magnet, CapturesOneEnemyInReachEveryNinetyFiveTicksForFourEnergy)
{
    auto game = MakeBareGame();
    PutMagnet(*game, 0, 20, 20);
    PutRobot(*game, 1, 21, 28);  // offset (1, 8): 65 > 64, out of reach
    PutRobot(*game, 0, 20, 17);  // own side: never a victim
    Repeat(*game, &CGame::UpdateMagnets, 200);
    EXPECT_TRUE(game->magnets[0][0].charge == 95 && game->energy[0] == 100);  // waits charged
    PutRobot(*game, 1, 12, 20);  // offset (-8, 0): just in reach
    PutRobot(*game, 1, 22, 25);
    game->energy[0] = 7;
    game->UpdateMagnets();
    EXPECT_EQ(game->robots[1][1].dead + game->robots[1][2].dead, 1);
    EXPECT_FALSE(game->robots[1][0].dead || game->robots[0][0].dead);
    EXPECT_TRUE(game->magnets[0][0].charge == 0 && game->energy[0] == 3);
    game->UpdateRobots();  // the captured robot goes at its turn
    Repeat(*game, &CGame::UpdateMagnets, 94);
    EXPECT_FALSE(game->robots[1][1].dead);
    game->UpdateMagnets();
    EXPECT_TRUE(game->robots[1][1].dead);
    EXPECT_EQ(game->energy[0], 3);  // with 3 energy the capture is free
}

TEST(Laser, EnemyRobotsAroundItsFirstCellWearItOut)
{
    auto game = MakeBareGame();
    PutLaser(*game, 0, 20, 20);
    for (int x = 19; x <= 21; ++x)
        PutRobot(*game, 1, x, 19);
    PutRobot(*game, 1, 22, 20);  // touches its right column: no wear
    PutRobot(*game, 1, 20, 22);  // touches its bottom row: no wear
    PutRobot(*game, 0, 19, 20);  // own side: no wear
    Repeat(*game, &CGame::UpdateLasers, 19);
    EXPECT_TRUE(game->laserCount[0] == 1 && game->lasers[0][0].health == 1);
    game->UpdateLasers();
    EXPECT_EQ(game->laserCount[0], 0);
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Laser, AimsAtAnEnemyMagnetFiresOnTheTwoHundredFirstTickAndTheShotDestroysIt)
{
    auto game = MakeBareGame();
    CLaser& laser = PutLaser(*game, 0, 10, 40);
    PutMagnet(*game, 0, 20, 40);  // its own side's: no target
    PutMagnet(*game, 1, 10, 30);  // 10 cells up: 25 world units, 4 steps
    game->UpdateLasers();
    ASSERT_EQ(laser.target, &game->magnets[1][0]);
    EXPECT_FLOAT_EQ(laser.angle, static_cast<float>(-3.14159265358979323846 / 2));
    Repeat(*game, &CGame::UpdateLasers, 200);
    EXPECT_EQ(game->shotCount, 0);
    game->UpdateLasers();
    EXPECT_EQ(game->shotCount, 1);
    Repeat(*game, &CGame::UpdateLasers, 3);
    EXPECT_EQ(laser.target, &game->magnets[1][0]);  // aiming again while the shot flies
    EXPECT_FALSE(game->magnets[1][0].destroyed);
    game->UpdateLasers();
    EXPECT_TRUE(game->shotCount == 0 && game->magnets[1][0].destroyed);
    game->UpdateMagnets();  // it goes at its turn and the aiming laser loses it
    EXPECT_TRUE(game->magnetCount[1] == 0 && laser.target == nullptr);
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Laser, FlightStepsGrowWithTheSquareOfTheDistanceAndAFullListDropsTheShot)
{
    auto game = MakeBareGame();
    // Laser y, magnet x and y (the laser at x 0), steps; the last the longest flight.
    const int cases[][4] = {{62, 0, 62, 0}, {62, 10, 62, 4}, {62, 30, 62, 41}, {62, 60, 62, 164}, {0, 62, 62, 351}};
    for (const auto& c : cases) {
        CLaser& laser = PutLaser(*game, 0, 0, c[0]);
        laser.target = &PutMagnet(*game, 1, c[1], c[2]);
        game->FireLaserShot(laser);
        EXPECT_EQ(game->shots[game->shotCount - 1].steps, c[3]) << c[1] << "," << c[2];
        game->Vacate(&laser);
        game->Vacate(laser.target);
        game->laserCount[0] = game->magnetCount[1] = 0;
    }
    CLaser& laser = PutLaser(*game, 0, 10, 40);
    laser.target = &PutMagnet(*game, 1, 10, 30);
    game->shotCount = CGame::kShotCapacity;
    game->FireLaserShot(laser);
    EXPECT_EQ(game->shotCount, CGame::kShotCapacity);
}
