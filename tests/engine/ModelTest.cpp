#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/DXModel.h"
#include "engine/DXModelCreator.h"
#include "engine/LoadModel.h"
#include "serial/CSerialDataWrite.h"
#include "serial/CSerialInfo.h"
#include "serial/SModelCreatorData.h"
#include "tests/engine/EngineTestSupport.h"

using enginetest::Dx;
using enginetest::FloatsOf;
using Orvel::DXModel;
using Orvel::DXModelCreator;
using SerialLib::SModelCreatorData;

namespace {

// Eight positions (k, 10k, 100k) for k = 0..7, the given faces, one
// material per red (the other fields fixed) and the faces' material numbers.
SModelCreatorData Model(std::initializer_list<std::initializer_list<int32_t>> faces,
                        std::initializer_list<float> reds = {}, std::initializer_list<int> faceMaterials = {})
{
    SModelCreatorData data;
    for (int k = 0; k < 8; ++k)
        data.AddVertex(static_cast<float>(k), 10.0f * k, 100.0f * k);
    for (const auto& face : faces)
        data.AddFace(face);
    for (float red : reds) {
        SerialLib::SMaterialData m;
        m.diffuse = SerialLib::SColourData(red, 0.5f, 0.25f, 1.0f);
        m.ambient = SerialLib::SColourData(0.1f, 0.2f, 0.3f, 0.4f);
        m.specular = SerialLib::SColourData(0.5f, 0.6f, 0.7f, 0.8f);
        m.emissive = SerialLib::SColourData(0.9f, 0.0f, 0.1f, 0.2f);
        m.power = 7.0f;
        data.materialList.Append(m);
    }
    for (int m : faceMaterials)
        data.faceMaterialList.Append(m);
    return data;
}

// Faces A (3 vertices), B (4), C (5), D (3) with materials 2, 0, 2, 1.
SModelCreatorData FourFaces()
{
    return Model({{0, 1, 2}, {1, 2, 3, 4}, {2, 3, 4, 5, 6}, {7, 0, 1}}, {0.0f, 0.25f, 0.75f}, {2, 0, 2, 1});
}

class ModelTest : public enginetest::DeviceFixture {
protected:
    std::unique_ptr<DXModel> Build(const SModelCreatorData& data)
    {
        DXModelCreator creator(data);
        return std::make_unique<DXModel>(device.get(), creator);
    }
    // The calls of one Render as "name arguments...", SetMaterial with its
    // diffuse red in hundredths and SetStreamSource without the buffer id
    // (the draws' vertices show which buffer was bound).
    std::vector<std::string> Render(DXModel& model)
    {
        std::vector<std::string> out;
        for (const RecordedCall& call : InFrame([&] { model.Render(); })) {
            std::string text = call.Name();
            for (size_t i = 0; i < call.args.size(); ++i)
                text += call.op == RecOp::SetStreamSource && i == 1 ? "" : " " + std::to_string(call.args[i]);
            if (call.op == RecOp::SetMaterial)
                text += " " + std::to_string(static_cast<int>(call.material.Diffuse.r * 100));
            out.push_back(text);
        }
        return out;
    }
    // The groups as {material, firstFace, lastFace}, all of them fans.
    static std::vector<std::vector<int>> Groups(const DXModel& model)
    {
        std::vector<std::vector<int>> out;
        for (int g = 0; g < model.GroupCount(); ++g) {
            EXPECT_EQ(model.Group(g).primitiveType, D3DPT_TRIANGLEFAN);
            out.push_back({model.Group(g).material, model.Group(g).firstFace, model.Group(g).lastFace});
        }
        return out;
    }
    // The creation of the last vertex buffer and its contents.
    std::vector<float> Buffer(std::vector<int64_t>* args = nullptr)
    {
        const RecordedCall* created = Log().CallsOf("CreateVertexBuffer").back();
        if (args)
            *args = created->args;
        return FloatsOf(Log().VertexBuffer(created->created)->Bytes());
    }
};

TEST_F(ModelTest, FacesAreDrawnSortedByMaterialOneFanEachWithOneMaterialPerGroup)
{
    auto model = Build(FourFaces());
    EXPECT_EQ(Groups(*model), (std::vector<std::vector<int>>{{0, 0, 0}, {1, 1, 1}, {2, 2, 3}}));
    // B (first vertex 3), D (12), C (7), A (0); primitive count = vertices - 2.
    EXPECT_EQ(Render(*model), (std::vector<std::string>{"SetStreamSource 0 0 12", "SetFVF 2", "SetMaterial 0",
                                                        "DrawPrimitive 6 3 2 12", "SetMaterial 25",
                                                        "DrawPrimitive 6 12 1 12", "SetMaterial 75",
                                                        "DrawPrimitive 6 7 3 12", "DrawPrimitive 6 0 1 12"}));
    InFrame([&] { model->Render(); });
    const D3DMATERIAL9& m = Log().CallsOf("SetMaterial")[2]->material;
    EXPECT_EQ((std::vector<float>{m.Diffuse.r, m.Diffuse.g, m.Diffuse.b, m.Diffuse.a, m.Ambient.r, m.Ambient.a,
                                  m.Specular.g, m.Emissive.r, m.Emissive.a, m.Power}),
              (std::vector<float>{0.75f, 0.5f, 0.25f, 1.0f, 0.1f, 0.4f, 0.6f, 0.9f, 0.2f, 7.0f}));
}

TEST_F(ModelTest, EachGroupCarriesItsFacesMaterialAndFacesWithoutOneGetOpaqueWhite)
{
    // Material 1 is skipped; the third face has no material number.
    auto model = Build(Model({{0, 1, 2}, {1, 2, 3}, {2, 3, 4}}, {0.0f, 0.25f, 0.75f}, {2, 0}));
    EXPECT_EQ(Groups(*model), (std::vector<std::vector<int>>{{0, 0, 0}, {2, 1, 1}, {-1, 2, 2}}));
    EXPECT_EQ(Render(*model), (std::vector<std::string>{"SetStreamSource 0 0 12", "SetFVF 2", "SetMaterial 0",
                                                        "DrawPrimitive 6 3 1 12", "SetMaterial 75",
                                                        "DrawPrimitive 6 0 1 12", "SetMaterial 100",
                                                        "DrawPrimitive 6 6 1 12"}));
    InFrame([&] { model->Render(); });
    const D3DMATERIAL9& white = Log().CallsOf("SetMaterial")[2]->material;
    EXPECT_EQ((std::vector<float>{white.Diffuse.r, white.Diffuse.g, white.Diffuse.b, white.Diffuse.a, white.Ambient.r,
                                  white.Ambient.g, white.Ambient.b, white.Ambient.a, white.Specular.r,
                                  white.Emissive.r, white.Power}),
              (std::vector<float>{1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0}));
    // No material list at all: one group of every face.
    EXPECT_EQ(Groups(*Build(Model({{0, 1, 2}, {3, 4, 5}}))), (std::vector<std::vector<int>>{{-1, 0, 1}}));
}

TEST_F(ModelTest, EveryFaceGetsItsOwnScaledCopiesOfItsVerticesInListOrder)
{
    SModelCreatorData data = Model({{3, 1, 2, 0}, {1, 5, 6}}); // the second face shares position 1
    data.scale = 2.0f;
    auto model = Build(data);
    std::vector<int64_t> args;
    const std::vector<float> expected = {6, 60, 600, 2, 20, 200, 4, 40, 400, 0, 0, 0,
                                         2, 20, 200, 10, 100, 1000, 12, 120, 1200};
    EXPECT_EQ(Buffer(&args), expected);
    EXPECT_EQ(args, (std::vector<int64_t>{7 * 12, 0, D3DFVF_XYZ, D3DPOOL_DEFAULT}));
    EXPECT_EQ(Render(*model)[3], "DrawPrimitive 6 0 2 12");
    EXPECT_EQ(FloatsOf(Log().CallsOf("DrawPrimitive")[0]->bytes),
              std::vector<float>(expected.begin(), expected.begin() + 12));
}

TEST_F(ModelTest, NormalsAreUsedOnlyWithFaceNormalListsAndAreNotScaled)
{
    SModelCreatorData data = Model({{0, 1, 2}});
    data.scale = 2.0f;
    data.AddNormal(0.0f, 0.0f, 1.0f);
    data.AddNormal(0.5f, 0.25f, 0.125f);
    EXPECT_EQ(Build(data)->VertexFormat(), D3DFVF_XYZ);
    data.AddFaceNormals({1, 0, 1});
    auto model = Build(data);
    std::vector<int64_t> args;
    EXPECT_EQ(Buffer(&args),
              (std::vector<float>{0, 0, 0, 0.5f, 0.25f, 0.125f, 2, 20, 200, 0, 0, 1, 4, 40, 400, 0.5f, 0.25f, 0.125f}));
    EXPECT_EQ(args, (std::vector<int64_t>{3 * 24, 0, D3DFVF_XYZ | D3DFVF_NORMAL, D3DPOOL_DEFAULT}));
    EXPECT_EQ(Render(*model), (std::vector<std::string>{"SetStreamSource 0 0 24", "SetFVF 18", "SetMaterial 100",
                                                        "DrawPrimitive 6 0 1 24"}));
}

TEST_F(ModelTest, BadModelDataIsRejectedBeforeAnythingIsReadOrCreated)
{
    using Spoil = std::function<void(SModelCreatorData&)>;
    const auto normals = [](std::initializer_list<int> counts) {
        return [counts](SModelCreatorData& d) {
            for (int count : counts)
                d.AddFaceNormals(std::vector<int32_t>(static_cast<size_t>(count), 0).data(), count);
        };
    };
    const auto face = [](std::initializer_list<int32_t> f) { return [f](SModelCreatorData& d) { d.AddFace(f); }; };
    const auto material = [](int m) { return [m](SModelCreatorData& d) { d.faceMaterialList.Append(m); }; };
    const std::string faces = "DXModelCreator::SetFaceData() - ", normal = "DXModelCreator::SetFaceNormalData() - ";
    const std::string range = "DXModelCreator::SetFaceMaterialData() - Material index out of range";
    const std::pair<Spoil, std::string> cases[] = {
        {[](SModelCreatorData& d) { d.faceList.Clear(); }, faces + "Model has no faces"},
        {face({0, 1}), faces + "Faces must contain at least 3 vertices"},
        {face({0, 1, 8}), faces + "Vertex index out of range"},
        {face({0, -1, 2}), faces + "Vertex index out of range"},
        {[](SModelCreatorData& d) { d.vertexData.Append(1.0f); d.AddFace({0, 1, 8}); }, faces + "Vertex index out of range"},
        {normals({3}), normal + "Number of face normals must be equal to the number of faces"},
        {normals({3, 4, 4, 3}), normal + "Face normal data does not match face data"},
        {[&](SModelCreatorData& d) { normals({3, 4, 5})(d); d.AddFaceNormals({0, 1, 0}); }, normal + "Normal index out of range"},
        {material(3), range},
        {material(-1), range},
        {[](SModelCreatorData& d) { for (int k = 0; k < 5; ++k) d.faceMaterialList.Append(0); },
         "DXModelCreator::BuildModel() - Invalid ModelCreator"},
    };
    for (const auto& [spoil, message] : cases) {
        SModelCreatorData data = FourFaces();
        data.faceMaterialList = SerialLib::CSerialArrayInt();
        data.AddNormal(0, 0, 1); // one normal
        spoil(data);
        EXPECT_EQ(enginetest::RaisedBy([&] { Build(data); }), Dx(message));
        EXPECT_EQ(Log().Count("CreateVertexBuffer"), 0);
    }
    // A partial last triple of floats is ignored, not refused.
    SModelCreatorData partial = Model({{0, 1, 7}});
    partial.vertexData.Append(1.0f);
    EXPECT_NO_THROW(Build(partial));
}

// The model record without its "Scale" attribute, to write files that lack it.
class ModelWithoutScale : public SModelCreatorData {
public:
    SerialLib::CSerialInfo* GetSerialInfo() override
    {
        auto* info = new SerialLib::CSerialInfo();
        info->AddAttribute("VertexData", &vertexData);
        info->AddAttribute("FaceList", &faceList);
        return info;
    }
};

TEST_F(ModelTest, LoadModelReadsTheDataFolderAndAMissingScaleMeansOne)
{
    enginetest::ScratchFolder folder;
    SModelCreatorData scaled = FourFaces();
    scaled.scale = 3.0f;
    SerialLib::WriteSerialFile(folder.DataPath("Scaled.dat").c_str(), scaled, "Model");
    ModelWithoutScale plain;
    static_cast<SModelCreatorData&>(plain) = FourFaces();
    plain.scale = 5.0f; // not written
    SerialLib::WriteSerialFile(folder.DataPath("Plain.dat").c_str(), plain, "Model");
    for (const auto& [name, factor] : {std::pair<const char*, float>{"Scaled.dat", 3.0f}, {"Plain.dat", 1.0f}}) {
        std::unique_ptr<DXModel> model(Orvel::LoadModel(device.get(), name));
        const std::vector<float> floats = Buffer();
        ASSERT_EQ(floats.size(), 15u * 3) << name;
        EXPECT_EQ(std::vector<float>(floats.begin() + 3, floats.begin() + 6),
                  (std::vector<float>{1 * factor, 10 * factor, 100 * factor})) << name;
    }
    EXPECT_EQ(enginetest::RaisedBy([&] { Orvel::LoadModel(device.get(), "Missing.dat"); }),
              "TException TReadStream::TReadStream() - Failed to open file: 'Data\\Missing.dat'");
}

} // namespace
