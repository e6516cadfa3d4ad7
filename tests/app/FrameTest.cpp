#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/DXDevice.h"
#include "game/CGame.h"
#include "tests/app/AppFakes.h"
#include "tlib/TException.h"

// The frame tick, the window procedure and the loop on the recording device.
namespace {

class FrameTest : public ::testing::Test {
protected:
    FrameRig rig;
};

void ExpectSprite(int index, Orvel::DXOverlay* image, int x, int y, bool centred)
{
    ASSERT_LT(index, gSprites.Count());
    const Orvel::CDrawSprite& s = gSprites.Item(index);
    EXPECT_TRUE(s.image == image && s.x == x && s.y == y && s.centred == centred)
        << "sprite " << index << " at " << s.x << "," << s.y;
}

template <class F>
std::string ErrorOf(F f)
{
    try {
        f();
    } catch (const tlib::TException& e) {
        return e.Message();
    }
    return "no exception";
}

} // namespace

TEST(LoadingPercentTest, NineteenStepsGiveTheLoadingScreensFigures)
{
    const int expected[20] = {0, 5, 10, 15, 21, 26, 31, 36, 42, 47, 52, 57, 63, 68, 73, 78, 84, 89, 94, 100};
    for (int k = 0; k <= 19; ++k)
        EXPECT_EQ(LoadingPercent(k, 19), expected[k]) << k;
    EXPECT_EQ(LoadingPercent(5, 0), 0);
}

TEST_F(FrameTest, DrawNumberSkipsTheSignAndAdvancesByDigitWidths)
{
    DrawNumber(-305, 10, 20);
    DrawNumber(0, 140, 68);
    ASSERT_EQ(gSprites.Count(), 4);
    ExpectSprite(0, gDigitImages[3], 10, 20, false);
    ExpectSprite(1, gDigitImages[0], 28, 20, false);
    ExpectSprite(2, gDigitImages[5], 49, 20, false);
    ExpectSprite(3, gDigitImages[0], 140, 68, false);

    gSprites.Clear();
    DrawNumber(INT32_MIN, 0, 0);
    ASSERT_EQ(gSprites.Count(), 10);
    ExpectSprite(0, gDigitImages[2], 0, 0, false);
    ExpectSprite(9, gDigitImages[8], 18 + 12 + 21 + 20 + 21 + 21 + 18 + 21 + 21, 0, false);
}

TEST_F(FrameTest, TheLoadingScreenDrawsPercentTitleAndCursorLast)
{
    gLoadProgress = 8; // 42 %
    rig.mouse.SetNext(100, 50, false, false);
    MainWindowProc(gForm->Handle(), WM_TIMER, 1, 0);
    ASSERT_EQ(gSprites.Count(), 4);
    ExpectSprite(0, gDigitImages[4], 256, 192, false);
    ExpectSprite(1, gDigitImages[2], 277, 192, false);
    ExpectSprite(2, gTitleImage, 512, 384, true);
    ExpectSprite(3, gCursorImage, 100, 50, false);
    EXPECT_EQ(rig.provider.Log().Count("DrawPrimitiveUP"), 8) << "two triangles per sprite";
    EXPECT_EQ(rig.provider.Log().Count("Clear"), 1);
    EXPECT_EQ(rig.provider.Log().Count("Present"), 1);

    // Before the first progress message the screen shows the single digit 0.
    gLoadProgress = 0;
    DrawFrame();
    ExpectSprite(0, gDigitImages[0], 256, 192, false);
    ExpectSprite(1, gTitleImage, 512, 384, true);
}

TEST_F(FrameTest, TheOverlayPassSetsItsStatesAndTransformsAroundTheSpritesAndIsSkippedWithoutThem)
{
    RecordingLog& log = rig.provider.Log();
    AddSprite(gTitleImage, 512, 384, true);
    gDevice->StartFrame();
    log.Clear();
    DrawOverlayPass();
    std::vector<std::string> names = log.Names(), expected(5, "SetRenderState");
    expected.insert(expected.end(), 3, "SetTransform");
    ASSERT_GE(names.size(), expected.size() + 5);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 8), expected);
    EXPECT_EQ(names.back(), "SetRenderState");
    std::vector<std::pair<int64_t, int64_t>> states;
    for (const RecordedCall* call : log.CallsOf("SetRenderState"))
        states.emplace_back(call->args[0], call->args[1]);
    const std::vector<std::pair<int64_t, int64_t>> order = {
        {D3DRS_ALPHABLENDENABLE, 1}, {D3DRS_ALPHATESTENABLE, 1}, {D3DRS_ZENABLE, 0},
        {D3DRS_ZWRITEENABLE, 0},     {D3DRS_LIGHTING, 0},        {D3DRS_LIGHTING, 1},
        {D3DRS_ZENABLE, 1},          {D3DRS_ZWRITEENABLE, 1},    {D3DRS_ALPHABLENDENABLE, 0},
        {D3DRS_ALPHATESTENABLE, 0}};
    EXPECT_EQ(states, order);
    auto transforms = log.CallsOf("SetTransform");
    ASSERT_EQ(transforms.size(), 3u);
    EXPECT_EQ(transforms[0]->args[0], D3DTS_PROJECTION);
    EXPECT_EQ(transforms[0]->floats[5], -1.0f) << "overlay y grows downwards";
    EXPECT_EQ(transforms[1]->args[0], D3DTS_VIEW);
    EXPECT_EQ(transforms[2]->args[0], D3DTS_WORLD);
    gDevice->FinishFrame();

    // A loaded game showing an end picture it does not have, and no cursor.
    gSprites.Clear();
    gGame = new CGame();
    gGame->state = 1;
    gLoaded = true;
    gShowCursor = false;
    log.Clear();
    DrawOverlayPass();
    EXPECT_TRUE(log.Names().empty());
}

