#pragma once
// Abstract base of every array field. The element kind, fixed at construction,
// is all the reader knows about the elements: it selects their encoding.
//
// Element pointers (the argument of AddItem, the results of NewItem and Item)
// point at the element object itself, of the derived class's element type.

#include "serial/AttributeKind.h"

namespace SerialLib {

class ISerialString;
class SSerialData;

class CSerialArrayBase {
public:
    explicit CSerialArrayBase(AttributeKind kind) : mKind(kind) {}
    virtual ~CSerialArrayBase() = default;

    AttributeKind Kind() const { return mKind; }

    // Raises "CSerialArrayBase::operator =() - Cannot assign to an array of
    // different type" (leaving this array unchanged) when the element kinds
    // differ. The base version does nothing else.
    virtual CSerialArrayBase& operator=(const CSerialArrayBase& other);

    // Takes count elements laid out contiguously at items.
    virtual void SetItems(const void* items, int count) = 0;
    // Appends a copy of *item.
    virtual void AddItem(const void* item) = 0;
    // A new element of the element type; the caller owns it and frees it with
    // DeleteItem.
    virtual void* NewItem() const = 0;
    // The contiguous element storage, or null where elements are not plain values.
    virtual const void* GetData() const { return nullptr; }
    virtual int GetCount() const = 0;
    // Read access to element index; out of range raises the storage's bounds error.
    virtual const void* Item(int index) const = 0;

    // Frees an element obtained from NewItem.
    virtual void DeleteItem(void* item) const = 0;
    // Views of an element as what its kind says it is (Structure, Array,
    // String); null for the other kinds.
    virtual SSerialData* RecordOf(void* item) const;
    virtual CSerialArrayBase* ArrayOf(void* item) const;
    virtual ISerialString* StringOf(void* item) const;

protected:
    CSerialArrayBase(const CSerialArrayBase&) = default;

private:
    AttributeKind mKind;
};

} // namespace SerialLib
