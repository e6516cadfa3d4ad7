#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/CWhere.h"

// The search order of settings, data, written files and the log, on a
// machine that exists only as a table of paths.
namespace {

using Paths = std::map<std::string, PathKind>;

// A player's home, the game installed under /usr and a build tree in the
// home; what exists differs per row.
SWhereEnvironment Machine(const Paths& paths, const std::string& executable)
{
    SWhereEnvironment environment;
    environment.probe = [paths](const std::string& path) {
        auto found = paths.find(path);
        return found == paths.end() ? PathKind::Missing : found->second;
    };
    environment.executable = executable;
    environment.home = "/home/u";
    environment.binToData = "../share/tavrin";
    environment.installedData = "/usr/local/share/tavrin";
    return environment;
}

const std::string kInstalled = "/usr/bin/tavrin";
const std::string kBuilt = "/home/u/src/build/app/tavrin";
const std::string kConfig = "/home/u/.config/tavrin/GameSettings.ini";
const std::string kWrites = "/home/u/.local/share/tavrin";
const std::string kLog = "/home/u/.local/state/tavrin/tavrin.log";
const std::pair<const std::string, PathKind> kUsrData{"/usr/share/tavrin/Data", PathKind::Folder};
const std::pair<const std::string, PathKind> kLocalSettings{"GameSettings.ini", PathKind::File};
const std::pair<const std::string, PathKind> kLocalData{"Data", PathKind::Folder};

struct Expected {
    bool installed;
    std::string settings;
    bool create;
    std::string data;
    std::string writes;
    std::string log;
};

struct Row {
    const char* what;
    Paths paths;
    std::string executable;
    std::function<void(SWhereEnvironment&, SWhereOptions&)> adjust;
    Expected expected;
};

void Same(SWhereEnvironment&, SWhereOptions&) {}

} // namespace

