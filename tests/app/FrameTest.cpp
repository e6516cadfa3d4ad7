#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "app/FrameTick.h"
#include "app/TForm.h"
#include "engine/DXDevice.h"
#include "engine/DXGraphics.h"
#include "engine/DXOverlay.h"
#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "game/GameSprites.h"
#include "input/CKeyLatch.h"
#include "input/DXInput.h"
#include "input/KeyState.h"
#include "platform/recording/RecordingProvider.h"
#include "tests/app/AppFakes.h"
#include "tlib/TException.h"

namespace {

// The frame tick on the recording device with a fake window and mouse.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gWindows = &windows;
        graphics = new Orvel::DXGraphics(provider);
        gDevice = graphics->CreateDevice(nullptr, 1024, 768);
        std::vector<uint32_t> pixels(64 * 64, 0xFF102030u);
        gCursorImage = new Orvel::DXOverlay(gDevice, 64, 64, 64, 64, pixels.data());
        gTitleImage = new Orvel::DXOverlay(gDevice, 32, 16, 32, 16, pixels.data());
        for (int d = 0; d < 10; ++d) {
            gDigitImages[d] = new Orvel::DXOverlay(gDevice, gDigitWidths[d], 23, 32, 32, pixels.data());
        }
        gOverlayProjection = Orvel::CMatrix::Identity();
        gOverlayProjection.m[1][1] = -1.0;
        LoadDirectInputLibrary(mouse);
        gInput = new DXInput(nullptr);
        gForm = new TForm(MainWindowProc, nullptr);
        gForm->Create(nullptr, "Tavrin", 640, 480, 0);
        gInput->CreateMouse(gForm->Handle());
        SetKeySource(&keys);
        gLoaded = false;
        gLoadProgress = 0;
        gLoadSteps = 19;
        gShowCursor = true;
        gSprites.Clear();
    }
    void TearDown() override
    {
        SetKeySource(nullptr);
        delete gGame;
        gGame = nullptr;
        delete gInput;
        gInput = nullptr;
        delete gCursorImage;
        delete gTitleImage;
        for (Orvel::DXOverlay*& d : gDigitImages) {
            delete d;
            d = nullptr;
        }
        gCursorImage = gTitleImage = nullptr;
        delete gDevice;
        gDevice = nullptr;
        delete graphics;
        delete gForm;
        gForm = nullptr;
        gLoaded = false;
        gWindows = nullptr;
    }

    // A loaded game that draws only its end picture (state 1), which this
    // test leaves unloaded: the frame then has no game sprite to draw.
    void LoadedEndedGame()
    {
        gGame = new CGame();
        gGame->state = 1;
        gLoaded = true;
    }

    std::vector<std::string> Names() { return provider.Log().Names(); }

    RecordingProvider provider;
    Orvel::DXGraphics* graphics = nullptr;
    FakeWindowLayer windows;
    FakeMouseProvider mouse;
    CKeyLatch keys;
};

void ExpectSprite(int index, Orvel::DXOverlay* image, int x, int y, bool centred)
{
    const Orvel::CDrawSprite& s = gSprites.Item(index);
    EXPECT_EQ(s.image, image) << "sprite " << index;
    EXPECT_EQ(s.x, x) << "sprite " << index;
    EXPECT_EQ(s.y, y) << "sprite " << index;
    EXPECT_EQ(s.centred, centred) << "sprite " << index;
}

} // namespace

TEST(LoadingPercentTest, NineteenStepsGiveTheLoadingScreensFigures)
{
    const int expected[20] = {0, 5, 10, 15, 21, 26, 31, 36, 42, 47, 52, 57, 63, 68, 73, 78, 84, 89, 94, 100};
    for (int k = 0; k <= 19; ++k) {
        EXPECT_EQ(LoadingPercent(k, 19), expected[k]) << k;
    }
    EXPECT_EQ(LoadingPercent(5, 0), 0);
}

TEST_F(FrameTest, DrawNumberSkipsTheSignAndAdvancesByDigitWidths)
{
    DrawNumber(-305, 10, 20);
    ASSERT_EQ(gSprites.Count(), 3);
    ExpectSprite(0, gDigitImages[3], 10, 20, false);
    ExpectSprite(1, gDigitImages[0], 28, 20, false);
    ExpectSprite(2, gDigitImages[5], 49, 20, false);

    gSprites.Clear();
    DrawNumber(0, 140, 68);
    ASSERT_EQ(gSprites.Count(), 1);
    ExpectSprite(0, gDigitImages[0], 140, 68, false);

    gSprites.Clear();
    DrawNumber(INT32_MIN, 0, 0);
    ASSERT_EQ(gSprites.Count(), 10);
    ExpectSprite(0, gDigitImages[2], 0, 0, false);
    ExpectSprite(9, gDigitImages[8], 18 + 12 + 21 + 20 + 21 + 21 + 18 + 21 + 21, 0, false);
}

