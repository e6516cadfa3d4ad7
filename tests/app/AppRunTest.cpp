#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/DataFiles.h"
#include "game/CGame.h"
#include "tests/app/AppFakes.h"

// The whole program on the recording device and the fake window layer, in a
// temporary folder holding links to the generated Data.
namespace {

std::vector<std::string> gBoxes; // "caption: text" of each message box shown

struct AppRun {
    RecordingProvider provider;
    FakeWindowLayer windows;
    HeadlessMouse mouse;
    CKeyLatch keys;
    std::string dir, oldDir, errors;
    SAppFiles files;

    AppRun()
    {
        char buffer[4096], pattern[] = "/tmp/tavrin-app-XXXXXX";
        oldDir = getcwd(buffer, sizeof buffer);
        dir = mkdtemp(pattern);
        EXPECT_EQ(std::system(("cp -rs '" TAVRIN_DATA_DIR "' '" + dir + "/Data'").c_str()), 0);
        EXPECT_EQ(chdir(dir.c_str()), 0);
        std::ofstream("GameSettings.ini") << "MouseSensitivity=200\nXResolution=800\nYResolution=600\nShowHelp=false\n";
        provider.SetRecording(false);
        SetKeySource(&keys);
        gBoxes.clear();
    }
    ~AppRun()
    {
        Orvel::SetDataFolder(nullptr);
        SetKeySource(nullptr);
        EXPECT_EQ(chdir(oldDir.c_str()), 0);
        EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
    }
    int Run()
    {
        testing::internal::CaptureStderr();
        int status = RunApp(SAppPlatform{&windows, &provider, &mouse,
                                         [](const char* text, const char* caption) {
                                             gBoxes.push_back(std::string(caption) + ": " + text);
                                         }},
                            files);
        errors = testing::internal::GetCapturedStderr();
        return status;
    }
    bool Logged(const char* line) const { return std::count(windows.log.begin(), windows.log.end(), line) == 1; }
    // Replaces the link to a generated data file with its first `keep` bytes.
    static void Truncate(const std::string& name, size_t keep)
    {
        std::ifstream in(TAVRIN_DATA_DIR "/" + name, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_GT(bytes.size(), keep);
        unlink(("Data/" + name).c_str());
        std::ofstream("Data/" + name, std::ios::binary) << bytes.substr(0, keep);
    }
};

} // namespace

TEST(AppRunTest, LoadsShowsTheProgressPlaysAndLeavesWithEscape)
{
    if (access(TAVRIN_DATA_DIR "/Title.bmp", R_OK) != 0)
        GTEST_SKIP() << "no generated Data folder at " TAVRIN_DATA_DIR;
    AppRun run;
    std::vector<int> progress;
    int loadedTicks = 0;
    run.windows.onTick = [&](int) {
        progress.push_back(gLoadProgress);
        if (gLoaded && ++loadedTicks == 5)
            run.keys.KeyDown(VK_ESCAPE, false);
    };
    EXPECT_EQ(run.Run(), 0) << run.errors;
    EXPECT_TRUE(gBoxes.empty());
    EXPECT_EQ(loadedTicks, 5);
    ASSERT_FALSE(progress.empty());
    EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    EXPECT_EQ(progress.back(), 19);
    EXPECT_EQ(gXResolution, 800);
    EXPECT_FALSE(gShowHelp);
    EXPECT_EQ(run.provider.Log().Count("Present"), run.windows.ticks) << "one frame per tick";
    for (const char* line : {"create Tavrin 640x480", "move 192,144", "timer 20"})
        EXPECT_TRUE(run.Logged(line)) << line;
    EXPECT_EQ(gGame, nullptr);
    EXPECT_EQ(gDevice, nullptr);
    EXPECT_EQ(run.provider.Log().LiveObjects(), 0) << "every device object released by shutdown";
}

// Every way the program can end early: its status, the message box, what
// stderr says, and that everything made before is released.
TEST(AppRunTest, EachFailureAndAnEarlyCloseEndsWithItsStatusAndReleasesEverything)
{
    if (access(TAVRIN_DATA_DIR "/Title.bmp", R_OK) != 0)
        GTEST_SKIP() << "no generated Data folder at " TAVRIN_DATA_DIR;
    struct Row {
        const char* what;
        std::function<void(AppRun&)> arrange;
        int status;
        bool box, window, loaded;
        const char* error;
    };
    const Row rows[] = {
        {"no settings file, with the places looked",
         [](AppRun& run) {
             unlink("GameSettings.ini");
             run.files.settingsNote = "looked in 'a', 'b'";
         },
         1, false, false, false, "tavrin: File not found: 'GameSettings.ini'\ntavrin: looked in 'a', 'b'\n"},
        // A broken data file is named after the message of what failed: a
        // picture of the start-up, a picture and a model of the loading.
        {"a truncated start-up picture", [](AppRun&) { AppRun::Truncate("Title.bmp", 54 + 1648 * 10 + 7); }, 1, true,
         true, false, "tavrin: TReadStream::Read() - Read failed (reading 'Data/Title.bmp')\n"},
        {"a truncated loading picture", [](AppRun&) { AppRun::Truncate("ControlUI.bmp", 54 + 768 * 3 + 100); }, 1, true,
         true, false, "tavrin: TReadStream::Read() - Read failed (reading 'Data/ControlUI.bmp')\n"},
        {"a truncated model", [](AppRun&) { AppRun::Truncate("RedRobot.dat", 300); }, 1, true, true, false,
         " (reading 'Data/RedRobot.dat')\n"},
        {"a Data that is a file",
         [](AppRun&) {
             EXPECT_EQ(std::system("rm -rf Data && echo x > Data"), 0);
         },
         1, true, true, false, "tavrin: TReadStream::TReadStream() - Failed to open file: 'Data\\Cursor.bmp'\n"},
        {"an empty data folder",
         [](AppRun&) {
             mkdir("empty", 0700);
             Orvel::SetDataFolder("empty");
         },
         1, true, true, false, "tavrin: TReadStream::TReadStream() - Failed to open file: 'empty/Cursor.bmp'\n"},
        {"a picture missing at start-up", [](AppRun&) { unlink("Data/Title.bmp"); }, 1, true, true, false,
         "Title.bmp"},
        {"no device", [](AppRun& run) { run.provider.Log().FailCall("CreateDevice", 1, D3DERR_NOTAVAILABLE); }, 1,
         true, true, false, "DXGraphics::CreateDevice() - Failed to create Direct3D device (result code 0x8876086A)"},
        {"a failure on the loading thread", [](AppRun&) { unlink("Data/WinScreen.bmp"); }, 1, true, true, false,
         "WinScreen.bmp"},
        {"a failure in a tick",
         [](AppRun& run) {
             run.windows.onTick = [&run, armed = false](int) mutable {
                 if (gLoaded && !std::exchange(armed, true))
                     run.provider.Log().FailCall("Present", 1, D3DERR_INVALIDCALL);
             };
         },
         1, false, true, true, "DXDevice::FinishFrame() - Present() failed (result code 0x8876086C)"},
        {"a failed read while the window exists",
         [](AppRun& run) { run.windows.onTick = [&run](int tick) { run.windows.maxTicks = gLoaded ? tick : 20000; }; },
         1, false, true, true, "GetMessage() failed"},
        {"closing during loading",
         [](AppRun& run) { run.windows.onTick = [](int) { gWindows->PostMessage(gForm->Handle(), WM_CLOSE, 0, 0); }; },
         0, false, true, false, ""},
        {"a replay file that is not one", [](AppRun& run) { run.files.replayFile = "GameSettings.ini"; }, 1, false,
         false, false, "tavrin: GameSettings.ini: not a replay file"},
        // A recording that cannot be made is reported and the game plays on.
        {"a Replays that is a file",
         [](AppRun& run) {
             EXPECT_EQ(std::system("echo x > Replays"), 0);
             run.windows.onTick = [&run, ticks = 0](int) mutable {
                 if (gLoaded && ++ticks == 3)
                     run.keys.KeyDown(VK_ESCAPE, false);
             };
         },
         0, false, true, true, "tavrin: cannot record the replay: 'Replays': Not a directory\n"},
        // The loop also ends on the failed read once the window is gone.
        {"Escape with the quit message lost",
         [](AppRun& run) {
             run.windows.ignoreQuit = true;
             run.windows.onTick = [&run](int) { run.keys.KeyDown(VK_ESCAPE, false); };
         },
         0, false, true, true, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        AppRun run;
        row.arrange(run);
        EXPECT_EQ(run.Run(), row.status);
        EXPECT_NE(run.errors.find(row.error), std::string::npos) << run.errors;
        EXPECT_EQ(gBoxes, std::vector<std::string>(row.box ? 1 : 0, "Tavrin: Failed to initialise game :("));
        EXPECT_EQ(run.Logged("create Tavrin 640x480"), row.window) << "no window before the settings are read";
        EXPECT_EQ(gLoaded, row.loaded);
        EXPECT_EQ(gForm, nullptr);
        EXPECT_EQ(gGame, nullptr);
        EXPECT_EQ(run.provider.Log().LiveObjects(), 0) << "what was made before the end is released";
    }
}
