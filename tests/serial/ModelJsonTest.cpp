// The JSON form of a model used by tavrin-dat: exact floats and the refusal
// of malformed input.

#include "SerialTestSupport.h"

#include "serial/SModelCreatorData.h"
#include "tools/dat/CModelJson.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace serialtest;

namespace {

TEST(ModelJson, FloatsReadBackBitForBit) {
    const uint32_t bits[] = {0x3DCCCCCDu /* 0.1 */, 0x80000000u /* -0 */, 0x00000001u /* least denormal */,
                             0x7F7FFFFFu /* max */, 0x3F800001u, 0x7F800000u, 0xFF800000u, 0x7FC00000u,
                             0xFFC00001u /* NaN with sign and payload */, 0x7F800001u /* signalling */};
    SModelCreatorData model, back;
    for (uint32_t b : bits) {
        float f;
        std::memcpy(&f, &b, 4);
        model.vertexData.Append(f);
    }
    CModelJson::FromJson(ModelJson::parse(CModelJson::ToJson(model).dump()), back);
    ASSERT_EQ(back.vertexData.GetCount(), int(sizeof bits / sizeof bits[0]));
    for (int i = 0; i < back.vertexData.GetCount(); ++i) {
        float f = back.vertexData.At(i);
        EXPECT_EQ(std::memcmp(&f, &bits[i], 4), 0) << i;
    }
}

TEST(ModelJson, MalformedInputIsRefusedWithItsPlace) {
    const struct {
        const char* json;
        const char* error;
    } cases[] = {
        {"{\"Vertices\": []}", "Vertices: unknown key"},
        {"{\"VertexData\": [1, true]}", "VertexData[1]: expected a number"},
        {"{\"VertexData\": [\"NaN(0x3F800000)\"]}", "VertexData[0]: expected a number"},
        {"{\"FaceList\": [[0, 1, 2.5]]}", "FaceList[0][2]: expected a 32-bit integer"},
        {"{\"MaterialList\": [{\"Diffuse\": {\"x\": 1}}]}", "MaterialList[0].Diffuse.x: unknown key"},
    };
    for (const auto& c : cases) {
        SModelCreatorData model;
        EXPECT_EQ(ErrorOf([&] { CModelJson::FromJson(ModelJson::parse(c.json), model); }), c.error) << c.json;
    }
}

} // namespace
