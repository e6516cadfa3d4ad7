#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "tlib/TException.h"
#include "tlib/TFile.h"
#include "tlib/TReadStream.h"
#include "tlib/TString.h"

namespace {

using tlib::TString;

// A scratch folder with a "Data" folder inside, removed afterwards.
class Files : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tlib_files_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        mRoot = pattern;
        ASSERT_EQ(mkdir((mRoot + "/Data").c_str(), 0755), 0);
    }
    void TearDown() override
    {
        for (const std::string& path : mCreated)
            std::remove(path.c_str());
        rmdir((mRoot + "/Data").c_str());
        rmdir(mRoot.c_str());
    }

    // Writes bytes to root/relative; returns the full path.
    std::string Write(const std::string& relative, const std::string& bytes)
    {
        std::string path = mRoot + "/" + relative;
        FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        if (f != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        mCreated.push_back(path);
        return path;
    }
    std::string Contents(const std::string& path)
    {
        std::string bytes;
        FILE* f = std::fopen(path.c_str(), "rb");
        if (f == nullptr)
            return "(missing)";
        int c;
        while ((c = std::fgetc(f)) != EOF)
            bytes += static_cast<char>(c);
        std::fclose(f);
        return bytes;
    }
    std::vector<std::string> Lines(const std::string& bytes, std::vector<bool>* eofs = nullptr)
    {
        TFile file(TString("%s", Write("lines.txt", bytes).c_str()), 1, true);
        std::vector<std::string> lines;
        for (int guard = 0; guard < 100 && !file.Eof(); ++guard) {
            lines.push_back(file.ReadLine().Text());
            if (eofs != nullptr)
                eofs->push_back(file.Eof());
        }
        return lines;
    }

    std::string mRoot;
    std::vector<std::string> mCreated;
};

using Strings = std::vector<std::string>;

template <class F>
std::string MessageOf(F action)
{
    try {
        action();
    } catch (tlib::TException& e) {
        return e.Message();
    }
    return "(nothing raised)";
}

TEST_F(Files, StreamReadsExactCountsThenMeetsTheEnd)
{
    tlib::TReadStream stream(TString("%s", Write("six.bin", "abcdef").c_str()), true);
    EXPECT_EQ(stream.Size(), 6);
    char buffer[8] = {};
    stream.Read(buffer, 4);
    EXPECT_EQ(std::string(buffer, 4), "abcd");
    EXPECT_EQ(stream.Position(), 4);
    EXPECT_EQ(MessageOf([&] { stream.Read(buffer, 4); }), "TReadStream::Read() - Read failed");
    EXPECT_FALSE(stream.Eof());

    stream.Seek(0, 2);
    char untouched[4] = {'x', 'x', 'x', 'x'};
    stream.Read(untouched, 4); // nothing left: sets end of file, no raise
    EXPECT_TRUE(stream.Eof());
    EXPECT_EQ(std::string(untouched, 4), "xxxx");
    EXPECT_EQ(MessageOf([&] { stream.Read(buffer, 1); }),
              "TReadStream::Read() - Cannot read past end of file");
    // Argument checks come before the end-of-file check.
    EXPECT_EQ(MessageOf([&] { stream.Read(buffer, 0); }), "TReadStream::Read() - Invalid arguments");
    EXPECT_EQ(MessageOf([&] { stream.Read(nullptr, 1); }), "TReadStream::Read() - Invalid arguments");
    EXPECT_EQ(MessageOf([&] { stream.Read(buffer, -4); }), "TReadStream::Read() - Invalid arguments");
}

TEST_F(Files, BackslashesInNamesAreFolderSeparators)
{
    Write("Data/Robot.dat", "RB");
    std::string name = mRoot + "/Data\\Robot.dat";
    tlib::TReadStream stream(TString("%s", name.c_str()), true);
    char bytes[2];
    stream.Read(bytes, 2);
    EXPECT_EQ(std::string(bytes, 2), "RB");

    TFile file(TString("%s", name.c_str()), 1, true);
    EXPECT_STREQ(file.ReadLine().Text(), "RB");

    // Messages carry the name as it was given.
    std::string missing = mRoot + "/Data\\Missing.dat";
    EXPECT_EQ(MessageOf([&] { tlib::TReadStream s(TString("%s", missing.c_str()), true); }),
              "TReadStream::TReadStream() - Failed to open file: '" + missing + "'");
    EXPECT_EQ(MessageOf([&] { TFile f(TString("%s", missing.c_str()), 1, true); }),
              "File not found: '" + missing + "'");
}

