#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/Launch.h"
#include "app/RunLog.h"
#include "app/WhereEnvironment.h"
#include "engine/DataFiles.h"

// The launch on a real file system: an installation under a temporary
// folder, the player's home beside it, and the current folder of the run.
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Launch {
    fs::path root, home, run, previous;
    SWhereEnvironment environment;
    SLaunch result;
    std::string out, err;

    Launch()
    {
        char pattern[] = "/tmp/tavrin-launch-XXXXXX";
        root = mkdtemp(pattern);
        home = root / "home";
        run = root / "run";
        fs::create_directories(root / "usr/share/tavrin/Data");
        fs::create_directories(home);
        fs::create_directories(run);
        previous = fs::current_path();
        fs::current_path(run);
        environment.probe = ProbePath;
        environment.executable = (root / "usr/bin/tavrin").string();
        environment.home = home.string();
        environment.binToData = "../share/tavrin";
        environment.installedData = "/nonexistent";
    }
    ~Launch()
    {
        FinishLaunch(0);
        Orvel::SetDataFolder(nullptr);
        fs::current_path(previous);
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    void Start(std::vector<const char*> arguments = {})
    {
        arguments.insert(arguments.begin(), "tavrin");
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        result = PrepareLaunch(static_cast<int>(arguments.size()), arguments.data(), environment);
        err = testing::internal::GetCapturedStderr();
        out = testing::internal::GetCapturedStdout();
    }
    bool Said(const std::string& text) const { return err.find(text) != std::string::npos; }
};

const char* const kDefaults = "MouseSensitivity=200\nXResolution=1024\nYResolution=768\nShowHelp=true\n"
                              "Fullscreen=true\nVSync=true\nPauseOnFocusLoss=false\nInvertMouseY=false\nReplays=true\n";

} // namespace

TEST(LaunchTest, AnInstalledRunMakesItsFoldersPrivateAndFindsTheInstalledData)
{
    Launch launch;
    launch.Start();
    EXPECT_EQ(launch.result.exitStatus, -1);
    EXPECT_EQ(Read(launch.home / ".config/tavrin/GameSettings.ini"), kDefaults);
    EXPECT_EQ(fs::status(launch.home / ".config/tavrin").permissions(), fs::perms::owner_all) << "XDG folders are 0700";
    EXPECT_EQ(std::string(Orvel::DataFilePath("Title.bmp").Text()),
              (launch.root / "usr/share/tavrin/Data/Title.bmp").string());
    EXPECT_EQ(launch.result.where.WritePath("shot.png"), (launch.home / ".local/share/tavrin/shot.png").string());
}

// Folders that cannot be made or written: the run is told why and goes on.
TEST(LaunchTest, FoldersThatCannotBeUsedAreReportedAndTheRunGoesOn)
{
    struct Row {
        const char* what;
        std::function<void(Launch&)> arrange;
        std::string settings; // the file the run reads
        std::vector<std::string> said;
    };
    const Row rows[] = {
        {"only the state folder is a file",
         [](Launch& l) {
             std::ofstream((l.root / "state").string()) << "x";
             l.environment.xdgStateHome = (l.root / "state").string();
         },
         "home/.config/tavrin/GameSettings.ini", {"cannot write the log (", "wrote the defaults to"}},
        {"a log that is a folder",
         [](Launch& l) { fs::create_directories(l.home / ".local/state/tavrin/tavrin.log"); },
         "home/.config/tavrin/GameSettings.ini", {"tavrin.log: it is a folder); playing on without it"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Launch launch;
        row.arrange(launch);
        launch.Start();
        EXPECT_EQ(launch.result.exitStatus, -1);
        EXPECT_EQ(launch.result.settingsFile, (launch.root / row.settings).string());
        for (const std::string& text : row.said)
            EXPECT_TRUE(launch.Said(text)) << text << " in\n" << launch.err;
    }
}

// A portable run says nothing and writes nothing outside its folder.
TEST(LaunchTest, APortableRunWritesNothing)
{
    Launch launch;
    launch.environment.executable = (launch.root / "build/app/tavrin").string(); // not installed
    std::ofstream("GameSettings.ini") << kDefaults;
    fs::create_directory("Data");
    launch.Start();
    EXPECT_EQ(launch.result.exitStatus, -1);
    EXPECT_EQ(launch.result.settingsFile, "GameSettings.ini");
    EXPECT_EQ(launch.result.settingsNote, "");
    EXPECT_EQ(launch.err, "");
    EXPECT_EQ(std::string(Orvel::DataFilePath("Title.bmp").Text()), "Data\\Title.bmp");
    EXPECT_TRUE(fs::is_empty(launch.home)) << "nothing written";
}
