#pragma once
// The description of one record object: its fields in declaration order,
// which is also the order in which the reader matches tags and the writer
// writes them. It owns its attributes, not their targets.

#include "serial/AttributeKind.h"
#include "serial/CAttribute.h"
#include "tlib/TSArray.h"

#include <cstdint>

namespace SerialLib {

class CSerialArrayBase;
class ISerialString;
class SSerialData;

class CSerialInfo {
public:
    CSerialInfo() = default;

    // Appends one attribute; target follows the CAttribute contract.
    void AddAttribute(AttributeKind kind, const char* name, void* target);

    // Typed forms that take the right part of the member for the kind.
    void AddAttribute(const char* name, SSerialData* target);
    void AddAttribute(const char* name, int32_t* target);
    void AddAttribute(const char* name, uint8_t* target); // Byte
    void AddAttribute(const char* name, float* target);
    void AddAttribute(const char* name, double* target);
    void AddAttribute(const char* name, char* target); // Char
    void AddAttribute(const char* name, ISerialString* target);
    void AddAttribute(const char* name, CSerialArrayBase* target);

    int Count() const { return mAttributes.Count(); }
    // Raises "TArray::Item() - Item index out of bounds".
    const CAttribute& Item(int index) const { return mAttributes.Item(index); }

    // The first attribute declared under name (null compares as ""), or null.
    const CAttribute* Find(const char* name) const;

private:
    tlib::TSArray<CAttribute> mAttributes;
};

} // namespace SerialLib