TEST_F(Files, FoldersAndMissingFilesDoNotOpen)
{
    std::string folder = mRoot + "/Data";
    EXPECT_EQ(MessageOf([&] { tlib::TReadStream s(TString("%s", folder.c_str()), true); }),
              "TReadStream::TReadStream() - Failed to open file: '" + folder + "'");
    EXPECT_EQ(MessageOf([&] { TFile f(TString("%s", folder.c_str()), 1, true); }),
              "File not found: '" + folder + "'");
    // Write and append need an existing folder.
    std::string nowhere = mRoot + "/NoFolder/x.txt";
    EXPECT_EQ(MessageOf([&] { TFile f(TString("%s", nowhere.c_str()), 0, false); }),
              "File not found: '" + nowhere + "'");
    EXPECT_EQ(MessageOf([&] { TFile f(TString("%s", nowhere.c_str()), 2, false); }),
              "File not found: '" + nowhere + "'");
}

TEST_F(Files, WriteTruncatesAndAppendAddsAtTheEnd)
{
    std::string path = Write("out.txt", "old contents");
    {
        TFile file(TString("%s", path.c_str()), 0, false);
        EXPECT_EQ(file.WriteBytes("new", 3), 3);
    }
    EXPECT_EQ(Contents(path), "new");
    {
        TFile file(TString("%s", path.c_str()), 2, false);
        file.WriteBytes("er", 2);
    }
    EXPECT_EQ(Contents(path), "newer");

    std::string created = mRoot + "/created.txt";
    mCreated.push_back(created);
    {
        TFile file(TString("%s", created.c_str()), 2, false);
        file.WriteBytes("x", 1);
    }
    EXPECT_EQ(Contents(created), "x");
}

TEST_F(Files, ReadBytesSetsEndOfFileOnAShortRead)
{
    TFile file(TString("%s", Write("three.bin", "abc").c_str()), 1, true);
    char buffer[4];
    EXPECT_EQ(file.ReadBytes(buffer, 2), 2);
    EXPECT_FALSE(file.Eof());
    EXPECT_EQ(file.ReadBytes(buffer, 2), 1);
    EXPECT_TRUE(file.Eof());
    file.Seek(0, 0);
    EXPECT_EQ(file.ReadBytes(buffer, 1), 1);
    EXPECT_TRUE(file.Eof()); // never cleared once set
}

TEST_F(Files, LinesEndAtCrLfOrLf)
{
    std::vector<bool> eofs;
    EXPECT_EQ(Lines("a\r\nb\r\n", &eofs), (Strings{"a", "b", ""}));
    EXPECT_EQ(eofs, (std::vector<bool>{false, false, true}));

    eofs.clear();
    EXPECT_EQ(Lines("a\nb", &eofs), (Strings{"a", "b"}));
    EXPECT_EQ(eofs, (std::vector<bool>{false, true}));

    // An empty line between two CR LF pairs, and empty LF lines.
    eofs.clear();
    EXPECT_EQ(Lines("key=1\r\n\r\nShowHelp=0\r\n", &eofs), (Strings{"key=1", "", "ShowHelp=0", ""}));
    EXPECT_EQ(eofs, (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(Lines("\n\nx\n"), (Strings{"", "", "x", ""}));

    EXPECT_EQ(Lines(""), (Strings{""}));
}

TEST_F(Files, ALoneCarriageReturnSwallowsTheNextByte)
{
    EXPECT_EQ(Lines("ab\rcd\n"), (Strings{"ab", "d", ""}));
    // An empty line ended by a lone CR skips one byte too.
    EXPECT_EQ(Lines("\rxyz\n"), (Strings{"", "yz", ""}));
}

TEST_F(Files, LongLinesAreReadWhole)
{
    std::string longLine(100000, 'q');
    EXPECT_EQ(Lines(longLine + "\r\nend"), (Strings{longLine, "end"}));
}

} // namespace
