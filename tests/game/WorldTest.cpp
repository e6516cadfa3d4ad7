// The world as loading builds it, the occupancy grid and order-preserving
// removal from the entity lists.

#include <gtest/gtest.h>

#include <vector>

#include "GameFixture.h"
#include "game/GameGlobals.h"
#include "tlib/TRandom.h"

namespace {

struct SPosted {
    uint32_t message;
    uintptr_t param;
};

void RecordPost(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    EXPECT_EQ(lParam, 0);
    static_cast<std::vector<SPosted>*>(window)->push_back({message, wParam});
}

} // namespace

TEST(World, NewGameHoldsFactoriesTreesAndInitialRobotsOnly)
{
    tlib::SeedRandom(7);
    std::unique_ptr<CGame> game(new CGame());
    game->NewGame();

    EXPECT_EQ(game->At(32, 58), &game->factories[0]);
    EXPECT_EQ(game->At(33, 60), &game->factories[0]);
    EXPECT_EQ(game->At(34, 58), nullptr);
    EXPECT_EQ(game->At(31, 5), &game->factories[1]);
    EXPECT_EQ(game->At(32, 7), &game->factories[1]);
    EXPECT_EQ(game->At(31, 8), nullptr);

    EXPECT_GT(game->treeCount, 100);
    EXPECT_LE(game->treeCount, CGame::kTreeCapacity);
    for (int side = 0; side < 2; ++side) {
        EXPECT_GE(game->robotCount[side], 1);
        EXPECT_LE(game->robotCount[side], 4);
        EXPECT_EQ(game->energy[side], 100 - game->robotCount[side]);
        EXPECT_EQ(game->magnetCount[side] + game->laserCount[side] + game->moveMagnetCount[side], 0);
    }
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(World, LoadPostsNineteenProgressStepsThenDone)
{
    std::vector<SPosted> posted;
    tlib::SeedRandom(3);
    std::unique_ptr<CGame> game(new CGame());
    gShowHelp = true;
    game->window = &posted;
    game->postMessage = RecordPost;
    game->Load();
    gShowHelp = false;

    ASSERT_EQ(posted.size(), 20u);
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(posted[i].message, CGame::kMsgLoadProgress);
        EXPECT_EQ(posted[i].param, static_cast<uintptr_t>(i + 1));
    }
    EXPECT_EQ(posted[19].message, CGame::kMsgLoadDone);
    EXPECT_TRUE(game->showHelp);
    EXPECT_EQ(game->energy[0], 100 - game->robotCount[0]);
    EXPECT_DOUBLE_EQ(game->projection3D.m[0][2], 1.0019569471624266);
    EXPECT_DOUBLE_EQ(game->projection3D.m[3][2], -2.003913894324853);
    EXPECT_DOUBLE_EQ(game->projectionMap.m[3][0], -0.8);
    EXPECT_DOUBLE_EQ(game->cameraYaw, -3.14159265358979323846 / 2);
}

TEST(World, LoadBuildsTheSameWorldAsNewGame)
{
    tlib::SeedRandom(11);
    std::unique_ptr<CGame> loaded(new CGame());
    loaded->Load();
    tlib::SeedRandom(11);
    std::unique_ptr<CGame> built(new CGame());
    built->NewGame();
    EXPECT_EQ(Digest(*loaded), Digest(*built));
}

TEST(Grid, IsAreaFreeChecksBoundsAndOccupancy)
{
    auto game = MakeBareGame();
    EXPECT_FALSE(game->IsAreaFree(63, 0, 2, 2));
    EXPECT_FALSE(game->IsAreaFree(-1, 5, 1, 1));
    EXPECT_FALSE(game->IsAreaFree(0, 63, 1, 2));
    EXPECT_TRUE(game->IsAreaFree(62, 62, 2, 2));
    EXPECT_TRUE(game->IsAreaFree(30, 56, 2, 2));
    EXPECT_FALSE(game->IsAreaFree(31, 57, 2, 2));  // touches the red factory at (32, 58)
}

