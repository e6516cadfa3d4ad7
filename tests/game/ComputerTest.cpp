// The computer opponent: its schedule, its lottery and its band of move magnets.

#include <gtest/gtest.h>

#include <tuple>

#include "GameFixture.h"

TEST(Computer, LotteryWeights)
{
    auto game = MakeBareGame();
    // Counts of both sides and blue's energy, then the weights of robots,
    // magnets and lasers.
    const struct {
        int redRobots, redMagnets, redLasers, blueRobots, blueMagnets, blueLasers, blueEnergy;
        std::tuple<int, int, int> weights;
        const char* what;
    } cases[] = {
        {4, 0, 0, 20, 0, 0, 80, {10, 0, 0}, "an opening: only the robot bonus"},
        {20, 0, 0, 45, 0, 0, 50, {29, 120, 150}, "poor blue: step 9 replaces step 2's magnet weight"},
        {41, 11, 7, 10, 5, 5, 100, {48, 2, 2}, "red's robots, magnets and lasers call for answers"},
        {11, 6, 0, 40, 50, 50, 151, {0, 50, 41}, "rich blue: negative steps, step 9 adds, step 10 clamps"},
        {200, 0, 0, 500, 0, 0, 59, {1, 84, 105}, "many red robots reduce the poverty bonus"},
    };
    for (const auto& c : cases) {
        game->robotCount[0] = c.redRobots;
        game->magnetCount[0] = c.redMagnets;
        game->laserCount[0] = c.redLasers;
        game->robotCount[1] = c.blueRobots;
        game->magnetCount[1] = c.blueMagnets;
        game->laserCount[1] = c.blueLasers;
        game->energy[1] = c.blueEnergy;
        int robots, magnets, lasers;
        game->LotteryWeights(robots, magnets, lasers);
        EXPECT_EQ(std::make_tuple(robots, magnets, lasers), c.weights) << c.what;
    }
}

TEST(Computer, DecidesEveryTwelveTicksFromTheFirstAndLaysAndLiftsItsBandOfMoveMagnets)
{
    auto game = MakeBareGame();
    for (int tick = 1; tick <= 37; ++tick) {
        game->UpdateComputer();
        EXPECT_EQ(game->aiStep, 1 + (tick - 1) / 12) << tick;
    }
    // The opening's four decisions.
    EXPECT_EQ(game->robotCount[1], 16);
    EXPECT_EQ(game->energy[1], 84);
    game->AddMoveMagnet(3, 33, 4, 0);  // red's own: untouched by blue's band
    game->aiStep = 900;
    auto decide = [&](int decisions) {
        Repeat(*game, &CGame::UpdateComputer, decisions * 12);
        return game->moveMagnetCount[1];
    };
    ASSERT_EQ(decide(384), 384);  // six rows, more than the 256 a smaller list would hold
    const int energy = game->energy[1];  // nothing is built or produced while the band is lifted
    EXPECT_EQ(decide(1400 - 1284), 384);
    EXPECT_EQ(decide(192), 192);
    EXPECT_EQ(game->moveMagnets[1][0].y, 35);
    EXPECT_EQ(decide(200), 0);
    EXPECT_EQ(game->moveMagnetCount[0], 1);
    EXPECT_EQ(game->energy[1], energy);
    EXPECT_EQ(game->robotCount[1], 16);
}
