// The JSON form of a model used by tavrin-dat: exact floats and the refusal
// of malformed input.

#include "serial/SModelCreatorData.h"
#include "tlib/TException.h"
#include "tools/dat/CModelJson.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace SerialLib;

namespace {

TEST(ModelJson, FloatsPrintShortAndReadBackBitForBit) {
    const uint32_t bits[] = {0x3DCCCCCDu /* 0.1 */, 0x80000000u /* -0 */, 0x00000001u /* least denormal */,
                             0x7F7FFFFFu /* max */, 0x3F800001u, 0x7F800000u, 0xFF800000u, 0x7FC00000u,
                             0xFFC00001u /* NaN with sign and payload */, 0x7F800001u /* signalling */};
    SModelCreatorData model;
    for (uint32_t b : bits) {
        float f;
        std::memcpy(&f, &b, 4);
        model.vertexData.Append(f);
    }
    std::string text = CModelJson::ToJson(model).dump();
    EXPECT_NE(text.find("[0.1,-0.0,"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Infinity\",\"-Infinity\",\"NaN\",\"NaN(0xFFC00001)\""), std::string::npos) << text;

    SModelCreatorData back;
    CModelJson::FromJson(ModelJson::parse(text), back);
    ASSERT_EQ(back.vertexData.GetCount(), int(sizeof bits / sizeof bits[0]));
    for (int i = 0; i < back.vertexData.GetCount(); ++i) {
        float f = back.vertexData.At(i);
        uint32_t b;
        std::memcpy(&b, &f, 4);
        EXPECT_EQ(b, bits[i]) << i;
    }
}

TEST(ModelJson, MalformedInputIsRefusedWithItsPlace) {
    const char* cases[][2] = {
        {"[]", ": expected an object"},
        {"{\"Vertices\": []}", "Vertices: unknown key"},
        {"{\"VertexData\": [1, true]}", "VertexData[1]: expected a number"},
        {"{\"VertexData\": 1}", "VertexData: expected an array"},
        {"{\"VertexData\": [\"NaN(0x3F800000)\"]}", "VertexData[0]: expected a number"},
        {"{\"FaceList\": [[0, 1, 2.5]]}", "FaceList[0][2]: expected a 32-bit integer"},
        {"{\"FaceList\": [[0, 1, 2147483648]]}", "FaceList[0][2]: expected a 32-bit integer"},
        {"{\"FaceMaterialList\": [-2147483649]}", "FaceMaterialList[0]: expected a 32-bit integer"},
        {"{\"MaterialList\": [{\"Diffuse\": {\"x\": 1}}]}", "MaterialList[0].Diffuse.x: unknown key"},
        {"{\"MaterialList\": [{\"Power\": null}]}", "MaterialList[0].Power: expected a number"},
    };
    for (auto& c : cases) {
        SModelCreatorData model;
        std::string error;
        try {
            CModelJson::FromJson(ModelJson::parse(c[0]), model);
        } catch (const tlib::TException& e) {
            error = e.Message();
        }
        EXPECT_EQ(error, c[1]) << c[0];
    }
}

} // namespace
