// The player's controls through the real mouse object and key query: panel
// buttons and the pad's gaps, the cursor cell at the map's edges, placing at
// the cursor cell and the walk-view camera.

#include <gtest/gtest.h>

#include <memory>

#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "tests/play/ScriptedInput.h"

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
        input.PollAt(x, y, left, right);
        game->UpdatePlayerInput();
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
    // Where the press is, the tool then selected (0: none), its preview model
    // and the preview's turn in eighths of a turn (the push direction;
    // screen down is a quarter turn).
    const struct { int x, y, tool, model, eighths; } rows[] = {
        // The magnet button, rx 104..151, y 44..91: its corners, then one pixel beyond each edge.
        {872, 44, 1, M, 0}, {919, 44, 1, M, 0}, {872, 91, 1, M, 0}, {919, 91, 1, M, 0},
        {871, 60, 0, NONE, 0}, {920, 60, 0, NONE, 0}, {888, 43, 0, NONE, 0}, {888, 92, 0, NONE, 0},
        {947, 44, 2, L, 4}, {844, 393, 13, X, 0},
        // The pad's nine buttons (48 x 48 at a pitch of 75 x 59 from (797, 169)) at their last pixel.
        {844, 216, 3, P, 5}, {919, 216, 4, P, 6}, {994, 216, 5, P, 7},
        {844, 275, 6, P, 4}, {919, 275, 7, A, 0}, {994, 275, 8, P, 0},
        {844, 334, 9, P, 3}, {919, 334, 10, P, 2}, {994, 334, 11, P, 1},
        // The pad's gaps.
        {857, 200, 0, NONE, 0}, {920, 200, 0, NONE, 0}, {820, 217, 0, NONE, 0}, {820, 286, 0, NONE, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "press at " << r.x << "," << r.y);
        game->tool = 0;
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
        EXPECT_TRUE(r.cx == -1 || game->cursorY == r.cy) << "cursorY " << game->cursorY;
    }
    // Off the map, then onto cell (20, 23) and pressed in one tick: the cell
    // is the previous tick's, none; pressed in the next tick it is placed.
    At(300, 300, true);
    EXPECT_EQ(game->moveMagnetCount[0], 0);
    At(300, 300);
    At(300, 300, true);
    ASSERT_EQ(game->moveMagnetCount[0], 1);
    EXPECT_TRUE(game->moveMagnets[0][0].x == 20 && game->moveMagnets[0][0].y == 23 && game->tool == 7);
    At(310, 300); // a right press drops the tool and places nothing, nor do presses after it
    At(310, 300, true, true);
    At(310, 300);
    At(310, 300, true);
    EXPECT_EQ(game->tool, 0);
    EXPECT_EQ(game->moveMagnetCount[0], 1);
}

TEST_F(ControlsTest, WalkViewTurnsWithTheMouseAndWalksWithTheKeys)
{
    game->viewMode = 0;
    const double yaw0 = game->cameraYaw;
    input.Poll(35, 35);
    game->UpdatePlayerInput();
    EXPECT_NEAR(game->cameraYaw - yaw0, 0.2, 1e-12) << "35 counts right at sensitivity 200";
    EXPECT_NEAR(game->cameraPitch, -0.2, 1e-12) << "moving the mouse down looks down";

    // Looking along -y, as at the start: one world unit per key and tick.
    const double steps[4][3] = {{'W', 0, -1}, {'S', 0, 1}, {'A', -1, 0}, {'D', 1, 0}}; // key, dx, dy
    game->cameraYaw = -kPi / 2;
    input.Poll(0, 0);
    for (const auto& step : steps) {
        SCOPED_TRACE(char(step[0]));
        game->cameraPos = Orvel::CVector(80, 180, 15);
        input.Hold(int(step[0]), true);
        game->UpdatePlayerInput();
        input.Hold(int(step[0]), false);
        EXPECT_NEAR(game->cameraPos.x, 80 + step[1], 1e-12);
        EXPECT_NEAR(game->cameraPos.y, 180 + step[2], 1e-12);
        EXPECT_EQ(game->cameraPos.z, 15) << "walking never changes the height";
    }
}

} // namespace
