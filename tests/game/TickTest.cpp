// CGame::Tick, one timer tick at a pace: the same red actions at the same
// world ticks give the same game whatever the pace; a paused tick changes
// nothing in the world and lets no click act while the camera, the views
// and the help still answer; the camera goes at the timer's pace.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "GameFixture.h"
#include "game/CReplayScript.h"
#include "game/GameGlobals.h"
#include "tests/play/ScriptedInput.h"

namespace {

// The digest after every world tick.
struct SWorldTicks : IGameObserver {
    std::vector<uint64_t> digests;
    void OnRedAction(const SRedAction&) override {}
    void OnWorldTick(const CGame& game) override { digests.push_back(StateDigest(game)); }
};

const char kScript[] = "1 magnet 34 52\n2 laser 30 54\n4 magnet 32 48\n5 move 30 40 4\n5 move 31 40 2\n6 erase 30 40\n"
                       "90 robots\n91 move 20 45 0\n300 laser 36 50\n301 move 40 44 7\n450 clear\n451 magnet 28 56\n"
                       "700 robots\n";

} // namespace

TEST(Tick, TheSameActionsAtTheSameWorldTicksGiveTheSameGameAtEveryPace)
{
    // The world ticks of successive timer ticks, repeated; -1 a paused
    // timer tick (no world tick, actions refused).
    const struct {
        const char* name;
        std::vector<int> pace;
    } paces[] = {
        {"1x", {1}},          {"2x", {2}},           {"4x", {4}},          {"8x", {8}},
        {"half", {0, 1}},     {"paused", {1, -1, -1, 1}}, {"mixed", {4, 0, 1, -1, 2, 8, 0}},
    };
    for (uint32_t seed : {1u, 4u}) {
        std::vector<uint64_t> reference;
        int32_t referenceEnd = 0;
        for (const auto& p : paces) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", " << p.name);
            CReplayScript script;
            std::string error;
            ASSERT_TRUE(script.Parse(kScript, "pace.txt", error)) << error;
            const auto game = MakeNewGame(seed, &script);
            SWorldTicks ticks;
            game->observer = &ticks;
            const SPlayerInput none;
            for (size_t n = 0; game->state == CGame::STATE_PLAYING && game->ticksPlayed < 4000; ++n) {
                const int w = p.pace[n % p.pace.size()];
                game->Tick(none, w < 0 ? 0 : w, w >= 0);
            }
            ASSERT_EQ(static_cast<size_t>(game->ticksPlayed), ticks.digests.size()) << "one count per world tick";
            if (reference.empty()) {
                reference = ticks.digests;
                referenceEnd = game->ticksPlayed;
                continue;
            }
            // The end comes at the same world tick, inside a timer tick of 8
            // for seed 4 (3460 world ticks): no world tick runs past it.
            const bool ended = game->state != CGame::STATE_PLAYING;
            EXPECT_EQ(ended, referenceEnd < 4000);
            if (ended) {
                EXPECT_EQ(game->ticksPlayed, referenceEnd);
                game->Tick(none, 8, true);
                EXPECT_EQ(game->ticksPlayed, referenceEnd) << "an ended game plays no world tick";
            }
            const size_t common = std::min(reference.size(), ticks.digests.size());
            for (size_t t = 0; t < common; ++t)
                ASSERT_EQ(ticks.digests[t], reference[t]) << "world tick " << t + 1;
        }
    }
}

class PausedTick : public ::testing::Test {
protected:
    void SetUp() override
    {
        gMouseSensitivity = 200.0;
        game = MakeNewGame(6, nullptr);
        for (int i = 0; i < CGame::MODEL_COUNT; ++i)
            game->models[i] = reinterpret_cast<Orvel::DXModel*>(&tokens[i]);
    }
    void TearDown() override
    {
        for (Orvel::DXModel*& m : game->models)
            m = nullptr;
    }
    // One timer tick with the cursor at (x, y): playing (1 world tick) or paused.
    void At(int x, int y, bool paused, bool left = false, bool right = false)
    {
        game->Tick(input.PollAt(x, y, left, right), paused ? 0 : 1, !paused);
    }
    void Click(int x, int y, bool paused)
    {
        At(x, y, paused);
        At(x, y, paused, true);
        At(x, y, paused);
    }

    ScriptedInput input;
    std::unique_ptr<CGame> game;
    char tokens[CGame::MODEL_COUNT] = {};
};

