// The player's controls through the real mouse object and key query: panel
// buttons and the pad's gaps, tools and map clicks, the cursor cell at the
// map's edges, the walk-view camera and the view and help keys.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "tests/play/ScriptedInput.h"
#include "tlib/TRandom.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The first screen pixel of a map cell: (pixel - 102) * 64 / 615 == cell.
int PixelX(int cell)
{
    return 102 + (cell * 615 + 63) / 64;
}
int PixelY(int cell)
{
    return 78 + (cell * 615 + 63) / 64;
}

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gShowHelp = true;
        gMouseSensitivity = 200.0;
        tlib::SeedRandom(7);
        game.reset(new CGame());
        game->NewGame();
        // The controls only pick models by pointer: distinct tokens suffice.
        for (int i = 0; i < CGame::MODEL_COUNT; ++i)
            game->models[i] = reinterpret_cast<Orvel::DXModel*>(&tokens[i]);
    }
    void TearDown() override
    {
        for (Orvel::DXModel*& m : game->models)
            m = nullptr;
        game->previewModel = nullptr;
    }

    // One tick of the controls with the cursor at (x, y).
    void At(int x, int y, bool left = false, bool right = false)
    {
        input.PollAt(x, y, left, right);
        game->UpdatePlayerInput();
    }
    // Moves to (x, y), then clicks there in the next tick and lets go in the one after.
    void Click(int x, int y)
    {
        At(x, y);
        At(x, y, true);
        At(x, y);
    }
    // A 2 x 2 area that BuildMagnet accepts for red.
    void FindBuildSite(int& cx, int& cy)
    {
        for (cy = 40; cy < 62; ++cy)
            for (cx = 20; cx < 46; ++cx)
                if (game->IsAreaFree(cx, cy, 2, 2) && game->IsNearOwnStructure(cx, cy, 0))
                    return;
        FAIL() << "no free site near red's factory";
    }

    ScriptedInput input;
    std::unique_ptr<CGame> game;
    char tokens[CGame::MODEL_COUNT] = {};
};

TEST_F(ControlsTest, PanelButtonsActOnTheirWholeBoxAndNotBeyond)
{
    // Magnet: rx 104..151, y 44..91, corners inclusive; one pixel out does nothing.
    const int in[4][2] = {{768 + 104, 44}, {768 + 151, 44}, {768 + 104, 91}, {768 + 151, 91}};
    const int out[4][2] = {{768 + 103, 60}, {768 + 152, 60}, {768 + 120, 43}, {768 + 120, 92}};
    for (int i = 0; i < 4; ++i) {
        game->tool = 0;
        Click(out[i][0], out[i][1]);
        EXPECT_EQ(game->tool, 0) << out[i][0] << "," << out[i][1];
        Click(in[i][0], in[i][1]);
        EXPECT_EQ(game->tool, 1) << in[i][0] << "," << in[i][1];
        EXPECT_EQ(game->previewModel, game->models[CGame::MODEL_RED_MAGNET]);
    }
    Click(768 + 179, 44);
    EXPECT_EQ(game->tool, 2);
    EXPECT_EQ(game->previewModel, game->models[CGame::MODEL_RED_LASER]);
    EXPECT_FLOAT_EQ(game->previewAngle, static_cast<float>(kPi));
    Click(768 + 76, 393);
    EXPECT_EQ(game->tool, 13);
    EXPECT_EQ(game->previewModel, game->models[CGame::MODEL_RED_X]);
    EXPECT_EQ(game->previewAngle, 0.0f);
}

TEST_F(ControlsTest, RobotsAndClearButtonsActForRedOncePerPress)
{
    const int robots = game->robotCount[0], energy = game->energy[0], blueRobots = game->robotCount[1];
    At(768 + 50, 60);
    At(768 + 50, 60, true);
    At(768 + 50, 60, true); // held, not pressed again
    const int made = game->robotCount[0] - robots;
    EXPECT_GE(made, 1);
    EXPECT_LE(made, 4);
    EXPECT_EQ(game->energy[0], energy - made);
    EXPECT_EQ(game->robotCount[1], blueRobots);

    game->AddMoveMagnet(5, 5, 4, 0);
    game->AddMoveMagnet(6, 5, 1, 0);
    game->AddMoveMagnet(5, 5, 4, 1);
    Click(768 + 151, 346);
    EXPECT_EQ(game->moveMagnetCount[0], 0);
    EXPECT_EQ(game->moveMagnetCount[1], 1);
    EXPECT_EQ(game->tool, 0);
}

