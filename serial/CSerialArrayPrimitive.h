#pragma once
// Array of scalars (kinds Int, Byte, Float, Double, Char). T is the scalar
// type, N its AttributeKind code. Copies share one CArray<T> block; every
// change first gives this array a private block when the block is shared.

#include "serial/AttributeKind.h"
#include "serial/CArray.h"
#include "serial/CSerialArrayBase.h"
#include "tlib/TException.h"

#include <cstring>
#include <initializer_list>

namespace SerialLib {

template <typename T, int N>
class CSerialArrayPrimitive : public CSerialArrayBase {
    static_assert(N >= 1 && N <= 5, "N must be a scalar AttributeKind");
    static_assert(sizeof(T) == (N == 4 ? 8 : (N == 1 || N == 3) ? 4 : 1), "T must have the width of kind N");

public:
    CSerialArrayPrimitive() : CSerialArrayBase(static_cast<AttributeKind>(N)), mBlock(CArray<T>::Create()) {}

    CSerialArrayPrimitive(std::initializer_list<T> items) : CSerialArrayPrimitive() {
        SetItems(items.begin(), int(items.size()));
    }

    // Shares other's block.
    CSerialArrayPrimitive(const CSerialArrayPrimitive& other) : CSerialArrayBase(other), mBlock(other.mBlock) {
        ++mBlock->refCount;
    }

    // Kind check, then shares other's block (its count + 1) and releases our own.
    CSerialArrayPrimitive& operator=(const CSerialArrayPrimitive& other) {
        CSerialArrayBase::operator=(other);
        Share(other);
        return *this;
    }

    // Kind check; an array of another class with the same kind raises
    // std::bad_cast; otherwise shares other's block as above.
    CSerialArrayBase& operator=(const CSerialArrayBase& other) override {
        CSerialArrayBase::operator=(other);
        Share(dynamic_cast<const CSerialArrayPrimitive&>(other));
        return *this;
    }

    ~CSerialArrayPrimitive() override { mBlock->Release(); }

    // Replaces the content by a copy of items[0 .. count-1]; afterwards the
    // capacity equals count. items may point into this array.
    void SetItems(const void* items, int count) override {
        if (count < 0)
            throw tlib::TException("CSerialArrayPrimitive::SetItems() - Invalid count");
        CArray<T>* fresh = CArray<T>::Create(static_cast<const T*>(items), count, count);
        mBlock->Release();
        mBlock = fresh;
    }

    // Appends one value; item may point into this array.
    void AddItem(const void* item) override {
        T value;
        std::memcpy(&value, item, sizeof(T));
        Append(value);
    }

    void* NewItem() const override { return new T(); }
    const void* GetData() const override { return mBlock->data; }
    int GetCount() const override { return mBlock->count; }
    // Raises "CArray::Item() - Item index out of bounds".
    const void* Item(int index) const override { return &mBlock->Item(index); }
    void DeleteItem(void* item) const override { delete static_cast<T*>(item); }

    // Typed access for the program's own code.
    T At(int index) const { return mBlock->Item(index); }
    const T* Data() const { return mBlock->data; }

    void Append(T value) {
        CArray<T>* block = mBlock;
        if (block->refCount != 1) {
            CArray<T>* fresh = CArray<T>::Create(block->data, block->count, CArray<T>::GrownCapacity(0, block->count));
            block->Release();
            mBlock = block = fresh;
        } else if (block->count == block->capacity) {
            int32_t capacity = CArray<T>::GrownCapacity(block->capacity, block->count);
            T* data = new T[capacity];
            if (block->count > 0)
                std::memcpy(data, block->data, sizeof(T) * block->count);
            delete[] block->data;
            block->data = data;
            block->capacity = capacity;
        }
        block->data[block->count++] = value;
    }

    int Capacity() const { return mBlock->capacity; }
    int RefCount() const { return mBlock->refCount; }

private:
    void Share(const CSerialArrayPrimitive& other) {
        ++other.mBlock->refCount; // first, so that self-assignment is harmless
        mBlock->Release();
        mBlock = other.mBlock;
    }

    CArray<T>* mBlock; // never null
};

using CSerialArrayInt = CSerialArrayPrimitive<int32_t, 1>;

} // namespace SerialLib
