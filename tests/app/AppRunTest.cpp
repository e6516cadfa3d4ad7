#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "app/Startup.h"
#include "app/TForm.h"
#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "input/CKeyLatch.h"
#include "input/KeyState.h"
#include "platform/recording/RecordingProvider.h"
#include "tests/app/AppFakes.h"

// The whole program on the recording device and a fake window layer, in a
// temporary folder holding the generated Data (or a changed copy of it).
namespace {

int gBoxes = 0;
std::string gBoxText;
void CountBox(const char* text, const char* caption)
{
    ++gBoxes;
    gBoxText = std::string(caption) + ": " + text;
}

class AppRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = TAVRIN_DATA_DIR;
        struct stat st;
        if (stat((data + "/Title.bmp").c_str(), &st) != 0) {
            GTEST_SKIP() << "no generated Data folder at " << data;
        }
        char buffer[4096];
        ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
        oldDir = buffer;
        char pattern[] = "/tmp/tavrin-app-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_EQ(chdir(dir.c_str()), 0);
        ASSERT_EQ(mkdir("Data", 0755), 0);
        // Every file linked, so a test can remove one.
        for (const char* name : kFiles) {
            ASSERT_EQ(symlink((data + "/" + name).c_str(), (std::string("Data/") + name).c_str()), 0) << name;
        }
        WriteSettings("MouseSensitivity=200\nXResolution=800\nYResolution=600\nShowHelp=false\n");
        provider.SetRecording(false);
        SetKeySource(&keys);
        gBoxes = 0;
        gBoxText.clear();
        platform = SAppPlatform{&windows, &provider, &mouse, CountBox};
    }
    void TearDown() override
    {
        SetKeySource(nullptr);
        if (!dir.empty()) {
            ASSERT_EQ(chdir(oldDir.c_str()), 0);
            std::string command = "rm -rf '" + dir + "'";
            ASSERT_EQ(std::system(command.c_str()), 0);
        }
    }
    void WriteSettings(const char* text) { std::ofstream("GameSettings.ini") << text; }

    int Run()
    {
        testing::internal::CaptureStderr();
        int status = RunApp(platform);
        errors = testing::internal::GetCapturedStderr();
        return status;
    }

    static constexpr const char* kFiles[] = {
        "Map.dat",       "Tree.dat",      "RedFactory.dat", "RedRobot.dat",    "RedMagnet.dat",   "RedLaser.dat",
        "BlueFactory.dat", "BlueRobot.dat", "BlueMagnet.dat", "BlueLaser.dat",  "LaserShot.dat",   "MoveMagnet0.dat",
        "MoveMagnet1.dat", "RedX.dat",      "Energy.bmp",     "ControlUI.bmp",  "HelpText.bmp",    "LoseScreen.bmp",
        "WinScreen.bmp", "Cursor.bmp",    "Title.bmp",      "n0.bmp", "n1.bmp", "n2.bmp", "n3.bmp", "n4.bmp",
        "n5.bmp", "n6.bmp", "n7.bmp", "n8.bmp", "n9.bmp"};

    std::string data, dir, oldDir, errors;
    RecordingProvider provider;
    FakeWindowLayer windows;
    FakeMouseProvider mouse;
    CKeyLatch keys;
    SAppPlatform platform{};
};

constexpr const char* AppRunTest::kFiles[];

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    for (const std::string& l : lines) {
        if (l == line) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST_F(AppRunTest, LoadsShowsTheProgressPlaysAndLeavesWithEscape)
{
    std::vector<int> progress;
    int loadedTicks = 0;
    windows.onTick = [&](int) {
        progress.push_back(gLoadProgress);
        if (gLoaded && ++loadedTicks == 5) {
            keys.KeyDown(VK_ESCAPE, false);
        }
    };
    EXPECT_EQ(Run(), 0) << errors;
    EXPECT_EQ(gBoxes, 0);
    EXPECT_EQ(loadedTicks, 5);
    ASSERT_FALSE(progress.empty());
    for (size_t i = 1; i < progress.size(); ++i) {
        EXPECT_LE(progress[i - 1], progress[i]);
    }
    EXPECT_EQ(progress.back(), 19);
    EXPECT_EQ(gXResolution, 800);
    EXPECT_FALSE(gShowHelp);
    EXPECT_EQ(provider.Log().Count("Present"), windows.ticks) << "one frame per tick";
    EXPECT_TRUE(Contains(windows.log, "create Tavrin 640x480"));
    EXPECT_TRUE(Contains(windows.log, "move 320,272"));
    EXPECT_TRUE(Contains(windows.log, "timer 20"));
    EXPECT_TRUE(Contains(windows.log, "destroy"));
    EXPECT_EQ(gGame, nullptr);
    EXPECT_EQ(gDevice, nullptr);
    EXPECT_EQ(provider.Log().LiveObjects(), 0) << "every device object released by shutdown";
}

TEST_F(AppRunTest, AMissingSettingsFileEndsBeforeAnyWindow)
{
    unlink("GameSettings.ini");
    EXPECT_EQ(Run(), 1);
    EXPECT_NE(errors.find("File not found: 'GameSettings.ini'"), std::string::npos) << errors;
    EXPECT_TRUE(windows.log.empty());
    EXPECT_EQ(gBoxes, 0);
}

TEST_F(AppRunTest, AMissingPictureFailsTheStartWithTheMessageBox)
{
    unlink("Data/Title.bmp");
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(gBoxes, 1);
    EXPECT_EQ(gBoxText, "Tavrin: Failed to initialise game :(");
    EXPECT_NE(errors.find("Title.bmp"), std::string::npos) << errors;
    EXPECT_EQ(provider.Log().LiveObjects(), 0) << "what was made before the failure is released";
    EXPECT_EQ(gForm, nullptr);
}

TEST_F(AppRunTest, ADeviceFailureIsReportedWithItsResultCode)
{
    provider.Log().FailCall("CreateDevice", 1, D3DERR_NOTAVAILABLE);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(gBoxes, 1);
    EXPECT_NE(errors.find("DXGraphics::CreateDevice() - Failed to create Direct3D device (result code 0x8876086A)"),
              std::string::npos)
        << errors;
}

TEST_F(AppRunTest, AFailureOnTheLoadingThreadIsReportedLikeAStartFailure)
{
    unlink("Data/WinScreen.bmp");
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(gBoxes, 1);
    EXPECT_NE(errors.find("WinScreen.bmp"), std::string::npos) << errors;
    EXPECT_FALSE(gLoaded);
    EXPECT_EQ(provider.Log().LiveObjects(), 0);
}

TEST_F(AppRunTest, ClosingDuringLoadingWaitsForTheLoaderBeforeDeletingTheGame)
{
    windows.onTick = [&](int tick) {
        if (tick == 1) {
            windows.PostMessage(gForm->Handle(), WM_CLOSE, 0, 0);
        }
    };
    EXPECT_EQ(Run(), 0) << errors;
    EXPECT_FALSE(gLoaded);
    EXPECT_EQ(provider.Log().LiveObjects(), 0);
}

TEST_F(AppRunTest, AFailureInATickEndsTheProgramWithStatus1)
{
    windows.onTick = [&](int tick) {
        if (tick == 3) {
            mouse.failPoll = DIERR_INPUTLOST;
        }
    };
    EXPECT_EQ(Run(), 1);
    EXPECT_NE(errors.find("DXInput::GetMouseState failed - GetDeviceState() failed (result code 0x8007001E)"),
              std::string::npos)
        << errors;
    EXPECT_EQ(gBoxes, 0);
    EXPECT_EQ(provider.Log().LiveObjects(), 0);
}