TEST(WhereTest, SettingsDataWrittenFilesAndTheLogAreFoundInTheirOrder)
{
    const Row rows[] = {
        // The portable form: everything in the current folder, as always.
        {"a portable folder", {kLocalSettings, kLocalData}, kBuilt, Same, {false, "GameSettings.ini", false, "", ".", ""}},
        {"a portable folder run by an installed program",
         {kLocalSettings, kLocalData, kUsrData}, kInstalled, Same, {false, "GameSettings.ini", false, "", ".", ""}},
        {"local settings without Data, installed program",
         {kLocalSettings, kUsrData}, kInstalled, Same,
         {false, "GameSettings.ini", false, "/usr/share/tavrin/Data", ".", ""}},
        {"settings that are a folder are still the ones read",
         {{"GameSettings.ini", PathKind::Folder}, kLocalData}, kBuilt, Same, {false, "GameSettings.ini", false, "", ".", ""}},
        // A build tree reads the XDG settings when they exist, and otherwise
        // fails as always, whatever the configured prefix holds.
        {"a build tree with XDG settings",
         {{kConfig, PathKind::File}, kLocalData}, kBuilt, Same, {false, kConfig, false, "", ".", ""}},
        {"a build tree with nothing", {}, kBuilt, Same, {false, "GameSettings.ini", false, "", ".", ""}},
        {"a build tree beside an installation in the prefix",
         {{"/usr/local/share/tavrin/Data", PathKind::Folder}}, kBuilt, Same,
         {false, "GameSettings.ini", false, "", ".", ""}},
        // Installed: settings under XDG, made on the first run; the
        // installation's data, even where the current folder has a Data.
        {"an installed first run", {kUsrData}, kInstalled, Same, {true, kConfig, true, "/usr/share/tavrin/Data", kWrites, kLog}},
        {"an installed run from a home holding a Data folder",
         {kUsrData, kLocalData, {kConfig, PathKind::File}}, kInstalled, Same,
         {true, kConfig, false, "/usr/share/tavrin/Data", kWrites, kLog}},
        {"XDG variables", {kUsrData}, kInstalled,
         [](SWhereEnvironment& e, SWhereOptions&) {
             e.xdgConfigHome = "/x/config";
             e.xdgDataHome = "/x/data/";
             e.xdgStateHome = "/x/state";
         },
         {true, "/x/config/tavrin/GameSettings.ini", true, "/usr/share/tavrin/Data", "/x/data/tavrin",
          "/x/state/tavrin/tavrin.log"}},
        {"relative XDG variables are ignored", {kUsrData}, kInstalled,
         [](SWhereEnvironment& e, SWhereOptions&) {
             e.xdgConfigHome = "config";
             e.xdgStateHome = "~/state";
         },
         {true, kConfig, true, "/usr/share/tavrin/Data", kWrites, kLog}},
        {"XDG settings that cannot be probed are read, not replaced",
         {kUsrData, {kConfig, PathKind::Unknown}}, kInstalled, Same,
         {true, kConfig, false, "/usr/share/tavrin/Data", kWrites, kLog}},
        {"a staged installation",
         {{"/tmp/stage/usr/share/tavrin/Data", PathKind::Folder}}, "/tmp/stage/usr/bin/tavrin", Same,
         {true, kConfig, true, "/tmp/stage/usr/share/tavrin/Data", kWrites, kLog}},
        {"an installation whose Data is a file is none",
         {{"/usr/share/tavrin/Data", PathKind::File}}, kInstalled, Same,
         {false, "GameSettings.ini", false, "", ".", ""}},
        {"an unknown program path falls back to the configured prefix",
         {{"/usr/local/share/tavrin/Data", PathKind::Folder}}, "", Same,
         {true, kConfig, true, "/usr/local/share/tavrin/Data", kWrites, kLog}},
        {"an unknown program path and no installation", {kLocalData}, "", Same,
         {false, "GameSettings.ini", false, "", ".", ""}},
        // The command line overrides both searches; the form stays.
        {"--settings and --data, installed", {kUsrData, kLocalSettings}, kInstalled,
         [](SWhereEnvironment&, SWhereOptions& o) {
             o.settingsFile = "my.ini";
             o.dataFolder = "/d";
         },
         {true, "my.ini", false, "/d", kWrites, kLog}},
        {"--settings and --data, portable", {kLocalSettings, kLocalData}, kBuilt,
         [](SWhereEnvironment&, SWhereOptions& o) {
             o.settingsFile = "/s.ini";
             o.dataFolder = "d";
         },
         {false, "/s.ini", false, "d", ".", ""}},
        // Without HOME an installed run keeps the defaults and writes nothing.
        {"no HOME, installed", {kUsrData}, kInstalled, [](SWhereEnvironment& e, SWhereOptions&) { e.home = ""; },
         {true, "", false, "/usr/share/tavrin/Data", "", ""}},
        {"a relative HOME, installed", {kUsrData}, kInstalled,
         [](SWhereEnvironment& e, SWhereOptions&) { e.home = "home/u"; }, {true, "", false, "/usr/share/tavrin/Data", "", ""}},
        {"no HOME but XDG variables", {kUsrData}, kInstalled,
         [](SWhereEnvironment& e, SWhereOptions&) {
             e.home = "";
             e.xdgConfigHome = "/c";
             e.xdgDataHome = "/d";
             e.xdgStateHome = "/s";
         },
         {true, "/c/tavrin/GameSettings.ini", true, "/usr/share/tavrin/Data", "/d/tavrin", "/s/tavrin/tavrin.log"}},
        {"no HOME, portable", {kLocalData}, kBuilt, [](SWhereEnvironment& e, SWhereOptions&) { e.home = ""; },
         {false, "GameSettings.ini", false, "", ".", ""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SWhereEnvironment environment = Machine(row.paths, row.executable);
        SWhereOptions options;
        row.adjust(environment, options);
        const CWhere where(environment, options);
        EXPECT_EQ(where.Installed(), row.expected.installed);
        EXPECT_EQ(where.SettingsFile(), row.expected.settings);
        EXPECT_EQ(where.CreateSettings(), row.expected.create);
        EXPECT_EQ(where.DataFolder(), row.expected.data);
        EXPECT_EQ(where.WriteFolder(), row.expected.writes);
        EXPECT_EQ(where.LogFile(), row.expected.log);
        // A known folder for written files is where later features put theirs.
        EXPECT_EQ(where.WritePath("Replays"), row.expected.writes.empty() ? "" : row.expected.writes == "."
                                                                              ? "Replays"
                                                                              : row.expected.writes + "/Replays");
    }
}

TEST(WhereTest, ThePlacesLookedAndWhyAFolderIsUnknownAreListed)
{
    {
        const CWhere where(Machine({}, kBuilt), SWhereOptions());
        EXPECT_EQ(where.SettingsLooked(), (std::vector<std::string>{"./GameSettings.ini", kConfig}));
        EXPECT_TRUE(where.Notes().empty());
    }
    {
        SWhereEnvironment environment = Machine({kUsrData}, kInstalled);
        environment.home.clear();
        const CWhere where(environment, SWhereOptions());
        EXPECT_EQ(where.SettingsLooked(), std::vector<std::string>{"./GameSettings.ini"});
        ASSERT_EQ(where.Notes().size(), 3u);
        EXPECT_EQ(where.Notes()[0],
                  "neither HOME nor XDG_CONFIG_HOME names an absolute folder: no settings file is read or written");
        EXPECT_NE(where.Notes()[1].find("XDG_DATA_HOME"), std::string::npos);
        EXPECT_NE(where.Notes()[2].find("XDG_STATE_HOME"), std::string::npos);
    }
    {
        SWhereOptions options;
        options.settingsFile = "/s.ini";
        const CWhere where(Machine({}, kInstalled), options);
        EXPECT_EQ(where.SettingsLooked(), std::vector<std::string>{"/s.ini"});
    }
}