TEST_F(ControlsTest, PadSelectsTheNineMoveMagnetsAndIgnoresItsGaps)
{
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            // The last pixel of each button.
            game->tool = 0;
            Click(797 + 75 * col + 47, 169 + 59 * row + 47);
            const int type = 3 * row + col;
            EXPECT_EQ(game->tool, type + 3) << "row " << row << " col " << col;
            EXPECT_EQ(game->cursorX, -1);
            EXPECT_EQ(game->previewModel, game->models[type == 4 ? CGame::MODEL_MOVE_MAGNET0 : CGame::MODEL_MOVE_MAGNET1]);
        }
    }
    // The preview turns to the push direction: down is pi/2.
    Click(797 + 75 + 10, 169 + 118 + 10);
    EXPECT_EQ(game->tool, 10);
    EXPECT_FLOAT_EQ(game->previewAngle, static_cast<float>(kPi / 2));

    // The attracting centre, then presses in the gaps change nothing.
    Click(797 + 75, 169 + 59 + 10);
    EXPECT_EQ(game->tool, 7);
    EXPECT_EQ(game->previewAngle, 0.0f);
    const int gaps[4][2] = {{797 + 60, 200}, {797 + 75 + 48, 200}, {820, 169 + 48}, {820, 169 + 59 + 58}};
    for (const auto& g : gaps) {
        Click(g[0], g[1]);
        EXPECT_EQ(game->tool, 7) << g[0] << "," << g[1];
    }
}

TEST_F(ControlsTest, CursorCellAtTheMapsEdges)
{
    At(300, 300);
    EXPECT_EQ(game->cursorX, -1) << "no cell is tracked without a tool";
    Click(768 + 120, 60); // magnet tool
    At(102, 78);
    EXPECT_EQ(game->cursorX, 0);
    EXPECT_EQ(game->cursorY, 0);
    At(716, 692);
    EXPECT_EQ(game->cursorX, 63);
    EXPECT_EQ(game->cursorY, 63);
    for (int c : {1, 31, 63}) {
        At(PixelX(c), PixelY(c));
        EXPECT_EQ(game->cursorX, c);
        EXPECT_EQ(game->cursorY, c);
        At(PixelX(c) - 1, PixelY(c) - 1);
        EXPECT_EQ(game->cursorX, c - 1);
    }
    const int off[4][2] = {{717, 300}, {101, 300}, {300, 77}, {300, 693}};
    for (const auto& o : off) {
        At(300, 300);
        At(o[0], o[1]);
        EXPECT_EQ(game->cursorX, -1) << o[0] << "," << o[1];
    }
}
TEST_F(ControlsTest, MagnetIsBuiltAtTheCellOfThePreviousTicks)
{
    int cx = 0, cy = 0;
    FindBuildSite(cx, cy);
    ASSERT_FALSE(HasFailure());
    const int energy = game->energy[0];

    // The press that picks the tool places nothing, even over the map next tick.
    At(768 + 120, 60);
    At(768 + 120, 60, true);
    At(768 + 120, 60);
    EXPECT_EQ(game->magnetCount[0], 0);
    EXPECT_EQ(game->cursorX, -1);

    // The cursor jumps onto the map and presses in the same tick: the cell
    // is the one of the previous tick (off the map), so nothing is built.
    At(PixelX(cx), PixelY(cy), true);
    EXPECT_EQ(game->magnetCount[0], 0);
    EXPECT_EQ(game->cursorX, -1);

    At(PixelX(cx), PixelY(cy));
    ASSERT_EQ(game->cursorX, cx);
    At(PixelX(cx), PixelY(cy), true);
    ASSERT_EQ(game->magnetCount[0], 1);
    EXPECT_EQ(game->magnets[0][0].x, cx);
    EXPECT_EQ(game->magnets[0][0].y, cy);
    EXPECT_EQ(game->energy[0], energy - 3);
    EXPECT_EQ(game->tool, 1) << "the tool stays selected";

    // Pressing again on the occupied cell is refused silently.
    At(PixelX(cx), PixelY(cy));
    At(PixelX(cx), PixelY(cy), true);
    EXPECT_EQ(game->magnetCount[0], 1);
    EXPECT_EQ(game->energy[0], energy - 3);
}