TEST_F(FrameTest, TheLoadingScreenDrawsPercentTitleAndCursorLast)
{
    gLoadProgress = 8; // 42 %
    mouse.next.lX = 100;
    mouse.next.lY = 50;
    MainWindowProc(gForm->Handle(), WM_TIMER, 1, 0);
    ASSERT_EQ(gSprites.Count(), 4);
    ExpectSprite(0, gDigitImages[4], 256, 192, false);
    ExpectSprite(1, gDigitImages[2], 277, 192, false);
    ExpectSprite(2, gTitleImage, 512, 384, true);
    ExpectSprite(3, gCursorImage, 100, 50, false);
    EXPECT_EQ(provider.Log().Count("DrawPrimitiveUP"), 8) << "two triangles per sprite";
    EXPECT_EQ(provider.Log().Count("Clear"), 1);
    EXPECT_EQ(provider.Log().Count("Present"), 1);

    // Before the first progress message the screen shows the single digit 0.
    gLoadProgress = 0;
    DrawFrame();
    ExpectSprite(0, gDigitImages[0], 256, 192, false);
    ExpectSprite(1, gTitleImage, 512, 384, true);
}

TEST_F(FrameTest, TheOverlayPassSetsItsStatesAndTransformsAroundTheSprites)
{
    AddSprite(gTitleImage, 512, 384, true);
    gDevice->StartFrame();
    provider.Log().Clear();
    DrawOverlayPass();
    std::vector<std::string> expected = {"SetRenderState", "SetRenderState", "SetRenderState", "SetRenderState",
                                         "SetRenderState", "SetTransform",   "SetTransform",   "SetTransform"};
    std::vector<std::string> names = Names();
    ASSERT_GE(names.size(), expected.size() + 5);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 8), expected);
    auto states = provider.Log().CallsOf("SetRenderState");
    ASSERT_EQ(states.size(), 10u);
    const int64_t order[10][2] = {{D3DRS_ALPHABLENDENABLE, 1}, {D3DRS_ALPHATESTENABLE, 1}, {D3DRS_ZENABLE, 0},
                                  {D3DRS_ZWRITEENABLE, 0},     {D3DRS_LIGHTING, 0},        {D3DRS_LIGHTING, 1},
                                  {D3DRS_ZENABLE, 1},          {D3DRS_ZWRITEENABLE, 1},    {D3DRS_ALPHABLENDENABLE, 0},
                                  {D3DRS_ALPHATESTENABLE, 0}};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(states[i]->args[0], order[i][0]) << i;
        EXPECT_EQ(states[i]->args[1], order[i][1]) << i;
    }
    auto transforms = provider.Log().CallsOf("SetTransform");
    ASSERT_EQ(transforms.size(), 3u);
    EXPECT_EQ(transforms[0]->args[0], D3DTS_PROJECTION);
    EXPECT_EQ(transforms[0]->floats[5], -1.0f) << "overlay y grows downwards";
    EXPECT_EQ(transforms[1]->args[0], D3DTS_VIEW);
    EXPECT_EQ(transforms[2]->args[0], D3DTS_WORLD);
    EXPECT_EQ(names.back(), "SetRenderState");
    gDevice->FinishFrame();
}

TEST_F(FrameTest, AFrameWithoutSpritesChangesNoState)
{
    LoadedEndedGame();
    gGame->loseScreen = nullptr;
    gShowCursor = false;
    provider.Log().Clear();
    DrawOverlayPass();
    EXPECT_TRUE(Names().empty());
}

TEST_F(FrameTest, TheCursorIsHeldInside1023By767InTheSameTick)
{
    mouse.next.lX = 1100;
    mouse.next.lY = 900;
    UpdateFrame();
    EXPECT_EQ(gInput->CursorX(), 1023);
    EXPECT_EQ(gInput->CursorY(), 767);
    mouse.next.lX = -5000;
    mouse.next.lY = 0;
    UpdateFrame();
    EXPECT_EQ(gInput->CursorX(), 0);
    EXPECT_EQ(gInput->CursorY(), 767);
}

