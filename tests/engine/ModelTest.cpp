#include <gtest/gtest.h>

#include <cstdint>
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

using enginetest::DeviceFixture;
using enginetest::FloatsOf;
using enginetest::RaisedBy;
using Orvel::DXModel;
using Orvel::DXModelCreator;
using SerialLib::SModelCreatorData;

namespace {

SerialLib::SMaterialData Material(float red)
{
    SerialLib::SMaterialData m;
    m.diffuse = SerialLib::SColourData(red, 0.5f, 0.25f, 1.0f);
    m.ambient = SerialLib::SColourData(0.1f, 0.2f, 0.3f, 0.4f);
    m.specular = SerialLib::SColourData(0.5f, 0.6f, 0.7f, 0.8f);
    m.emissive = SerialLib::SColourData(0.9f, 0.0f, 0.1f, 0.2f);
    m.power = 7.0f;
    return m;
}

// Eight positions (k, 10k, 100k) for k = 0..7.
SModelCreatorData Positions()
{
    SModelCreatorData data;
    for (int k = 0; k < 8; ++k)
        data.AddVertex(static_cast<float>(k), 10.0f * k, 100.0f * k);
    return data;
}

// Faces A (3 vertices), B (4), C (5), D (3) with materials 2, 0, 2, 1.
SModelCreatorData FourFaces()
{
    SModelCreatorData data = Positions();
    data.AddFace({0, 1, 2});
    data.AddFace({1, 2, 3, 4});
    data.AddFace({2, 3, 4, 5, 6});
    data.AddFace({7, 0, 1});
    for (float red : {0.0f, 0.25f, 0.75f})
        data.materialList.Append(Material(red));
    for (int m : {2, 0, 2, 1})
        data.faceMaterialList.Append(m);
    return data;
}

class ModelTest : public DeviceFixture {
protected:
    std::unique_ptr<DXModel> Build(const SModelCreatorData& data)
    {
        DXModelCreator creator(data);
        return std::make_unique<DXModel>(device.get(), creator);
    }

    // Renders inside a frame; returns the calls Render made.
    std::vector<RecordedCall> Render(DXModel& model)
    {
        device->StartFrame();
        Log().Clear();
        model.Render();
        std::vector<RecordedCall> calls = Log().Calls();
        device->FinishFrame();
        return calls;
    }

