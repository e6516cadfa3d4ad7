// Magnets, lasers and laser shots.

#include <gtest/gtest.h>

#include "GameFixture.h"

TEST(Magnet, CapturesOneEnemyInReachEveryNinetyFiveTicksForFourEnergy)
{
    auto game = MakeBareGame();
    PutMagnet(*game, 0, 20, 20);
    PutRobot(*game, 1, 21, 28);  // offset (1, 8): 65 > 64, out of reach
    PutRobot(*game, 0, 20, 17);  // own side: never a victim
    game->energy[0] = 7;
    Repeat(*game, &CGame::UpdateMagnets, 200);
    EXPECT_EQ(game->magnets[0][0].charge, 95) << "waits charged";
    EXPECT_EQ(game->energy[0], 7);
    PutRobot(*game, 1, 12, 20);  // offset (-8, 0): just in reach
    PutRobot(*game, 1, 22, 25);
    game->UpdateMagnets();
    EXPECT_EQ(game->robots[1][1].dead + game->robots[1][2].dead, 1) << "one of the two in reach";
    EXPECT_FALSE(game->robots[1][0].dead) << "out of reach";
    EXPECT_FALSE(game->robots[0][0].dead) << "own side";
    EXPECT_EQ(game->magnets[0][0].charge, 0);
    EXPECT_EQ(game->energy[0], 3);
    game->UpdateRobots();  // the captured robot goes at its turn
    Repeat(*game, &CGame::UpdateMagnets, 94);
    EXPECT_FALSE(game->robots[1][1].dead);
    game->UpdateMagnets();
    EXPECT_TRUE(game->robots[1][1].dead);
    EXPECT_EQ(game->energy[0], 3) << "with 3 energy the capture is free";
}

TEST(Laser, WornOutByEnemyRobotsAroundItsFirstCell)
{
    auto game = MakeBareGame();
    PutLaser(*game, 0, 20, 20);
    const struct { int side, x, y; } robots[] = {{1, 19, 19}, {1, 20, 19}, {1, 21, 19}, {1, 22, 20}, {1, 20, 22}, {0, 19, 20}};
    for (const auto& r : robots)  // the last three touch its far column or row, or are its own
        PutRobot(*game, r.side, r.x, r.y);
    Repeat(*game, &CGame::UpdateLasers, 19);
    ASSERT_EQ(game->laserCount[0], 1);
    EXPECT_EQ(game->lasers[0][0].health, 1);
    game->UpdateLasers();
    EXPECT_EQ(game->laserCount[0], 0);
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Laser, AimsAtAnEnemyMagnetAndFiresAShotThatFliesAndDestroysIt)
{
    auto game = MakeBareGame();
    CLaser& laser = PutLaser(*game, 0, 10, 40);
    PutMagnet(*game, 0, 20, 40);  // its own side's: no target
    PutMagnet(*game, 1, 10, 30);  // 10 cells up: 25 world units, 4 steps
    game->UpdateLasers();
    ASSERT_EQ(laser.target, &game->magnets[1][0]);
    Repeat(*game, &CGame::UpdateLasers, 204);  // fired on the 201st tick after aiming
    EXPECT_EQ(game->shotCount, 1);
    EXPECT_FALSE(game->magnets[1][0].destroyed);
    EXPECT_EQ(laser.target, &game->magnets[1][0]);  // aiming again while the shot flies
    game->UpdateLasers();
    EXPECT_EQ(game->shotCount, 0);
    EXPECT_TRUE(game->magnets[1][0].destroyed);
    // Flight steps grow with the square of the distance (the laser at x 0);
    // the last is the longest flight.
    const struct { int laserY, magnetX, magnetY, steps; } flights[] = {
        {62, 0, 62, 0}, {62, 10, 62, 4}, {62, 30, 62, 41}, {62, 60, 62, 164}, {0, 62, 62, 351}};
    laser.x = 0;
    laser.target = &game->magnets[1][0];
    for (const auto& f : flights) {
        laser.y = f.laserY;
        game->magnets[1][0].x = f.magnetX;
        game->magnets[1][0].y = f.magnetY;
        game->FireLaserShot(laser);
        EXPECT_EQ(game->shots[game->shotCount - 1].steps, f.steps) << f.magnetX << "," << f.magnetY;
    }
    game->shotCount = CGame::kShotCapacity;  // a full list drops the shot
    game->FireLaserShot(laser);
    EXPECT_EQ(game->shotCount, CGame::kShotCapacity);
}
