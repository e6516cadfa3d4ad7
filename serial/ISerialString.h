#pragma once
// Interface of a String field of a record.

namespace SerialLib {

class ISerialString {
public:
    virtual ~ISerialString() = default;
    // The current text, zero-terminated; never null. Valid until the next Set.
    virtual const char* Get() const = 0;
    // Makes a copy of text (zero-terminated; null is taken as "") the current text.
    virtual void Set(const char* text) = 0;

protected:
    ISerialString() = default;
    ISerialString(const ISerialString&) = default;
    ISerialString& operator=(const ISerialString&) = default;
};

} // namespace SerialLib
