#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandLine.h"

using Action = SCommandLine::Action;

TEST(CommandLineTest, OptionsTheirArgumentsAndMistakes)
{
    struct Row {
        std::vector<const char*> arguments; // after the program's name
        Action action;
        std::string data, settings, error;
    };
    const Row rows[] = {
        {{}, Action::Run, "", "", ""},
        {{"--data", "/d", "--settings", "s.ini"}, Action::Run, "/d", "s.ini", ""},
        {{"--data=/d", "--settings=a=b.ini"}, Action::Run, "/d", "a=b.ini", ""},
        {{"--data", "/a", "--data", "/b"}, Action::Run, "/b", "", ""},
        // An argument that looks like an option is still the argument.
        {{"--settings", "--help"}, Action::Run, "", "--help", ""},
        {{"--help"}, Action::Help, "", "", ""},
        {{"-h", "--bogus"}, Action::Help, "", "", ""},
        {{"--data", "/d", "--version", "--bogus"}, Action::Version, "/d", "", ""},
        {{"--bogus", "--help"}, Action::Error, "", "", "unknown option '--bogus'"},
        {{"game.ini"}, Action::Error, "", "", "unknown option 'game.ini'"},
        {{"--dat", "x"}, Action::Error, "", "", "unknown option '--dat'"},
        {{"--datax"}, Action::Error, "", "", "unknown option '--datax'"},
        {{"-"}, Action::Error, "", "", "unknown option '-'"},
        {{"--data"}, Action::Error, "", "", "option '--data' needs an argument"},
        {{"--data", ""}, Action::Error, "", "", "option '--data' needs an argument"},
        {{"--settings="}, Action::Error, "", "", "option '--settings' needs an argument"},
    };
    for (const Row& row : rows) {
        std::vector<const char*> argv = {"tavrin"};
        argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
        std::string shown;
        for (const char* a : row.arguments)
            shown += std::string(" '") + a + "'";
        SCOPED_TRACE(shown);
        const SCommandLine line = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(line.action, row.action);
        EXPECT_EQ(line.where.dataFolder, row.data);
        EXPECT_EQ(line.where.settingsFile, row.settings);
        EXPECT_EQ(line.error, row.error);
    }
}

TEST(CommandLineTest, WindowedAndFullscreenOverTheSettingTheLastOneCounts)
{
    const struct {
        std::vector<const char*> arguments;
        int fullscreen; // -1: not given
    } rows[] = {
        {{}, -1},
        {{"--windowed"}, 0},
        {{"--fullscreen"}, 1},
        {{"--fullscreen", "--data", "/d", "--windowed"}, 0},
        {{"--windowed", "--fullscreen"}, 1},
    };
    for (const auto& row : rows) {
        std::vector<const char*> argv = {"tavrin"};
        argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
        const SCommandLine line = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
        EXPECT_EQ(line.action, Action::Run);
        EXPECT_EQ(line.fullscreen.has_value() ? int(*line.fullscreen) : -1, row.fullscreen) << argv.size();
    }
    for (const char* wrong : {"--windowed=yes", "--full-screen", "-w"}) {
        const char* argv[] = {"tavrin", wrong};
        EXPECT_EQ(ParseCommandLine(2, argv).action, Action::Error) << wrong;
    }
}

TEST(CommandLineTest, TheVersionIsTheProjectsAndTheUsageNamesEveryOption)
{
    EXPECT_EQ(std::string(VersionText()), "tavrin " TAVRIN_PROJECT_VERSION "\n");
    const std::string usage = UsageText();
    EXPECT_EQ(usage.rfind("usage: tavrin ", 0), 0u);
    EXPECT_EQ(usage.back(), '\n');
    for (const char* option : {"--data DIR", "--settings FILE", "--windowed", "--fullscreen", "--help", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}
