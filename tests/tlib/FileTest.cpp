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

    // A file's short read sets its end of file, which stays set.
    TFile file(Write("three.bin", "abc"), TFile::Read, true);
    EXPECT_EQ(file.ReadBytes(buffer, 2), 2);
    EXPECT_EQ(file.ReadBytes(buffer, 2), 1);
    file.Seek(0, 0);
    EXPECT_EQ(file.ReadBytes(buffer, 1), 1);
    EXPECT_TRUE(file.Eof());
}

TEST_F(Files, BackslashesAreSeparatorsAppendAddsAndMessagesCarryTheGivenName)
{
    TString log("%s\\log.txt", mRoot.c_str()); // the backslash is a folder separator
    TFile(log, TFile::Append, false).WriteBytes("new", 3); // creates the file
    TFile(log, TFile::Append, false).WriteBytes("er", 2);  // adds at its end
    EXPECT_STREQ(TFile(TString("%s/log.txt", mRoot.c_str()), TFile::Read, true).ReadLine().Text(), "newer");
    EXPECT_EQ(tlib::TReadStream(log, true).Size(), 5);

    // A missing file and a folder do not open; writing needs an existing folder.
    for (std::string bad : {mRoot + "\\Missing.dat", mRoot}) {
        TString given("%s", bad.c_str());
        EXPECT_EQ(MessageOf([&] { tlib::TReadStream s(given, true); }),
                  "TReadStream::TReadStream() - Failed to open file: '" + bad + "'");
        EXPECT_EQ(MessageOf([&] { TFile f(given, TFile::Read, true); }), "File not found: '" + bad + "'");
    }
    TString nowhere("%s/NoFolder/x.txt", mRoot.c_str());
    for (int mode : {TFile::Write, TFile::Append})
        EXPECT_EQ(MessageOf([&] { TFile f(nowhere, mode, false); }),
                  "File not found: '" + std::string(nowhere.Text()) + "'");
}

TEST_F(Files, LinesEndAtCrLfOrLfAndALoneCrSwallowsTheNextByte)
{
    // Each case rewrites the same file: a shorter one after a longer one shows write mode truncates.
    const char* cases[][2] = {
        {"a\r\nb\r\n", "a|b|$"}, {"a\nb", "a|b$"}, {"key=1\r\n\r\nShowHelp=0\r\n", "key=1||ShowHelp=0|$"},
        {"\n\nx\n", "||x|$"},    {"ab\rcd\n", "ab|d|$"}, {"\rxyz\n", "|yz|$"}, {"", "$"},
    };
    for (auto& c : cases)
        EXPECT_EQ(Lines(c[0]), c[1]) << c[0];
    const std::string longLine(100000, 'q'); // no length limit
    EXPECT_EQ(Lines(longLine + "\r\nend"), longLine + "|end$");
}

} // namespace
