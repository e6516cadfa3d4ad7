#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/Settings.h"
#include "tlib/TException.h"

namespace {

// Reads bytes written to a temporary file as the settings file.
SSettings Read(const std::string& bytes)
{
    char name[] = "/tmp/tavrin-settings-XXXXXX";
    int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    SSettings settings;
    ReadSettingsFile(name, settings);
    unlink(name);
    return settings;
}

} // namespace

TEST(SettingsTest, TheFourKeysAndTheirDefaults)
{
    SSettings empty = Read("");
    EXPECT_EQ(empty.mouseSensitivity, 200.0);
    EXPECT_EQ(empty.xResolution, 1024);
    EXPECT_EQ(empty.yResolution, 768);
    EXPECT_TRUE(empty.showHelp);

    SSettings s = Read("MouseSensitivity=150\r\nXResolution=800\r\nYResolution=600\r\nShowHelp=FALSE\r\n");
    EXPECT_EQ(s.mouseSensitivity, 150.0);
    EXPECT_EQ(s.xResolution, 800);
    EXPECT_EQ(s.yResolution, 600);
    EXPECT_FALSE(s.showHelp);
}

TEST(SettingsTest, KeysMatchExactlyAndCommentsAndStrayLinesAreSkipped)
{
    SSettings s = Read("XResolution = 800\n xResolution=1\nxresolution=2\n;YResolution=600\n=5\nYResolution\n"
                       "Unknown=7\n\n\nYResolution=700\n");
    EXPECT_EQ(s.xResolution, 1024) << "spaces around the key make it match nothing";
    EXPECT_EQ(s.yResolution, 700);
}

TEST(SettingsTest, ValuesAreReadLikeAtoi)
{
    EXPECT_EQ(Read("MouseSensitivity=2.5\n").mouseSensitivity, 2.0);
    EXPECT_EQ(Read("MouseSensitivity=\n").mouseSensitivity, 0.0);
    EXPECT_EQ(Read("MouseSensitivity=abc\n").mouseSensitivity, 0.0);
    EXPECT_EQ(Read("XResolution=  -640x\n").xResolution, -640);
    EXPECT_EQ(Read("XResolution=+12\n").xResolution, 12);
    EXPECT_EQ(Read("XResolution=99999999999999999999\n").xResolution, INT32_MAX) << "held to the 32-bit range";
    EXPECT_EQ(Read("XResolution=-99999999999999999999\n").xResolution, INT32_MIN);
    EXPECT_EQ(ParseSettingsInt("\t\n 42"), 42);
    EXPECT_EQ(ParseSettingsInt("- 3"), 0);
}

TEST(SettingsTest, OnlyFalseInAnyCaseHidesHelpAndNothingShowsItAgain)
{
    EXPECT_FALSE(Read("ShowHelp=false\n").showHelp);
    EXPECT_FALSE(Read("ShowHelp=FaLsE\n").showHelp);
    EXPECT_TRUE(Read("ShowHelp=0\n").showHelp);
    EXPECT_TRUE(Read("ShowHelp=no\n").showHelp);
    EXPECT_TRUE(Read("ShowHelp=true\n").showHelp);
    EXPECT_TRUE(Read("ShowHelp=false \n").showHelp);
    EXPECT_FALSE(Read("ShowHelp=false\nShowHelp=true\n").showHelp);
}

TEST(SettingsTest, LineEndsAndTheLastLine)
{
    // The last line counts even without a line break.
    EXPECT_EQ(Read("XResolution=800\nYResolution=600").yResolution, 600);
    EXPECT_EQ(Read("YResolution=600").yResolution, 600);
    // A repeated key takes its last value.
    EXPECT_EQ(Read("YResolution=600\nYResolution=601\n").yResolution, 601);
    // A lone carriage return takes the next byte with it.
    SSettings lone = Read("XResolution=800\rYResolution=600\rXResolution=700\r\n");
    EXPECT_EQ(lone.xResolution, 800);
    EXPECT_EQ(lone.yResolution, 768) << "'YResolution' lost its first byte";
    // Bytes that are not text do no harm.
    SSettings binary = Read(std::string("XResolution=9\0\xff\r\n\0\0YResolution=5\n", 28));
    EXPECT_EQ(binary.xResolution, 9);
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
