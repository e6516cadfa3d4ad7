#include "tlib/DXException.h"

#include <cstdarg>

#include "tlib/TException.h"

DXThrowerFn gDXThrower = DXDefaultThrower;

DXException::DXException(const DXException& other) : mMessage(other.mMessage), mCode(other.mCode)
{
    other.mMessage = nullptr;
}

DXException::~DXException()
{
    delete[] mMessage;
}

void DXDefaultThrower(DXException& prepared)
{
    throw DXException(prepared);
}

namespace {

[[noreturn]] void Raise(HRESULT code, const char* format, va_list args)
{
    DXException local(tlib::FormatAlloc(format, args), code);
    gDXThrower(local);
    // A thrower that returns leaves the local to free its message, if it still owns it.
    throw DXException(local);
}

} // namespace

void DXThrow(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    Raise(0, format, args);
}

void DXThrowCode(HRESULT code, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    Raise(code, format, args);
}