TEST_F(ControlsTest, LaserAndMoveMagnetToolsPlaceAtTheCursorCell)
{
    int cx = 0, cy = 0;
    FindBuildSite(cx, cy);
    ASSERT_FALSE(HasFailure());
    Click(768 + 200, 60);
    ASSERT_EQ(game->tool, 2);
    Click(PixelX(cx), PixelY(cy));
    ASSERT_EQ(game->laserCount[0], 1);
    EXPECT_EQ(game->lasers[0][0].x, cx);

    Click(797 + 75 + 10, 169 + 10); // type 1: push up
    Click(PixelX(3), PixelY(4));
    ASSERT_EQ(game->moveMagnetCount[0], 1);
    EXPECT_EQ(game->moveMagnets[0][0].x, 3);
    EXPECT_EQ(game->moveMagnets[0][0].y, 4);
    EXPECT_EQ(game->moveMagnets[0][0].kind, 1);
    EXPECT_EQ(game->moveMagnetCount[1], 0);
}

TEST_F(ControlsTest, RightPressDropsTheToolAndPlacesNothing)
{
    At(300, 300, false, true);
    EXPECT_EQ(game->tool, 0);

    Click(797 + 75, 169 + 59 + 10); // attracting move magnet
    At(PixelX(9), PixelY(9));
    ASSERT_EQ(game->cursorX, 9);
    At(PixelX(9), PixelY(9), true, true);
    EXPECT_EQ(game->tool, 0);
    EXPECT_EQ(game->moveMagnetCount[0], 0);
    // With no tool a left press on the map does nothing either.
    At(PixelX(9), PixelY(9));
    At(PixelX(9), PixelY(9), true);
    EXPECT_EQ(game->moveMagnetCount[0], 0);
}

TEST_F(ControlsTest, EraserRemovesRedMoveMagnetsAlongADrag)
{
    for (int x = 10; x <= 14; ++x) {
        game->AddMoveMagnet(x, 20, 4, 0);
        game->AddMoveMagnet(x, 20, 4, 1);
    }
    game->AddMoveMagnet(30, 30, 4, 0);
    Click(768 + 50, 360);
    ASSERT_EQ(game->tool, 13);
    At(PixelX(10), PixelY(20));
    EXPECT_EQ(game->moveMagnetCount[0], 6) << "hovering erases nothing";
    // The press itself erases at the cell of the previous tick...
    At(PixelX(10), PixelY(20), true);
    EXPECT_EQ(game->moveMagnetCount[0], 5);
    // ...and holding the button erases each cell the cursor crosses.
    for (int x = 11; x <= 13; ++x)
        At(PixelX(x), PixelY(20), true);
    ASSERT_EQ(game->moveMagnetCount[0], 2);
    EXPECT_EQ(game->moveMagnets[0][0].x, 14);
    EXPECT_EQ(game->moveMagnets[0][1].x, 30);
    EXPECT_EQ(game->moveMagnetCount[1], 5) << "blue's are not touched";
}

