#include <gtest/gtest.h>

#include <string>

#include "tlib/DXException.h"
#include "tlib/TException.h"

namespace {

TEST(Exceptions, TExceptionCopyOwnsItsOwnMessage)
{
    std::string name(300, 'n');
    tlib::TException* original = new tlib::TException("File not found: '%s'", name.c_str());
    tlib::TException copy(*original);
    delete original;
    EXPECT_EQ(std::string(copy.Message()), "File not found: '" + name + "'");
}

TEST(Exceptions, DXExceptionCopyTakesTheMessageOver)
{
    try {
        DXThrowCode(-5, "DXDevice::StartFrame() - %s failed", "Clear()");
        FAIL();
    } catch (DXException& e) {
        EXPECT_STREQ(e.Message(), "DXDevice::StartFrame() - Clear() failed");
        EXPECT_EQ(e.Code(), -5);
        DXException copy(e);
        EXPECT_EQ(e.Message(), nullptr);
        EXPECT_STREQ(copy.Message(), "DXDevice::StartFrame() - Clear() failed");
        EXPECT_EQ(copy.Code(), -5);
    }
}

TEST(Exceptions, TheTwoTypesAreUnrelated)
{
    bool caughtAsT = false;
    try {
        try {
            DXThrow("Invalid DirectInput library (dinput8.dll)");
        } catch (tlib::TException&) {
            caughtAsT = true;
        }
    } catch (DXException& e) {
        EXPECT_EQ(e.Code(), 0);
    }
    EXPECT_FALSE(caughtAsT);

    bool caughtAsDX = false;
    try {
        try {
            throw tlib::TException("GetMessage() failed");
        } catch (DXException&) {
            caughtAsDX = true;
        }
    } catch (tlib::TException& e) {
        EXPECT_STREQ(e.Message(), "GetMessage() failed");
    }
    EXPECT_FALSE(caughtAsDX);
}

} // namespace
