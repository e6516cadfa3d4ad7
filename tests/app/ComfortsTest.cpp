// The player's comforts in the real frame, on the recording device: the keys
// that set the pace of the world, the pictures of the pause and the speed, the focus pause, nothing drawn while the
// window is out of sight, the window toggle, the inverted mouse and the
// screenshot key.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/DataFiles.h"
#include "engine/DXModel.h"
#include "engine/DXModelCreator.h"
#include "engine/PngFile.h"
#include "game/CGame.h"
#include "tests/app/AppFakes.h"
#include "serial/SModelCreatorData.h"
#include "tlib/TRandom.h"

namespace {

// A folder of its own, removed afterwards.
struct TempFolder {
    std::string path;
    TempFolder()
    {
        char pattern[] = "/tmp/tavrin-comforts-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~TempFolder() { EXPECT_EQ(std::system(("rm -rf '" + path + "'").c_str()), 0); }
};

class ComfortsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.AddComforts(folder.path);
        rig.provider.SetRecording(false);
        gXResolution = 1024;
        gYResolution = 768;
        gMouseSensitivity = 200.0;
    }
    void TearDown() override
    {
        gFullscreen = true;
        gVSync = true;
        gPauseOnFocusLoss = false;
        gInvertMouseY = false;
        gReadBackBuffer = nullptr;
    }

    // A new game of the seed, loaded as the done message finds it, with
    // one-triangle models on the device.
    void Load(uint32_t seed)
    {
        if (models.empty()) {
            SerialLib::SModelCreatorData data;
            data.AddVertex(0.0f, 0.0f, 0.0f);
            data.AddVertex(1.0f, 0.0f, 0.0f);
            data.AddVertex(0.0f, 1.0f, 0.0f);
            data.AddFace({0, 1, 2});
            for (int i = 0; i < CGame::MODEL_COUNT; ++i) {
                Orvel::DXModelCreator creator(data);
                models.emplace_back(new Orvel::DXModel(gDevice, creator));
            }
        }
        tlib::SeedRandom(seed);
        gGame = new CGame();
        gGame->NewGame();
        gGame->device = gDevice;
        for (int i = 0; i < CGame::MODEL_COUNT; ++i)
            gGame->models[i] = models[size_t(i)].get();
        Send(CGame::kMsgLoadDone);
    }
    void Send(UINT message, WPARAM wParam = 0) { MainWindowProc(gForm->Handle(), message, wParam, 0); }
    void Tick() { Send(WM_TIMER, 1); }
    void Tap(int vk)
    {
        rig.keys.KeyDown(vk, false);
        rig.keys.KeyUp(vk);
    }
    // Moves the cursor to (x, y) in the next tick, with the left button.
    void MouseTo(int x, int y, bool left)
    {
        rig.mouse.SetNext(x - gInput->CursorX(), y - gInput->CursorY(), left, false);
    }

    TempFolder folder;
    FrameRig rig;
    std::vector<std::unique_ptr<Orvel::DXModel>> models; // released before the rig's device
};

// Pixels the fake back end reads back: 64 x 48, each its own value.
HRESULT FakeReadBack(IDirect3DDevice9*, std::vector<uint32_t>& pixels, UINT& width, UINT& height)
{
    width = 64;
    height = 48;
    pixels.resize(64 * 48);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xFF000000u | uint32_t(i * 2654435761u >> 8);
    return D3D_OK;
}

std::vector<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> names;
    const std::string list = dir + "/list";
    if (std::system(("ls '" + dir + "' > '" + list + "' 2>/dev/null").c_str()) == 0) {
        std::ifstream in(list);
        for (std::string line; std::getline(in, line);)
            if (line != "list")
                names.push_back(line);
    }
    unlink(list.c_str());
    return names;
}

} // namespace

// Per tick: the key tapped before it, then how many world ticks it ran and
// whether the game is paused after it. Keys pressed while loading are
// forgotten; a paused game takes no click, and Escape still quits it.
TEST_F(ComfortsTest, KeysSetThePaceOfTheWorld)
{
    Tap('P');
    Tap(VK_OEM_PLUS);
    Tick(); // loading: the keys are not read, and the done message forgets them
    Load(3);
    const struct {
        int key;
        int worldTicks;
        bool paused;
    } ticks[] = {
        {0, 1, false},
        {'P', 0, true},
        {0, 0, true},
        {VK_OEM_PLUS, 0, true}, // the speed changes while paused
        {VK_PAUSE, 2, false},   // the Pause key plays on, at 2x
        {VK_ADD, 4, false},
        {VK_ADD, 4, false},     // 4x is the fastest
        {VK_OEM_MINUS, 2, false},
        {VK_SUBTRACT, 1, false},
        {VK_SUBTRACT, 0, false}, // 1/2x: a world tick every second tick
        {0, 1, false},
        {VK_SUBTRACT, 0, false}, // 1/2x is the slowest; its phase starts afresh only on a change
        {0, 1, false},
    };
    for (size_t i = 0; i < sizeof ticks / sizeof ticks[0]; ++i) {
        SCOPED_TRACE(testing::Message() << "tick " << i + 1);
        if (ticks[i].key != 0)
            Tap(ticks[i].key);
        const int before = gGame->ticksPlayed;
        Tick();
        EXPECT_EQ(gGame->ticksPlayed - before, ticks[i].worldTicks);
        EXPECT_EQ(gComforts->Pace().Paused(), ticks[i].paused);
    }
    Tap('P');
    Tick();
    ASSERT_TRUE(gComforts->Pace().Paused());
    // A click on the Robots button while paused buys nothing.
    const int energy = gGame->energy[0];
    MouseTo(820, 67, false);
    Tick();
    MouseTo(820, 67, true);
    Tick();
    EXPECT_EQ(gGame->energy[0], energy);
    rig.keys.KeyDown(VK_ESCAPE, false);
    Tick();
    EXPECT_FALSE(rig.windows.IsWindow(gForm->Handle())) << "Escape quits a paused game";
}

