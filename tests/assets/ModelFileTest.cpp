// The 14 model files as the game reads them: through the serial loader, the
// model creator and a device; faces wound outward; objects inside the cells
// they occupy; sides and fronts that can be told apart.

#include "tests/assets/AssetTestData.h"

#include "engine/DXDevice.h"
#include "engine/DXGraphics.h"
#include "engine/DXModel.h"
#include "engine/LoadModel.h"
#include "platform/recording/RecordingProvider.h"
#include "tlib/DXException.h"
#include "tlib/TException.h"
#include "tools/assets/CModelRecord.h"
#include "tools/assets/CModelSet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <tuple>

using assettest::Face;
using assettest::LoadedModel;
using assettest::LoadThroughCreator;

namespace {

const char* const kModelNames[14] = {
    "Map.dat",       "Tree.dat",      "RedFactory.dat",  "RedRobot.dat",    "RedMagnet.dat",
    "RedLaser.dat",  "BlueFactory.dat", "BlueRobot.dat", "BlueMagnet.dat",  "BlueLaser.dat",
    "LaserShot.dat", "MoveMagnet0.dat", "MoveMagnet1.dat", "RedX.dat",
};

struct V3 {
    double x, y, z;
};
V3 Sub(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 Cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Length(V3 a) { return std::sqrt(Dot(a, a)); }
V3 Vertex(const Face& f, size_t i) { return {f.xyz[3 * i], f.xyz[3 * i + 1], f.xyz[3 * i + 2]}; }
size_t VertexCount(const Face& f) { return f.xyz.size() / 3; }

struct Bounds {
    double x0 = 1e9, y0 = 1e9, z0 = 1e9, x1 = -1e9, y1 = -1e9, z1 = -1e9, radius = 0.0;
};

Bounds BoundsOf(const LoadedModel& m)
{
    Bounds b;
    for (const Face& f : m.faces)
        for (size_t i = 0; i < VertexCount(f); ++i) {
            V3 p = Vertex(f, i);
            b.x0 = std::min(b.x0, p.x), b.x1 = std::max(b.x1, p.x);
            b.y0 = std::min(b.y0, p.y), b.y1 = std::max(b.y1, p.y);
            b.z0 = std::min(b.z0, p.z), b.z1 = std::max(b.z1, p.z);
            b.radius = std::max(b.radius, std::hypot(p.x, p.y));
        }
    return b;
}

class ModelFileTest : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST(ModelFiles, EveryModelLoadsThroughTheGameLoaderAndCreatesItsVertexBuffer)
{
    // LoadModel reads "Data\<name>" relative to the working folder.
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(assettest::GeneratedRoot());
    RecordingProvider provider;
    {
        Orvel::DXGraphics graphics(provider);
        std::unique_ptr<Orvel::DXDevice> device(graphics.CreateDevice(nullptr, 1024, 768));
        for (const char* name : kModelNames) {
            SCOPED_TRACE(name);
            try {
                std::unique_ptr<Orvel::DXModel> model(Orvel::LoadModel(device.get(), name));
                // Flat-shaded faces need normals; every group carries a real material.
                EXPECT_EQ(model->VertexFormat(), static_cast<DWORD>(D3DFVF_XYZ | D3DFVF_NORMAL));
                for (int g = 0; g < model->GroupCount(); ++g)
                    EXPECT_GE(model->Group(g).material, 0);
                EXPECT_GT(model->FaceCount(), 0);
                EXPECT_LE(model->FaceCount(), 400) << "models are a few dozen to a few hundred faces";
                device->StartFrame();
                model->Render();
                device->FinishFrame();
            } catch (const tlib::TException& e) {
                ADD_FAILURE() << e.Message();
            } catch (const DXException& e) {
                ADD_FAILURE() << e.Message();
            }
        }
    }
    std::filesystem::current_path(previous);
}

TEST(ModelFiles, WritingIsDeterministicAndMatchesTheBuildsDataFolder)
{
    for (const char* name : kModelNames) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> once = Assets::CModelRecord::Encode(Assets::CModelSet::Build(name));
        EXPECT_EQ(once, Assets::CModelRecord::Encode(Assets::CModelSet::Build(name)));
        EXPECT_EQ(once, assettest::ReadFileBytes(assettest::DataPath(name)));
    }
}

TEST_P(ModelFileTest, FacesArePlanarConvexAndCarryTheirOwnUnitNormal)
{
    LoadedModel m = LoadThroughCreator(GetParam());
    ASSERT_FALSE(m.faces.empty());
    EXPECT_EQ(m.groupCount, m.materialCount) << "every material is used, every face has one";
    for (size_t k = 0; k < m.faces.size(); ++k) {
        const Face& f = m.faces[k];
        SCOPED_TRACE("face " + std::to_string(k));
        ASSERT_GE(VertexCount(f), 3u);
        EXPECT_TRUE(f.sameNormals);
        V3 n{f.normal[0], f.normal[1], f.normal[2]};
        EXPECT_NEAR(Length(n), 1.0, 1e-4) << "the device does not normalise normals";
        // Each fan triangle (0, i, i+1) turns the same way as the stored
        // normal: the winding agrees with the normal and the face is convex.
        V3 a = Vertex(f, 0);
        for (size_t i = 1; i + 1 < VertexCount(f); ++i) {
            V3 c = Cross(Sub(Vertex(f, i), a), Sub(Vertex(f, i + 1), a));
            ASSERT_GT(Length(c), 1e-6) << "degenerate fan triangle";
            EXPECT_GT(Dot(c, n) / Length(c), 0.999);
        }
        for (size_t i = 0; i < VertexCount(f); ++i)
            EXPECT_NEAR(Dot(Sub(Vertex(f, i), a), n), 0.0, 1e-4) << "vertex off the face's plane";
    }
}

// Every solid is closed and wound outward: each directed edge a->b is met by
// one b->a (a flipped face breaks this), and every piece that hangs together
// encloses a positive volume (an inside-out solid has a negative one).
TEST_P(ModelFileTest, SolidsAreClosedAndWoundOutward)
{
    if (std::string(GetParam()) == "Map.dat")
        GTEST_SKIP() << "the ground is an open surface (its own test)";
    LoadedModel m = LoadThroughCreator(GetParam());
    using Key = std::tuple<float, float, float>;
    std::map<Key, int> ids;
    auto id = [&ids](const Face& f, size_t i) {
        Key k{f.xyz[3 * i], f.xyz[3 * i + 1], f.xyz[3 * i + 2]};
        auto it = ids.find(k);
        if (it != ids.end())
            return it->second;
        int n = static_cast<int>(ids.size());
        ids[k] = n;
        return n;
    };
    std::map<std::pair<int, int>, int> edges;
    std::vector<std::vector<int>> faceIds;
    for (const Face& f : m.faces) {
        std::vector<int> v;
        for (size_t i = 0; i < VertexCount(f); ++i)
            v.push_back(id(f, i));
        for (size_t i = 0; i < v.size(); ++i)
            ++edges[{v[i], v[(i + 1) % v.size()]}];
        faceIds.push_back(v);
    }
    for (const auto& e : edges) {
        auto back = edges.find({e.first.second, e.first.first});
        EXPECT_EQ(e.second, back == edges.end() ? 0 : back->second)
            << "edge " << e.first.first << "->" << e.first.second << " is not matched by its reverse";
    }

    // Pieces: faces joined through shared vertices (union-find).
    std::vector<int> parent(ids.size());
    for (size_t i = 0; i < parent.size(); ++i)
        parent[i] = static_cast<int>(i);
    std::function<int(int)> find = [&](int x) { return parent[x] == x ? x : parent[x] = find(parent[x]); };
    for (const auto& v : faceIds)
        for (size_t i = 1; i < v.size(); ++i)
            parent[find(v[i])] = find(v[0]);
    std::map<int, double> volume;
    for (size_t k = 0; k < m.faces.size(); ++k) {
        const Face& f = m.faces[k];
        V3 a = Vertex(f, 0);
        for (size_t i = 1; i + 1 < VertexCount(f); ++i)
            volume[find(faceIds[k][0])] += Dot(a, Cross(Vertex(f, i), Vertex(f, i + 1))) / 6.0;
    }
    for (const auto& piece : volume)
        EXPECT_GT(piece.second, 1e-4) << "a piece of the model is inside out or flat";
}

INSTANTIATE_TEST_SUITE_P(AllModels, ModelFileTest, ::testing::ValuesIn(kModelNames),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string s = info.param;
                             return s.substr(0, s.size() - 4);
                         });

