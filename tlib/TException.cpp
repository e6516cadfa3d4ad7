#include "tlib/TException.h"

#include <cstdio>
#include <cstring>

namespace tlib {

char* FormatAlloc(const char* format, va_list args)
{
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0)
        length = 0;
    char* text = new char[static_cast<size_t>(length) + 1];
    std::vsnprintf(text, static_cast<size_t>(length) + 1, format, args);
    text[length] = 0;
    return text;
}

TException::TException(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    mMessage = FormatAlloc(format, args);
    va_end(args);
}

TException::TException(const TException& other)
{
    size_t length = std::strlen(other.mMessage);
    mMessage = new char[length + 1];
    std::memcpy(mMessage, other.mMessage, length + 1);
}

TException::~TException()
{
    delete[] mMessage;
}

} // namespace tlib
