// The player's controls fed input records as the frame gathers them: panel
// buttons and the pad's gaps, the cursor cell at the map's edges, placing at
// the cursor cell, the walk-view camera and when key presses count.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "tests/play/ScriptedInput.h"
#include "tlib/TRandom.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gMouseSensitivity = 200.0;
        game.reset(new CGame());
        // The controls only pick models by pointer: distinct tokens suffice.
        for (int i = 0; i < CGame::MODEL_COUNT; ++i)
            game->models[i] = reinterpret_cast<Orvel::DXModel*>(&tokens[i]);
    }
    void TearDown() override
    {
        for (Orvel::DXModel*& m : game->models)
            m = nullptr;
    }

    // One tick of the controls with the cursor at (x, y).
    void At(int x, int y, bool left = false, bool right = false)
    {
        game->UpdatePlayerInput(input.PollAt(x, y, left, right));
    }
    // Over (x, y), pressed there in the next tick, let go in the one after.
    void Click(int x, int y)
    {
        At(x, y);
        At(x, y, true);
        At(x, y);
    }

    ScriptedInput input;
    std::unique_ptr<CGame> game;
    char tokens[CGame::MODEL_COUNT] = {};
};

TEST_F(ControlsTest, PanelButtonsAndPadActOnTheirWholeBoxesAndNotInTheGaps)
{
    enum { M = CGame::MODEL_RED_MAGNET, L = CGame::MODEL_RED_LASER, X = CGame::MODEL_RED_X };
    enum { A = CGame::MODEL_MOVE_MAGNET0, P = CGame::MODEL_MOVE_MAGNET1, NONE = -1 };
    // Where the press is, the tool then selected, its preview model and the
    // preview's angle in eighths of a turn (the push direction; screen down
    // is a quarter turn).
    const struct { int x, y; CGame::Tool tool; int model, eighths; } rows[] = {
        // The magnet button, rx 104..151, y 44..91: its corners, then one pixel beyond each edge.
        {872, 44, CGame::TOOL_MAGNET, M, 0}, {919, 44, CGame::TOOL_MAGNET, M, 0},
        {872, 91, CGame::TOOL_MAGNET, M, 0}, {919, 91, CGame::TOOL_MAGNET, M, 0},
        {871, 60, CGame::TOOL_NONE, NONE, 0}, {920, 60, CGame::TOOL_NONE, NONE, 0},
        {888, 43, CGame::TOOL_NONE, NONE, 0}, {888, 92, CGame::TOOL_NONE, NONE, 0},
        {947, 44, CGame::TOOL_LASER, L, 4}, {844, 393, CGame::TOOL_ERASER, X, 0},
        // The pad's nine buttons (48 x 48 at a pitch of 75 x 59 from (797, 169)) at their last pixel.
        {844, 216, CGame::TOOL_PUSH_UP_LEFT, P, 5}, {919, 216, CGame::TOOL_PUSH_UP, P, 6},
        {994, 216, CGame::TOOL_PUSH_UP_RIGHT, P, 7}, {844, 275, CGame::TOOL_PUSH_LEFT, P, 4},
        {919, 275, CGame::TOOL_ATTRACT, A, 0}, {994, 275, CGame::TOOL_PUSH_RIGHT, P, 0},
        {844, 334, CGame::TOOL_PUSH_DOWN_LEFT, P, 3}, {919, 334, CGame::TOOL_PUSH_DOWN, P, 2},
        {994, 334, CGame::TOOL_PUSH_DOWN_RIGHT, P, 1},
        // The pad's gaps.
        {857, 200, CGame::TOOL_NONE, NONE, 0}, {920, 200, CGame::TOOL_NONE, NONE, 0},
        {820, 217, CGame::TOOL_NONE, NONE, 0}, {820, 286, CGame::TOOL_NONE, NONE, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "press at " << r.x << "," << r.y);
        game->tool = CGame::TOOL_NONE;
        game->previewModel = nullptr;
        Click(r.x, r.y);
        EXPECT_EQ(game->tool, r.tool);
        if (r.model != NONE) {
            EXPECT_EQ(game->previewModel, game->models[r.model]);
            EXPECT_FLOAT_EQ(game->previewAngle, static_cast<float>(r.eighths * kPi / 4));
        }
    }
}

TEST_F(ControlsTest, CursorCellAtTheMapsEdgesAndPlacingAtTheCellOfThePreviousTick)
{
    Click(888, 228); // the attracting move magnet
    // The map square is x 102..716, y 78..692, cell = (pixel - edge) * 64 / 615:
    // its corners, the first pixels of cells and the pixels before them, and
    // one pixel beyond each edge.
    const struct { int x, y, cx, cy; } rows[] = {
        {102, 78, 0, 0}, {716, 692, 63, 63}, {112, 88, 1, 1}, {111, 87, 0, 0}, {400, 386, 31, 32},
        {399, 385, 30, 31}, {708, 684, 63, 63}, {707, 683, 62, 62},
        {101, 300, -1, 0}, {717, 300, -1, 0}, {300, 77, -1, 0}, {300, 693, -1, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "cursor at " << r.x << "," << r.y);
        At(300, 300);
        At(r.x, r.y);
        EXPECT_EQ(game->cursorX, r.cx);
        if (r.cx != -1) {
            EXPECT_EQ(game->cursorY, r.cy);
        }
    }
    // Off the map, then onto cell (20, 23) and pressed in one tick: the cell
    // is the previous tick's, none; pressed in the next tick it is placed.
    At(300, 300, true);
    EXPECT_EQ(game->moveMagnetCount[0], 0);
    At(300, 300);
    At(300, 300, true);
    ASSERT_EQ(game->moveMagnetCount[0], 1);
    EXPECT_EQ(game->moveMagnets[0][0].x, 20);
    EXPECT_EQ(game->moveMagnets[0][0].y, 23);
    EXPECT_EQ(game->tool, CGame::TOOL_ATTRACT);
    At(310, 300); // a right press drops the tool and places nothing, nor do presses after it
    At(310, 300, true, true);
    At(310, 300);
    At(310, 300, true);
    EXPECT_EQ(game->tool, CGame::TOOL_NONE);
    EXPECT_EQ(game->moveMagnetCount[0], 1);
}

