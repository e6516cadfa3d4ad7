#pragma once
// The shared storage block of an array of scalars: contiguous, so that its
// values can be handed out as one run.
//
//   +----------+-------+------+----------+
//   | refCount | count | data | capacity |   data -> [v0 v1 .. v(count-1) spare..]
//   +----------+-------+------+----------+
//
// Unlike the tlib blocks it has no minimum capacity: appends grow capacity to
// capacity + capacity / 2, or to count + 1 when that is larger (1, 2, 3, 4, 6,
// 9, 13, ...). The owning CSerialArrayPrimitive manages the sharing; counts
// are plain integers (one thread).

#include "tlib/TException.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace SerialLib {

template <typename T>
class CArray {
    static_assert(std::is_trivially_copyable<T>::value, "CArray holds plain values");

public:
    int32_t refCount;
    int32_t count;
    T* data;
    int32_t capacity;

    // A new private block: refCount 1, no elements.
    static CArray* Create() { return new CArray{1, 0, nullptr, 0}; }

    // A new private block holding a copy of items[0 .. n-1] with room for
    // capacity values (capacity >= n).
    static CArray* Create(const T* items, int n, int capacity) {
        CArray* block = Create();
        if (capacity > 0) {
            try {
                block->data = new T[capacity];
            } catch (...) {
                delete block;
                throw;
            }
            if (n > 0)
                std::memcpy(block->data, items, sizeof(T) * n);
        }
        block->count = n;
        block->capacity = capacity;
        return block;
    }

    // Drops one share; the last one frees the block.
    void Release() {
        if (--refCount == 0) {
            delete[] data;
            delete this;
        }
    }

    const T& Item(int index) const {
        if (index < 0 || index >= count)
            throw tlib::TException("CArray::Item() - Item index out of bounds");
        return data[index];
    }

    // Capacity after appending one value to a full block of the given size.
    static int32_t GrownCapacity(int32_t capacity, int32_t count) {
        if (count == INT32_MAX)
            throw tlib::TException("CArray::Append() - Too many items");
        int64_t grown = int64_t(capacity) + capacity / 2;
        if (grown < int64_t(count) + 1)
            grown = int64_t(count) + 1;
        return grown > INT32_MAX ? INT32_MAX : int32_t(grown);
    }
};

} // namespace SerialLib
