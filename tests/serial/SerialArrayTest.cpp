// Descriptors, shared names and the serial arrays: growth, sharing,
// copy-on-write and their error messages.

#include "serial/CSerialArray.h"
#include "serial/CSerialArrayPrimitive.h"
#include "serial/CSerialInfo.h"
#include "serial/CSerialStringBase.h"
#include "serial/CStringCtnr.h"
#include "serial/SMaterialData.h"
#include "serial/SModelCreatorData.h"
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

TEST(CStringCtnr, CopiesShareOneCountAndTheLastReleaseFrees) {
    CStringCtnr a("Scale");
    EXPECT_EQ(a.RefCount(), 1);
    {
        CStringCtnr b(a);
        CStringCtnr c;
        c = b;
        EXPECT_EQ(a.RefCount(), 3);
        EXPECT_EQ(b.Text(), a.Text());
        c = c; // self-assignment keeps the text
        EXPECT_STREQ(c.Text(), "Scale");
        c = CStringCtnr("Power");
        EXPECT_EQ(a.RefCount(), 2);
    }
    EXPECT_EQ(a.RefCount(), 1);
}

TEST(CStringCtnr, NullComparesAsEmptyAndComparisonStopsAtZero) {
    CStringCtnr none;
    EXPECT_EQ(none.Text(), nullptr);
    EXPECT_TRUE(none.Equals(""));
    EXPECT_TRUE(none.Equals(nullptr));
    EXPECT_FALSE(none.Equals("a"));
    EXPECT_TRUE(CStringCtnr("").Equals(nullptr));
    EXPECT_FALSE(CStringCtnr("Model").Equals("model"));

    char withZero[] = {'a', 0, 'b', 0};
    char* buffer = new char[4];
    std::copy(withZero, withZero + 4, buffer);
    CStringCtnr adopted = CStringCtnr::Adopt(buffer);
    EXPECT_TRUE(adopted.Equals("a"));
    EXPECT_EQ(adopted.RefCount(), 1);
}

TEST(CSerialStringBase, SetCopiesEvenItsOwnText) {
    CSerialStringBase s("abc");
    s.Set(s.Get());
    EXPECT_STREQ(s.Get(), "abc");
    CSerialStringBase copy(s);
    copy.Set("xyz");
    EXPECT_STREQ(s.Get(), "abc");
    s.Set(nullptr);
    EXPECT_STREQ(s.Get(), "");
}

TEST(CSerialInfo, KeepsDeclarationOrderAndFindsTheFirstOfEqualNames) {
    int32_t first = 0, second = 0;
    float f = 0;
    CSerialInfo info;
    info.AddAttribute("a", &first);
    info.AddAttribute("f", &f);
    info.AddAttribute("a", &second);
    ASSERT_EQ(info.Count(), 3);
    EXPECT_EQ(info.Item(1).kind, AttributeKind::Float);
    EXPECT_STREQ(info.Item(1).name.Text(), "f");
    EXPECT_EQ(info.Find("a")->target, &first);
    EXPECT_EQ(info.Find("A"), nullptr);
    EXPECT_EQ(ErrorOf([&] { info.Item(3); }), "TArray::Item() - Item index out of bounds");
    EXPECT_EQ(ErrorOf([&] { info.Item(-1); }), "TArray::Item() - Item index out of bounds");

    // Copies of an attribute share its name.
    CAttribute copy = info.Item(0);
    EXPECT_EQ(copy.name.RefCount(), 2);
}

