#include "serial/CStringCtnr.h"

#include <cstring>

namespace SerialLib {

CStringCtnr::CStringCtnr(const char* text) : mText(nullptr), mRefs(nullptr) {
    if (!text)
        return;
    size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    try {
        mRefs = new int32_t(1);
    } catch (...) {
        delete[] copy;
        throw;
    }
    mText = copy;
}

CStringCtnr::CStringCtnr(const CStringCtnr& other) : mText(other.mText), mRefs(other.mRefs) {
    if (mRefs)
        ++*mRefs;
}

CStringCtnr& CStringCtnr::operator=(const CStringCtnr& other) {
    // Take the new share first, so that self-assignment keeps the text alive.
    char* text = other.mText;
    int32_t* refs = other.mRefs;
    if (refs)
        ++*refs;
    Release();
    mText = text;
    mRefs = refs;
    return *this;
}

CStringCtnr::~CStringCtnr() { Release(); }

CStringCtnr CStringCtnr::Adopt(char* buffer) {
    CStringCtnr result;
    if (!buffer)
        return result;
    try {
        result.mRefs = new int32_t(1);
    } catch (...) {
        delete[] buffer;
        throw;
    }
    result.mText = buffer;
    return result;
}

bool CStringCtnr::Equals(const char* text) const {
    return std::strcmp(mText ? mText : "", text ? text : "") == 0;
}

void CStringCtnr::Release() {
    if (mRefs && --*mRefs == 0) {
        delete[] mText;
        delete mRefs;
    }
    mText = nullptr;
    mRefs = nullptr;
}

} // namespace SerialLib
