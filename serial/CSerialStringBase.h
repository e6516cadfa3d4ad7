#pragma once
// The String field type: owns a zero-terminated copy of its text.

#include "serial/ISerialString.h"

namespace SerialLib {

class CSerialStringBase : public ISerialString {
public:
    explicit CSerialStringBase(const char* text = "");
    CSerialStringBase(const CSerialStringBase& other);
    CSerialStringBase& operator=(const CSerialStringBase& other);
    ~CSerialStringBase() override;

    const char* Get() const override { return mText; }
    void Set(const char* text) override;

private:
    char* mText; // never null
};

} // namespace SerialLib
