#include "serial/CSerialStringBase.h"

#include <cstring>

namespace SerialLib {

namespace {

char* CopyText(const char* text) {
    if (!text)
        text = "";
    size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    return copy;
}

} // namespace

CSerialStringBase::CSerialStringBase(const char* text) : mText(CopyText(text)) {}

CSerialStringBase::CSerialStringBase(const CSerialStringBase& other)
    : ISerialString(other), mText(CopyText(other.mText)) {}

CSerialStringBase& CSerialStringBase::operator=(const CSerialStringBase& other) {
    Set(other.mText);
    return *this;
}

CSerialStringBase::~CSerialStringBase() { delete[] mText; }

void CSerialStringBase::Set(const char* text) {
    char* copy = CopyText(text); // before the release: text may be our own
    delete[] mText;
    mText = copy;
}

} // namespace SerialLib
