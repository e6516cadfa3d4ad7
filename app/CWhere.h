#pragma once
// Where a run finds its settings and data and puts the files it writes.
// Pure: every fact about the machine comes in through SWhereEnvironment
// (app/WhereEnvironment.h reads the real one), so the rules can be tested
// without a file system.
//
// The two forms of a run:
// - installed: the program belongs to an installation, and its settings do
//   not come from "GameSettings.ini" in the current folder. The program
//   belongs to an installation when <folder of the executable>/<binToData>/
//   Data is a folder ("../share/tavrin/Data" with the usual layout, so that
//   a relocated or staged installation counts), or, only when the
//   executable's own path is unknown, when <installedData>/Data is one. A build tree is never an
//   installation, whatever the configured prefix holds.
// - portable: everything else. It behaves as the game always has: settings
//   and data in the current folder, written files there too, no log.
//
// Settings, the first that applies:
//   --settings FILE;
//   ./GameSettings.ini when it exists (a folder counts: reading it fails);
//   $XDG_CONFIG_HOME/tavrin/GameSettings.ini (default ~/.config/tavrin/) when
//   it exists or cannot be probed;
//   installed: that file, written with the defaults first;
//   otherwise "GameSettings.ini", which fails as it always has; the places
//   looked are listed in SettingsLooked.
// Data: --data DIR; in the portable form ./Data when it exists (anything by
//   that name); the installation's Data folder when the program belongs to
//   one; otherwise the current folder's "Data" (dataFolder empty), which
//   fails as it always has. An installed run ignores ./Data: a menu starts
//   the game in the home folder, where a "Data" may be anything.
// Files the game writes (screenshots, replays): the current folder in the
//   portable form; $XDG_DATA_HOME/tavrin (default ~/.local/share/tavrin)
//   when installed.
// Log: installed only, $XDG_STATE_HOME/tavrin/tavrin.log (default
//   ~/.local/state/tavrin/).
// An XDG variable that is empty or not an absolute path is ignored, as is a
// HOME that is; with neither, that folder is unknown (its path is empty and
// notes say so).

#include <functional>
#include <string>
#include <vector>

// What is at a path.
enum class PathKind {
    Missing,  // nothing (or a component of the path is not a folder)
    File,     // something that is not a folder
    Folder,
    Unknown,  // cannot tell (for example no permission to look)
};

struct SWhereEnvironment {
    // Reports what is at a path (relative paths from the current folder).
    std::function<PathKind(const std::string& path)> probe;
    // The running program's absolute path with links resolved; empty when
    // unknown.
    std::string executable;
    // The variables as set; empty when unset.
    std::string home;
    std::string xdgConfigHome;
    std::string xdgDataHome;
    std::string xdgStateHome;
    // The installation layout the program was built for: from the folder of
    // the executable to the folder holding Data ("../share/tavrin"), and the
    // same folder under the configured prefix ("/usr/local/share/tavrin").
    std::string binToData;
    std::string installedData;
};

// What the command line asked for; empty: not given.
struct SWhereOptions {
    std::string settingsFile;
    std::string dataFolder;
};

class CWhere {
public:
    static constexpr const char* kSettingsName = "GameSettings.ini";
    static constexpr const char* kDataName = "Data";
    static constexpr const char* kAppFolder = "tavrin";
    static constexpr const char* kLogName = "tavrin.log";

    // Nothing resolved: a portable run with no folder for written files.
    CWhere() = default;
    CWhere(const SWhereEnvironment& environment, const SWhereOptions& options);

    bool Installed() const { return mInstalled; }
    // The program belongs to an installation (whatever the form of the run).
    bool InInstallation() const { return mInInstallation; }

    // The settings file to read; empty: none can be found or made (HOME and
    // XDG_CONFIG_HOME unknown on an installed run), play with the defaults.
    const std::string& SettingsFile() const { return mSettingsFile; }
    // The settings file does not exist yet and is to be written with the
    // defaults before it is read.
    bool CreateSettings() const { return mCreateSettings; }
    // Every place looked for the settings, in order.
    const std::vector<std::string>& SettingsLooked() const { return mSettingsLooked; }

    // The data folder; empty: "Data" in the current folder, as the loaders
    // open it by default.
    const std::string& DataFolder() const { return mDataFolder; }

    // The folder for files the game writes: "." in the portable form; empty
    // when it is unknown.
    const std::string& WriteFolder() const { return mWriteFolder; }
    // name inside the write folder ("" when the folder is unknown).
    std::string WritePath(const std::string& name) const;

    // The log file; empty: no log (portable form, or the folder is unknown).
    const std::string& LogFile() const { return mLogFile; }

    // Why a folder is unknown, one sentence each.
    const std::vector<std::string>& Notes() const { return mNotes; }

private:
    // base/tavrin for the XDG variable, else HOME/fallback/tavrin; empty
    // with a note when both are unusable.
    std::string AppFolder(const std::string& xdg, const char* variable, const char* fallback,
                          const std::string& home, const char* what);

    bool mInstalled = false;
    bool mInInstallation = false;
    std::string mSettingsFile;
    bool mCreateSettings = false;
    std::vector<std::string> mSettingsLooked;
    std::string mDataFolder;
    std::string mWriteFolder;
    std::string mLogFile;
    std::vector<std::string> mNotes;
};