    static std::vector<std::string> NamesOf(const std::vector<RecordedCall>& calls)
    {
        std::vector<std::string> names;
        for (const RecordedCall& call : calls)
            names.push_back(call.Name());
        return names;
    }
};

TEST_F(ModelTest, FacesAreDrawnSortedByMaterialOneFanEachWithOneMaterialPerGroup)
{
    auto model = Build(FourFaces());
    ASSERT_EQ(model->GroupCount(), 3);
    const Orvel::SMaterialGroup expected[] = {{6, 0, 0, 0}, {6, 1, 1, 1}, {6, 2, 2, 3}};
    for (int g = 0; g < 3; ++g) {
        EXPECT_EQ(model->Group(g).primitiveType, expected[g].primitiveType);
        EXPECT_EQ(model->Group(g).material, expected[g].material);
        EXPECT_EQ(model->Group(g).firstFace, expected[g].firstFace);
        EXPECT_EQ(model->Group(g).lastFace, expected[g].lastFace);
    }

    const std::vector<RecordedCall> calls = Render(*model);
    EXPECT_EQ(NamesOf(calls), (std::vector<std::string>{"SetStreamSource", "SetFVF", "SetMaterial", "DrawPrimitive",
                                                        "SetMaterial", "DrawPrimitive", "SetMaterial", "DrawPrimitive",
                                                        "DrawPrimitive"}));
    EXPECT_EQ(calls[0].args[0], 0);
    EXPECT_EQ(calls[0].args[2], 0);
    EXPECT_EQ(calls[0].args[3], 12);
    EXPECT_EQ(calls[1].args, (std::vector<int64_t>{D3DFVF_XYZ}));
    // B (first vertex 3), D (12), C (7), A (0); primitive count = vertices - 2.
    EXPECT_EQ(calls[3].args, (std::vector<int64_t>{D3DPT_TRIANGLEFAN, 3, 2, 12}));
    EXPECT_EQ(calls[5].args, (std::vector<int64_t>{D3DPT_TRIANGLEFAN, 12, 1, 12}));
    EXPECT_EQ(calls[7].args, (std::vector<int64_t>{D3DPT_TRIANGLEFAN, 7, 3, 12}));
    EXPECT_EQ(calls[8].args, (std::vector<int64_t>{D3DPT_TRIANGLEFAN, 0, 1, 12}));
    EXPECT_EQ(calls[2].material.Diffuse.r, 0.0f);
    EXPECT_EQ(calls[4].material.Diffuse.r, 0.25f);
    EXPECT_EQ(calls[6].material.Diffuse.r, 0.75f);
    const D3DMATERIAL9& m = calls[6].material;
    EXPECT_EQ((std::vector<float>{m.Diffuse.g, m.Diffuse.b, m.Diffuse.a, m.Ambient.r, m.Ambient.a, m.Specular.g,
                                  m.Emissive.r, m.Emissive.a, m.Power}),
              (std::vector<float>{0.5f, 0.25f, 1.0f, 0.1f, 0.4f, 0.6f, 0.9f, 0.2f, 7.0f}));
}

TEST_F(ModelTest, FacesWithoutAMaterialFormTheLastGroupAndGetTheDefaultMaterial)
{
    SModelCreatorData data = Positions();
    data.AddFace({0, 1, 2});
    data.AddFace({1, 2, 3});
    data.AddFace({2, 3, 4});
    data.materialList.Append(Material(0.5f));
    data.faceMaterialList.Append(0);
    auto model = Build(data);
    ASSERT_EQ(model->GroupCount(), 2);
    EXPECT_EQ(model->Group(0).material, 0);
    EXPECT_EQ(model->Group(0).lastFace, 0);
    EXPECT_EQ(model->Group(1).material, -1);
    EXPECT_EQ(model->Group(1).firstFace, 1);
    EXPECT_EQ(model->Group(1).lastFace, 2);
    const auto materials = [&] {
        std::vector<D3DMATERIAL9> out;
        for (const RecordedCall& call : Render(*model))
            if (call.op == RecOp::SetMaterial)
                out.push_back(call.material);
        return out;
    }();
    ASSERT_EQ(materials.size(), 2u);
    const D3DMATERIAL9& white = materials[1];
    EXPECT_EQ((std::vector<float>{white.Diffuse.r, white.Diffuse.g, white.Diffuse.b, white.Diffuse.a, white.Ambient.r,
                                  white.Ambient.g, white.Ambient.b, white.Ambient.a, white.Specular.r,
                                  white.Emissive.r, white.Power}),
              (std::vector<float>{1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0}));

    // No material list at all: one group of every face.
    SModelCreatorData bare = Positions();
    bare.AddFace({0, 1, 2});
    bare.AddFace({3, 4, 5});
    auto plain = Build(bare);
    ASSERT_EQ(plain->GroupCount(), 1);
    EXPECT_EQ(plain->Group(0).material, -1);
    EXPECT_EQ(plain->Group(0).firstFace, 0);
    EXPECT_EQ(plain->Group(0).lastFace, 1);
}

TEST_F(ModelTest, AGroupCarriesTheMaterialOfItsFacesWhenANumberIsSkipped)
{
    SModelCreatorData data = Positions();
    data.AddFace({0, 1, 2});
    data.AddFace({1, 2, 3});
    for (float red : {0.0f, 0.25f, 0.75f})
        data.materialList.Append(Material(red));
    data.faceMaterialList.Append(2);
    data.faceMaterialList.Append(0);
    auto model = Build(data);
    ASSERT_EQ(model->GroupCount(), 2);
    EXPECT_EQ(model->Group(0).material, 0);
    EXPECT_EQ(model->Group(1).material, 2);
    std::vector<float> reds;
    for (const RecordedCall& call : Render(*model))
        if (call.op == RecOp::SetMaterial)
            reds.push_back(call.material.Diffuse.r);
    EXPECT_EQ(reds, (std::vector<float>{0.0f, 0.75f}));
}

TEST_F(ModelTest, EveryFaceGetsItsOwnScaledCopiesOfItsVerticesInListOrder)
{
    SModelCreatorData data = Positions();
    data.scale = 2.0f;
    data.AddFace({3, 1, 2, 0}); // a quad: fan (3, 1, 2), (3, 2, 0)
    data.AddFace({1, 5, 6});    // shares position 1
    auto model = Build(data);
    const auto buffers = Log().CallsOf("CreateVertexBuffer");
    ASSERT_EQ(buffers.size(), 1u);
    EXPECT_EQ(buffers[0]->args, (std::vector<int64_t>{7 * 12, 0, D3DFVF_XYZ, D3DPOOL_DEFAULT}));
    const std::vector<float> expected = {6, 60, 600, 2, 20, 200, 4, 40, 400, 0, 0, 0,
                                         2, 20, 200, 10, 100, 1000, 12, 120, 1200};
    EXPECT_EQ(FloatsOf(Log().VertexBuffer(buffers[0]->created)->Bytes()), expected);

    const std::vector<RecordedCall> calls = Render(*model);
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[3].args, (std::vector<int64_t>{D3DPT_TRIANGLEFAN, 0, 2, 12}));
    EXPECT_EQ(FloatsOf(calls[3].bytes), std::vector<float>(expected.begin(), expected.begin() + 12));
    EXPECT_EQ(calls[4].args, (std::vector<int64_t>{D3DPT_TRIANGLEFAN, 4, 1, 12}));
}

