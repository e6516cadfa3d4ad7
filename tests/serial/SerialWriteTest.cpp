// The writer: the exact bytes of the worked example, round trips through the
// reader, and what it leaves out or refuses.

#include "SerialTestSupport.h"

#include "serial/CSerialDataLoad.h"
#include "serial/CSerialDataWrite.h"
#include "serial/SModelCreatorData.h"
#include "tlib/TString.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

using namespace serialtest;

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

// Records shaped like the worked example: the colour declares only "r".
struct ExampleColour : SSerialData {
    float r = 0;
    CSerialInfo* GetSerialInfo() override {
        CSerialInfo* info = new CSerialInfo();
        info->AddAttribute("r", &r);
        return info;
    }
};
struct ExampleMaterial : SSerialData {
    ExampleColour diffuse;
    float power = 0;
    CSerialInfo* GetSerialInfo() override {
        CSerialInfo* info = new CSerialInfo();
        info->AddAttribute("Diffuse", &diffuse);
        info->AddAttribute("Power", &power);
        return info;
    }
};
struct ExampleModel : SSerialData {
    float scale = 0;
    CSerialArray<CSerialArrayInt, 7> faceList;
    CSerialArray<ExampleMaterial, 0> materialList;
    CSerialInfo* GetSerialInfo() override {
        CSerialInfo* info = new CSerialInfo();
        info->AddAttribute("Scale", &scale);
        info->AddAttribute("FaceList", &faceList);
        info->AddAttribute("MaterialList", &materialList);
        return info;
    }
};

TEST(SerialWrite, ReproducesTheWorkedExampleByteForByte) {
    ExampleModel model;
    model.scale = 1.0f;
    model.faceList.Append(CSerialArrayInt{0, 1, 2});
    ExampleMaterial material;
    material.diffuse.r = 0.5f;
    material.power = 10.0f;
    model.materialList.Append(material);

    Bytes expected;
    expected.Tag("Model").Tag("Scale").Float(1).Type(1);
    expected.Tag("FaceList").Type(2).Int(1).Type(2).Int(3).Int(0).Int(1).Int(2).Type(3).Type(3).Type(1);
    expected.Tag("MaterialList").Type(2).Int(1).Type(4);
    expected.Tag("Diffuse").Tag("r").Float(0.5f).Type(1).Type(1);
    expected.Tag("Power").Float(10).Type(1).Type(5).Type(3).Type(1).Type(1);
    std::vector<uint8_t> bytes = WriteSerialData(model, "Model");
    ASSERT_EQ(bytes.size(), 129u);
    EXPECT_EQ(bytes, expected.Data());
    const uint8_t head[] = {0x00, 0x05, 0x00, 0x00, 0x00, 0x4D, 0x6F, 0x64, 0x65, 0x6C, 0x00};
    EXPECT_TRUE(std::equal(head, head + sizeof head, bytes.begin()));
    EXPECT_EQ(bytes[85], 0x04);
    EXPECT_EQ(bytes[109], 0x01);
    EXPECT_EQ(bytes[125], 0x05);
}

SModelCreatorData FullModel() {
    SModelCreatorData model;
    model.scale = 0.1f;
    model.AddVertex(0, 0, 0);
    model.AddVertex(1, 0, 0);
    model.AddVertex(0, 1, -0.0f);
    model.AddVertex(std::nextafter(1.0f, 2.0f), 1e-38f, -3.4e38f);
    model.AddFace({0, 1, 2});
    model.AddFace({0, 2, 3, 1});
    model.AddNormal(0, 0, 1);
    model.AddFaceNormals({0, 0, 0});
    model.AddFaceNormals({0, 0, 0, 0});
    SMaterialData red;
    red.diffuse = SColourData(1, 0, 0, 1);
    red.ambient = SColourData(0.2f, 0, 0, 1);
    red.specular = SColourData(0.5f, 0.5f, 0.5f, 1);
    red.emissive = SColourData(0, 0, 0, 0);
    red.power = 20;
    model.materialList.Append(red);
    model.materialList.Append(SMaterialData());
    model.faceMaterialList = CSerialArrayInt{1, 0};
    return model;
}

TEST(SerialWrite, AModelRoundTripsThroughTheReader) {
    SModelCreatorData model = FullModel();
    std::vector<uint8_t> bytes = WriteSerialData(model, "Model");
    SModelCreatorData back;
    back.scale = 5;
    ASSERT_EQ(LoadError(bytes, back), "");
    EXPECT_EQ(WriteSerialData(back, "Model"), bytes);
    EXPECT_EQ(back.scale, 0.1f);
    ASSERT_EQ(back.vertexData.GetCount(), 12);
    EXPECT_EQ(back.vertexData.At(9), std::nextafter(1.0f, 2.0f));
    EXPECT_TRUE(std::signbit(back.vertexData.At(8)));
    ASSERT_EQ(back.faceList.GetCount(), 2);
    EXPECT_EQ(back.faceList.At(1).At(3), 1);
    EXPECT_EQ(back.faceNormalList.At(1).GetCount(), 4);
    ASSERT_EQ(back.materialList.GetCount(), 2);
    EXPECT_EQ(back.materialList.At(0).ambient.r, 0.2f);
    EXPECT_EQ(back.materialList.At(0).power, 20.0f);
    EXPECT_EQ(back.faceMaterialList.At(0), 1);
}

