#pragma once
// Array of records (N = 0, T derived from SSerialData), of strings (N = 6,
// T = CSerialStringBase) or of arrays (N = 7, T derived from CSerialArrayBase).
// The elements live in a copy-on-write tlib::TSArray<T>: copies of the array
// share it until one of them changes.

#include "serial/AttributeKind.h"
#include "serial/CSerialArrayBase.h"
#include "serial/CSerialStringBase.h"
#include "serial/SSerialData.h"
#include "tlib/TSArray.h"

#include <functional>
#include <type_traits>

namespace SerialLib {

template <typename T, int N>
class CSerialArray : public CSerialArrayBase {
    static_assert((N == 0 && std::is_base_of<SSerialData, T>::value) ||
                      (N == 6 && std::is_same<CSerialStringBase, T>::value) ||
                      (N == 7 && std::is_base_of<CSerialArrayBase, T>::value),
                  "CSerialArray holds records (0), strings (6) or arrays (7)");

public:
    CSerialArray() : CSerialArrayBase(static_cast<AttributeKind>(N)) {}
    CSerialArray(const CSerialArray& other) : CSerialArrayBase(other), mItems(other.mItems) {}

    // Kind check, then shares other's elements.
    CSerialArray& operator=(const CSerialArray& other) {
        CSerialArrayBase::operator=(other);
        mItems = other.mItems;
        return *this;
    }

    // Kind check; an array of another class with the same kind raises
    // std::bad_cast; otherwise shares other's elements.
    CSerialArrayBase& operator=(const CSerialArrayBase& other) override {
        CSerialArrayBase::operator=(other);
        mItems = dynamic_cast<const CSerialArray&>(other).mItems;
        return *this;
    }

    // Appends copies of items[0 .. count-1] after the elements already held.
    void SetItems(const void* items, int count) override {
        const T* run = static_cast<const T*>(items);
        // A run inside our own storage must outlive the reallocations below.
        tlib::TSArray<T> keep;
        if (count > 0 && Inside(run))
            keep = mItems;
        for (int i = 0; i < count; ++i)
            mItems.Append(run[i]);
    }

    // Appends a copy of *item: records by their assignment, arrays by the
    // element class's own assignment (which shares the element's storage).
    void AddItem(const void* item) override {
        T value(*static_cast<const T*>(item));
        mItems.Append(value);
    }

    void* NewItem() const override { return new T(); }
    int GetCount() const override { return mItems.Count(); }
    // Raises "TArray::Item() - Item index out of bounds".
    const void* Item(int index) const override { return &mItems.Item(index); }
    void DeleteItem(void* item) const override { delete static_cast<T*>(item); }

    SSerialData* RecordOf(void* item) const override {
        if constexpr (N == 0)
            return static_cast<T*>(item);
        return nullptr;
    }
    CSerialArrayBase* ArrayOf(void* item) const override {
        if constexpr (N == 7)
            return static_cast<T*>(item);
        return nullptr;
    }
    ISerialString* StringOf(void* item) const override {
        if constexpr (N == 6)
            return static_cast<T*>(item);
        return nullptr;
    }

    // Typed access for the program's own code.
    const T& At(int index) const { return mItems.Item(index); }
    T& AtForWrite(int index) { return mItems.ItemForWrite(index); }
    void Append(const T& value) { AddItem(&value); }
    void Clear() { mItems.Clear(); }
    int RefCount() const { return mItems.RefCount(); }

private:
    bool Inside(const T* p) const {
        int count = mItems.Count();
        if (count == 0)
            return false;
        const T* first = &mItems.Item(0);
        std::less<const T*> less;
        return !less(p, first) && less(p, first + count);
    }

    tlib::TSArray<T> mItems;
};

} // namespace SerialLib
