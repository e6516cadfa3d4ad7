#include "app/CommandLine.h"

#include <cstring>
#include <string>

#include "game/GameVersion.h"


namespace {

// "--name" or "--name=value" against name: 0 no match, 1 bare, 2 with '='.
int Match(const char* argument, const char* name)
{
    const size_t length = std::strlen(name);
    if (std::strncmp(argument, name, length) != 0)
        return 0;
    if (argument[length] == 0)
        return 1;
    return argument[length] == '=' ? 2 : 0;
}

} // namespace

SCommandLine ParseCommandLine(int argc, const char* const* argv)
{
    SCommandLine line;
    struct Valued {
        const char* name;
        std::string* value;
    };
    const Valued valued[] = {{"--data", &line.where.dataFolder}, {"--settings", &line.where.settingsFile},
                            {"--replay", &line.replayFile}};
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            line.action = SCommandLine::Action::Help;
            return line;
        }
        if (std::strcmp(argument, "--version") == 0) {
            line.action = SCommandLine::Action::Version;
            return line;
        }
        if (std::strcmp(argument, "--windowed") == 0 || std::strcmp(argument, "--fullscreen") == 0) {
            line.fullscreen = argument[2] == 'f';
            continue;
        }
        bool known = false;
        for (const Valued& option : valued) {
            const int match = Match(argument, option.name);
            if (match == 0)
                continue;
            known = true;
            const char* value = nullptr;
            if (match == 2)
                value = argument + std::strlen(option.name) + 1;
            else if (i + 1 < argc)
                value = argv[++i];
            if (value == nullptr || value[0] == 0) {
                line.action = SCommandLine::Action::Error;
                line.error = std::string("option '") + option.name + "' needs an argument";
                return line;
            }
            *option.value = value;
        }
        if (!known) {
            line.action = SCommandLine::Action::Error;
            line.error = std::string("unknown option '") + argument + "'";
            return line;
        }
    }
    return line;
}

const char* UsageText()
{
    return "usage: tavrin [--data DIR] [--settings FILE] [--windowed | --fullscreen]\n"
           "              [--replay FILE]\n"
           "       tavrin --help | --version\n"
           "Plays Tavrin, a real-time strategy game: red (you) against blue.\n"
           "  --data DIR       read the models and pictures from DIR\n"
           "  --settings FILE  read the settings from FILE\n"
           "  --windowed       play in a window (Alt+Enter or F11 switches)\n"
           "  --fullscreen     play on the whole screen (the default)\n"
           "  --replay FILE    watch a recorded game (P pauses, + and - set the speed)\n"
           "  --help           print this help and exit\n"
           "  --version        print the version and exit\n"
           "Without options the settings are ./GameSettings.ini, else\n"
           "~/.config/tavrin/GameSettings.ini; see tavrin(6).\n";
}

const char* VersionText()
{
    static const std::string text = std::string("tavrin ") + kGameVersion + "\n";
    return text.c_str();
}
