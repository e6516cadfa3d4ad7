#include "app/CWhere.h"

#include <filesystem>

namespace {

bool Absolute(const std::string& path)
{
    return !path.empty() && path[0] == '/';
}

// a/b with ".." and "." folded (the executable's path has no links left).
std::string Join(const std::string& a, const std::string& b)
{
    return (std::filesystem::path(a) / b).lexically_normal().string();
}

std::string FolderOf(const std::string& path)
{
    return std::filesystem::path(path).parent_path().string();
}

} // namespace

CWhere::CWhere(const SWhereEnvironment& environment, const SWhereOptions& options)
{
    const auto exists = [&](const std::string& path) { return environment.probe(path) != PathKind::Missing; };

    std::string installationData;
    if (!environment.executable.empty())
        installationData = Join(Join(FolderOf(environment.executable), environment.binToData), kDataName);
    else if (Absolute(environment.installedData))
        installationData = Join(environment.installedData, kDataName);
    mInInstallation = !installationData.empty() && environment.probe(installationData) == PathKind::Folder;

    const std::string home = Absolute(environment.home) ? environment.home : "";
    const bool localSettings = options.settingsFile.empty() && exists(kSettingsName);
    mInstalled = mInInstallation && !localSettings;

    // Settings.
    if (!options.settingsFile.empty()) {
        mSettingsFile = options.settingsFile;
        mSettingsLooked.push_back(mSettingsFile);
    } else if (localSettings) {
        mSettingsFile = kSettingsName;
        mSettingsLooked.push_back(mSettingsFile);
    } else {
        mSettingsLooked.push_back(std::string("./") + kSettingsName);
        const std::string config =
            AppFolder(environment.xdgConfigHome, "XDG_CONFIG_HOME", ".config", home, "no settings file is read or written");
        const std::string configured = config.empty() ? "" : Join(config, kSettingsName);
        if (!configured.empty())
            mSettingsLooked.push_back(configured);
        if (!configured.empty() && exists(configured)) {
            mSettingsFile = configured;
        } else if (mInstalled) {
            mSettingsFile = configured; // empty: play with the defaults
            mCreateSettings = !configured.empty();
        } else {
            mSettingsFile = kSettingsName;
        }
    }

    // Data.
    if (!options.dataFolder.empty())
        mDataFolder = options.dataFolder;
    else if (!mInstalled && exists(kDataName))
        mDataFolder.clear();
    else if (mInInstallation)
        mDataFolder = installationData;

    // Written files and the log.
    if (mInstalled) {
        mWriteFolder = AppFolder(environment.xdgDataHome, "XDG_DATA_HOME", ".local/share", home,
                                 "screenshots and replays cannot be saved");
        const std::string state =
            AppFolder(environment.xdgStateHome, "XDG_STATE_HOME", ".local/state", home, "no log is written");
        if (!state.empty())
            mLogFile = Join(state, kLogName);
    } else {
        mWriteFolder = ".";
    }
}

std::string CWhere::AppFolder(const std::string& xdg, const char* variable, const char* fallback,
                              const std::string& home, const char* what)
{
    if (Absolute(xdg))
        return Join(xdg, kAppFolder);
    if (!home.empty())
        return Join(Join(home, fallback), kAppFolder);
    mNotes.push_back(std::string("neither HOME nor ") + variable + " names an absolute folder: " + what);
    return "";
}

std::string CWhere::WritePath(const std::string& name) const
{
    return mWriteFolder.empty() ? "" : Join(mWriteFolder, name);
}
