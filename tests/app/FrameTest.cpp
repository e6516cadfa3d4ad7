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
#include "tlib/TRandom.h"

// The frame tick, the window procedure and the loop on the recording device.
namespace {

class FrameTest : public ::testing::Test {
protected:
    FrameRig rig;
};

// The frame's sprites as "image@x,y" ("c" when centred), the pictures named
// 0..9, title and cursor.
std::string Sprites()
{
    std::string out;
    for (int i = 0; i < gSprites.Count(); ++i) {
        const Orvel::CDrawSprite& s = gSprites.Item(i);
        std::string name = s.image == gTitleImage ? "title" : s.image == gCursorImage ? "cursor" : "?";
        for (int d = 0; d < 10; ++d)
            name = s.image == gDigitImages[d] ? std::to_string(d) : name;
        out += (i ? " " : "") + name + "@" + std::to_string(s.x) + "," + std::to_string(s.y) + (s.centred ? "c" : "");
    }
    return out;
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
    EXPECT_EQ(Sprites(), "3@10,20 0@28,20 5@49,20 0@140,68");
    gSprites.Clear();
    DrawNumber(INT32_MIN, 0, 0);
    EXPECT_EQ(Sprites(), "2@0,0 1@18,0 4@30,0 7@51,0 4@71,0 8@92,0 3@113,0 6@131,0 4@152,0 8@173,0");
}

TEST_F(FrameTest, TheLoadingScreenDrawsPercentTitleAndCursorLast)
{
    gLoadProgress = 8; // 42 %
    rig.mouse.SetNext(100, 50, false, false);
    MainWindowProc(gForm->Handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(Sprites(), "4@256,192 2@277,192 title@512,384c cursor@100,50");
    EXPECT_EQ(rig.provider.Log().Count("DrawPrimitiveUP"), 8) << "two triangles per sprite";
    EXPECT_EQ(rig.provider.Log().Count("Clear"), 1);
    EXPECT_EQ(rig.provider.Log().Count("Present"), 1);
    // Before the first progress message the screen shows the single digit 0.
    gLoadProgress = 0;
    DrawFrame();
    EXPECT_EQ(Sprites(), "0@256,192 title@512,384c cursor@100,50");
}

TEST_F(FrameTest, TheOverlayPassSetsItsStatesAndTransformsAroundTheSpritesAndIsSkippedWithoutThem)
{
    RecordingLog& log = rig.provider.Log();
    AddSprite(gTitleImage, 512, 384, true);
    gDevice->StartFrame();
    log.Clear();
    DrawOverlayPass();
    // The states and transforms first, the states restored last.
    std::vector<std::string> names = log.Names(), expected(5, "SetRenderState");
    expected.insert(expected.end(), 3, "SetTransform");
    ASSERT_GE(names.size(), expected.size() + 5);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 8), expected);
    EXPECT_EQ(names.back(), "SetRenderState");
    std::vector<std::pair<int64_t, int64_t>> states;
    for (const RecordedCall* call : log.CallsOf("SetRenderState"))
        states.emplace_back(call->args[0], call->args[1]);
    const std::vector<std::pair<int64_t, int64_t>> order = {
        {D3DRS_ALPHABLENDENABLE, 1}, {D3DRS_ALPHATESTENABLE, 1}, {D3DRS_ZENABLE, 0}, {D3DRS_ZWRITEENABLE, 0},
        {D3DRS_LIGHTING, 0},         {D3DRS_LIGHTING, 1},        {D3DRS_ZENABLE, 1}, {D3DRS_ZWRITEENABLE, 1},
        {D3DRS_ALPHABLENDENABLE, 0}, {D3DRS_ALPHATESTENABLE, 0}};
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
    gGame->state = CGame::STATE_BLUE_LOST;
    gLoaded = true;
    gShowCursor = false;
    log.Clear();
    DrawOverlayPass();
    EXPECT_TRUE(log.Names().empty());
}

