#pragma once
// The rules the two storage blocks (TFastArray, TArray) share: how capacity
// grows and the bounds test of element access. Messages carry the block's
// name ("TFastArray" or "TArray").

#include "tlib/TException.h"

namespace tlib {

// The capacity that holds at least minItems elements: capacity grows by
// half, to at least minItems and at least 8, never beyond maxItems.
// Raises "<name>::AllocArray() - minItems == 0" and "... - Too many items".
inline int GrowArrayCapacity(const char* name, int capacity, int minItems, int maxItems)
{
    if (minItems == 0)
        throw TException("%s::AllocArray() - minItems == 0", name);
    long long grown = static_cast<long long>(capacity) + capacity / 2;
    if (grown < minItems)
        grown = minItems;
    if (grown < 8)
        grown = 8;
    if (grown > maxItems)
        grown = maxItems;
    if (grown < minItems)
        throw TException("%s::AllocArray() - Too many items", name);
    return static_cast<int>(grown);
}

// Raises "<name>::Item() - Item index out of bounds" unless 0 <= index < count.
inline void CheckArrayIndex(const char* name, int index, int count)
{
    if (index < 0 || index >= count)
        throw TException("%s::Item() - Item index out of bounds", name);
}

} // namespace tlib
