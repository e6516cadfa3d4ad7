#pragma once
// What the game does before its window layer exists: the command line, where
// the settings and data are, and for an installed run the log and the
// default settings. Main thread only.

#include <optional>
#include <string>

#include "app/CWhere.h"

struct SLaunch {
    // >= 0: end now with this status (--help, --version, a mistake).
    int exitStatus = -1;
    // Where this run finds and puts things; features that write files take
    // their folder from where.WritePath.
    CWhere where;
    // The settings file to read; empty: play with the defaults.
    std::string settingsFile;
    // --fullscreen or --windowed, over the "Fullscreen" setting.
    std::optional<bool> fullscreen;
    // --replay: the recorded game to watch; empty: play.
    std::string replayFile;
    // What to say after a failure to read the settings file (the places
    // looked, or why it cannot be read); empty when there is nothing to add.
    std::string settingsNote;
};

// Reads the command line and resolves where things are. --help and --version
// print to stdout; a mistake prints its reason and the usage to stderr (status
// 2); a --data that is not a folder is an error (status 1). An installed run
// opens its log, says on stderr what it cannot find or write, and writes the
// default settings when there are none. Sets the loaders' data folder.
SLaunch PrepareLaunch(int argc, const char* const* argv, const SWhereEnvironment& environment);

// Notes the end of the run in the log and closes it.
void FinishLaunch(int status);
