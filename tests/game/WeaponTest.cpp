// Magnets, lasers and laser shots.

#include <gtest/gtest.h>

#include "GameFixture.h"

TEST(Magnet, CapturesOnItsNinetyFifthTickThenEveryNinetyFive)
{
    auto game = MakeBareGame();
    PutMagnet(*game, 0, 20, 20);
    PutRobot(*game, 1, 22, 25);
    PutRobot(*game, 1, 20, 12);  // offset (0, -8): just in reach
    game->energy[0] = 7;
    for (int tick = 1; tick < 95; ++tick)
        game->UpdateMagnets();
    EXPECT_FALSE(game->robots[1][0].dead || game->robots[1][1].dead);
    game->UpdateMagnets();
    EXPECT_EQ(game->robots[1][0].dead + game->robots[1][1].dead, 1);
    EXPECT_EQ(game->magnets[0][0].charge, 0);
    EXPECT_EQ(game->energy[0], 3);
    game->UpdateRobots();  // the captured robot goes at its turn
    ASSERT_EQ(game->robotCount[1], 1);
    for (int tick = 1; tick <= 95; ++tick)
        game->UpdateMagnets();
    EXPECT_TRUE(game->robots[1][0].dead);
    EXPECT_EQ(game->energy[0], 3);  // with 3 energy the capture is free
}

TEST(Magnet, WaitsChargedWhileNobodyIsInReach)
{
    auto game = MakeBareGame();
    PutMagnet(*game, 1, 20, 20);
    PutRobot(*game, 0, 21, 28);  // offset (1, 8): 65 > 64
    PutRobot(*game, 1, 21, 21 - 3);  // own side: never a victim
    for (int tick = 0; tick < 200; ++tick)
        game->UpdateMagnets();
    EXPECT_EQ(game->magnets[1][0].charge, 95);
    EXPECT_FALSE(game->robots[0][0].dead);
    EXPECT_EQ(game->energy[1], 100);
    CRobot& near = PutRobot(*game, 0, 12, 20);  // offset (-8, 0)
    game->UpdateMagnets();
    EXPECT_TRUE(near.dead);
    EXPECT_EQ(game->energy[1], 96);
}

TEST(Laser, EnemyRobotsOnTheTopRowWearItOut)
{
    auto game = MakeBareGame();
    PutLaser(*game, 0, 20, 20);
    for (int x = 19; x <= 21; ++x)
        PutRobot(*game, 1, x, 19);
    PutRobot(*game, 1, 22, 20);  // touches its right column: no wear
    PutRobot(*game, 1, 20, 22);  // touches its bottom row: no wear
    PutRobot(*game, 0, 19, 20);  // own side: no wear
    for (int tick = 1; tick < 20; ++tick)
        game->UpdateLasers();
    ASSERT_EQ(game->laserCount[0], 1);
    EXPECT_EQ(game->lasers[0][0].health, 1);
    game->UpdateLasers();
    EXPECT_EQ(game->laserCount[0], 0);
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Laser, WithoutEnemyMagnetsItNeverAims)
{
    auto game = MakeBareGame();
    PutLaser(*game, 1, 20, 20);
    PutMagnet(*game, 1, 30, 20);  // its own side's magnet is no target
    for (int tick = 0; tick < 500; ++tick)
        game->UpdateLasers();
    EXPECT_EQ(game->lasers[1][0].target, nullptr);
    EXPECT_FLOAT_EQ(game->lasers[1][0].angle, 3.14159265f);
    EXPECT_EQ(game->shotCount, 0);
}

