#include "engine/DataFiles.h"
#include "engine/DXModel.h"
#include "engine/DXModelCreator.h"
#include "engine/LoadModel.h"
#include "serial/CSerialDataWrite.h"
#include "serial/CSerialInfo.h"
#include "serial/SModelCreatorData.h"
#include "tests/engine/EngineTestSupport.h"

using namespace enginetest;
using Orvel::DXModel;
using SerialLib::SModelCreatorData;
using Strings = std::vector<std::string>;

namespace {

using Lists = std::initializer_list<std::initializer_list<int32_t>>;

// Eight positions (k, 10k, 100k) for k = 0..7, two normals, the given faces,
// one material per red (the other fields fixed), the faces' material
// numbers and their normal lists.
SModelCreatorData Model(Lists faces, std::initializer_list<float> reds = {},
                        std::initializer_list<int> faceMaterials = {}, Lists faceNormals = {})
{
    SModelCreatorData data;
    for (int k = 0; k < 8; ++k)
        data.AddVertex(static_cast<float>(k), 10.0f * k, 100.0f * k);
    data.AddNormal(0.0f, 0.0f, 1.0f);
    data.AddNormal(0.5f, 0.25f, 0.125f);
    for (const auto& face : faces)
        data.AddFace(face);
    for (const auto& normals : faceNormals)
        data.AddFaceNormals(normals);
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

class ModelTest : public DeviceFixture {
protected:
    std::unique_ptr<DXModel> Build(const SModelCreatorData& data)
    {
        Orvel::DXModelCreator creator(data);
        return std::make_unique<DXModel>(device.get(), creator);
    }
    // The calls of one Render in a frame after binding the stream (a draw
    // records the stride and vertices of the stream it drew from, and fails
    // without one).
    Strings Render(DXModel& model)
    {
        device->StartFrame();
        Log().Clear();
        model.Render();
        device->FinishFrame();
        const Strings calls = Describe(Log().Calls()); // ..., EndScene, Present
        return Strings(calls.begin() + 1, calls.end() - 2);
    }
    // The last vertex buffer's creation arguments and contents.
    std::pair<std::vector<int64_t>, std::vector<float>> Buffer()
    {
        const RecordedCall* created = Log().CallsOf("CreateVertexBuffer").back();
        return {created->args, FloatsOf(Log().VertexBuffer(created->created)->Bytes())};
    }
    // The nth material set, as its 17 floats in declaration order.
    std::vector<float> Material(size_t nth)
    {
        const auto* floats = reinterpret_cast<const float*>(&Log().CallsOf("SetMaterial").at(nth)->material);
        return std::vector<float>(floats, floats + 17);
    }
};

// Groups in material order, one SetMaterial each, one fan a face (primitive
// count = vertices - 2, from the face's first copied vertex).
TEST_F(ModelTest, FacesAreDrawnSortedByMaterialOneFanEachWithOneMaterialPerGroup)
{
    // Every field of a material is passed on; the default one is opaque white.
    const std::vector<float> last = {0.75f, 0.5f, 0.25f, 1.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f,
                                     0.6f,  0.7f, 0.8f,  0.9f, 0.0f, 0.1f, 0.2f, 7.0f};
    const std::vector<float> white = {1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const struct {
        const char* what;
        SModelCreatorData data;
        Strings calls;
        const std::vector<float>& lastMaterial;
    } cases[] = {
        {"faces A (3 vertices), B (4), C (5), D (3) of materials 2, 0, 2, 1: B, D, C, A",
         Model({{0, 1, 2}, {1, 2, 3, 4}, {2, 3, 4, 5, 6}, {7, 0, 1}}, {0, .25f, .75f}, {2, 0, 2, 1}),
         {"SetFVF 2", "SetMaterial 0", "DrawPrimitive 6 3 2 12", "SetMaterial 25", "DrawPrimitive 6 12 1 12",
          "SetMaterial 75", "DrawPrimitive 6 7 3 12", "DrawPrimitive 6 0 1 12"},
         last},
        {"material 1 unused; a face without a material number is opaque white",
         Model({{0, 1, 2}, {1, 2, 3}, {2, 3, 4}}, {0, .25f, .75f}, {2, 0}),
         {"SetFVF 2", "SetMaterial 0", "DrawPrimitive 6 3 1 12", "SetMaterial 75", "DrawPrimitive 6 0 1 12",
          "SetMaterial 100", "DrawPrimitive 6 6 1 12"},
         white},
        {"no material list: one opaque white group",
         Model({{0, 1, 2}, {3, 4, 5}}),
         {"SetFVF 2", "SetMaterial 100", "DrawPrimitive 6 0 1 12", "DrawPrimitive 6 3 1 12"},
         white},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Render(*Build(c.data)), c.calls) << c.what;
        EXPECT_EQ(Material(Log().CallsOf("SetMaterial").size() - 1), c.lastMaterial) << c.what;
    }
}

TEST_F(ModelTest, EveryFaceGetsItsOwnScaledCopiesOfItsVerticesAndNormalsOnlyWithNormalLists)
{
    SModelCreatorData data = Model({{3, 1, 2, 0}, {1, 5, 6}}); // the second face shares position 1
    data.scale = 2.0f;
    auto model = Build(data);
    const std::vector<float> expected = {6, 60, 600, 2, 20, 200, 4, 40, 400, 0, 0, 0,
                                         2, 20, 200, 10, 100, 1000, 12, 120, 1200};
    EXPECT_EQ(Buffer(), std::make_pair(std::vector<int64_t>{7 * 12, 0, D3DFVF_XYZ, D3DPOOL_DEFAULT}, expected));
    EXPECT_EQ(Render(*model),
              (Strings{"SetFVF 2", "SetMaterial 100", "DrawPrimitive 6 0 2 12", "DrawPrimitive 6 4 1 12"}));
    EXPECT_EQ(FloatsOf(Log().CallsOf("DrawPrimitive")[0]->bytes),
              std::vector<float>(expected.begin(), expected.begin() + 12));

    data.AddFaceNormals({1, 0, 1, 0}); // normals are not scaled
    data.AddFaceNormals({0, 0, 1});
    model = Build(data);
    const auto [args, floats] = Buffer();
    EXPECT_EQ(args, (std::vector<int64_t>{7 * 24, 0, D3DFVF_XYZ | D3DFVF_NORMAL, D3DPOOL_DEFAULT}));
    EXPECT_EQ(std::vector<float>(floats.begin(), floats.begin() + 12),
              (std::vector<float>{6, 60, 600, 0.5f, 0.25f, 0.125f, 2, 20, 200, 0, 0, 1}));
    EXPECT_EQ(Render(*model),
              (Strings{"SetFVF 18", "SetMaterial 100", "DrawPrimitive 6 0 2 24", "DrawPrimitive 6 4 1 24"}));
}

TEST_F(ModelTest, BadModelDataIsRejectedBeforeAnythingIsReadOrCreated)
{
    const std::string faces = "DXModelCreator::SetFaceData() - ", normal = "DXModelCreator::SetFaceNormalData() - ";
    const std::string position = faces + "Vertex index out of range", index = normal + "Normal index out of range";
    const std::string material = "DXModelCreator::SetFaceMaterialData() - Material index out of range";
    const std::string count = normal + "Number of face normals must be equal to the number of faces";
    const auto partial = [](int last) { // eight positions and a partial ninth
        SModelCreatorData data = Model({{0, 1, last}});
        data.vertexData.Append(1.0f);
        return data;
    };
    const struct {
        SModelCreatorData data;
        std::string message; // empty: the model is built
    } cases[] = {
        {Model({}), faces + "Model has no faces"},
        {Model({{0, 1}}), faces + "Faces must contain at least 3 vertices"},
        {Model({{0, 1, 2}, {0, 1, 8}}), position},
        {Model({{0, -1, 2}}), position},
        {partial(8), position},
        {partial(7), ""},
        {Model({{0, 1, 2}, {3, 4, 5}}, {}, {}, {{0, 0, 0}}), count},
        {Model({{0, 1, 2}}, {}, {}, {{0, 0}}), normal + "Face normal data does not match face data"},
        {Model({{0, 1, 2}}, {}, {}, {{0, 2, 0}}), index},
        {Model({{0, 1, 2}}, {}, {}, {{0, -1, 0}}), index},
        {Model({{0, 1, 2}}, {0.0f}, {1}), material},
        {Model({{0, 1, 2}}, {0.0f}, {-1}), material},
        {Model({{0, 1, 2}}, {0.0f}, {0, 0}), "DXModelCreator::BuildModel() - Invalid ModelCreator"},
    };
    for (const auto& [data, message] : cases)
        EXPECT_EQ(RaisedBy([&] { Build(data); }), message.empty() ? "nothing" : Dx(message));
    EXPECT_EQ(Log().Count("CreateVertexBuffer"), 1);
}

// The model record without its "Scale" attribute.
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

// LoadModel reads the data folder (Data/ unless another is set); a record
// without "Scale" means 1. A failure after the file opened names the file in
// that folder, the model creator's too (a truncated model's is named through
// the whole program in tests/app).
TEST_F(ModelTest, LoadModelReadsTheDataFolderAMissingScaleMeansOneAndFailuresNameTheFile)
{
    ScratchFolder folder;
    ModelWithoutScale plain;
    static_cast<SModelCreatorData&>(plain) = Model({{0, 1, 2}, {3, 4, 5}});
    plain.scale = 5.0f; // not written
    SerialLib::WriteSerialFile("Data/Plain.dat", plain, "Model");
    std::unique_ptr<DXModel> model(Orvel::LoadModel(device.get(), "Plain.dat"));
    EXPECT_EQ(Buffer().second,
              (std::vector<float>{0, 0, 0, 1, 10, 100, 2, 20, 200, 3, 30, 300, 4, 40, 400, 5, 50, 500}));
    EXPECT_EQ(RaisedBy([&] { Orvel::LoadModel(device.get(), "Missing.dat"); }),
              "TException TReadStream::TReadStream() - Failed to open file: 'Data\\Missing.dat'");

    std::filesystem::create_directory("Other");
    Orvel::SetDataFolder("Other/");
    SModelCreatorData broken = Model({{0, 1, 2}}, {}, {0, 0});
    SerialLib::WriteSerialFile("Other/Broken.dat", broken, "Model");
    EXPECT_EQ(RaisedBy([&] { delete Orvel::LoadModel(device.get(), "Broken.dat"); }),
              Dx("DXModelCreator::SetFaceMaterialData() - Material index out of range (reading 'Other/Broken.dat')"));
    EXPECT_EQ(RaisedBy([&] { Orvel::LoadModel(device.get(), "Missing.dat"); }),
              "TException TReadStream::TReadStream() - Failed to open file: 'Other/Missing.dat'");
    Orvel::SetDataFolder(nullptr);
}

} // namespace