// The speed label stands beside the energy figure while the speed is not
// 1x, the "Paused" picture in the middle while paused; neither over the
// end picture. The label follows the figure's width.
TEST_F(ComfortsTest, ThePauseAndTheSpeedAreShownOverThePlayingGameOnly)
{
    if (access(TAVRIN_DATA_DIR "/Paused.bmp", R_OK) != 0)
        GTEST_SKIP() << "no generated Data folder at " TAVRIN_DATA_DIR;
    Orvel::SetDataFolder(TAVRIN_DATA_DIR);
    gComforts->LoadPictures(gDevice);
    Orvel::SetDataFolder(nullptr);
    Load(5);
    // The comforts' sprites: "paused@x,y" (centred) or "speed@x,y", in order.
    auto shown = [] {
        std::string out;
        for (int i = 0; i < gSprites.Count(); ++i) {
            const Orvel::CDrawSprite& s = gSprites.Item(i);
            const Orvel::DXOverlay* image = s.image;
            if (image == nullptr || image == gCursorImage || image == gGame->energyIcon)
                continue;
            bool digit = false;
            for (Orvel::DXOverlay* d : gDigitImages)
                digit = digit || d == image;
            if (!digit)
                out += std::string(out.empty() ? "" : " ") + (s.centred ? "paused@" : "speed@") +
                       std::to_string(s.x) + "," + std::to_string(s.y);
        }
        return out;
    };
    gGame->energy[0] = 7; // one digit 7: 20 wide
    const struct {
        int key;
        int energy;
        const char* sprites;
    } frames[] = {
        {0, 7, ""},
        {VK_OEM_PLUS, 7, "speed@170,68"},
        {'P', 7, "speed@170,68 paused@512,384"},
        {VK_OEM_MINUS, 1234, "paused@512,384"},
        {VK_OEM_MINUS, 1234, "speed@219,68 paused@512,384"},
        {'P', 1234, "speed@219,68"},
    };
    for (const auto& f : frames) {
        SCOPED_TRACE(f.sprites);
        if (f.key != 0)
            Tap(f.key);
        gGame->energy[0] = f.energy;
        Tick();
        EXPECT_EQ(shown(), f.sprites);
    }
    gGame->state = CGame::STATE_BLUE_LOST;
    Tick();
    EXPECT_EQ(shown(), "") << "the end picture stands alone";
}

TEST_F(ComfortsTest, WithPauseOnFocusLossTheGameWaitsWhileAnotherWindowHasTheKeyboard)
{
    Load(2);
    for (bool setting : {false, true}) {
        SCOPED_TRACE(setting);
        gPauseOnFocusLoss = setting;
        Send(WM_ACTIVATE, WA_INACTIVE);
        int before = gGame->ticksPlayed;
        Tick();
        EXPECT_EQ(gGame->ticksPlayed - before, setting ? 0 : 1);
        Send(WM_ACTIVATE, WA_ACTIVE);
        before = gGame->ticksPlayed;
        Tick();
        EXPECT_EQ(gGame->ticksPlayed - before, 1) << "the focus is back";
    }
}

// Minimised or hidden, ticks go on and nothing is drawn; a screenshot asked
// for meanwhile is the first frame drawn afterwards.
TEST_F(ComfortsTest, NothingIsDrawnWhileTheWindowIsOutOfSightAndTheGameGoesOn)
{
    gReadBackBuffer = FakeReadBack;
    rig.provider.SetRecording(true);
    Load(4);
    const struct {
        UINT message;
        WPARAM wParam;
        bool drawn;
    } steps[] = {
        {WM_TIMER, 1, true},
        {WM_SIZE, SIZE_MINIMIZED, false},
        {WM_SIZE, SIZE_RESTORED, true},
        {WM_SHOWWINDOW, 0, false},
        {WM_SIZE, SIZE_MINIMIZED, false},
        {WM_SHOWWINDOW, 1, false}, // shown, but still minimised
        {WM_PAINT, 0, true},       // on the screen again
        {WM_SIZE, SIZE_MAXIMIZED, true},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << s.message << " " << s.wParam);
        Send(s.message, s.wParam);
        if (!s.drawn)
            Tap(VK_F12);
        const int presents = rig.provider.Log().Count("Present"), clears = rig.provider.Log().Count("Clear");
        const int played = gGame->ticksPlayed;
        Tick();
        EXPECT_EQ(gGame->ticksPlayed, played + 1) << "the game goes on";
        EXPECT_EQ(rig.provider.Log().Count("Present") - presents, s.drawn ? 1 : 0);
        EXPECT_EQ(rig.provider.Log().Count("Clear") - clears, s.drawn ? 1 : 0);
        EXPECT_EQ(gComforts->ScreenshotRequested(), !s.drawn);
    }
    gComforts->FinishScreenshots();
    EXPECT_EQ(FilesIn(folder.path + "/Screenshots").size(), 2u)
        << "one shot for each time out of sight, however often F12 was pressed then";
}

