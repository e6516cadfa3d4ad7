// The computer opponent: its schedule, its lottery and its band of move magnets.

#include <gtest/gtest.h>

#include "GameFixture.h"

namespace {

void SetCounts(CGame& game, int rR, int rM, int rL, int bR, int bM, int bL, int e)
{
    game.robotCount[0] = rR;
    game.magnetCount[0] = rM;
    game.laserCount[0] = rL;
    game.robotCount[1] = bR;
    game.magnetCount[1] = bM;
    game.laserCount[1] = bL;
    game.energy[1] = e;
}

struct SWeights {
    int r, m, l;
};

SWeights Weights(CGame& game)
{
    SWeights w;
    game.LotteryWeights(w.r, w.m, w.l);
    return w;
}

} // namespace

TEST(Computer, LotteryWeights)
{
    auto game = MakeBareGame();
    struct {
        int rR, rM, rL, bR, bM, bL, e;
        int r, m, l;
    } const cases[] = {
        // An opening: only the robot bonus.
        {4, 0, 0, 20, 0, 0, 80, 10, 0, 0},
        // Blue strong and comfortable: nothing to do.
        {10, 5, 6, 40, 0, 0, 150, 0, 0, 0},
        // Poor blue: steps 5 and 9; 9 replaces the magnet weight of step 2.
        {20, 0, 0, 45, 0, 0, 50, 29, 120, 150},
        // Red's robots, magnets and lasers call for answers (steps 2, 3, 4, 6).
        {41, 11, 7, 10, 5, 5, 100, 7 + 41 - 20 + 10 + 10, 3 - 1, 3 - 1},
        // Rich blue: steps 2 and 3 go negative, step 9 adds, step 10 clamps.
        {11, 6, 0, 40, 50, 50, 151, 0, 60 + 0 - 10, 50 + 1 - 10},
        // Many red robots reduce the poverty bonus; a negative R becomes 0.
        {200, 0, 0, 500, 0, 0, 59, 0 + 1, (80 - 59) * 4, (80 - 59) * 5},
    };
    for (const auto& c : cases) {
        SetCounts(*game, c.rR, c.rM, c.rL, c.bR, c.bM, c.bL, c.e);
        const SWeights w = Weights(*game);
        EXPECT_EQ(w.r, c.r) << c.rR << " " << c.e;
        EXPECT_EQ(w.m, c.m) << c.rR << " " << c.e;
        EXPECT_EQ(w.l, c.l) << c.rR << " " << c.e;
    }
}

TEST(Computer, DecidesOnTheFirstTickThenEveryTwelve)
{
    auto game = MakeBareGame();
    game->UpdateComputer();
    EXPECT_EQ(game->aiStep, 1);
    EXPECT_EQ(game->robotCount[1], 4);
    EXPECT_EQ(game->aiCountdown, 11);
    for (int tick = 0; tick < 11; ++tick)
        game->UpdateComputer();
    EXPECT_EQ(game->aiStep, 1);
    game->UpdateComputer();
    EXPECT_EQ(game->aiStep, 2);
    for (int tick = 0; tick < 24; ++tick)
        game->UpdateComputer();
    EXPECT_EQ(game->aiStep, 4);
    EXPECT_EQ(game->robotCount[1], 16);  // the opening's four decisions
    EXPECT_EQ(game->energy[1], 84);
}

TEST(Computer, LaysAndLiftsTheBandOfMoveMagnets)
{
    auto game = MakeBareGame();
    game->AddMoveMagnet(3, 33, 4, 0);  // red's own: untouched by blue's band
    game->aiStep = 900;
    for (int tick = 0; tick < 384 * 12; ++tick)
        game->UpdateComputer();
    ASSERT_EQ(game->moveMagnetCount[1], 384);
    for (int i = 0; i < 384; ++i) {
        const CMoveMagnet& mark = game->moveMagnets[1][i];
        EXPECT_EQ(mark.x, i % 64);
        EXPECT_EQ(mark.y, 32 + i / 64);
        EXPECT_EQ(mark.kind, 1);
        EXPECT_FLOAT_EQ(mark.angle, 5.497787f);
    }
    const int energy = game->energy[1];
    for (int tick = 0; tick < (1400 - 1284) * 12; ++tick)
        game->UpdateComputer();
    EXPECT_EQ(game->moveMagnetCount[1], 384);
    for (int tick = 0; tick < 192 * 12; ++tick)
        game->UpdateComputer();
    EXPECT_EQ(game->moveMagnetCount[1], 192);
    EXPECT_EQ(game->moveMagnets[1][0].y, 35);
    for (int tick = 0; tick < 200 * 12; ++tick)
        game->UpdateComputer();
    EXPECT_EQ(game->moveMagnetCount[1], 0);
    EXPECT_EQ(game->moveMagnetCount[0], 1);
    EXPECT_EQ(game->energy[1], energy);
    EXPECT_EQ(game->robotCount[1], 0);

    game->aiStep = 5490;
    for (int tick = 0; tick < 120; ++tick)
        game->UpdateComputer();
    EXPECT_EQ(game->aiStep, 5500);
}