TEST_F(ControlsTest, WalkViewTurnsWithTheMouseAndWalksWithTheKeys)
{
    game->viewMode = CGame::VIEW_WALK;
    const double yaw0 = game->cameraYaw;
    game->UpdatePlayerInput(input.Poll(35, 35));
    EXPECT_NEAR(game->cameraYaw - yaw0, 0.2, 1e-12) << "35 counts right at sensitivity 200";
    EXPECT_NEAR(game->cameraPitch, -0.2, 1e-12) << "moving the mouse down looks down";

    // Looking along -y, as at the start: one world unit per key and tick.
    const struct { SPlayerInput::Key key; double dx, dy; } steps[] = {
        {SPlayerInput::KEY_W, 0, -1}, {SPlayerInput::KEY_S, 0, 1}, {SPlayerInput::KEY_A, -1, 0}, {SPlayerInput::KEY_D, 1, 0}};
    game->cameraYaw = -kPi / 2;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.key);
        game->cameraPos = Orvel::CVector(80, 180, 15);
        input.Hold(step.key, true);
        game->UpdatePlayerInput(input.Poll(0, 0));
        input.Hold(step.key, false);
        EXPECT_NEAR(game->cameraPos.x, 80 + step.dx, 1e-12);
        EXPECT_NEAR(game->cameraPos.y, 180 + step.dy, 1e-12);
        EXPECT_EQ(game->cameraPos.z, 15) << "walking never changes the height";
    }
}

// The turn is the motion times the sensitivity, then divided by 35000. At
// sensitivity 150 the other order, motion times (150 / 35000), rounds 140 of
// the motions -200..200 differently in the last bit.
TEST_F(ControlsTest, TheWalkViewTurnsByMotionTimesSensitivityThenDividedAt150)
{
    gMouseSensitivity = 150.0;
    game->viewMode = CGame::VIEW_WALK;
    int roundedDifferently = 0;
    for (int d = -200; d <= 200; ++d) {
        game->cameraYaw = 0.0;
        game->cameraPitch = 0.0;
        game->UpdatePlayerInput(input.Poll(d, d));
        const double turn = d * 150.0 / 35000.0;
        EXPECT_EQ(game->cameraYaw, turn) << "motion " << d;
        EXPECT_EQ(game->cameraPitch, -turn) << "motion " << d;
        roundedDifferently += turn != d * (150.0 / 35000.0);
    }
    EXPECT_EQ(roundedDifferently, 140);
}

// Whole ticks from a new game. Each tick's record has the keys tapped
// (pressed and let go since the record before) or held. The tick asks for W
// only in the walk view's step 1, for Space in step 2 and F1 in step 10; a
// press counts once, at the first tick that asks for its key.
TEST_F(ControlsTest, AKeyPressCountsOnceAtTheFirstTickThatAsksForTheKey)
{
    // Per tick, the keys: 'w' W tapped, 'W' W held; ' ' Space tapped, '_'
    // Space held; '1' F1 tapped, '!' F1 held. Then the world units walked
    // forward, the view and the help at the end.
    const struct {
        std::vector<std::string> ticks;
        int walked;
        CGame::ViewMode view;
        bool help;
        const char* what;
    } cases[] = {
        {{"w", " ", "", ""}, 1, CGame::VIEW_WALK, false, "W tapped in the map view walks at the first walk-view tick"},
        {{"W", " ", "", ""}, 1, CGame::VIEW_WALK, false, "W held in the map view and let go: the press still counts"},
        {{" ", "W", "W", "W", ""}, 3, CGame::VIEW_WALK, false, "W held walks in every tick it is down"},
        {{" ", "w", "", "w"}, 2, CGame::VIEW_WALK, false, "each tap walks one step"},
        {{" ", "w "}, 1, CGame::VIEW_MAP, false, "W and Space in one tick: the step, then the view changes"},
        {{"_", "_", "_", ""}, 0, CGame::VIEW_WALK, false, "Space held switches the view once"},
        {{" ", " ", " "}, 0, CGame::VIEW_WALK, false, "each Space tap switches the view"},
        {{"1", "", "!", "!", ""}, 0, CGame::VIEW_MAP, false, "F1 tapped shows help, held hides it once"},
    };
    const struct { char tap, hold; SPlayerInput::Key key; } keys[] = {
        {'w', 'W', SPlayerInput::KEY_W}, {' ', '_', SPlayerInput::KEY_SPACE}, {'1', '!', SPlayerInput::KEY_F1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        tlib::SeedRandom(1);
        game->NewGame();
        ScriptedInput player;
        for (const std::string& tick : c.ticks) {
            for (const auto& k : keys) {
                if (tick.find(k.tap) != std::string::npos)
                    player.Tap(k.key);
                player.Hold(k.key, tick.find(k.hold) != std::string::npos);
            }
            game->Update(player.Poll(0, 0));
        }
        ASSERT_EQ(game->state, CGame::STATE_PLAYING);
        EXPECT_NEAR(180.0 - game->cameraPos.y, c.walked, 1e-9) << "looking along -y";
        EXPECT_EQ(game->viewMode, c.view);
        EXPECT_EQ(game->showHelp, c.help);
    }
}

} // namespace
