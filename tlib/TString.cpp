#include "tlib/TString.h"

#include <cstdarg>
#include <cstring>

#include "tlib/TException.h"

namespace tlib {

namespace {

char* CopyText(const char* text)
{
    if (text == nullptr)
        return nullptr;
    size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

} // namespace

TString::TString() : mText(nullptr) {}

TString::TString(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    mText = FormatAlloc(format, args);
    va_end(args);
}

TString::TString(const TString& other) : mText(CopyText(other.mText)) {}

TString& TString::operator=(const char* text)
{
    // Copy before freeing: text may point into our own storage.
    char* copy = CopyText(text);
    delete[] mText;
    mText = copy;
    return *this;
}

TString& TString::operator=(const TString& other)
{
    return *this = other.mText;
}

TString::~TString()
{
    delete[] mText;
}

bool TString::operator==(const TString& other) const
{
    if (mText == nullptr || other.mText == nullptr)
        return mText == other.mText;
    return std::strcmp(mText, other.mText) == 0;
}

int TString::Length() const
{
    return mText == nullptr ? 0 : static_cast<int>(std::strlen(mText));
}

TString TString::SubStr(uint32_t start, uint32_t length) const
{
    uint32_t textLength = static_cast<uint32_t>(Length());
    if (start > textLength)
        throw TException("TString::SubStr() - Start position cannot exceed string length");
    if (length > textLength - start)
        throw TException("TString::SubStr() - New string length cannot exceed string length");
    if (length == 0)
        length = textLength - start;

    TString result;
    result.mText = new char[static_cast<size_t>(length) + 1];
    if (length != 0)
        std::memcpy(result.mText, mText + start, length);
    result.mText[length] = 0;
    return result;
}

int32_t TString::StrStr(const char* pattern, uint32_t start) const
{
    if (pattern == nullptr || pattern[0] == 0)
        throw TException("TString::StrStr() - Cannot match empty string");
    uint32_t textLength = static_cast<uint32_t>(Length());
    if (start >= textLength)
        return -1;
    const char* found = pattern[1] == 0 ? std::strchr(mText + start, pattern[0])
                                        : std::strstr(mText + start, pattern);
    return found == nullptr ? -1 : static_cast<int32_t>(found - mText);
}

} // namespace tlib
