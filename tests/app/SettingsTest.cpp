#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "tlib/TException.h"

using namespace std::string_literals;

TEST(SettingsTest, TheParserOnFilesOfEveryShape)
{
    struct Row {
        std::string bytes;
        double sensitivity;
        int x, y;
        bool help;
    };
    const Row rows[] = {
        {"", 200, 1024, 768, true},
        {"MouseSensitivity=150\r\nXResolution=800\r\nYResolution=600\r\nShowHelp=FALSE\r\n", 150, 800, 600, false},
        // Keys match exactly; comments, stray and unknown lines are skipped.
        {"XResolution = 800\n xResolution=1\nxresolution=2\n;YResolution=600\n=5\nYResolution\nUnknown=7\n\n\n"
         "YResolution=700\n", 200, 1024, 700, true},
        // Values are read like atoi, held to the 32-bit range.
        {"MouseSensitivity=2.5\nXResolution=  -640x\nYResolution=+12\n", 2, -640, 12, true},
        {"MouseSensitivity=abc\nXResolution=99999999999999999999\nYResolution=-99999999999999999999\n", 0, INT32_MAX,
         INT32_MIN, true},
        {"MouseSensitivity=\nXResolution=- 3\n", 0, 0, 768, true},
        // Only "false" in any case hides the help, and nothing shows it again.
        {"ShowHelp=FaLsE\nShowHelp=true\n", 200, 1024, 768, false},
        {"ShowHelp=false\n", 200, 1024, 768, false},
        {"ShowHelp=0\n", 200, 1024, 768, true},
        {"ShowHelp=no\n", 200, 1024, 768, true},
        {"ShowHelp=false \n", 200, 1024, 768, true},
        // The last line counts without a line break; a repeated key keeps its last value.
        {"XResolution=800\nYResolution=600\nYResolution=601", 200, 800, 601, true},
        // A lone carriage return takes the next byte with it ('YResolution' loses its 'Y').
        {"XResolution=800\rYResolution=600\rXResolution=700\r\n", 200, 800, 768, true},
        // Bytes that are not text do no harm.
        {"XResolution=9\0\xff\r\n\0\0YResolution=5\n"s, 200, 9, 768, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        const char* name = "/tmp/tavrin-settings-test.ini";
        std::ofstream(name, std::ios::binary) << row.bytes;
        SSettings s;
        ReadSettingsFile(name, s);
        unlink(name);
        EXPECT_EQ(s.mouseSensitivity, row.sensitivity);
        EXPECT_EQ(s.xResolution, row.x);
        EXPECT_EQ(s.yResolution, row.y);
        EXPECT_EQ(s.showHelp, row.help);
    }
    EXPECT_EQ(ParseSettingsInt("\t\n 42"), 42);
}

TEST(SettingsTest, AMissingFileRaisesFileNotFound)
{
    SSettings s;
    try {
        ReadSettingsFile("/nonexistent/GameSettings.ini", s);
        FAIL() << "no exception";
    } catch (const tlib::TException& e) {
        EXPECT_STREQ(e.Message(), "File not found: '/nonexistent/GameSettings.ini'");
    }
}

TEST(SettingsTest, TheWrittenFileReadsBackAsTheSettingsItWasWrittenFrom)
{
    // The defaults an installed first run writes.
    EXPECT_EQ(SettingsFileText(SSettings()), "MouseSensitivity=200\nXResolution=1024\nYResolution=768\nShowHelp=true\n"
                                             "Fullscreen=true\nVSync=true\nPauseOnFocusLoss=false\nInvertMouseY=false\nReplays=true\n");
    SSettings changed;
    changed.mouseSensitivity = 0;
    changed.xResolution = -640;
    changed.yResolution = INT32_MAX;
    changed.showHelp = false;
    changed.fullscreen = false;
    changed.vsync = false;
    changed.pauseOnFocusLoss = true;
    changed.invertMouseY = true;
    changed.replays = false;
    int count = 0;
    SettingsKeys(&count);
    for (const SSettings& written : {SSettings(), changed}) {
        const std::string text = SettingsFileText(written);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), count) << "one line per key";
        // Read over settings that differ from both, so that every key must
        // come from the file (ShowHelp can only be turned off).
        SSettings read;
        read.mouseSensitivity = 1;
        read.xResolution = 2;
        read.yResolution = 3;
        read.fullscreen = !written.fullscreen;
        read.vsync = !written.vsync;
        read.pauseOnFocusLoss = !written.pauseOnFocusLoss;
        read.invertMouseY = !written.invertMouseY;
        read.replays = !written.replays;
        const char* name = "/tmp/tavrin-settings-written.ini";
        std::ofstream(name, std::ios::binary) << text;
        ReadSettingsFile(name, read);
        unlink(name);
        EXPECT_EQ(read.mouseSensitivity, written.mouseSensitivity) << text;
        EXPECT_EQ(read.xResolution, written.xResolution) << text;
        EXPECT_EQ(read.yResolution, written.yResolution) << text;
        EXPECT_EQ(read.showHelp, written.showHelp) << text;
        EXPECT_EQ(read.fullscreen, written.fullscreen) << text;
        EXPECT_EQ(read.vsync, written.vsync) << text;
        EXPECT_EQ(read.pauseOnFocusLoss, written.pauseOnFocusLoss) << text;
        EXPECT_EQ(read.invertMouseY, written.invertMouseY) << text;
        EXPECT_EQ(read.replays, written.replays) << text;
    }
}

