// The 14 model files as the game reads them, through the serial loader and
// the model creator: written the same on every run, faces wound outward around
// closed solids, objects over the cells they occupy, sides and fronts that can
// be told apart.

#include "tests/assets/AssetTestData.h"

#include "tools/assets/CModelRecord.h"
#include "tools/assets/CModelSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <tuple>

using namespace assettest;

namespace {

double Length(V3 a) { return std::sqrt(Dot(a, a)); }

struct Bounds {
    double x0 = 1e9, y0 = 1e9, z0 = 1e9, x1 = -1e9, y1 = -1e9, z1 = -1e9, radius = 0.0;
};

Bounds BoundsOf(const std::string& name)
{
    Bounds b;
    for (const Face& f : LoadThroughCreator(name).faces)
        for (const V3& p : f.v) {
            b.x0 = std::min(b.x0, p.x), b.x1 = std::max(b.x1, p.x);
            b.y0 = std::min(b.y0, p.y), b.y1 = std::max(b.y1, p.y);
            b.z0 = std::min(b.z0, p.z), b.z1 = std::max(b.z1, p.z);
            b.radius = std::max(b.radius, std::hypot(p.x, p.y));
        }
    return b;
}

class EachModel : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST(ModelFiles, WritingIsDeterministicAndMatchesTheBuildsDataFolder)
{
    for (const char* name : kModelNames) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> once = Assets::CModelRecord::Encode(Assets::CModelSet::Build(name));
        EXPECT_EQ(once, Assets::CModelRecord::Encode(Assets::CModelSet::Build(name)));
        EXPECT_EQ(once, ReadFileBytes(DataPath(name)));
    }
}

// Each face is a flat convex fan whose winding agrees with its own unit normal
// and carries a real material. Each solid is closed and wound outward: every
// directed edge a->b is met by one b->a (a flipped face breaks this), and every
// piece that hangs together encloses a positive volume (an inside-out solid
// has a negative one).
TEST_P(EachModel, LoadsWithFacesWoundOutwardAroundClosedSolids)
{
    const std::string name = GetParam();
    LoadedModel m = LoadThroughCreator(name);
    ASSERT_FALSE(m.faces.empty());
    EXPECT_LE(m.faces.size(), 400u) << "models are a few dozen to a few hundred faces";
    EXPECT_EQ(m.groupCount, static_cast<int>(m.materials.size())) << "every material is used";
    std::map<std::tuple<double, double, double>, int> ids;
    std::map<std::pair<int, int>, int> edges;
    std::vector<std::vector<int>> faceIds;
    for (size_t k = 0; k < m.faces.size(); ++k) {
        const Face& f = m.faces[k];
        SCOPED_TRACE("face " + std::to_string(k));
        ASSERT_GE(f.v.size(), 3u);
        EXPECT_GE(f.material, 0);
        EXPECT_TRUE(f.sameNormals);
        EXPECT_NEAR(Length(f.normal), 1.0, 1e-4) << "the device does not normalise normals";
        for (size_t i = 1; i + 1 < f.v.size(); ++i) {
            V3 c = Cross(f.v[i] - f.v[0], f.v[i + 1] - f.v[0]);
            ASSERT_GT(Length(c), 1e-6) << "degenerate fan triangle";
            EXPECT_GT(Dot(c, f.normal) / Length(c), 0.999) << "the winding disagrees with the normal";
        }
        std::vector<int> v;
        for (const V3& p : f.v) {
            EXPECT_NEAR(Dot(p - f.v[0], f.normal), 0.0, 1e-4) << "vertex off the face's plane";
            v.push_back(ids.emplace(std::make_tuple(p.x, p.y, p.z), static_cast<int>(ids.size())).first->second);
        }
        for (size_t i = 0; i < v.size(); ++i)
            ++edges[{v[i], v[(i + 1) % v.size()]}];
        faceIds.push_back(v);
    }
    if (name == "Map.dat") {
        // The ground is one open surface facing up, tiling x and y 0..40 at
        // z 0 without holes or overlaps.
        double area = 0.0;
        for (const Face& f : m.faces) {
            EXPECT_FLOAT_EQ(f.normal.z, 1.0);
            for (size_t i = 1; i + 1 < f.v.size(); ++i)
                area += Cross(f.v[i] - f.v[0], f.v[i + 1] - f.v[0]).z / 2.0;
        }
        EXPECT_NEAR(area, 1600.0, 1e-3) << "tiles overlap or leave holes";
        Bounds b = BoundsOf(name);
        EXPECT_EQ((std::vector<double>{b.x0, b.y0, b.z0, b.x1, b.y1, b.z1}), (std::vector<double>{0, 0, 0, 40, 40, 0}));
        return;
    }
    for (const auto& e : edges) {
        auto back = edges.find({e.first.second, e.first.first});
        EXPECT_EQ(e.second, back == edges.end() ? 0 : back->second)
            << "edge " << e.first.first << "->" << e.first.second << " is not matched by its reverse";
    }
    // Pieces: faces joined through shared vertices (union-find).
    std::vector<int> parent(ids.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&parent](int x) {
        while (parent[x] != x)
            x = parent[x];
        return x;
    };
    for (const std::vector<int>& v : faceIds)
        for (int id : v)
            parent[find(id)] = find(v[0]);
    std::map<int, double> volume;
    for (size_t k = 0; k < m.faces.size(); ++k) {
        const std::vector<V3>& p = m.faces[k].v;
        for (size_t i = 1; i + 1 < p.size(); ++i)
            volume[find(faceIds[k][0])] += Dot(p[0], Cross(p[i], p[i + 1])) / 6.0;
    }
    for (const auto& piece : volume)
        EXPECT_GT(piece.second, 1e-4) << "a piece of the model is inside out or flat";
}

