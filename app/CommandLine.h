#pragma once
// The game's command line: --help, --version, --data DIR, --settings FILE,
// --replay FILE (also written --data=DIR and so on), --windowed, --fullscreen.
// Nothing else is accepted.

#include <optional>
#include <string>

#include "app/CWhere.h"

struct SCommandLine {
    enum class Action {
        Run,     // play, with the options in where
        Help,    // print UsageText to stdout, exit 0
        Version, // print VersionText to stdout, exit 0
        Error,   // print error and UsageText to stderr, exit 2
    };
    Action action = Action::Run;
    SWhereOptions where;
    // --fullscreen (true) or --windowed (false), the last one given; over
    // the "Fullscreen" setting.
    std::optional<bool> fullscreen;
    // --replay: a recorded game to watch instead of playing.
    std::string replayFile;
    std::string error; // what was wrong, for Action::Error
};

// Reads the arguments in order: the first --help, --version or mistake
// decides; a repeated option keeps its last value. An option's argument
// may not be empty.
SCommandLine ParseCommandLine(int argc, const char* const* argv);

// The usage and the options, several lines, each ended by a line feed.
const char* UsageText();
// "tavrin <version>" and a line feed.
const char* VersionText();

// The exit status of a mistake on the command line.
constexpr int kUsageStatus = 2;
