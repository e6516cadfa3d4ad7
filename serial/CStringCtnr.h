#pragma once
// Shared, reference-counted, immutable text, used for tag names.
//
//   mText  -> "Scale\0"   (owned jointly by every copy)
//   mRefs  -> 2           (separately allocated count; null with a null text)
//
// A null text stands for the empty text. Counts are plain integers: a
// CStringCtnr and its copies belong to one thread.

#include <cstdint>

namespace SerialLib {

class CStringCtnr {
public:
    CStringCtnr() : mText(nullptr), mRefs(nullptr) {}
    // Copies text (length + 1 bytes); a null text gives the null text.
    explicit CStringCtnr(const char* text);
    CStringCtnr(const CStringCtnr& other);
    CStringCtnr& operator=(const CStringCtnr& other);
    ~CStringCtnr();

    // Takes ownership of a zero-terminated buffer allocated with new[]; the
    // result holds it with a count of 1.
    static CStringCtnr Adopt(char* buffer);

    // May be null (the empty text).
    const char* Text() const { return mText; }
    int RefCount() const { return mRefs ? *mRefs : 0; }

    // Byte comparison up to the first zero byte; null compares as "".
    bool Equals(const char* text) const;
    bool operator==(const CStringCtnr& other) const { return Equals(other.mText); }

private:
    void Release();

    char* mText;
    int32_t* mRefs;
};

} // namespace SerialLib
