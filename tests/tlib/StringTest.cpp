#include <gtest/gtest.h>

#include <string>

#include "tests/tlib/MessageOf.h"
#include "tlib/TString.h"

using tlib::TString;

TEST(String, HoldsExactlyTheFormattedBytesCopiesThemAndComparesThem)
{
    std::string longName(300, 'x');
    TString path("Data\\%s", longName.c_str());
    EXPECT_EQ(path.Length(), 305);
    EXPECT_EQ(std::string(path.Text()), "Data\\" + longName);
    EXPECT_EQ(TString().Text(), nullptr); // null, equal only to null
    EXPECT_FALSE(TString() == TString("%s", ""));
    EXPECT_TRUE(TString("%s", "ShowHelp") == TString("Show%s", "Help"));
    EXPECT_FALSE(TString("%s", "ShowHelp") == TString("%s", "showhelp"));
    EXPECT_FALSE(TString("%s", "Show") == TString("%s", "ShowHelp"));

    // Copies are independent; assigning a string its own text (or a part of it) is safe.
    TString copy(path), assigned;
    assigned = copy;
    path = "changed";
    copy = "other";
    EXPECT_EQ(std::string(assigned.Text()), "Data\\" + longName);
    assigned = assigned.Text() + 5;
    EXPECT_EQ(std::string(assigned.Text()), longName);
    assigned = assigned;
    EXPECT_EQ(std::string(assigned.Text()), longName);
}

TEST(String, SubStrAndStrStrStayInsideTheText)
{
    TString abc("%s", "abc");
    const char* tooLong = "TString::SubStr() - New string length cannot exceed string length";
    const char* badStart = "TString::SubStr() - Start position cannot exceed string length";
    struct Case { unsigned start, length; const char* expected; };
    for (Case c : {Case{0, 0, "abc"}, {1, 0, "bc"}, {1, 1, "b"}, {0, 3, "abc"}, {3, 0, ""}})
        EXPECT_STREQ(abc.SubStr(c.start, c.length).Text(), c.expected) << c.start << "," << c.length;
    for (Case c : {Case{1, 3, tooLong}, {0, 0xFFFFFFFFu, tooLong}, {4, 0, badStart}, {0xFFFFFFFFu, 1, badStart}})
        EXPECT_EQ(MessageOf([&] { abc.SubStr(c.start, c.length); }), c.expected) << c.start << "," << c.length;

    TString text("%s", "a=b=c");
    const struct { const char* what; unsigned start; int at; } finds[] = {
        {"=", 0, 1}, {"=", 1, 1}, {"=", 2, 3}, {"=", 4, -1}, {"=", 5, -1}, {"=", 1000, -1}, {"b=c", 0, 2},
        {"x", 0, -1}};
    for (const auto& c : finds)
        EXPECT_EQ(text.StrStr(c.what, c.start), c.at) << c.what << " from " << c.start;
    EXPECT_EQ(TString().StrStr("=", 0), -1);
    EXPECT_EQ(MessageOf([&] { text.StrStr("", 0); }), "TString::StrStr() - Cannot match empty string");
}