INSTANTIATE_TEST_SUITE_P(AllModels, EachModel, ::testing::ValuesIn(kModelNames),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string s = info.param;
                             return s.substr(0, s.size() - 4);
                         });

// Each model where the game draws it. Its origin is the centre of its anchor
// cell (a cell is 2.5 units): a still object of W x H cells covers local
// -1.25 .. 2.5 W - 1.25 in x and y (the factory 1 unit further +x) and fills
// most of that; a turning one stays within its reach of the origin at any
// angle (robots and the pushing arrow inside their cell, a laser's base there
// with only the barrel reaching out). A red or blue model has a material
// plainly of its side and none of the other. Glowing parts show the front: on
// local +y for robots and lasers, which the game turns by facing and by
// angle - pi/2. Nothing reaches below the ground; markers lie flat just above it.
TEST(ModelFiles, ObjectsSitOverTheirCellsInTheirSidesColoursFacingForward)
{
    const struct {
        const char* name;
        int w, h;          // cells covered; 0 for a turning model
        double shiftOrReach; // still: the shift along x; turning: the reach
        char side;         // 'R', 'B' or 0
        double frontY;     // the least y of the glowing parts' centre; 0: none
    } rows[] = {
        {"Tree.dat", 1, 1, 0.0, 0, 0.0},          {"RedFactory.dat", 2, 3, 1.0, 'R', 0.0},
        {"BlueFactory.dat", 2, 3, 1.0, 'B', 0.0}, {"RedMagnet.dat", 2, 2, 0.0, 'R', 0.0},
        {"BlueMagnet.dat", 2, 2, 0.0, 'B', 0.0},  {"RedRobot.dat", 0, 0, 1.25, 'R', 0.5},
        {"BlueRobot.dat", 0, 0, 1.25, 'B', 0.5},  {"RedLaser.dat", 0, 0, 3.5, 'R', 2.5},
        {"BlueLaser.dat", 0, 0, 3.5, 'B', 2.5},   {"MoveMagnet0.dat", 1, 1, 0.0, 0, 0.0},
        {"MoveMagnet1.dat", 0, 0, 1.25, 0, 0.0},  {"RedX.dat", 1, 1, 0.0, 'R', 0.0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        LoadedModel m = LoadThroughCreator(r.name);
        Bounds b = BoundsOf(r.name);
        bool red = false, blue = false;
        V3 glow{0, 0, 0};
        int n = 0;
        for (const Face& f : m.faces) {
            const D3DMATERIAL9& mat = m.materials.at(static_cast<size_t>(f.material));
            const D3DCOLORVALUE &c = mat.Diffuse, &e = mat.Emissive;
            red |= c.r > 2.0f * c.g && c.r > 2.0f * c.b;
            blue |= c.b > 2.0f * c.r && c.b > 1.5f * c.g;
            for (const V3& p : f.v)
                if (e.r + e.g + e.b >= 0.3f)
                    glow = {glow.x + p.x, glow.y + p.y, glow.z + p.z}, ++n;
        }
        if (r.w > 0) {
            EXPECT_GE(b.x0, -1.25 + r.shiftOrReach - 1e-6);
            EXPECT_LE(b.x1, 2.5 * r.w - 1.25 + r.shiftOrReach + 1e-6);
            EXPECT_GE(b.y0, -1.25 - 1e-6);
            EXPECT_LE(b.y1, 2.5 * r.h - 1.25 + 1e-6);
            EXPECT_GT((b.x1 - b.x0) * (b.y1 - b.y0), 0.5 * 2.5 * r.w * 2.5 * r.h);
        } else {
            EXPECT_LE(b.radius, r.shiftOrReach + 1e-6);
            EXPECT_GT(b.radius, 0.8);
        }
        if (r.side != 0) {
            EXPECT_EQ(std::make_pair(red, blue), std::make_pair(r.side == 'R', r.side == 'B'))
                << "red and blue faces: not plainly of its side";
        }
        if (r.frontY > 0.0) {
            EXPECT_GT(n, 0) << "nothing glows";
            EXPECT_GT(glow.y / n, r.frontY) << "the front is not on local +y";
            EXPECT_NEAR(glow.x / n, 0.0, 0.05);
        }
        EXPECT_GE(b.z0, 0.0);
        if (std::string(r.name).rfind("MoveMagnet", 0) == 0 || std::string(r.name) == "RedX.dat") {
            EXPECT_GT(b.z0, 0.0) << "a marker would fight with the ground";
            EXPECT_LT(b.z1, 0.5);
        }
    }
    Bounds shot = BoundsOf("LaserShot.dat");
    EXPECT_NEAR(shot.z0 + shot.z1, 0.0, 1e-4) << "the shot is drawn 2 units up: it is centred on z = 0";
    // The pushing arrow's head (its widest part) is at local +x, turned by the
    // marker's angle.
    V3 widest{0, 0, 0};
    for (const Face& f : LoadThroughCreator("MoveMagnet1.dat").faces)
        for (const V3& p : f.v)
            if (std::fabs(p.y) > std::fabs(widest.y))
                widest = p;
    EXPECT_GT(widest.x, 0.0);
}
