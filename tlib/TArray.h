#pragma once
// The storage block for elements with their own copy and destruction:
// reference-counted, held through a copy-on-write handle (TSArray<T>, see
// TSmartArray.h). Same layout as TFastArray:
//
//   block (one allocation)          storage (new T[capacity])
//   +----------+-------+------+----------+      +----+----+----+-----+
//   | refCount | count | data | capacity | ---> | e0 | e1 | .. | spare
//   +----------+-------+------+----------+      +----+----+----+-----+
//
// Every storage element is default-constructed when the storage is made,
// elements are copied with T's assignment, and freeing the storage destroys
// all capacity elements. Reference counts are plain ints: a block belongs to
// one thread.

#include <climits>
#include <cstddef>
#include <cstdint>

#include "tlib/TArrayRules.h"
#include "tlib/TException.h"

namespace tlib {

template <class T>
class TArray {
public:
    int refCount; // handles sharing the block; 1 for a private block
    int count;    // elements in use
    T* data;      // capacity elements, null while capacity is 0
    int capacity;

    // The largest capacity the block will grow to.
    static constexpr int MaxItems = static_cast<size_t>(INT_MAX) < SIZE_MAX / sizeof(T)
                                        ? INT_MAX
                                        : static_cast<int>(SIZE_MAX / sizeof(T));
    static const char* Name() { return "TArray"; }

    // A new private, empty block without storage.
    TArray() : refCount(1), count(0), data(nullptr), capacity(0) {}
    TArray(const TArray&) = delete;
    TArray& operator=(const TArray&) = delete;

    // Makes room for at least minItems elements: capacity grows by half, to
    // at least minItems and at least 8. Elements 0..count-1 are assigned to
    // the new storage, then every element of the old storage is destroyed.
    void AllocArray(int minItems)
    {
        if (minItems != 0 && minItems <= capacity)
            return;
        int newCapacity = GrowArrayCapacity(Name(), capacity, minItems, MaxItems);
        T* storage = new T[static_cast<size_t>(newCapacity)];
        if (data != nullptr) {
            try {
                CopyItems(storage, data, count);
            } catch (...) {
                delete[] storage;
                throw;
            }
            delete[] data;
        }
        data = storage;
        capacity = newCapacity;
    }

    // Drops one reference; at zero destroys every element, frees the storage
    // and the block itself (which must then have been made with new).
    void Release()
    {
        if (refCount < 0)
            throw TException("TArray::Release() - Invalid array");
        if (--refCount == 0) {
            delete[] data;
            delete this;
        }
    }

    // Bounds-tested access; does not unshare.
    T& Item(int index)
    {
        CheckArrayIndex(Name(), index, count);
        return data[index];
    }
    const T& Item(int index) const
    {
        CheckArrayIndex(Name(), index, count);
        return data[index];
    }

    // Assigns n elements one by one; the ranges must not overlap.
    static void CopyItems(T* to, const T* from, int n)
    {
        for (int i = 0; i < n; ++i)
            to[i] = from[i];
    }
};

} // namespace tlib
