#include <gtest/gtest.h>

#include <string>

#include "tlib/DXException.h"
#include "tlib/TException.h"

TEST(Exceptions, ACopyOwnsOrTakesOverTheMessage)
{
    std::string name(300, 'n');
    auto* original = new tlib::TException("File not found: '%s'", name.c_str());
    tlib::TException copy(*original);
    delete original;
    EXPECT_EQ(std::string(copy.Message()), "File not found: '" + name + "'");

    try {
        DXThrowCode(-5, "DXDevice::StartFrame() - %s failed", "Clear()");
    } catch (tlib::TException&) {
        ADD_FAILURE() << "a DXException is no TException";
    } catch (DXException& e) {
        DXException taken(e);
        EXPECT_EQ(e.Message(), nullptr);
        EXPECT_STREQ(taken.Message(), "DXDevice::StartFrame() - Clear() failed");
        EXPECT_EQ(taken.Code(), -5);
    }
}