TEST_F(ModelTest, NormalsAreUsedOnlyWithFaceNormalListsAndAreNotScaled)
{
    SModelCreatorData data = Positions();
    data.scale = 2.0f;
    data.AddNormal(0.0f, 0.0f, 1.0f);
    data.AddNormal(0.5f, 0.25f, 0.125f);
    data.AddFace({0, 1, 2});
    {
        auto positionsOnly = Build(data);
        EXPECT_EQ(positionsOnly->VertexFormat(), D3DFVF_XYZ);
        EXPECT_EQ(positionsOnly->VertexSize(), 12);
    }
    data.AddFaceNormals({1, 0, 1});
    Log().Clear();
    auto model = Build(data);
    EXPECT_EQ(model->VertexFormat(), D3DFVF_XYZ | D3DFVF_NORMAL);
    EXPECT_EQ(model->VertexSize(), 24);
    const auto buffers = Log().CallsOf("CreateVertexBuffer");
    EXPECT_EQ(buffers[0]->args, (std::vector<int64_t>{3 * 24, 0, 0x012, D3DPOOL_DEFAULT}));
    EXPECT_EQ(FloatsOf(Log().VertexBuffer(buffers[0]->created)->Bytes()),
              (std::vector<float>{0, 0, 0, 0.5f, 0.25f, 0.125f, 2, 20, 200, 0, 0, 1, 4, 40, 400, 0.5f, 0.25f, 0.125f}));
    const std::vector<RecordedCall> calls = Render(*model);
    EXPECT_EQ(calls[0].args[3], 24);
    EXPECT_EQ(calls[1].args, (std::vector<int64_t>{0x012}));
}