TEST(Laser, AimsFiresAndTheShotDestroysTheMagnet)
{
    auto game = MakeBareGame();
    CLaser& laser = PutLaser(*game, 0, 10, 40);
    PutMagnet(*game, 1, 10, 30);  // 10 cells up: 25 world units, 4 steps
    game->UpdateLasers();
    ASSERT_EQ(laser.target, &game->magnets[1][0]);
    EXPECT_EQ(laser.aimTimer, 0);
    EXPECT_FLOAT_EQ(laser.angle, static_cast<float>(-3.14159265358979323846 / 2));
    for (int tick = 0; tick < 200; ++tick)
        game->UpdateLasers();
    EXPECT_EQ(game->shotCount, 0);
    game->UpdateLasers();  // the 201st tick after the target was chosen
    ASSERT_EQ(game->shotCount, 1);
    EXPECT_EQ(laser.target, nullptr);
    const CLaserShot& shot = game->shots[0];
    EXPECT_EQ(shot.startX, 25);
    EXPECT_EQ(shot.startY, 100);
    EXPECT_EQ(shot.endY, 75);
    EXPECT_EQ(shot.steps, 4);
    EXPECT_EQ(shot.target, &game->magnets[1][0]);

    // The laser chooses its target again while the shot flies.
    game->UpdateLasers();
    EXPECT_EQ(shot.curY, 100 - 25 / 4);
    EXPECT_EQ(laser.target, &game->magnets[1][0]);
    for (int tick = 0; tick < 2; ++tick)
        game->UpdateLasers();
    EXPECT_EQ(game->shotCount, 1);
    EXPECT_FALSE(game->magnets[1][0].destroyed);
    game->UpdateLasers();
    EXPECT_EQ(game->shotCount, 0);
    EXPECT_TRUE(game->magnets[1][0].destroyed);

    // The magnet goes at its next turn and the aiming laser loses it.
    game->UpdateMagnets();
    EXPECT_EQ(game->magnetCount[1], 0);
    EXPECT_EQ(laser.target, nullptr);
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Laser, FlightTimeGrowsWithTheSquareOfTheDistance)
{
    auto game = MakeBareGame();
    struct {
        int cells;
        int steps;
    } const cases[] = {{0, 0}, {10, 4}, {30, 41}, {60, 164}};
    for (const auto& c : cases) {
        CLaser& laser = PutLaser(*game, 0, 0, 62);
        CMagnet& magnet = PutMagnet(*game, 1, c.cells, 62);
        laser.target = &magnet;
        game->FireLaserShot(laser);
        EXPECT_EQ(game->shots[game->shotCount - 1].steps, c.steps) << c.cells;
        game->Vacate(&laser);
        game->laserCount[0] = 0;
        game->Vacate(&magnet);
        game->magnetCount[1] = 0;
    }
    // A shot of 0 steps arrives at its first move.
    game->shots[0].target = nullptr;
    game->UpdateLasers();
    EXPECT_EQ(game->shotCount, 3);

    // The longest flight, corner to corner.
    CLaser& laser = PutLaser(*game, 0, 0, 0);
    CMagnet& magnet = PutMagnet(*game, 1, 62, 62);
    laser.target = &magnet;
    game->FireLaserShot(laser);
    EXPECT_EQ(game->shots[game->shotCount - 1].steps, 351);
}

TEST(Laser, ASecondShotAtARemovedMagnetLandsHarmlessly)
{
    auto game = MakeBareGame();
    PutMagnet(*game, 1, 30, 10);
    PutMagnet(*game, 1, 40, 10);
    CLaser& nearLaser = PutLaser(*game, 0, 30, 14);
    CLaser& farLaser = PutLaser(*game, 0, 30, 40);
    nearLaser.target = &game->magnets[1][0];
    farLaser.target = &game->magnets[1][0];
    game->FireLaserShot(nearLaser);
    game->FireLaserShot(farLaser);
    CLaser& stillAiming = PutLaser(*game, 0, 50, 40);
    stillAiming.target = &game->magnets[1][0];
    CLaser& aimsAtOther = PutLaser(*game, 0, 54, 40);
    aimsAtOther.target = &game->magnets[1][1];

    int ticks = 0;
    while (!game->magnets[1][0].destroyed && ticks++ < 20)
        game->UpdateLasers();
    ASSERT_TRUE(game->magnets[1][0].destroyed);
    EXPECT_EQ(game->shotCount, 1);
    game->UpdateMagnets();
    EXPECT_EQ(game->magnetCount[1], 1);
    EXPECT_EQ(game->shots[0].target, nullptr);
    EXPECT_EQ(stillAiming.target, nullptr);
    EXPECT_EQ(aimsAtOther.target, &game->magnets[1][0]);
    EXPECT_EQ(game->magnets[1][0].x, 40);
    while (game->shotCount > 0 && ticks++ < 400)
        game->UpdateLasers();
    EXPECT_EQ(game->magnetCount[1], 1);
    EXPECT_FALSE(game->magnets[1][0].destroyed);
}

TEST(Laser, AFullShotListDropsTheShot)
{
    auto game = MakeBareGame();
    CLaser& laser = PutLaser(*game, 0, 10, 40);
    laser.target = &PutMagnet(*game, 1, 10, 30);
    game->shotCount = CGame::kShotCapacity;
    game->FireLaserShot(laser);
    EXPECT_EQ(game->shotCount, CGame::kShotCapacity);
}
