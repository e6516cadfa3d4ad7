#include "app/Launch.h"

#include <cstdio>
#include <ctime>

#include "app/CommandLine.h"
#include "app/ErrorReport.h"
#include "app/RunLog.h"
#include "app/Settings.h"
#include "app/WhereEnvironment.h"
#include "engine/DataFiles.h"

namespace {

void Notice(const std::string& text)
{
    ReportNotice(text.c_str());
}

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

// The first lines of the log: the version, the time and where things are.
void LogHeader(const CWhere& where)
{
    char when[64] = "";
    std::time_t now = std::time(nullptr);
    std::tm local;
    if (localtime_r(&now, &local) != nullptr)
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    std::string version = VersionText();
    version.pop_back(); // its line feed
    WriteRunLog(version + ", started " + when);
    WriteRunLog("settings: " + (where.SettingsFile().empty() ? "(defaults)" : where.SettingsFile()));
    WriteRunLog("data: " + (where.DataFolder().empty() ? "Data" : where.DataFolder()));
    WriteRunLog("files written to: " + (where.WriteFolder().empty() ? "(nowhere)" : where.WriteFolder()));
}

std::string SettingsNote(const SWhereEnvironment& environment, const CWhere& where, const std::string& file)
{
    if (environment.probe(file) == PathKind::Missing) {
        std::string note = "looked in";
        const char* separator = " ";
        for (const std::string& place : where.SettingsLooked()) {
            note += separator + Quoted(place);
            separator = ", ";
        }
        return note;
    }
    const std::string problem = ReadProblem(file);
    return problem.empty() ? "" : Quoted(file) + ": " + problem;
}

} // namespace

SLaunch PrepareLaunch(int argc, const char* const* argv, const SWhereEnvironment& environment)
{
    SLaunch launch;
    const SCommandLine line = ParseCommandLine(argc, argv);
    switch (line.action) {
    case SCommandLine::Action::Help:
        std::fputs(UsageText(), stdout);
        launch.exitStatus = 0;
        return launch;
    case SCommandLine::Action::Version:
        std::fputs(VersionText(), stdout);
        launch.exitStatus = 0;
        return launch;
    case SCommandLine::Action::Error:
        std::fprintf(stderr, "tavrin: %s\n%s", line.error.c_str(), UsageText());
        launch.exitStatus = kUsageStatus;
        return launch;
    case SCommandLine::Action::Run:
        break;
    }
    if (!line.where.dataFolder.empty() && environment.probe(line.where.dataFolder) != PathKind::Folder) {
        Notice("the data folder " + Quoted(line.where.dataFolder) + " is not a folder");
        launch.exitStatus = 1;
        return launch;
    }

    launch.fullscreen = line.fullscreen;
    launch.replayFile = line.replayFile;
    launch.where = CWhere(environment, line.where);
    const CWhere& where = launch.where;
    launch.settingsFile = where.SettingsFile();
    if (where.Installed()) {
        std::string error;
        if (!where.LogFile().empty() && !OpenRunLog(where.LogFile(), &error))
            Notice("cannot write the log (" + error + "); playing on without it");
        LogHeader(where);
        for (const std::string& note : where.Notes())
            Notice(note);
        if (where.CreateSettings()) {
            if (WriteNewFile(launch.settingsFile, SettingsFileText(SSettings()), &error)) {
                Notice("no settings found; wrote the defaults to " + Quoted(launch.settingsFile));
            } else {
                Notice("cannot write the default settings (" + error + "); playing with the defaults");
                launch.settingsFile.clear();
            }
        } else if (launch.settingsFile.empty()) {
            Notice("playing with the default settings");
        }
    }
    if (!launch.settingsFile.empty())
        launch.settingsNote = SettingsNote(environment, where, launch.settingsFile);
    Orvel::SetDataFolder(where.DataFolder().c_str());
    return launch;
}

void FinishLaunch(int status)
{
    WriteRunLog("ended with status " + std::to_string(status));
    CloseRunLog();
}