TEST_F(ControlsTest, WalkViewTurnsWithTheMouseAndWalksWithTheKeys)
{
    game->viewMode = 0;
    const double yaw0 = game->cameraYaw;
    input.Poll(35, 35);
    game->UpdatePlayerInput();
    EXPECT_NEAR(game->cameraYaw - yaw0, 0.2, 1e-12) << "35 counts right at sensitivity 200";
    EXPECT_NEAR(game->cameraPitch, -0.2, 1e-12) << "moving the mouse down looks down";
    gMouseSensitivity = 100.0;
    input.Poll(-70, 0);
    game->UpdatePlayerInput();
    EXPECT_NEAR(game->cameraYaw, yaw0, 1e-12);

    // Looking along -y, as at the start: one world unit per key and tick.
    const struct {
        int key;
        double dx, dy;
    } steps[] = {{'W', 0, -1}, {'S', 0, 1}, {'A', -1, 0}, {'D', 1, 0}};
    game->cameraYaw = -kPi / 2;
    input.Poll(0, 0);
    for (const auto& step : steps) {
        game->cameraPos = Orvel::CVector(80, 180, 15);
        input.Hold(step.key, true);
        game->UpdatePlayerInput();
        input.Hold(step.key, false);
        EXPECT_NEAR(game->cameraPos.x, 80 + step.dx, 1e-12) << char(step.key);
        EXPECT_NEAR(game->cameraPos.y, 180 + step.dy, 1e-12) << char(step.key);
        EXPECT_EQ(game->cameraPos.z, 15) << "walking never changes the height";
    }
    // A key tapped between two ticks counts once.
    input.Tap('S');
    game->UpdatePlayerInput();
    game->UpdatePlayerInput();
    EXPECT_NEAR(game->cameraPos.y, 181, 1e-12);
}

TEST_F(ControlsTest, WalkViewIgnoresTheButtonsAndMapViewIgnoresTheWalkKeys)
{
    game->viewMode = 0;
    Click(768 + 120, 60);
    EXPECT_EQ(game->tool, 0);
    const int robots = game->robotCount[0];
    Click(768 + 50, 60);
    EXPECT_EQ(game->robotCount[0], robots);

    game->viewMode = 1;
    const double x = game->cameraPos.x, y = game->cameraPos.y, yaw = game->cameraYaw;
    input.Hold('W', true);
    input.Poll(50, 50);
    game->UpdatePlayerInput();
    EXPECT_EQ(game->cameraPos.x, x);
    EXPECT_EQ(game->cameraPos.y, y);
    EXPECT_EQ(game->cameraYaw, yaw);
}

TEST_F(ControlsTest, SpaceSwitchesTheViewAndTheCameraIsRaisedTo15)
{
    ASSERT_EQ(game->viewMode, 1);
    EXPECT_EQ(game->cameraPos.z, 10);
    input.Poll(0, 0);
    game->Update();
    EXPECT_EQ(game->cameraPos.z, 15);
    EXPECT_TRUE(gShowCursor);

    input.Tap(VK_SPACE);
    game->Update();
    EXPECT_EQ(game->viewMode, 0);
    EXPECT_FALSE(gShowCursor);
    // Held down without a new press: no switch.
    input.Hold(VK_SPACE, true);
    game->Update();
    EXPECT_EQ(game->viewMode, 0);
    input.Hold(VK_SPACE, false);
    input.Tap(VK_SPACE);
    game->Update();
    EXPECT_EQ(game->viewMode, 1);
    EXPECT_TRUE(gShowCursor) << "from this tick on the cursor is drawn";

    game->cameraPos.z = 40;
    game->Update();
    EXPECT_EQ(game->cameraPos.z, 40) << "only a low camera is raised";
}

TEST_F(ControlsTest, F1TogglesHelpOncePerPressAndNothingAfterTheEnd)
{
    ASSERT_TRUE(game->showHelp);
    input.Poll(0, 0);
    input.Tap(VK_F1);
    game->Update();
    EXPECT_FALSE(game->showHelp);
    input.Hold(VK_F1, true);
    game->Update();
    EXPECT_FALSE(game->showHelp);
    input.Hold(VK_F1, false);
    input.Tap(VK_F1);
    game->Update();
    EXPECT_TRUE(game->showHelp);

    game->state = 2;
    input.Tap(VK_F1);
    input.Tap(VK_SPACE);
    game->Update();
    EXPECT_TRUE(game->showHelp);
    EXPECT_EQ(game->viewMode, 1);
}

} // namespace
