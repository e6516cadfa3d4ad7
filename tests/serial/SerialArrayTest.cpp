// The serial arrays: growth, sharing, copy-on-write and their error messages.

#include "SerialTestSupport.h"

#include "serial/SMaterialData.h"

#include <gtest/gtest.h>

#include <typeinfo>

using namespace serialtest;

namespace {

using Materials = CSerialArray<SMaterialData, 0>;

TEST(CSerialArrayPrimitive, GrowsByHalfWithoutMinimumAndCopiesOnWrite) {
    CSerialArrayPrimitive<float, 3> a;
    std::vector<int> capacities;
    for (int i = 0; i < 10; ++i) {
        a.Append(float(i));
        if (capacities.empty() || capacities.back() != a.Capacity())
            capacities.push_back(a.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 2, 3, 4, 6, 9, 13}));
    a.SetItems(a.Item(8), 2); // a run taken from the array itself; fits exactly
    EXPECT_EQ(a.Capacity(), 2);
    EXPECT_EQ(a.At(1), 9.0f);
    for (int index : {2, -1})
        EXPECT_EQ(ErrorOf([&] { a.Item(index); }), "CArray::Item() - Item index out of bounds");

    CSerialArrayInt ints{1, 2, 3}, b(ints), c;
    c = ints;
    EXPECT_EQ(ints.GetData(), c.GetData());
    b.Append(4); // detaches b with room for exactly the new value
    EXPECT_EQ(b.Capacity(), 4);
    int32_t values[] = {9};
    c.SetItems(values, 1); // detaches c holding only the new values
    EXPECT_EQ(ints.RefCount(), 1);
    EXPECT_EQ(ints.At(2), 3);
}

TEST(CSerialArray, CopiesOnWriteSetItemsAppendsAndAssignmentChecksKindAndClass) {
    Materials a;
    SMaterialData m;
    m.power = 1;
    a.Append(m);
    Materials b(a), c;
    m.power = 2;
    b.Append(m);
    c = b;
    c.AtForWrite(0).power = 5;
    EXPECT_EQ(a.GetCount(), 1);
    EXPECT_EQ(b.At(0).power, 1);
    EXPECT_EQ(b.At(1).power, 2);
    // SetItems appends, also a run taken from the array itself.
    for (int i = 0; i < 5; ++i)
        a.SetItems(a.Item(0), a.GetCount());
    ASSERT_EQ(a.GetCount(), 32);
    EXPECT_EQ(a.At(31).power, 1);

    // Assignment through the base checks the kind, then the class.
    CSerialArray<CSerialArrayInt, 7> faces, other;
    CSerialArrayInt ints;
    CSerialArrayPrimitive<float, 3> floats{0.5f};
    const char* different = "CSerialArrayBase::operator =() - Cannot assign to an array of different type";
    EXPECT_EQ(ErrorOf([&] { static_cast<CSerialArrayBase&>(a) = faces; }), different);
    EXPECT_EQ(ErrorOf([&] { static_cast<CSerialArrayBase&>(floats) = ints; }), different);
    EXPECT_EQ(floats.GetCount(), 1);
    CSerialArray<CSerialArray<SMaterialData, 0>, 7> nested; // same kind, another class
    EXPECT_THROW(static_cast<CSerialArrayBase&>(faces) = nested, std::bad_cast);
    other.Append(CSerialArrayInt{4, 5, 6});
    static_cast<CSerialArrayBase&>(faces) = static_cast<const CSerialArrayBase&>(other);
    EXPECT_EQ(other.RefCount(), 2);
}

} // namespace