TEST_F(FrameTest, TheCursorIsHeldInside1023By767InTheSameTick)
{
    rig.mouse.SetNext(1100, 900, false, false);
    UpdateFrame();
    EXPECT_EQ(gInput->CursorX(), 1023);
    EXPECT_EQ(gInput->CursorY(), 767);
    rig.mouse.SetNext(-5000, 0, false, false);
    UpdateFrame();
    EXPECT_EQ(gInput->CursorX(), 0);
    EXPECT_EQ(gInput->CursorY(), 767);
}

TEST_F(FrameTest, TheWindowProcedureCountsProgressAndEndsOnEscapeOnlyOnceLoaded)
{
    HWND window = gForm->Handle();
    EXPECT_EQ(MainWindowProc(window, CGame::kMsgLoadProgress, 5, 0), 0);
    EXPECT_EQ(MainWindowProc(window, CGame::kMsgLoadProgress, 1, 0), 0);
    EXPECT_EQ(gLoadProgress, 2) << "parameters are ignored: each message counts one";
    EXPECT_EQ(MainWindowProc(window, 0x0200, 0, 0), 0);
    rig.keys.KeyDown(VK_ESCAPE, false);
    rig.keys.KeyUp(VK_ESCAPE);
    MainWindowProc(window, WM_TIMER, 1, 0);
    EXPECT_TRUE(rig.windows.IsWindow(window)) << "Escape while loading does nothing";

    // The done message forgets the press made during loading.
    gGame = new CGame();
    gGame->state = 1;
    MainWindowProc(window, CGame::kMsgLoadDone, 0, 0);
    EXPECT_TRUE(gLoaded);
    MainWindowProc(window, WM_TIMER, 1, 0);
    EXPECT_TRUE(rig.windows.IsWindow(window));

    int presents = rig.provider.Log().Count("Present");
    rig.keys.KeyDown(VK_ESCAPE, false);
    MainWindowProc(window, WM_TIMER, 1, 0);
    EXPECT_FALSE(rig.windows.IsWindow(window));
    EXPECT_EQ(rig.provider.Log().Count("Present"), presents + 1) << "the tick that saw Escape still draws";
    MSG msg;
    EXPECT_EQ(rig.windows.GetMessage(&msg, window), 0) << "destroying the window ends the loop";
}

TEST_F(FrameTest, TheLoopRaisesOnAFailedReadAndEndsOnOneAfterTheWindowIsGone)
{
    rig.windows.maxTicks = 2;
    EXPECT_EQ(ErrorOf(RunMessageLoop), "GetMessage() failed");

    gGame = new CGame();
    gGame->state = 1;
    gLoaded = true;
    rig.windows.ticks = 0;
    rig.windows.maxTicks = 20000;
    rig.windows.ignoreQuit = true;
    rig.windows.onTick = [&](int tick) {
        if (tick == 3)
            rig.keys.KeyDown(VK_ESCAPE, false);
    };
    RunMessageLoop(); // returns: the window is gone, the failed read is the end
    EXPECT_EQ(rig.windows.ticks, 3);
    EXPECT_FALSE(rig.windows.IsWindow(gForm->Handle()));
}

TEST(TFormTest, TheWindowIsCentredEveryClassIsUnregisteredAndFailuresAreNamed)
{
    FakeWindowLayer windows;
    gWindows = &windows;
    {
        TForm first(MainWindowProc, nullptr), second(MainWindowProc, nullptr);
        first.Create(nullptr, "Tavrin", 640, 480, 0);
        first.Centre();
        EXPECT_TRUE(first.X() == 320 && first.Y() == 272);
        windows.screenWidth = 600, windows.screenHeight = 479;
        first.Centre();
        EXPECT_EQ(first.X(), -20) << "a window larger than the screen gets a negative position";
        EXPECT_EQ(first.Y(), 0) << "-1 / 2 truncates toward zero";
    }
    EXPECT_EQ(std::count(windows.log.begin(), windows.log.end(), "unregister"), 2) << "also the class never created";
    {
        TForm form(MainWindowProc, nullptr);
        windows.UnregisterClass(form.ClassName());
        EXPECT_EQ(ErrorOf([&] { form.Create(nullptr, "Tavrin", 640, 480, 0); }),
                  "TForm::Create() - Failed to create window 'Tavrin' (0)");
        // The next form's class name is already taken.
        windows.RegisterClass(("TForm" + std::to_string(std::stoi(form.ClassName() + 5) + 1)).c_str(), nullptr);
        EXPECT_EQ(ErrorOf([] { TForm failing(MainWindowProc, nullptr); }),
                  "TForm::TForm() - Failed to register window class");
    }
    gWindows = nullptr;
}
