#pragma once
// The storage block for plain records: reference-counted, held through a
// copy-on-write handle (TSFArray<T>, see TSmartArray.h).
//
//   block (one allocation)          storage (separate, capacity elements)
//   +----------+-------+------+----------+      +----+----+----+-----+
//   | refCount | count | data | capacity | ---> | e0 | e1 | .. | spare
//   +----------+-------+------+----------+      +----+----+----+-----+
//
// Elements are moved as raw bytes (one memcpy) and the storage is freed
// without running destructors, so T must be trivially copyable. Reference
// counts are plain ints: a block belongs to one thread.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

#include "tlib/TArrayRules.h"
#include "tlib/TException.h"

namespace tlib {

template <class T>
class TFastArray {
    static_assert(std::is_trivially_copyable<T>::value,
                  "TFastArray moves elements as bytes; use TArray for this type");

public:
    int refCount; // handles sharing the block; 1 for a private block
    int count;    // elements in use
    T* data;      // capacity elements, null while capacity is 0
    int capacity;

    // The largest capacity the block will grow to.
    static constexpr int MaxItems = static_cast<size_t>(INT_MAX) < SIZE_MAX / sizeof(T)
                                        ? INT_MAX
                                        : static_cast<int>(SIZE_MAX / sizeof(T));
    static const char* Name() { return "TFastArray"; }

    // A new private, empty block without storage.
    TFastArray() : refCount(1), count(0), data(nullptr), capacity(0) {}
    TFastArray(const TFastArray&) = delete;
    TFastArray& operator=(const TFastArray&) = delete;

    // Makes room for at least minItems elements: capacity grows by half, to
    // at least minItems and at least 8. Elements 0..count-1 keep their values.
    void AllocArray(int minItems)
    {
        if (minItems != 0 && minItems <= capacity)
            return;
        int newCapacity = GrowArrayCapacity(Name(), capacity, minItems, MaxItems);
        T* storage = static_cast<T*>(::operator new(sizeof(T) * static_cast<size_t>(newCapacity)));
        for (int i = 0; i < newCapacity; ++i)
            new (storage + i) T;
        if (data != nullptr) {
            CopyItems(storage, data, count);
            ::operator delete(data);
        }
        data = storage;
        capacity = newCapacity;
    }

    // Drops one reference; at zero frees the storage and the block itself
    // (which must then have been made with new).
    void Release()
    {
        if (refCount < 0)
            throw TException("TFastArray::Release() - Invalid array");
        if (--refCount == 0) {
            ::operator delete(data);
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

    // Copies n elements as bytes; the ranges must not overlap.
    static void CopyItems(T* to, const T* from, int n)
    {
        if (n > 0)
            std::memcpy(static_cast<void*>(to), static_cast<const void*>(from),
                        sizeof(T) * static_cast<size_t>(n));
    }
};

} // namespace tlib