TEST(ModelFiles, GroundIsOneUpwardTileOverZeroToForty)
{
    LoadedModel m = LoadThroughCreator("Map.dat");
    double area = 0.0;
    std::set<int> materials;
    for (const Face& f : m.faces) {
        EXPECT_FLOAT_EQ(f.normal[2], 1.0f);
        V3 a = Vertex(f, 0);
        for (size_t i = 1; i + 1 < VertexCount(f); ++i) {
            V3 c = Cross(Sub(Vertex(f, i), a), Sub(Vertex(f, i + 1), a));
            EXPECT_GT(c.z, 0.0) << "a ground triangle faces down";
            area += c.z / 2.0;
        }
        materials.insert(f.material);
    }
    Bounds b = BoundsOf(m);
    EXPECT_EQ(b.x0, 0.0);
    EXPECT_EQ(b.y0, 0.0);
    EXPECT_EQ(b.x1, 40.0);
    EXPECT_EQ(b.y1, 40.0);
    EXPECT_EQ(b.z0, 0.0);
    EXPECT_EQ(b.z1, 0.0);
    EXPECT_NEAR(area, 1600.0, 1e-3) << "tiles overlap or leave holes";
    EXPECT_GE(materials.size(), 2u) << "the ground has some variation of colour";
}

// Model origin = centre of the anchor cell; a W x H object covers local
// -1.25 .. 2.5 W - 1.25 (the factory 1 unit further +x). Turning models stay
// within 1.25 of their pivot, so they never reach into a neighbouring cell's
// square whatever their angle.
TEST(ModelFiles, ObjectsSitOverTheirCells)
{
    struct Case {
        const char* name;
        int w, h;
        double shiftX;
    };
    const Case still[] = {{"Tree.dat", 1, 1, 0.0},       {"RedMagnet.dat", 2, 2, 0.0},  {"BlueMagnet.dat", 2, 2, 0.0},
                          {"RedFactory.dat", 2, 3, 1.0}, {"BlueFactory.dat", 2, 3, 1.0}, {"MoveMagnet0.dat", 1, 1, 0.0},
                          {"RedX.dat", 1, 1, 0.0}};
    for (const Case& c : still) {
        SCOPED_TRACE(c.name);
        Bounds b = BoundsOf(LoadThroughCreator(c.name));
        EXPECT_GE(b.x0, -1.25 + c.shiftX - 1e-6);
        EXPECT_LE(b.x1, 2.5 * c.w - 1.25 + c.shiftX + 1e-6);
        EXPECT_GE(b.y0, -1.25 - 1e-6);
        EXPECT_LE(b.y1, 2.5 * c.h - 1.25 + 1e-6);
        // It fills most of its area, so it reads as standing on those cells.
        EXPECT_GT((b.x1 - b.x0) * (b.y1 - b.y0), 0.5 * 2.5 * c.w * 2.5 * c.h);
        EXPECT_GE(b.z0, 0.0) << "nothing below the ground";
    }
    for (const char* name : {"RedRobot.dat", "BlueRobot.dat", "MoveMagnet1.dat"}) {
        SCOPED_TRACE(name);
        Bounds b = BoundsOf(LoadThroughCreator(name));
        EXPECT_LE(b.radius, 1.25 + 1e-6);
        EXPECT_GT(b.radius, 0.8);
        EXPECT_GE(b.z0, 0.0);
    }
    // Lasers turn about the centre of their anchor cell: the round base stays
    // there, only the barrel reaches out.
    for (const char* name : {"RedLaser.dat", "BlueLaser.dat"}) {
        Bounds b = BoundsOf(LoadThroughCreator(name));
        EXPECT_LT(b.radius, 3.5);
        EXPECT_GE(b.z0, 0.0);
    }
    // Markers lie flat on the ground, below every standing object.
    for (const char* name : {"MoveMagnet0.dat", "MoveMagnet1.dat", "RedX.dat"}) {
        Bounds b = BoundsOf(LoadThroughCreator(name));
        EXPECT_GT(b.z0, 0.0) << name << " would fight with the ground";
        EXPECT_LT(b.z1, 0.5) << name;
    }
    // The shot is drawn 2 units up: it is centred on z = 0.
    Bounds shot = BoundsOf(LoadThroughCreator("LaserShot.dat"));
    EXPECT_NEAR(shot.z0 + shot.z1, 0.0, 1e-4);
}

