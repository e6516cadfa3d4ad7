#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/tlib/MessageOf.h"
#include "tlib/TFile.h"
#include "tlib/TReadStream.h"
#include "tlib/TString.h"

namespace {

using tlib::TString;

// A scratch folder, removed afterwards.
class Files : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tlib_files_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        mRoot = pattern;
    }
    void TearDown() override { EXPECT_EQ(system(("rm -r " + mRoot).c_str()), 0); }

    // Writes bytes to root/relative through a TFile in write mode; returns the path.
    TString Write(const std::string& relative, const std::string& bytes)
    {
        TString path("%s/%s", mRoot.c_str(), relative.c_str());
        EXPECT_EQ(TFile(path, TFile::Write, false).WriteBytes(bytes.data(), int(bytes.size())), int(bytes.size()));
        return path;
    }
    // The lines of a file holding bytes, each followed by '|', with '$' after the one read at end of file.
    std::string Lines(const std::string& bytes)
    {
        TFile file(Write("lines.txt", bytes), TFile::Read, true);
        std::string lines;
        for (int guard = 0; guard < 100 && !file.Eof(); ++guard) {
            lines += file.ReadLine().Text();
            lines += file.Eof() ? "$" : "|";
        }
        return lines;
    }

    std::string mRoot;
};

TEST_F(Files, StreamReadsExactCountsThenMeetsTheEnd)
{
    tlib::TReadStream stream(Write("six.bin", "abcdef"), true);
    char buffer[8] = {};
    stream.Read(buffer, 4);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(MessageOf([&] { stream.Read(buffer, 4); }), "TReadStream::Read() - Read failed");
    EXPECT_FALSE(stream.Eof());

    stream.Seek(0, 2);
    char untouched[4] = {'x', 'x', 'x', 'x'};
    stream.Read(untouched, 4); // nothing left: sets end of file, no raise
    EXPECT_TRUE(stream.Eof());
    EXPECT_EQ(std::string(untouched, 4), "xxxx");
    EXPECT_EQ(MessageOf([&] { stream.Read(buffer, 1); }), "TReadStream::Read() - Cannot read past end of file");
    // Argument checks come before the end-of-file check.
    for (auto [to, n] : {std::pair<char*, int>{buffer, 0}, {nullptr, 1}, {buffer, -4}})
        EXPECT_EQ(MessageOf([&] { stream.Read(to, n); }), "TReadStream::Read() - Invalid arguments");
}

// (Only reading serves the game: the settings file through TFile, the data
// files through TReadStream.)
TEST_F(Files, BackslashesAreSeparatorsAndMessagesCarryTheGivenName)
{
    Write("log.txt", "newer");
    EXPECT_STREQ(TFile(TString("%s\\log.txt", mRoot.c_str()), TFile::Read, true).ReadLine().Text(), "newer");
    EXPECT_EQ(tlib::TReadStream(TString("%s\\log.txt", mRoot.c_str()), true).Size(), 5);

    // A missing file and a folder do not open.
    for (std::string bad : {mRoot + "\\Missing.dat", mRoot}) {
        TString given("%s", bad.c_str());
        EXPECT_EQ(MessageOf([&] { tlib::TReadStream s(given, true); }),
                  "TReadStream::TReadStream() - Failed to open file: '" + bad + "'");
        EXPECT_EQ(MessageOf([&] { TFile f(given, TFile::Read, true); }), "File not found: '" + bad + "'");
    }
}

TEST_F(Files, LinesEndAtCrLfOrLfAndALoneCrSwallowsTheNextByte)
{
    // Each case rewrites the same file: a shorter one after a longer one shows write mode truncates.
    const struct {
        const char* file;
        const char* lines; // each line followed by |, then $ at the end
    } cases[] = {
        {"a\r\nb\r\n", "a|b|$"}, {"a\nb", "a|b$"}, {"key=1\r\n\r\nShowHelp=0\r\n", "key=1||ShowHelp=0|$"},
        {"\n\nx\n", "||x|$"},    {"ab\rcd\n", "ab|d|$"}, {"\rxyz\n", "|yz|$"}, {"", "$"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Lines(c.file), c.lines) << c.file;
    const std::string longLine(100000, 'q'); // no length limit
    EXPECT_EQ(Lines(longLine + "\r\nend"), longLine + "|end$");
}

} // namespace