TEST(Grid, RemovingFromTheMiddleKeepsOrderAndCellReferences)
{
    auto game = MakeBareGame();
    for (int i = 0; i < 5; ++i) {
        PutRobot(*game, 1, 10 + i, 20);
        PutTree(*game, 10 + i, 30);
        PutLaser(*game, 0, 10 + 2 * i, 40);
    }
    for (auto index : {3, 0}) {
        game->Vacate(&game->robots[1][index]);
        game->RemoveRobot(1, index);
        game->Vacate(&game->trees[index]);
        game->RemoveTree(index);
        game->Vacate(&game->lasers[0][index]);
        game->RemoveLaser(0, index);
    }
    ASSERT_EQ(game->robotCount[1], 3);
    const int kept[3] = {1, 2, 4};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(game->robots[1][i].x, 10 + kept[i]);
        EXPECT_EQ(game->trees[i].x, 10 + kept[i]);
        EXPECT_EQ(game->lasers[0][i].x, 10 + 2 * kept[i]);
        EXPECT_EQ(game->At(10 + kept[i], 20), &game->robots[1][i]);
        EXPECT_EQ(game->At(11 + 2 * kept[i], 41), &game->lasers[0][i]);
    }
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Grid, RemovingAMagnetRepointsOrClearsTargets)
{
    auto game = MakeBareGame();
    for (int i = 0; i < 4; ++i)
        PutMagnet(*game, 1, 10 + 3 * i, 20);
    CLaser& aimsAtRemoved = PutLaser(*game, 0, 10, 40);
    CLaser& aimsAtLater = PutLaser(*game, 0, 20, 40);
    CLaser& aimsAtEarlier = PutLaser(*game, 0, 30, 40);
    aimsAtRemoved.target = &game->magnets[1][1];
    aimsAtLater.target = &game->magnets[1][3];
    aimsAtEarlier.target = &game->magnets[1][0];
    game->shots[0].target = &game->magnets[1][1];
    game->shots[1].target = &game->magnets[1][2];
    game->shotCount = 2;

    game->Vacate(&game->magnets[1][1]);
    game->RemoveMagnet(1, 1);

    EXPECT_EQ(aimsAtRemoved.target, nullptr);
    EXPECT_EQ(game->shots[0].target, nullptr);
    ASSERT_NE(aimsAtLater.target, nullptr);
    EXPECT_EQ(aimsAtLater.target->x, 19);
    EXPECT_EQ(game->shots[1].target->x, 16);
    EXPECT_EQ(aimsAtEarlier.target, &game->magnets[1][0]);
    EXPECT_EQ(GridProblem(*game), "");
}

TEST(Game, OneSeedGivesOneGameTickForTick)
{
    std::vector<uint64_t> first;
    for (int run = 0; run < 2; ++run) {
        tlib::SeedRandom(2024);
        std::unique_ptr<CGame> game(new CGame());
        game->NewGame();
        game->playerActions = IdlePlayer();
        for (int tick = 0; tick < 3000 && game->state == 0; ++tick) {
            game->Update();
            const uint64_t digest = Digest(*game);
            if (run == 0)
                first.push_back(digest);
            else
                ASSERT_EQ(digest, first[tick]) << "tick " << tick + 1;
        }
        EXPECT_EQ(GridProblem(*game), "");
    }
    tlib::SeedRandom(2025);
    std::unique_ptr<CGame> other(new CGame());
    other->NewGame();
    other->playerActions = IdlePlayer();
    for (int tick = 0; tick < 100; ++tick)
        other->Update();
    EXPECT_NE(Digest(*other), first[99]);
}

TEST(Game, EndTestAndStandstill)
{
    auto game = MakeBareGame();
    // Both sides empty: red is tested first.
    game->Update();
    EXPECT_EQ(game->state, 2);
    const int aiStep = game->aiStep;
    game->Update();
    EXPECT_EQ(game->aiStep, aiStep);

    auto blueless = MakeBareGame();
    PutRobot(*blueless, 0, 5, 40);
    blueless->aiStep = 2000;  // the computer no longer produces
    blueless->Update();
    EXPECT_EQ(blueless->state, 1);

    // The last red and blue robots meet: both vanish in one tick, red loses.
    auto both = MakeBareGame();
    PutRobot(*both, 0, 10, 10);
    PutRobot(*both, 1, 11, 11);
    both->aiStep = 2000;
    both->Update();
    EXPECT_EQ(both->robotCount[0] + both->robotCount[1], 0);
    EXPECT_EQ(both->state, 2);
}
