#pragma once
// The one-byte structure markers of a serial data file.
//
// A file is one item: ItemBegin, its tag (int32 length L >= 1, then L bytes),
// the items of the record, ItemEnd. Numbers are little-endian; no header,
// padding or checksum. Values carry no type: the receiving record's declared
// AttributeKind decides how each payload is decoded.

#include <cstdint>

namespace SerialLib {

enum TypeByte : uint8_t {
    ItemBegin = 0,    // a tag and its payload follow
    ItemEnd = 1,      // end of a value's item, or of a structure
    ArrayBegin = 2,   // int32 count, then the elements
    ArrayEnd = 3,     // end of an array
    ElementBegin = 4, // a structure element of an array follows
    ElementEnd = 5,   // end of a structure element
};

// Deepest nesting of structures and arrays that the reader follows; each level
// is one level of recursion, so a hostile file cannot exhaust the stack.
constexpr int MaxNestingDepth = 256;

} // namespace SerialLib
