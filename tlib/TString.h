#pragma once
// The foundation library's owned, zero-terminated byte string.
//
// One field: a pointer to an allocation of exactly length + 1 bytes, or null
// for a default-constructed string (which may only be assigned or destroyed
// before it is read). There is no length field; Length() counts the bytes.
// Text is 8-bit bytes, no character-set conversion. Not thread safe; a string
// belongs to the thread that made it.

#include <cstdint>

namespace tlib {

class TString {
public:
    // Null text.
    TString();
    // The printf-style formatting of the arguments, in an allocation of
    // exactly the formatted length + 1 bytes.
    explicit TString(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // A private copy of other's text (null stays null).
    TString(const TString& other);
    // Stores a private copy of text (null gives a null string). Safe when text
    // points into this string's own text.
    TString& operator=(const char* text);
    TString& operator=(const TString& other);
    ~TString();

    // Byte for byte, case-sensitive. Two null strings are equal; a null string
    // equals no other.
    bool operator==(const TString& other) const;
    bool operator!=(const TString& other) const { return !(*this == other); }

    // The zero-terminated text; null for a default-constructed string.
    const char* Text() const { return mText; }
    // Bytes before the terminator; 0 for a null string.
    int Length() const;

    // The length bytes from start; length 0 means the rest of the text.
    // Raises TException when start is beyond the text or length exceeds the
    // bytes from start to the end.
    TString SubStr(uint32_t start, uint32_t length) const;
    // Position of the first occurrence of pattern at or after start, or -1
    // (also for a start beyond the text). Raises TException for an empty
    // (or null) pattern.
    int32_t StrStr(const char* pattern, uint32_t start) const;

private:
    char* mText;
};

} // namespace tlib
