#pragma once
// The copy-on-write handle of the array family. A handle always points to a
// block (TFastArray<T> or TArray<T>); copying a handle shares the block, and
// every change (Append, Clear, ItemForWrite) first gives the handle a private
// block. Read access (Item, Count) never unshares.
//
// Not thread safe: reference counts are plain ints, so a handle and every
// handle sharing its block belong to one thread.

#include <climits>
#include <functional>

#include "tlib/TException.h"

namespace tlib {

template <class A, class T>
class TSmartArray {
public:
    // A new empty block {1, 0, null, 0}.
    TSmartArray() : mBlock(new A()) {}
    TSmartArray(const TSmartArray& other) : mBlock(other.mBlock) { ++mBlock->refCount; }
    // Shares other's block, then releases the one held before (safe for
    // self-assignment).
    TSmartArray& operator=(const TSmartArray& other)
    {
        A* old = mBlock;
        ++other.mBlock->refCount;
        mBlock = other.mBlock;
        old->Release();
        return *this;
    }
    ~TSmartArray() { mBlock->Release(); }

    // Gives this handle a private copy of a shared block: same count, capacity
    // the larger of 8 and count (no storage when count is 0).
    void MakeUnique()
    {
        if (mBlock->refCount == 1)
            return;
        A* copy = new A();
        if (mBlock->count != 0) {
            try {
                copy->AllocArray(mBlock->count);
                A::CopyItems(copy->data, mBlock->data, mBlock->count);
            } catch (...) {
                copy->Release();
                throw;
            }
            copy->count = mBlock->count;
        }
        A* old = mBlock;
        mBlock = copy;
        old->Release();
    }

    // Adds value at the end. value may be an element of this array.
    void Append(const T& value)
    {
        MakeUnique();
        A* block = mBlock;
        if (block->count == INT_MAX)
            throw TException("%s::AllocArray() - Too many items", A::Name());
        const T* source = &value;
        std::less<const T*> before;
        if (block->count == block->capacity && block->data != nullptr &&
            !before(source, block->data) && before(source, block->data + block->capacity)) {
            // The value lives in the storage about to be replaced.
            ptrdiff_t at = source - block->data;
            block->AllocArray(block->count + 1);
            source = block->data + at;
        } else {
            block->AllocArray(block->count + 1);
        }
        A::CopyItems(block->data + block->count, source, 1);
        ++block->count;
    }

    // Count 0 on a private block; the storage and capacity stay, so a list
    // refilled every frame stops allocating once it reached its largest size.
    void Clear()
    {
        MakeUnique();
        mBlock->count = 0;
    }

    int Count() const { return mBlock->count; }
    int Capacity() const { return mBlock->capacity; }
    int RefCount() const { return mBlock->refCount; }
    A* Block() const { return mBlock; }

    // Bounds-tested read access; does not unshare.
    const T& Item(int index) const { return static_cast<const A*>(mBlock)->Item(index); }
    // Makes the block private, then bounds-tested access.
    T& ItemForWrite(int index)
    {
        MakeUnique();
        return mBlock->Item(index);
    }

private:
    A* mBlock;
};

} // namespace tlib
