// Shared names, descriptors and the serial arrays: growth, sharing,
// copy-on-write and their error messages.

#include "serial/CSerialArray.h"
#include "serial/CSerialArrayPrimitive.h"
#include "serial/CSerialInfo.h"
#include "serial/CStringCtnr.h"
#include "serial/SMaterialData.h"
#include "tlib/TException.h"

#include <gtest/gtest.h>

#include <typeinfo>
#include <vector>

using namespace SerialLib;

namespace {

template <typename F>
std::string ErrorOf(F f) {
    try {
        f();
    } catch (const tlib::TException& e) {
        return e.Message();
    }
    return "";
}

using FaceLists = CSerialArray<CSerialArrayInt, 7>;
using Materials = CSerialArray<SMaterialData, 0>;

TEST(CStringCtnr, CopiesShareOneCountAndCompareAsText) {
    CStringCtnr a("Scale");
    {
        CStringCtnr b(a);
        CStringCtnr c;
        c = b;
        EXPECT_EQ(a.RefCount(), 3);
        c = c; // self-assignment keeps the text
        EXPECT_STREQ(c.Text(), "Scale");
        c = CStringCtnr("Power");
        EXPECT_EQ(a.RefCount(), 2);
    }
    EXPECT_EQ(a.RefCount(), 1);
    // A null text is the empty text; comparison is case-sensitive.
    EXPECT_TRUE(CStringCtnr().Equals(""));
    EXPECT_TRUE(CStringCtnr("").Equals(nullptr));
    EXPECT_FALSE(CStringCtnr().Equals("a"));
    EXPECT_FALSE(a.Equals("scale"));
}

TEST(CSerialInfo, FindsTheFirstOfEqualNamesAndTestsBounds) {
    int32_t first = 0, second = 0;
    CSerialInfo info;
    info.AddAttribute("a", &first);
    info.AddAttribute("a", &second);
    EXPECT_EQ(info.Find("a")->target, &first);
    EXPECT_EQ(info.Find("A"), nullptr);
    EXPECT_EQ(ErrorOf([&] { info.Item(2); }), "TArray::Item() - Item index out of bounds");
}

TEST(CSerialArrayPrimitive, GrowsByHalfWithoutMinimumAndSetItemsFitsExactly) {
    CSerialArrayPrimitive<float, 3> a;
    std::vector<int> capacities;
    for (int i = 0; i < 10; ++i) {
        a.Append(float(i));
        if (capacities.empty() || capacities.back() != a.Capacity())
            capacities.push_back(a.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 2, 3, 4, 6, 9, 13}));
    EXPECT_EQ(a.At(9), 9.0f);

    a.SetItems(a.Item(8), 2); // a run taken from the array itself
    EXPECT_EQ(a.GetCount(), 2);
    EXPECT_EQ(a.Capacity(), 2);
    EXPECT_EQ(a.At(1), 9.0f);
    EXPECT_EQ(ErrorOf([&] { a.Item(2); }), "CArray::Item() - Item index out of bounds");
    EXPECT_EQ(ErrorOf([&] { a.Item(-1); }), "CArray::Item() - Item index out of bounds");
}

TEST(CSerialArrayPrimitive, CopiesShareUntilOneChanges) {
    CSerialArrayInt a{1, 2, 3};
    CSerialArrayInt b(a);
    CSerialArrayInt c;
    c = a;
    EXPECT_EQ(a.RefCount(), 3);
    EXPECT_EQ(a.GetData(), c.GetData());

    b.Append(4); // detaches b with room for exactly the new value
    EXPECT_EQ(a.RefCount(), 2);
    EXPECT_EQ(b.Capacity(), 4);
    EXPECT_EQ(a.GetCount(), 3);

    int32_t values[] = {9};
    c.SetItems(values, 1); // detaches c holding only the new values
    EXPECT_EQ(a.RefCount(), 1);
    EXPECT_EQ(a.At(2), 3);
    EXPECT_EQ(c.GetCount(), 1);
}

TEST(CSerialArray, AppendingToACopyLeavesTheOriginalUnchanged) {
    Materials a;
    SMaterialData m;
    m.power = 1;
    a.Append(m);
    Materials b(a);
    m.power = 2;
    b.Append(m);
    EXPECT_EQ(a.RefCount(), 1);
    EXPECT_EQ(a.GetCount(), 1);
    EXPECT_EQ(b.At(1).power, 2);
    Materials c;
    c = b;
    c.AtForWrite(0).power = 5;
    EXPECT_EQ(b.At(0).power, 1);

    // SetItems appends, also a run taken from the array itself.
    for (int i = 0; i < 5; ++i)
        a.SetItems(a.Item(0), a.GetCount());
    ASSERT_EQ(a.GetCount(), 32);
    EXPECT_EQ(a.At(31).power, 1);
    EXPECT_EQ(ErrorOf([&] { a.Item(32); }), "TArray::Item() - Item index out of bounds");
}

TEST(CSerialArray, ArrayElementsShareTheirStorage) {
    FaceLists faces;
    CSerialArrayInt face{0, 1, 2};
    faces.AddItem(&face);
    EXPECT_EQ(faces.At(0).GetData(), face.GetData());
    face.Append(3); // the element keeps the old values
    EXPECT_EQ(faces.At(0).GetCount(), 3);

    void* fresh = faces.NewItem();
    EXPECT_EQ(faces.ArrayOf(fresh)->Kind(), AttributeKind::Int);
    EXPECT_EQ(faces.RecordOf(fresh), nullptr);
    faces.DeleteItem(fresh);
}

TEST(CSerialArray, AssignmentChecksKindAndClass) {
    FaceLists faces;
    Materials materials;
    CSerialArrayInt ints;
    CSerialArrayPrimitive<float, 3> floats{0.5f};
    const char* different = "CSerialArrayBase::operator =() - Cannot assign to an array of different type";
    EXPECT_EQ(ErrorOf([&] { static_cast<CSerialArrayBase&>(materials) = faces; }), different);
    EXPECT_EQ(ErrorOf([&] { static_cast<CSerialArrayBase&>(floats) = ints; }), different);
    EXPECT_EQ(floats.GetCount(), 1);

    CSerialArray<CSerialArray<SMaterialData, 0>, 7> nested; // same kind, another class
    EXPECT_THROW(static_cast<CSerialArrayBase&>(faces) = nested, std::bad_cast);

    FaceLists other;
    other.Append(CSerialArrayInt{4, 5, 6});
    static_cast<CSerialArrayBase&>(faces) = static_cast<const CSerialArrayBase&>(other);
    EXPECT_EQ(other.RefCount(), 2);
}

} // namespace