namespace {

// The centre of the faces drawn with glowing materials (emissive > 0.2).
V3 GlowCentre(const LoadedModel& m)
{
    V3 sum{0, 0, 0};
    int n = 0;
    for (const Face& f : m.faces) {
        const float* c = &m.colours[static_cast<size_t>(f.material) * 9];
        if (c[6] + c[7] + c[8] < 0.3f)
            continue;
        for (size_t i = 0; i < VertexCount(f); ++i) {
            V3 p = Vertex(f, i);
            sum = {sum.x + p.x, sum.y + p.y, sum.z + p.z};
            ++n;
        }
    }
    return n ? V3{sum.x / n, sum.y / n, sum.z / n} : V3{0, 0, 0};
}

// How red and how blue the model's most side-coloured material is.
bool HasMaterial(const LoadedModel& m, bool red)
{
    for (size_t i = 0; i < m.colours.size(); i += 9) {
        float r = m.colours[i], g = m.colours[i + 1], b = m.colours[i + 2];
        if (red ? (r > 2.0f * g && r > 2.0f * b) : (b > 2.0f * r && b > 1.5f * g))
            return true;
    }
    return false;
}

} // namespace

TEST(ModelFiles, FrontsPointWhereTheGameTurnsThem)
{
    for (const char* name : {"RedRobot.dat", "BlueRobot.dat"}) {
        V3 front = GlowCentre(LoadThroughCreator(name));
        EXPECT_GT(front.y, 0.5) << name << ": the lit front faces local +y";
        EXPECT_NEAR(front.x, 0.0, 0.05) << name;
    }
    for (const char* name : {"RedLaser.dat", "BlueLaser.dat"}) {
        V3 muzzle = GlowCentre(LoadThroughCreator(name));
        EXPECT_GT(muzzle.y, 2.5) << name << ": the barrel points along local +y";
        EXPECT_NEAR(muzzle.x, 0.0, 0.05) << name;
    }
    Bounds shot = BoundsOf(LoadThroughCreator("LaserShot.dat"));
    EXPECT_GT(shot.x1, -shot.x0) << "the bolt's point is at +x";
    EXPECT_GT(shot.x1 - shot.x0, 4.0 * (shot.y1 - shot.y0)) << "the bolt lies along x";
    Bounds arrow = BoundsOf(LoadThroughCreator("MoveMagnet1.dat"));
    EXPECT_GT(arrow.x1 - arrow.x0, arrow.y1 - arrow.y0) << "the pushing arrow lies along x";
    // The arrow's head (its widest part) is at +x.
    LoadedModel push = LoadThroughCreator("MoveMagnet1.dat");
    double widestX = 0.0, widest = 0.0;
    for (const Face& f : push.faces)
        for (size_t i = 0; i < VertexCount(f); ++i)
            if (std::fabs(Vertex(f, i).y) > widest)
                widest = std::fabs(Vertex(f, i).y), widestX = Vertex(f, i).x;
    EXPECT_GT(widestX, 0.0);
}

TEST(ModelFiles, SidesAreToldApartByColour)
{
    for (const char* kind : {"Factory.dat", "Robot.dat", "Magnet.dat", "Laser.dat"}) {
        LoadedModel red = LoadThroughCreator(std::string("Red") + kind);
        LoadedModel blue = LoadThroughCreator(std::string("Blue") + kind);
        EXPECT_TRUE(HasMaterial(red, true) && !HasMaterial(red, false)) << "Red" << kind;
        EXPECT_TRUE(HasMaterial(blue, false) && !HasMaterial(blue, true)) << "Blue" << kind;
        EXPECT_EQ(red.faces.size(), blue.faces.size()) << kind << ": one shape, two colours";
    }
    EXPECT_TRUE(HasMaterial(LoadThroughCreator("RedX.dat"), true));
    // The shot glows: emissive light of its own.
    LoadedModel shot = LoadThroughCreator("LaserShot.dat");
    for (size_t i = 0; i < shot.colours.size(); i += 9)
        EXPECT_GT(shot.colours[i + 6], 0.5f);
}
