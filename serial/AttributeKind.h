#pragma once
// The kinds of a declared field. The codes are part of the file format (they
// select how a value is encoded) and are the N argument of the array
// templates, so they never change.

#include <cstdint>

namespace SerialLib {

enum class AttributeKind : int32_t {
    Structure = 0, // a member derived from SSerialData
    Int = 1,       // int32_t
    Byte = 2,      // uint8_t, one byte copied unchanged
    Float = 3,     // float, IEEE 754 binary32
    Double = 4,    // double, IEEE 754 binary64
    Char = 5,      // char, one byte copied unchanged
    String = 6,    // a member implementing ISerialString
    Array = 7,     // a member derived from CSerialArrayBase
};

// Bytes of one bare value of a scalar kind; 0 for Structure, String, Array.
inline int ScalarWidth(AttributeKind kind) {
    switch (kind) {
    case AttributeKind::Int:
    case AttributeKind::Float: return 4;
    case AttributeKind::Double: return 8;
    case AttributeKind::Byte:
    case AttributeKind::Char: return 1;
    default: return 0;
    }
}

} // namespace SerialLib