TEST_F(PausedTick, NoClickActsAndTheWorldStandsWhileTheViewsAndTheHelpAnswer)
{
    // Cell (34, 52), near red's factory, and (33, 52) beside it.
    const int cellX = 102 + (34 * 615 + 63) / 64 + 3;
    const int cellY = 78 + (52 * 615 + 63) / 64 + 3;
    const int besideX = cellX - 10;
    Click(888, 228, false);     // the attracting move magnet
    Click(cellX, cellY, false);  // laid at (34, 52)
    Click(895, 67, false);      // the magnet tool
    ASSERT_EQ(game->moveMagnetCount[0], 1);
    ASSERT_EQ(game->tool, CGame::TOOL_MAGNET);

    const uint64_t world = StateDigest(*game);
    const int32_t ticks = game->ticksPlayed;
    const int energy = game->energy[0];
    // Every click the map view knows, paused: none acts.
    const struct {
        int x, y;
        bool right;
        const char* what;
    } clicks[] = {
        {besideX, cellY, false, "a magnet on the map"}, {820, 67, false, "the robots button"},
        {970, 67, false, "the laser button"},           {895, 369, false, "the clear button"},
        {820, 369, false, "the eraser button"},         {820, 192, false, "the pad"},
        {besideX, cellY, true, "the right button"},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.what);
        At(c.x, c.y, true);
        At(c.x, c.y, true, !c.right, c.right);
        At(c.x, c.y, true);
        EXPECT_EQ(game->tool, CGame::TOOL_MAGNET);
        EXPECT_EQ(StateDigest(*game), world);
        EXPECT_EQ(game->energy[0], energy);
        EXPECT_EQ(game->moveMagnetCount[0], 1);
        EXPECT_EQ(game->ticksPlayed, ticks);
    }
    // The cursor cell follows the mouse.
    At(besideX, cellY, true);
    EXPECT_EQ(game->cursorX, 33);
    EXPECT_EQ(game->cursorY, 52);

    // Help and views answer; the walk view walks and turns.
    input.Tap(SPlayerInput::KEY_F1);
    At(besideX, cellY, true);
    EXPECT_NE(game->showHelp, gShowHelp);
    input.Tap(SPlayerInput::KEY_SPACE);
    At(besideX, cellY, true);
    ASSERT_EQ(game->viewMode, CGame::VIEW_WALK);
    const Orvel::CVector before = game->cameraPos;
    const double yaw = game->cameraYaw;
    input.Hold(SPlayerInput::KEY_W, true);
    game->Tick(input.Poll(35, 0), 0, false);
    input.Hold(SPlayerInput::KEY_W, false);
    EXPECT_NE(game->cameraYaw, yaw);
    EXPECT_NE(game->cameraPos.y, before.y);
    input.Tap(SPlayerInput::KEY_SPACE);
    At(besideX, cellY, true);
    EXPECT_EQ(game->viewMode, CGame::VIEW_MAP);
    EXPECT_EQ(StateDigest(*game), world);

    // Playing again, a click builds at the cell the cursor is over now.
    At(besideX, cellY, false);
    At(besideX, cellY, false, true);
    ASSERT_EQ(game->magnetCount[0], 1);
    EXPECT_EQ(game->magnets[0][0].x, 33);
    EXPECT_EQ(game->energy[0], energy - CGame::kMagnetCost);
}

TEST_F(PausedTick, TheCameraGoesAtTheTimersPaceWhateverTheSpeed)
{
    // The same walk at 1, 4 and 0 world ticks a timer tick: the same camera.
    std::vector<std::string> cameras;
    for (int worldTicks : {1, 4, 0}) {
        SetUp();
        input = ScriptedInput();
        input.Tap(SPlayerInput::KEY_SPACE);
        game->Tick(input.Poll(0, 0), worldTicks, true);
        input.Hold(SPlayerInput::KEY_W, true);
        for (int n = 0; n < 50; ++n)
            game->Tick(input.Poll(n % 7 - 3, n % 3 - 1), worldTicks, true);
        EXPECT_EQ(game->ticksPlayed, 51 * worldTicks);
        cameras.push_back(std::to_string(game->cameraPos.x) + " " + std::to_string(game->cameraPos.y) + " " +
                          std::to_string(game->cameraYaw) + " " + std::to_string(game->cameraPitch));
        TearDown();
    }
    EXPECT_EQ(cameras[1], cameras[0]);
    EXPECT_EQ(cameras[2], cameras[0]);
}