TEST(CSerialInfo, RecordsDescribeTheirFieldsInOrder) {
    SModelCreatorData model;
    CSerialInfo* info = model.GetSerialInfo();
    const char* names[] = {"VertexData", "Scale", "FaceList", "NormalData", "FaceNormalList", "MaterialList",
                           "FaceMaterialList"};
    void* targets[] = {&model.vertexData,     &model.scale,        &model.faceList,        &model.normalData,
                       &model.faceNormalList, &model.materialList, &model.faceMaterialList};
    ASSERT_EQ(info->Count(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_STREQ(info->Item(i).name.Text(), names[i]);
        EXPECT_EQ(info->Item(i).target, targets[i]) << names[i];
        EXPECT_EQ(info->Item(i).kind, i == 1 ? AttributeKind::Float : AttributeKind::Array);
    }
    delete info;

    SMaterialData material;
    info = material.GetSerialInfo();
    ASSERT_EQ(info->Count(), 5);
    EXPECT_STREQ(info->Item(3).name.Text(), "Emissive");
    EXPECT_EQ(info->Item(3).target, static_cast<SSerialData*>(&material.emissive));
    EXPECT_EQ(info->Item(4).kind, AttributeKind::Float);
    delete info;
}

TEST(CSerialArrayPrimitive, GrowsOneAppendAtATimeByHalfWithoutMinimum) {
    CSerialArrayPrimitive<float, 3> a;
    EXPECT_EQ(a.Capacity(), 0);
    EXPECT_EQ(a.GetData(), nullptr);
    std::vector<int> capacities;
    for (int i = 0; i < 10; ++i) {
        a.Append(float(i));
        if (capacities.empty() || capacities.back() != a.Capacity())
            capacities.push_back(a.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{1, 2, 3, 4, 6, 9, 13}));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(a.At(i), float(i));
}

TEST(CSerialArrayPrimitive, SetItemsReplacesWithExactCapacity) {
    CSerialArrayInt a{1, 2, 3, 4, 5};
    a.Append(6);
    EXPECT_EQ(a.Capacity(), 7);
    int32_t values[] = {7, 8};
    a.SetItems(values, 2);
    EXPECT_EQ(a.GetCount(), 2);
    EXPECT_EQ(a.Capacity(), 2);
    EXPECT_EQ(static_cast<const int32_t*>(a.GetData())[1], 8);
    // A run taken from the array itself.
    a.SetItems(a.Item(1), 1);
    EXPECT_EQ(a.At(0), 8);
    a.AddItem(a.Item(0));
    EXPECT_EQ(a.At(1), 8);
    a.SetItems(nullptr, 0);
    EXPECT_EQ(a.GetCount(), 0);
    EXPECT_EQ(a.Capacity(), 0);
    EXPECT_EQ(ErrorOf([&] { a.SetItems(values, -1); }), "CSerialArrayPrimitive::SetItems() - Invalid count");
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
    EXPECT_EQ(b.RefCount(), 1);
    EXPECT_EQ(b.Capacity(), 4);
    EXPECT_EQ(a.GetCount(), 3);
    EXPECT_EQ(b.At(3), 4);

    int32_t values[] = {9};
    c.SetItems(values, 1); // detaches c holding only the new values
    EXPECT_EQ(a.RefCount(), 1);
    EXPECT_EQ(a.At(2), 3);
    EXPECT_EQ(c.GetCount(), 1);

    c = c;
    EXPECT_EQ(c.At(0), 9);
    EXPECT_EQ(c.RefCount(), 1);
}

TEST(CSerialArrayPrimitive, ItemIsBoundsTested) {
    CSerialArrayInt a{5};
    EXPECT_EQ(*static_cast<const int32_t*>(a.Item(0)), 5);
    EXPECT_EQ(ErrorOf([&] { a.Item(1); }), "CArray::Item() - Item index out of bounds");
    EXPECT_EQ(ErrorOf([&] { a.Item(-1); }), "CArray::Item() - Item index out of bounds");
    EXPECT_EQ(ErrorOf([&] { a.At(7); }), "CArray::Item() - Item index out of bounds");
}

TEST(CSerialArrayPrimitive, VirtualAssignmentChecksTheKindThenShares) {
    CSerialArrayInt ints{1, 2};
    CSerialArrayPrimitive<float, 3> floats{0.5f};
    CSerialArrayBase& target = floats;
    EXPECT_EQ(ErrorOf([&] { target = ints; }),
              "CSerialArrayBase::operator =() - Cannot assign to an array of different type");
    EXPECT_EQ(floats.GetCount(), 1);

    CSerialArrayInt other;
    CSerialArrayBase& base = other;
    base = static_cast<const CSerialArrayBase&>(ints);
    EXPECT_EQ(other.GetData(), ints.GetData());
    EXPECT_EQ(ints.RefCount(), 2);
}

TEST(CSerialArray, AppendingToACopyLeavesTheOriginalUnchanged) {
    Materials a;
    SMaterialData m;
    m.power = 1;
    a.Append(m);
    Materials b(a);
    EXPECT_EQ(a.RefCount(), 2);
    m.power = 2;
    b.Append(m); // the copy's first append detaches it
    EXPECT_EQ(a.RefCount(), 1);
    EXPECT_EQ(b.RefCount(), 1);
    EXPECT_EQ(a.GetCount(), 1);
    EXPECT_EQ(b.GetCount(), 2);
    EXPECT_EQ(b.At(1).power, 2);

    Materials c;
    c = b;
    c.AtForWrite(0).power = 5;
    EXPECT_EQ(b.At(0).power, 1);
    EXPECT_EQ(c.At(0).power, 5);
}

TEST(CSerialArray, SetItemsAppendsAfterExistingElements) {
    Materials a;
    SMaterialData run[2];
    run[0].power = 1;
    run[1].power = 2;
    a.SetItems(run, 2);
    a.SetItems(run, 2);
    ASSERT_EQ(a.GetCount(), 4);
    EXPECT_EQ(a.At(3).power, 2);
    EXPECT_EQ(a.GetData(), nullptr);
    // A run inside the array itself survives the reallocations.
    for (int i = 0; i < 4; ++i)
        a.SetItems(a.Item(0), a.GetCount());
    ASSERT_EQ(a.GetCount(), 64);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(a.At(i).power, float(i % 2 + 1));
    EXPECT_EQ(ErrorOf([&] { a.Item(64); }), "TArray::Item() - Item index out of bounds");
}

TEST(CSerialArray, ArrayElementsShareTheirStorage) {
    FaceLists faces;
    CSerialArrayInt face{0, 1, 2};
    faces.AddItem(&face);
    EXPECT_EQ(face.RefCount(), 2);
    EXPECT_EQ(faces.At(0).GetData(), face.GetData());
    face.Append(3); // the element keeps the old values
    EXPECT_EQ(faces.At(0).GetCount(), 3);

    void* fresh = faces.NewItem();
    CSerialArrayBase* element = faces.ArrayOf(fresh);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->Kind(), AttributeKind::Int);
    EXPECT_EQ(element->GetCount(), 0);
    EXPECT_EQ(faces.RecordOf(fresh), nullptr);
    faces.DeleteItem(fresh);
}