// The player's switches take "true" or "false" in any case; any other value
// keeps what the key had and is reported with its line number (counted as
// the reader splits lines), while the design's keys never report.
TEST(SettingsTest, SwitchesTakeTrueOrFalseAndReportAnythingElseWithItsLine)
{
    struct Row {
        std::string bytes;
        bool fullscreen, vsync, pauseOnFocusLoss, invertMouseY;
        std::vector<std::string> problems;
    };
    const std::string f = "/tmp/tavrin-settings-switches.ini";
    const Row rows[] = {
        {"", true, true, false, false, {}},
        {"Fullscreen=FALSE\nVSync=False\nPauseOnFocusLoss=TRUE\nInvertMouseY=true\n", false, false, true, true, {}},
        // A repeated key takes its last good value; switches turn both ways.
        {"Fullscreen=false\nFullscreen=tRuE\n", true, true, false, false, {}},
        {"VSync=0\nPauseOnFocusLoss=yes\n\nInvertMouseY=\n", true, true, false, false,
         {f + " line 1: '0' is not true or false; VSync stays true",
          f + " line 2: 'yes' is not true or false; PauseOnFocusLoss stays false",
          f + " line 4: '' is not true or false; InvertMouseY stays false"}},
        // A bad value keeps the value the key had before it, not the default.
        {"Fullscreen=false\r\nFullscreen= true\r\n", false, true, false, false,
         {f + " line 2: ' true' is not true or false; Fullscreen stays false"}},
        // Unprintable bytes and long values are shown safely.
        {"VSync=\x01\xff" + std::string(50, 'x') + "\n", true, true, false, false,
         {f + " line 1: '??" + std::string(38, 'x') + "...' is not true or false; VSync stays true"}},
        // The design's keys are read as they always were, and say nothing.
        {"ShowHelp=no\nXResolution=abc\nfullscreen=false\n", true, true, false, false, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        std::ofstream(f, std::ios::binary) << row.bytes;
        SSettings s;
        std::vector<std::string> problems;
        ReadSettingsFile(f.c_str(), s, &problems);
        unlink(f.c_str());
        EXPECT_EQ(s.fullscreen, row.fullscreen);
        EXPECT_EQ(s.vsync, row.vsync);
        EXPECT_EQ(s.pauseOnFocusLoss, row.pauseOnFocusLoss);
        EXPECT_EQ(s.invertMouseY, row.invertMouseY);
        EXPECT_EQ(problems, row.problems);
    }
}
