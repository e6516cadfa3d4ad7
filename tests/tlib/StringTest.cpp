#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "tlib/TException.h"
#include "tlib/TString.h"

namespace {

using tlib::TString;

std::string MessageOf(void (*action)())
{
    try {
        action();
    } catch (tlib::TException& e) {
        return e.Message();
    }
    return "(nothing raised)";
}

TEST(String, FormattingHoldsExactlyTheFormattedBytes)
{
    TString number("%d", INT_MIN);
    EXPECT_STREQ(number.Text(), "-2147483648");
    EXPECT_EQ(number.Length(), 11);

    std::string longName(300, 'x');
    TString path("Data\\%s", longName.c_str());
    EXPECT_EQ(path.Length(), 305);
    EXPECT_EQ(std::string(path.Text()), "Data\\" + longName);

    TString empty("%s", "");
    ASSERT_NE(empty.Text(), nullptr);
    EXPECT_EQ(empty.Length(), 0);
}

TEST(String, DefaultIsNullAndEqualOnlyToNull)
{
    TString a, b;
    EXPECT_EQ(a.Text(), nullptr);
    EXPECT_EQ(a.Length(), 0);
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a == TString("%s", ""));
    a = "x";
    a = static_cast<const char*>(nullptr);
    EXPECT_EQ(a.Text(), nullptr);
}

TEST(String, CopiesAreIndependent)
{
    TString original("%s", "ShowHelp");
    TString copy(original);
    EXPECT_NE(copy.Text(), original.Text());
    original = "changed";
    EXPECT_STREQ(copy.Text(), "ShowHelp");

    TString assigned;
    assigned = copy;
    copy = "other";
    EXPECT_STREQ(assigned.Text(), "ShowHelp");

    // Assigning a string's own text (or a part of it) to itself is safe.
    assigned = assigned.Text() + 4;
    EXPECT_STREQ(assigned.Text(), "Help");
    assigned = assigned;
    EXPECT_STREQ(assigned.Text(), "Help");
}

TEST(String, EqualityIsByteForByteAndCaseSensitive)
{
    EXPECT_TRUE(TString("%s", "ShowHelp") == TString("Show%s", "Help"));
    EXPECT_FALSE(TString("%s", "ShowHelp") == TString("%s", "showhelp"));
    EXPECT_FALSE(TString("%s", "Show") == TString("%s", "ShowHelp"));
}

TEST(String, SubStrCutsFromStartWithZeroMeaningTheRest)
{
    TString abc("%s", "abc");
    EXPECT_STREQ(abc.SubStr(0, 0).Text(), "abc");
    EXPECT_STREQ(abc.SubStr(1, 0).Text(), "bc");
    EXPECT_STREQ(abc.SubStr(1, 1).Text(), "b");
    EXPECT_STREQ(abc.SubStr(0, 3).Text(), "abc");
    TString empty = abc.SubStr(3, 0);
    ASSERT_NE(empty.Text(), nullptr);
    EXPECT_EQ(empty.Length(), 0);
}

TEST(String, SubStrRefusesToReadOutsideTheText)
{
    EXPECT_EQ(MessageOf([] { TString("%s", "abc").SubStr(1, 3); }),
              "TString::SubStr() - New string length cannot exceed string length");
    EXPECT_EQ(MessageOf([] { TString("%s", "abc").SubStr(0, 0xFFFFFFFFu); }),
              "TString::SubStr() - New string length cannot exceed string length");
    // A start beyond the text would make the unsigned rest wrap around.
    EXPECT_EQ(MessageOf([] { TString("%s", "abc").SubStr(4, 0); }),
              "TString::SubStr() - Start position cannot exceed string length");
    EXPECT_EQ(MessageOf([] { TString("%s", "abc").SubStr(0xFFFFFFFFu, 1); }),
              "TString::SubStr() - Start position cannot exceed string length");
}

TEST(String, StrStrFindsAtOrAfterStart)
{
    TString text("%s", "a=b=c");
    EXPECT_EQ(text.StrStr("=", 0), 1);
    EXPECT_EQ(text.StrStr("=", 1), 1);
    EXPECT_EQ(text.StrStr("=", 2), 3);
    EXPECT_EQ(text.StrStr("=", 4), -1);
    EXPECT_EQ(text.StrStr("=", 5), -1);
    EXPECT_EQ(text.StrStr("=", 1000), -1);
    EXPECT_EQ(text.StrStr("b=c", 0), 2);
    EXPECT_EQ(TString("%s", "no equals").StrStr("=", 0), -1);
    EXPECT_EQ(TString().StrStr("=", 0), -1);

    EXPECT_EQ(MessageOf([] { TString("%s", "a=b").StrStr("", 0); }),
              "TString::StrStr() - Cannot match empty string");
}

} // namespace
