#pragma once

#include <string>

#include "tlib/TException.h"

// The message of the TException that action raises, or "(nothing raised)".
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