TEST_F(FrameTest, TheCursorIsHeldInside1023By767InTheSameTick)
{
    // Each tick's mouse motion from where the tick before left the cursor
    // (0, 0 at first), and where the cursor is after the tick.
    const struct { int dx, dy, x, y; } ticks[] = {
        {1100, 900, 1023, 767}, {-5000, 0, 0, 767}, {3, -770, 3, 0},
        {-5, 2, 0, 2},  // a few pixels below zero
        {0, -3, 0, 0},
    };
    for (const auto& t : ticks) {
        rig.mouse.SetNext(t.dx, t.dy, false, false);
        UpdateFrame();
        EXPECT_EQ(std::make_pair(gInput->CursorX(), gInput->CursorY()), std::make_pair(t.x, t.y))
            << "moved by " << t.dx << "," << t.dy;
    }
}

TEST_F(FrameTest, EscapeIsIgnoredWhileLoadingAndEndsTheGameAfterwardsInATickThatStillDraws)
{
    HWND window = gForm->Handle();
    rig.keys.KeyDown(VK_ESCAPE, false);
    rig.keys.KeyUp(VK_ESCAPE);
    MainWindowProc(window, WM_TIMER, 1, 0);
    EXPECT_TRUE(rig.windows.IsWindow(window)) << "Escape while loading does nothing";
    // The done message forgets the press made during loading.
    gGame = new CGame();
    gGame->state = CGame::STATE_BLUE_LOST;
    MainWindowProc(window, CGame::kMsgLoadDone, 0, 0);
    ASSERT_TRUE(gLoaded);
    MainWindowProc(window, WM_TIMER, 1, 0);
    EXPECT_TRUE(rig.windows.IsWindow(window));

    rig.keys.KeyDown(VK_ESCAPE, false);
    MainWindowProc(window, WM_TIMER, 1, 0);
    EXPECT_FALSE(rig.windows.IsWindow(window));
    EXPECT_EQ(rig.provider.Log().Count("Present"), 3) << "the tick that saw Escape still draws";
    MSG msg;
    EXPECT_EQ(rig.windows.GetMessage(&msg, window), 0) << "destroying the window ends the loop";
}

// The frame gathers the keys once per tick into the game's input record.
// Presses made during loading: Space and F1 are forgotten when loading is
// done, W is not. A W press counts at the first tick that asks for W, the
// first in the walk view, however long after it was made.
TEST_F(FrameTest, KeyPressesReachTheGameAtTheFirstTickThatAsksForThem)
{
    for (int vk : {int('W'), VK_SPACE, VK_F1}) {
        rig.keys.KeyDown(vk, false);
        rig.keys.KeyUp(vk);
    }
    UpdateFrame();  // loading: the keys are not read
    tlib::SeedRandom(1);
    gGame = new CGame();
    gGame->NewGame();
    MainWindowProc(gForm->Handle(), CGame::kMsgLoadDone, 0, 0);
    ASSERT_TRUE(gLoaded);

    // Per tick: Space tapped before it, then the view, the help and how far
    // the camera has walked forward (along -y) after it.
    const struct {
        bool space;
        CGame::ViewMode view;
        bool help;
        double walked;
    } ticks[] = {
        {false, CGame::VIEW_MAP, false, 0},  // Space and F1 of the loading forgotten
        {false, CGame::VIEW_MAP, false, 0},  // W is not asked for in the map view
        {true, CGame::VIEW_WALK, false, 0},  // the view changes after the walk step
        {false, CGame::VIEW_WALK, false, 1},  // the loading's W press
        {false, CGame::VIEW_WALK, false, 1},
    };
    for (size_t i = 0; i < sizeof ticks / sizeof ticks[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "tick " << i + 1);
        if (ticks[i].space) {
            rig.keys.KeyDown(VK_SPACE, false);
            rig.keys.KeyUp(VK_SPACE);
        }
        UpdateFrame();
        EXPECT_EQ(gGame->viewMode, ticks[i].view);
        EXPECT_EQ(gGame->showHelp, ticks[i].help);
        EXPECT_NEAR(180.0 - gGame->cameraPos.y, ticks[i].walked, 1e-9);
    }
}

TEST(TFormTest, EveryClassIsUnregisteredAndFailuresAreNamed)
{
    FakeWindowLayer windows;
    gWindows = &windows;
    {
        TForm first(MainWindowProc, nullptr), second(MainWindowProc, nullptr);
        first.Create(nullptr, "Tavrin", 640, 480, 0);
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