TEST(CSerialArray, AssignmentBetweenArrayClasses) {
    FaceLists faces;
    Materials materials;
    CSerialArrayBase& target = materials;
    EXPECT_EQ(ErrorOf([&] { target = faces; }),
              "CSerialArrayBase::operator =() - Cannot assign to an array of different type");

    // Same kind, another class: the conversion fails.
    CSerialArray<CSerialArray<SMaterialData, 0>, 7> nested;
    CSerialArrayBase& faceTarget = faces;
    EXPECT_THROW(faceTarget = nested, std::bad_cast);

    FaceLists other;
    other.Append(CSerialArrayInt{4, 5, 6});
    faceTarget = static_cast<const CSerialArrayBase&>(other);
    EXPECT_EQ(faces.GetCount(), 1);
    EXPECT_EQ(other.RefCount(), 2);
}

TEST(SModelCreatorData, ConveniencesFillTheArrays) {
    SModelCreatorData model;
    EXPECT_EQ(model.scale, 1.0f);
    model.AddVertex(1, 2, 3);
    model.AddFace({0, 1, 2, 3});
    model.AddFaceNormals({0, 0, 0, 0});
    model.AddNormal(0, 0, 1);
    EXPECT_EQ(model.vertexData.GetCount(), 3);
    EXPECT_EQ(model.normalData.At(2), 1.0f);
    EXPECT_EQ(model.faceList.At(0).GetCount(), 4);
    EXPECT_EQ(model.faceNormalList.GetCount(), 1);

    // Records copy as values; their arrays share until changed.
    SModelCreatorData copy = model;
    copy.AddVertex(4, 5, 6);
    EXPECT_EQ(model.vertexData.GetCount(), 3);
    EXPECT_EQ(copy.vertexData.GetCount(), 6);
}

} // namespace
