// The loading sequence (the game library, on the engine): its progress
// messages and the world it builds.

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
    EXPECT_GT(trees, 100);
    EXPECT_GT(game->robotCount[1], 0);
    EXPECT_EQ(log.posts, expected);
    EXPECT_EQ(StateDigest(*game), StateDigest(*MakeNewGame(3, IdlePlayer())));
}
