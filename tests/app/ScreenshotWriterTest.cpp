// The screenshot writer: names after the local time, the next free suffix
// when a name is taken (never an overwrite), folders made as needed, and a
// report for every shot, written or not.

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "app/CScreenshotWriter.h"
#include "engine/PngFile.h"

namespace {

// 2024-03-05 06:07:08 UTC.
constexpr std::time_t kWhen = 1709618828;

// TZ set to UTC while it lives.
struct Utc {
    std::string old;
    bool had;
    Utc() : had(getenv("TZ") != nullptr)
    {
        if (had)
            old = getenv("TZ");
        setenv("TZ", "UTC", 1);
        tzset();
    }
    ~Utc()
    {
        if (had)
            setenv("TZ", old.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
};

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(ScreenshotWriterTest, NamesFollowTheTimeAndATakenNameGetsTheNextSuffix)
{
    Utc utc;
    EXPECT_EQ(CScreenshotWriter::FileName(kWhen, 1), "tavrin-20240305-060708.png");
    EXPECT_EQ(CScreenshotWriter::FileName(kWhen, 2), "tavrin-20240305-060708-2.png");
    EXPECT_EQ(CScreenshotWriter::FileName(kWhen, 12), "tavrin-20240305-060708-12.png");

    char pattern[] = "/tmp/tavrin-shots-XXXXXX";
    const std::string root = mkdtemp(pattern);
    const std::string folder = root + "/a/b/Screenshots"; // made with its parents
    {
        CScreenshotWriter writer(folder);
        for (uint32_t colour : {0xFF102030u, 0xFF405060u, 0xFF708090u}) {
            std::vector<uint32_t> pixels(6 * 4, colour);
            EXPECT_TRUE(writer.Submit(std::move(pixels), 6, 4, kWhen));
            writer.Finish();
            // A file the player has under the second name stays as it is.
            if (colour == 0xFF102030u)
                std::ofstream(folder + "/tavrin-20240305-060708-2.png") << "mine";
        }
        const std::vector<std::string> reports = writer.TakeReports();
        const std::vector<std::string> expected = {
            "screenshot saved as '" + folder + "/tavrin-20240305-060708.png'",
            "screenshot saved as '" + folder + "/tavrin-20240305-060708-3.png'",
            "screenshot saved as '" + folder + "/tavrin-20240305-060708-4.png'",
        };
        EXPECT_EQ(reports, expected);
        EXPECT_TRUE(writer.TakeReports().empty()) << "each report is given once";
    }
    EXPECT_EQ(Slurp(folder + "/tavrin-20240305-060708-2.png"), "mine");
    const struct {
        const char* name;
        uint32_t colour;
    } files[] = {{"tavrin-20240305-060708.png", 0xFF102030u},
                 {"tavrin-20240305-060708-3.png", 0xFF405060u},
                 {"tavrin-20240305-060708-4.png", 0xFF708090u}};
    for (const auto& f : files) {
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
        std::string error;
        ASSERT_TRUE(Orvel::ReadPngFile(folder + "/" + f.name, width, height, pixels, &error)) << error;
        EXPECT_EQ(pixels, std::vector<uint32_t>(6 * 4, f.colour)) << f.name;
    }
    EXPECT_EQ(std::system(("rm -rf '" + root + "'").c_str()), 0);
}

TEST(ScreenshotWriterTest, AShotThatCannotBeWrittenIsReportedAndLeavesNothing)
{
    char pattern[] = "/tmp/tavrin-shots-XXXXXX";
    const std::string root = mkdtemp(pattern);
    std::ofstream(root + "/file") << "x";
    const struct {
        std::string folder;
        bool accepted;
        std::string report;
    } rows[] = {
        {"", false, "cannot save the screenshot: there is no folder for the files the game writes"},
        {root + "/file/Screenshots", true, "cannot save the screenshot: '" + root + "/file/Screenshots': Not a directory"},
        {root + "/file", true, "cannot save the screenshot: '" + root + "/file': Not a directory"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.folder);
        CScreenshotWriter writer(row.folder);
        EXPECT_EQ(writer.Submit(std::vector<uint32_t>(4, 0xFF000000u), 2, 2, kWhen), row.accepted);
        writer.Finish();
        EXPECT_EQ(writer.TakeReports(), std::vector<std::string>{row.report});
    }
    // Pixels the encoder cannot take (no picture) leave no empty file behind.
    {
        CScreenshotWriter writer(root + "/shots");
        writer.Submit(std::vector<uint32_t>(), 0, 0, kWhen);
        writer.Finish();
        const std::vector<std::string> reports = writer.TakeReports();
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].rfind("cannot save the screenshot: ", 0), 0u) << reports[0];
    }
    EXPECT_EQ(std::system(("test -z \"$(ls -A '" + root + "/shots')\"").c_str()), 0);
    EXPECT_EQ(std::system(("rm -rf '" + root + "'").c_str()), 0);
}