// F11 and Alt+Enter switch the window; the first window gets the picture's
// size, later ones keep the size the player gave them. A refusal changes
// nothing and is reported.
TEST_F(ComfortsTest, F11AndAltEnterSwitchTheWindow)
{
    rig.windows.screenWidth = 1920;
    rig.windows.screenHeight = 1080;
    const struct {
        int key;
        bool refuse;
        const char* logged;
        bool fullscreen;
    } presses[] = {
        {VK_F11, false, "fullscreen 0 1024x768", false},
        {VK_ALT_RETURN, false, "fullscreen 1 0x0", true},
        {VK_F11, false, "fullscreen 0 0x0", false},
        {VK_F11, true, "fullscreen 1 0x0", false},
        {VK_RETURN, false, "", false}, // Return alone is no toggle
    };
    for (const auto& p : presses) {
        SCOPED_TRACE(p.logged);
        rig.windows.log.clear();
        rig.windows.refuseFullscreen = p.refuse;
        Tap(p.key);
        testing::internal::CaptureStderr();
        Tick(); // works while loading too
        const std::string errors = testing::internal::GetCapturedStderr();
        EXPECT_EQ(rig.windows.log, std::vector<std::string>(*p.logged ? 1 : 0, p.logged));
        EXPECT_EQ(gFullscreen, p.fullscreen);
        EXPECT_EQ(errors.empty(), !p.refuse) << errors;
    }
}

// The walk view turns up and down the other way with InvertMouseY; the
// cursor does not.
TEST_F(ComfortsTest, InvertMouseYTurnsTheWalkViewTheOtherWayAndLeavesTheCursor)
{
    Load(1);
    gGame->viewMode = CGame::VIEW_WALK;
    for (bool invert : {false, true}) {
        SCOPED_TRACE(invert);
        gInvertMouseY = invert;
        const double pitch = gGame->cameraPitch;
        const int32_t cursorY = gInput->CursorY();
        rig.mouse.SetNext(0, 35, false, false);
        Tick();
        EXPECT_NEAR(gGame->cameraPitch - pitch, invert ? 0.2 : -0.2, 1e-12);
        EXPECT_EQ(gInput->CursorY(), cursorY + 35);
    }
}

// F12: the frame's back buffer as a PNG file in Screenshots/, named after
// the time; a second shot never overwrites the first; a back end that cannot
// read back is reported and the game plays on (the writer's own failures are
// the writer's test).
TEST_F(ComfortsTest, F12WritesTheFramesPictureAndNeverOverwrites)
{
    gReadBackBuffer = FakeReadBack;
    Load(8);
    testing::internal::CaptureStderr(); // a shot written quickly is reported at the next tick
    Tap(VK_F12);
    Tick();
    Tap(VK_F12);
    Tick();
    gComforts->FinishScreenshots();
    const std::string reports = testing::internal::GetCapturedStderr();
    const std::string shots = folder.path + "/Screenshots";
    const std::vector<std::string> files = FilesIn(shots);
    ASSERT_EQ(files.size(), 2u) << reports;
    std::vector<uint32_t> expected;
    UINT w = 0, h = 0;
    FakeReadBack(nullptr, expected, w, h);
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        EXPECT_EQ(name.rfind("tavrin-", 0), 0u);
        EXPECT_NE(reports.find("tavrin: screenshot saved as '" + shots + "/" + name + "'"), std::string::npos)
            << reports;
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
        std::string error;
        ASSERT_TRUE(Orvel::ReadPngFile(shots + "/" + name, width, height, pixels, &error)) << error;
        EXPECT_EQ(width, 64);
        EXPECT_EQ(height, 48);
        EXPECT_EQ(pixels, expected);
    }

    // A back end that cannot read back: reported, and the game plays on.
    gReadBackBuffer = nullptr;
    testing::internal::CaptureStderr();
    Tap(VK_F12);
    Tick();
    gComforts->FinishScreenshots();
    const int played = gGame->ticksPlayed;
    Tick();
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("cannot save the screenshot: the picture cannot be read back"), std::string::npos) << errors;
    EXPECT_EQ(gGame->ticksPlayed, played + 1);
}