TEST_F(FrameTest, EscapeIsIgnoredWhileLoadingAndEndsTheGameAfterwards)
{
    HWND window = gForm->Handle();
    keys.KeyDown(VK_ESCAPE, false);
    keys.KeyUp(VK_ESCAPE);
    MainWindowProc(window, WM_TIMER, 1, 0);
    EXPECT_TRUE(windows.IsWindow(window)) << "Escape while loading does nothing";

    // The done message forgets the press made during loading.
    gGame = new CGame();
    gGame->state = 1;
    MainWindowProc(window, CGame::kMsgLoadDone, 0, 0);
    EXPECT_TRUE(gLoaded);
    MainWindowProc(window, WM_TIMER, 1, 0);
    EXPECT_TRUE(windows.IsWindow(window));

    int presents = provider.Log().Count("Present");
    keys.KeyDown(VK_ESCAPE, false);
    MainWindowProc(window, WM_TIMER, 1, 0);
    EXPECT_FALSE(windows.IsWindow(window));
    EXPECT_EQ(provider.Log().Count("Present"), presents + 1) << "the tick that saw Escape still draws";
    MSG msg;
    EXPECT_EQ(windows.GetMessage(&msg, window), 0) << "destroying the window ends the loop";
}

TEST_F(FrameTest, TheWindowProcedureHandlesItsMessages)
{
    HWND window = gForm->Handle();
    EXPECT_EQ(MainWindowProc(window, CGame::kMsgLoadProgress, 5, 0), 0);
    EXPECT_EQ(MainWindowProc(window, CGame::kMsgLoadProgress, 1, 0), 0);
    EXPECT_EQ(gLoadProgress, 2) << "parameters are ignored: each message counts one";
    EXPECT_EQ(MainWindowProc(window, 0x0200, 0, 0), 0);
    EXPECT_EQ(MainWindowProc(window, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(windows.IsWindow(window));
    MSG msg;
    EXPECT_EQ(windows.GetMessage(&msg, window), 0);
}

TEST_F(FrameTest, TheLoopEndsOnQuitOrOnAFailedReadAfterTheWindowIsGone)
{
    gGame = new CGame();
    gGame->state = 1;
    gLoaded = true;
    windows.ignoreQuit = true;
    windows.onTick = [&](int tick) {
        if (tick == 3) {
            keys.KeyDown(VK_ESCAPE, false);
        }
    };
    RunMessageLoop(); // returns: the window is gone, the failed read is the end
    EXPECT_EQ(windows.ticks, 3);
    EXPECT_FALSE(windows.IsWindow(gForm->Handle()));
}

TEST_F(FrameTest, AFailedReadWhileTheWindowExistsRaises)
{
    windows.maxTicks = 2;
    try {
        RunMessageLoop();
        FAIL() << "no exception";
    } catch (const tlib::TException& e) {
        EXPECT_STREQ(e.Message(), "GetMessage() failed");
    }
}

TEST_F(FrameTest, AFailedPollEndsTheTickWithItsError)
{
    mouse.failPoll = DIERR_INPUTLOST;
    try {
        MainWindowProc(gForm->Handle(), WM_TIMER, 1, 0);
        FAIL() << "no exception";
    } catch (const DXException& e) {
        EXPECT_STREQ(e.Message(), "DXInput::GetMouseState failed - GetDeviceState() failed");
        EXPECT_EQ(e.Code(), DIERR_INPUTLOST);
    }
}

TEST(TFormTest, ClassNamesCountUpAndTheWindowIsCentredByItsSize)
{
    FakeWindowLayer windows;
    gWindows = &windows;
    {
        TForm first(MainWindowProc, nullptr);
        TForm second(MainWindowProc, nullptr);
        int a = std::stoi(std::string(first.ClassName()).substr(5));
        EXPECT_EQ(std::string(second.ClassName()), "TForm" + std::to_string(a + 1));
        first.Create(nullptr, "Tavrin", 640, 480, 0);
        first.Centre();
        EXPECT_EQ(first.X(), 320);
        EXPECT_EQ(first.Y(), 272);
        windows.screenWidth = 600;
        windows.screenHeight = 479;
        first.Centre();
        EXPECT_EQ(first.X(), -20) << "a window larger than the screen gets a negative position";
        EXPECT_EQ(first.Y(), 0) << "-1 / 2 truncates toward zero";
    }
    // Both classes are unregistered, also the one never created.
    int unregistered = 0;
    for (const std::string& line : windows.log) {
        unregistered += line.rfind("unregister", 0) == 0;
    }
    EXPECT_EQ(unregistered, 2);

    windows.failRegister = true;
    try {
        TForm failing(MainWindowProc, nullptr);
        FAIL();
    } catch (const tlib::TException& e) {
        EXPECT_STREQ(e.Message(), "TForm::TForm() - Failed to register window class");
    }
    windows.failRegister = false;
    windows.failCreate = true;
    {
        TForm form(MainWindowProc, nullptr);
        try {
            form.Create(nullptr, "Tavrin", 640, 480, 0);
            FAIL();
        } catch (const tlib::TException& e) {
            EXPECT_STREQ(e.Message(), "TForm::Create() - Failed to create window 'Tavrin' (0)");
        }
    }
    gWindows = nullptr;
}
