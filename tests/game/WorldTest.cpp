// Loading, the occupancy grid under removal from the middle of the entity
// lists, the end test and determinism.

#include <gtest/gtest.h>

#include <vector>

#include "GameFixture.h"
#include "tlib/TRandom.h"

namespace {

void RecordPost(HWND window, uint32_t message, uintptr_t step, intptr_t lParam)
{
    static_cast<std::vector<uint64_t>*>(window)->push_back((uint64_t{message} << 32 | step) + lParam);
}

} // namespace

TEST(World, LoadPostsNineteenStepsThenDoneAndBuildsTheWorldOfNewGame)
{
    std::vector<uint64_t> posted;
    tlib::SeedRandom(3);
    std::unique_ptr<CGame> game(new CGame());
    game->window = &posted;
    game->postMessage = RecordPost;
    game->Load();
    ASSERT_EQ(posted.size(), 20u);
    for (uint64_t i = 0; i < 19; ++i)
        EXPECT_EQ(posted[i], uint64_t{CGame::kMsgLoadProgress} << 32 | (i + 1));
    EXPECT_EQ(posted[19] >> 32, CGame::kMsgLoadDone);
    EXPECT_EQ(Digest(*game), Digest(*MakeNewGame(3, IdlePlayer())));
    EXPECT_TRUE(game->treeCount > 100 && game->robotCount[1] > 0);
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Grid, RemovalFromTheMiddleKeepsOrderAndCellsAndClearsOrRepointsTargets)
{
    auto game = MakeBareGame();
    for (int i = 0; i < 5; ++i) {
        PutMagnet(*game, 1, 10 + 3 * i, 40);
        PutLaser(*game, 0, 10 + 3 * i, 50).target = &game->magnets[1][4 - i];
    }
    game->shots[0].target = &game->magnets[1][3];
    game->shots[1].target = &game->magnets[1][2];
    game->shotCount = 2;
    for (int index : {3, 0}) {
        game->Vacate(&game->magnets[1][index]);
        game->RemoveMagnet(1, index);
    }
    game->Vacate(&game->lasers[0][1]);
    game->RemoveLaser(0, 1);
    EXPECT_EQ(GridProblem(*game), "");
    // Magnets 1, 2 and 4 are left, and lasers 0, 2, 3 and 4, which were
    // aimed at magnets 4, 2, 1 and 0; the shots were aimed at 3 and 2.
    const int magnetsLeft[4] = {1, 2, 4, -1}, lasersLeft[4] = {0, 2, 3, 4}, aimedAt[4] = {2, 1, 0, -1};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(magnetsLeft[i] < 0 || game->magnets[1][i].x == 10 + 3 * magnetsLeft[i]) << i;
        EXPECT_EQ(game->lasers[0][i].x, 10 + 3 * lasersLeft[i]);
        EXPECT_EQ(game->lasers[0][i].target, aimedAt[i] < 0 ? nullptr : &game->magnets[1][aimedAt[i]]) << i;
    }
    EXPECT_TRUE(game->shots[0].target == nullptr && game->shots[1].target == &game->magnets[1][1]);
    // A shot whose target went lands harmlessly; the other destroys its own.
    game->UpdateLasers();
    EXPECT_EQ(game->shotCount, 0);
    EXPECT_TRUE(!game->magnets[1][0].destroyed && game->magnets[1][1].destroyed && !game->magnets[1][2].destroyed);
}

TEST(Game, OneSeedGivesOneGameTickForTick)
{
    std::vector<uint64_t> first;
    for (int run = 0; run < 2; ++run) {
        const auto game = MakeNewGame(2024, IdlePlayer());
        for (size_t tick = 0; tick < 3000 && game->state == 0; ++tick) {
            game->Update();
            if (run == 0)
                first.push_back(Digest(*game));
            else
                ASSERT_EQ(Digest(*game), first[tick]) << "tick " << tick + 1;
        }
        EXPECT_EQ(GridProblem(*game), "");
    }
    const auto other = MakeNewGame(2025, IdlePlayer());
    Repeat(*other, &CGame::Update, 100);
    EXPECT_NE(Digest(*other), first[99]);
}

TEST(Game, EndTestRedFirstThenBlue)
{
    auto game = MakeBareGame();
    game->aiStep = 2000;  // the computer no longer produces
    game->Update();       // neither side has robots: red is tested first
    EXPECT_EQ(game->state, 2);
    game->state = 0;
    PutRobot(*game, 0, 5, 40);
    game->Update();
    EXPECT_EQ(game->state, 1);
}
