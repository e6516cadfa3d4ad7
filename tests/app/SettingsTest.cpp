#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

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
