// Loading, the occupancy grid under removal from the middle of the entity
// lists, the end test and determinism.

#include <gtest/gtest.h>

#include <vector>

#include "GameFixture.h"
#include "tlib/TRandom.h"

namespace {

// What the window receives during Load, with what the world held at each post.
struct SLoadLog {
    const CGame* game;
    std::vector<std::vector<int64_t>> posts;  // message, step, trees, blue robots
};

void RecordPost(HWND window, uint32_t message, uintptr_t step, intptr_t)
{
    SLoadLog* log = static_cast<SLoadLog*>(window);
    log->posts.push_back({message, static_cast<int64_t>(step), log->game->treeCount, log->game->robotCount[1]});
}

} // namespace

// Without a device the models and pictures are skipped, but every step is
// still announced as its work begins: the world is built before step 1, the
// robots are placed after step 19 and before the done message. The simulator
// builds its world with NewGame: both give one world.
TEST(World, LoadPostsNineteenStepsThenDoneAndBuildsTheWorldOfNewGame)
{
    tlib::SeedRandom(3);
    std::unique_ptr<CGame> game(new CGame());
    SLoadLog log{game.get(), {}};
    game->window = &log;
    game->postMessage = RecordPost;
    game->Load();
    const int64_t trees = game->treeCount;
    std::vector<std::vector<int64_t>> expected;
    for (int step = 1; step <= CGame::kLoadSteps; ++step)
        expected.push_back({1024, step, trees, 0});
    expected.push_back({1025, 0, trees, game->robotCount[1]});
    EXPECT_TRUE(trees > 100 && game->robotCount[1] > 0);
    EXPECT_EQ(log.posts, expected);
    EXPECT_EQ(Digest(*game), Digest(*MakeNewGame(3, IdlePlayer())));
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
    EXPECT_EQ(GridProblem(*game), "");
    // Magnets 1, 2 and 4 are left; the lasers were aimed at magnets 4 to 0,
    // the shots at 3 and 2.
    const int magnetsLeft[3] = {1, 2, 4}, aimedAt[5] = {2, -1, 1, 0, -1};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(i > 2 || game->magnets[1][i].x == 10 + 3 * magnetsLeft[i]) << i;
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
