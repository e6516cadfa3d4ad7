// The JSON form of a model used by tavrin-dat: exact floats, key order and
// the refusal of malformed input.

#include "serial/SModelCreatorData.h"
#include "tlib/TException.h"
#include "tools/dat/CModelJson.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

using namespace SerialLib;

namespace {

uint32_t Bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

float FromBits(uint32_t b) {
    float f;
    std::memcpy(&f, &b, 4);
    return f;
}

std::string PackError(const std::string& text) {
    SModelCreatorData model;
    try {
        CModelJson::FromJson(ModelJson::parse(text), model);
    } catch (const tlib::TException& e) {
        return e.Message();
    }
    return "";
}

TEST(ModelJson, KeysInDeclarationOrderAndMissingFieldsAsBeforeReading) {
    SModelCreatorData model;
    std::string text = CModelJson::ToJson(model).dump();
    EXPECT_EQ(text, "{\"VertexData\":[],\"Scale\":1.0,\"FaceList\":[],\"NormalData\":[],\"FaceNormalList\":[],"
                    "\"MaterialList\":[],\"FaceMaterialList\":[]}");
}

TEST(ModelJson, FloatsPrintShortAndReadBackBitForBit) {
    const uint32_t bits[] = {0x3DCCCCCDu /* 0.1 */, 0x80000000u /* -0 */, 0x00000001u /* least denormal */,
                             0x7F7FFFFFu /* max */, 0x3F800001u, 0x7F800000u, 0xFF800000u, 0x7FC00000u,
                             0xFFC00001u /* NaN with sign and payload */, 0x7F800001u /* signalling */};
    SModelCreatorData model;
    for (uint32_t b : bits)
        model.vertexData.Append(FromBits(b));
    ModelJson json = CModelJson::ToJson(model);
    std::string text = json.dump();
    EXPECT_NE(text.find("[0.1,-0.0,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Infinity\",\"-Infinity\",\"NaN\",\"NaN(0xFFC00001)\""), std::string::npos) << text;

    SModelCreatorData back;
    CModelJson::FromJson(ModelJson::parse(text), back);
    ASSERT_EQ(back.vertexData.GetCount(), int(sizeof bits / sizeof bits[0]));
    for (int i = 0; i < back.vertexData.GetCount(); ++i)
        EXPECT_EQ(Bits(back.vertexData.At(i)), bits[i]) << i;
}

TEST(ModelJson, MaterialsAndListsRoundTrip) {
    SModelCreatorData model;
    model.scale = 2.5f;
    model.AddFace({0, 1, 2});
    model.AddFaceNormals({3, 4, INT32_MIN});
    SMaterialData m;
    m.specular = SColourData(0.25f, 0.5f, 0.75f, 1);
    m.power = 8;
    model.materialList.Append(m);
    model.faceMaterialList = CSerialArrayInt{INT32_MAX};
    ModelJson json = CModelJson::ToJson(model);
    EXPECT_EQ(json["MaterialList"][0].begin().key(), "Diffuse");
    EXPECT_EQ(json["MaterialList"][0]["Specular"].dump(), "{\"r\":0.25,\"g\":0.5,\"b\":0.75,\"a\":1.0}");

    SModelCreatorData back;
    CModelJson::FromJson(ModelJson::parse(json.dump()), back);
    EXPECT_EQ(CModelJson::ToJson(back), json);
    EXPECT_EQ(back.faceNormalList.At(0).At(2), INT32_MIN);
}

TEST(ModelJson, PackingReplacesNamedFieldsAndKeepsTheOthers) {
    SModelCreatorData model;
    model.AddVertex(1, 2, 3);
    model.AddFace({0, 0, 0});
    CModelJson::FromJson(ModelJson::parse("{\"FaceList\": [[1, 2, 3], [4, 5, 6]], \"Scale\": 3}"), model);
    EXPECT_EQ(model.vertexData.GetCount(), 3);
    EXPECT_EQ(model.faceList.GetCount(), 2); // replaced, not appended
    EXPECT_EQ(model.scale, 3.0f);
}

TEST(ModelJson, MalformedInputIsRefusedWithItsPlace) {
    EXPECT_EQ(PackError("[]"), ": expected an object");
    EXPECT_EQ(PackError("{\"Vertices\": []}"), "Vertices: unknown key");
    EXPECT_EQ(PackError("{\"VertexData\": [1, true]}"), "VertexData[1]: expected a number");
    EXPECT_EQ(PackError("{\"VertexData\": 1}"), "VertexData: expected an array");
    EXPECT_EQ(PackError("{\"VertexData\": [\"NaN(0x3F800000)\"]}"), "VertexData[0]: expected a number");
    EXPECT_EQ(PackError("{\"FaceList\": [[0, 1, 2.5]]}"), "FaceList[0][2]: expected a 32-bit integer");
    EXPECT_EQ(PackError("{\"FaceList\": [[0, 1, 2147483648]]}"), "FaceList[0][2]: expected a 32-bit integer");
    EXPECT_EQ(PackError("{\"FaceMaterialList\": [-2147483649]}"), "FaceMaterialList[0]: expected a 32-bit integer");
    EXPECT_EQ(PackError("{\"FaceNormalList\": [0]}"), "FaceNormalList[0]: expected an array");
    EXPECT_EQ(PackError("{\"MaterialList\": [{\"Diffuse\": {\"x\": 1}}]}"), "MaterialList[0].Diffuse.x: unknown key");
    EXPECT_EQ(PackError("{\"MaterialList\": [{\"Power\": null}]}"), "MaterialList[0].Power: expected a number");
    EXPECT_EQ(PackError("{\"MaterialList\": [3]}"), "MaterialList[0]: expected an object");
}

} // namespace