TEST(SerialWrite, EveryKindRoundTripsAndEmptyArraysAreLeftOut) {
    SModelCreatorData empty;
    Bytes expected;
    expected.Tag("Model").Tag("Scale").Float(1).Type(1).Type(1);
    EXPECT_EQ(WriteSerialData(empty, "Model"), expected.Data());

    AllKinds r;
    r.i = INT32_MIN;
    r.byte = 200;
    r.f = NAN;
    r.d = -1.0 / 3;
    r.c = '\n';
    r.s.Set("text");
    r.inner.x = 4;
    r.ints = CSerialArrayInt{1, -1};
    r.bytes.Append(0);
    r.floats.Append(INFINITY);
    r.doubles.Append(2.5);
    r.chars.Append('q');
    r.strings.Append(CSerialStringBase("s1"));
    Inner in;
    in.y = 3;
    r.records.Append(in);
    r.lists.Append(CSerialArrayInt{7});
    r.recordLists.Append(CSerialArray<Inner, 0>()); // an empty list of records is a valid element
    std::vector<uint8_t> bytes = WriteSerialData(r, "All");
    AllKinds back;
    ASSERT_EQ(LoadError(bytes, back, "All"), "");
    EXPECT_EQ(WriteSerialData(back, "All"), bytes);
    EXPECT_EQ(back.i, INT32_MIN);
    EXPECT_STREQ(back.s.Get(), "text");
    EXPECT_STREQ(back.strings.At(0).Get(), "s1");
    EXPECT_EQ(back.recordLists.At(0).GetCount(), 0);
}

// A record whose fields can all be left out, and one with a shadowed name.
struct OnlyList : SSerialData {
    CSerialArrayInt list;
    CSerialInfo* GetSerialInfo() override {
        CSerialInfo* info = new CSerialInfo();
        info->AddAttribute("List", &list);
        return info;
    }
};
struct Holder : SSerialData {
    int32_t a = 1;
    int32_t shadowed = 2;
    OnlyList nested;
    CSerialStringBase s;
    CSerialArray<OnlyList, 0> elements;
    CSerialArray<CSerialStringBase, 6> strings;
    CSerialArray<CSerialArrayInt, 7> lists;
    CSerialInfo* GetSerialInfo() override {
        CSerialInfo* info = new CSerialInfo();
        info->AddAttribute("a", &a);
        info->AddAttribute("a", &shadowed);
        info->AddAttribute("Nested", &nested);
        info->AddAttribute("S", &s);
        info->AddAttribute("Elements", &elements);
        info->AddAttribute("Strings", &strings);
        info->AddAttribute("Lists", &lists);
        return info;
    }
};

TEST(SerialWrite, LeavesOutWhatTheReaderCouldNotTakeBack) {
    // An empty nested record, an empty string and a shadowed name are left out.
    Holder h;
    Bytes expected;
    expected.Tag("H").Tag("a").Int(1).Type(1).Type(1);
    EXPECT_EQ(WriteSerialData(h, "H"), expected.Data());

    h.nested.list.Append(3);
    Holder back;
    back.a = 0;
    ASSERT_EQ(LoadError(WriteSerialData(h, "H"), back, "H"), "");
    EXPECT_EQ(back.a, 1);
    EXPECT_EQ(back.nested.list.At(0), 3);
}

TEST(SerialWrite, RefusesWhatCannotBeLeftOut) {
    OnlyList empty;
    EXPECT_EQ(ErrorOf([&] { WriteSerialData(empty, "Model"); }),
              "CSerialDataWrite::Write() - Record 'Model' has nothing to write");
    empty.list.Append(1);
    EXPECT_EQ(ErrorOf([&] { WriteSerialData(empty, ""); }), "CSerialDataWrite::Write() - Empty name");

    Holder element;
    element.elements.Append(OnlyList());
    EXPECT_EQ(ErrorOf([&] { WriteSerialData(element, "H"); }),
              "CSerialDataWrite::Write() - An empty record cannot be written as an array element");
    Holder string;
    string.strings.Append(CSerialStringBase(""));
    EXPECT_EQ(ErrorOf([&] { WriteSerialData(string, "H"); }),
              "CSerialDataWrite::Write() - An empty string cannot be written as an array element");
    Holder list;
    list.lists.Append(CSerialArrayInt());
    EXPECT_EQ(ErrorOf([&] { WriteSerialData(list, "H"); }),
              "CSerialDataWrite::Write() - An empty array of scalars cannot be written here");
}

TEST(SerialWrite, WritesAFileTheFileReaderReads) {
    std::string path = ::testing::TempDir() + "serial_write_test.dat";
    SModelCreatorData model = FullModel();
    WriteSerialFile(path.c_str(), model, "Model");
    SModelCreatorData back;
    {
        CSerialDataLoad loader(tlib::TString("%s", path.c_str()));
        loader.ReadData(back, "Model");
    }
    std::remove(path.c_str());
    EXPECT_EQ(WriteSerialData(back, "Model"), WriteSerialData(model, "Model"));

    EXPECT_EQ(ErrorOf([&] { WriteSerialFile("/nonexistent-dir/x.dat", model, "Model"); }),
              "Cannot write file: '/nonexistent-dir/x.dat'");
}

} // namespace