TEST_F(ModelTest, BadModelDataIsRejectedWhenTheCreatorIsMade)
{
    struct Case {
        const char* what;
        void (*spoil)(SModelCreatorData&);
        const char* message;
    };
    const Case cases[] = {
        {"no faces", [](SModelCreatorData& d) { d.faceList.Clear(); }, "DXModelCreator::SetFaceData() - Model has no faces"},
        {"two-vertex face", [](SModelCreatorData& d) { d.AddFace({0, 1}); },
         "DXModelCreator::SetFaceData() - Faces must contain at least 3 vertices"},
        {"position past the end", [](SModelCreatorData& d) { d.AddFace({0, 1, 8}); },
         "DXModelCreator::SetFaceData() - Vertex index out of range"},
        {"negative position", [](SModelCreatorData& d) { d.AddFace({0, -1, 2}); },
         "DXModelCreator::SetFaceData() - Vertex index out of range"},
        {"too few normal lists", [](SModelCreatorData& d) { d.AddFaceNormals({0, 0, 0}); },
         "DXModelCreator::SetFaceNormalData() - Number of face normals must be equal to the number of faces"},
        {"normal list of another length",
         [](SModelCreatorData& d) {
             for (int count : {3, 4, 4, 3}) // face C has 5 vertices
                 d.AddFaceNormals(std::vector<int32_t>(static_cast<size_t>(count), 0).data(), count);
         },
         "DXModelCreator::SetFaceNormalData() - Face normal data does not match face data"},
        {"normal past the end",
         [](SModelCreatorData& d) {
             for (int count : {3, 4, 5})
                 d.AddFaceNormals(std::vector<int32_t>(static_cast<size_t>(count), 0).data(), count);
             d.AddFaceNormals({0, 1, 0});
         },
         "DXModelCreator::SetFaceNormalData() - Normal index out of range"},
        {"material past the end", [](SModelCreatorData& d) { d.faceMaterialList.Append(3); },
         "DXModelCreator::SetFaceMaterialData() - Material index out of range"},
        {"negative material", [](SModelCreatorData& d) { d.faceMaterialList.Append(-1); },
         "DXModelCreator::SetFaceMaterialData() - Material index out of range"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SModelCreatorData data = FourFaces();
        data.faceMaterialList = SerialLib::CSerialArrayInt();
        data.AddNormal(0, 0, 1); // one normal
        c.spoil(data);
        EXPECT_DX_RAISES(DXModelCreator creator(data), c.message, 0);
    }
}

TEST_F(ModelTest, APartialLastPositionIsIgnored)
{
    SModelCreatorData data;
    for (int i = 0; i < 7; ++i)
        data.vertexData.Append(static_cast<float>(i));
    data.AddFace({0, 1, 0});
    EXPECT_NO_THROW(DXModelCreator creator(data));
    data.AddFace({0, 1, 2});
    EXPECT_DX_RAISES(DXModelCreator creator(data), "DXModelCreator::SetFaceData() - Vertex index out of range", 0);
}

TEST_F(ModelTest, AMaterialListLongerThanTheFacesFailsTheBuildAndCreatesNothing)
{
    SModelCreatorData data = FourFaces();
    data.faceMaterialList.Append(0);
    DXModelCreator creator(data);
    EXPECT_DX_RAISES(DXModel model(device.get(), creator), "DXModelCreator::BuildModel() - Invalid ModelCreator", 0);
    EXPECT_EQ(Log().Count("CreateVertexBuffer"), 0);
}

TEST_F(ModelTest, DeviceFailuresRaiseWithTheirHresultAndLeaveNoBuffer)
{
    struct Case {
        const char* op;
        const char* message;
        HRESULT code;
    };
    const Case building[] = {
        {"CreateVertexBuffer", "DXDevice::CreateVertexBuffer() - CreateVertexBuffer() failed", D3DERR_OUTOFVIDEOMEMORY},
        {"Lock", "DXModelCreator::GetVertexBuffer() - Lock() failed", D3DERR_INVALIDCALL},
        {"Unlock", "DXModelCreator::GetVertexBuffer() - Unlock() failed", E_FAIL},
    };
    for (const Case& c : building) {
        SCOPED_TRACE(c.op);
        Log().FailCall(c.op, 1, c.code);
        EXPECT_DX_RAISES(Build(FourFaces()), c.message, c.code);
        EXPECT_EQ(Log().LiveObjects(RecordingLog::Kind::VertexBuffer), 0);
    }

    auto model = Build(FourFaces());
    const Case rendering[] = {
        {"SetStreamSource", "DXModel::Render() - SetStreamSource() failed", E_FAIL},
        {"SetFVF", "DXModel::Render() - SetFVF() failed", D3DERR_INVALIDCALL},
        {"DrawPrimitive", "DXModel::Render() - DrawPrimitive() failed", D3DERR_NOTAVAILABLE},
    };
    for (const Case& c : rendering) {
        SCOPED_TRACE(c.op);
        device->StartFrame();
        Log().FailCall(c.op, 1, c.code);
        EXPECT_DX_RAISES(model->Render(), c.message, c.code);
        device->FinishFrame();
    }
    // SetMaterial's result is ignored.
    device->StartFrame();
    Log().FailCall("SetMaterial", 1, E_FAIL);
    EXPECT_NO_THROW(model->Render());
    device->FinishFrame();
}

// The model record without its "Scale" attribute, to write files that lack it.
class ModelWithoutScale : public SModelCreatorData {
public:
    SerialLib::CSerialInfo* GetSerialInfo() override
    {
        auto* info = new SerialLib::CSerialInfo();
        info->AddAttribute("VertexData", &vertexData);
        info->AddAttribute("FaceList", &faceList);
        info->AddAttribute("MaterialList", &materialList);
        info->AddAttribute("FaceMaterialList", &faceMaterialList);
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

    for (const char* name : {"Scaled.dat", "Plain.dat"}) {
        SCOPED_TRACE(name);
        Log().Clear();
        std::unique_ptr<DXModel> model(Orvel::LoadModel(device.get(), name));
        EXPECT_EQ(model->GroupCount(), 3);
        const float factor = std::string(name) == "Scaled.dat" ? 3.0f : 1.0f;
        const auto buffers = Log().CallsOf("CreateVertexBuffer");
        ASSERT_EQ(buffers.size(), 1u);
        const std::vector<float> floats = FloatsOf(Log().VertexBuffer(buffers[0]->created)->Bytes());
        EXPECT_EQ((std::vector<float>(floats.begin() + 3, floats.begin() + 6)),
                  (std::vector<float>{1 * factor, 10 * factor, 100 * factor}));
    }

    const enginetest::Raised missing = RaisedBy([&] { Orvel::LoadModel(device.get(), "Missing.dat"); });
    EXPECT_EQ(missing.type, "TException");
    EXPECT_EQ(missing.message, "TReadStream::TReadStream() - Failed to open file: 'Data\\Missing.dat'");
}

} // namespace
