#include "tools/assets/CModelSet.h"

#include <cmath>
#include <stdexcept>

namespace Assets {

namespace {

constexpr double kHalfCell = 1.25;

// A material lit by the start-up ambient and the directional light: ambient
// and diffuse share the base colour, so faces turned away from the light keep
// the ambient share and faces towards it gain the light's share. `glow` adds
// an unshaded emissive part for things that should shine.
SMaterial Paint(float r, float g, float b, float glow = 0.0f)
{
    SMaterial m;
    m.diffuse = {r, g, b, 1.0f};
    m.ambient = {r, g, b, 1.0f};
    m.specular = {0.0f, 0.0f, 0.0f, 1.0f};
    m.emissive = {r * glow, g * glow, b * glow, 1.0f};
    m.power = 0.0f;
    return m;
}

struct SSideColours {
    SMaterial main, dark;
};

SSideColours SideColours(bool red)
{
    if (red)
        return {Paint(0.95f, 0.16f, 0.12f, 0.15f), Paint(0.55f, 0.08f, 0.06f, 0.1f)};
    return {Paint(0.16f, 0.36f, 1.0f, 0.15f), Paint(0.07f, 0.17f, 0.55f, 0.1f)};
}

// Orders a small convex outline counter-clockwise seen from above.
std::vector<SVec2> CounterClockwise(std::vector<SVec2> points)
{
    double area = 0.0;
    for (size_t i = 0; i < points.size(); ++i) {
        const SVec2& a = points[i];
        const SVec2& b = points[(i + 1) % points.size()];
        area += a.x * b.y - b.x * a.y;
    }
    if (area < 0.0)
        return std::vector<SVec2>(points.rbegin(), points.rend());
    return points;
}

// A placement that lays a vertical extrusion on its side: local z becomes +y
// (tilt) and then the whole is turned about z by `turn`.
SPlacement Lying(double turn, const SVec3& offset)
{
    SPlacement p;
    p.tilt = -kPi / 2.0;
    p.turn = turn;
    p.offset = offset;
    return p;
}

CMeshBuilder BuildMap()
{
    // 6 x 6 patches in four close shades of grass, picked by a fixed integer
    // hash so that the pattern is the same on every run. The patches (6.67
    // units) do not line up with the cells, so the ground shows no grid.
    CMeshBuilder mesh;
    int shades[4] = {
        mesh.AddMaterial(Paint(0.42f, 0.62f, 0.27f)),
        mesh.AddMaterial(Paint(0.41f, 0.60f, 0.26f)),
        mesh.AddMaterial(Paint(0.44f, 0.63f, 0.28f)),
        mesh.AddMaterial(Paint(0.43f, 0.60f, 0.28f)),
    };
    const int patches = 6;
    const double size = 40.0 / patches;
    for (int j = 0; j < patches; ++j) {
        for (int i = 0; i < patches; ++i) {
            unsigned h = static_cast<unsigned>(i * 73856093) ^ static_cast<unsigned>(j * 19349663);
            h = (h ^ (h >> 13)) * 0x5bd1e995u;
            h ^= h >> 15;
            double x0 = size * i, y0 = size * j;
            double x1 = i + 1 == patches ? 40.0 : size * (i + 1), y1 = j + 1 == patches ? 40.0 : size * (j + 1);
            mesh.AddFace({{x0, y0, 0.0}, {x1, y0, 0.0}, {x1, y1, 0.0}, {x0, y1, 0.0}}, shades[h % 4]);
        }
    }
    return mesh;
}

CMeshBuilder BuildTree()
{
    CMeshBuilder mesh;
    int bark = mesh.AddMaterial(Paint(0.45f, 0.29f, 0.14f));
    int leaves = mesh.AddMaterial(Paint(0.10f, 0.40f, 0.10f));
    int top = mesh.AddMaterial(Paint(0.15f, 0.50f, 0.13f));
    mesh.AddCylinder(0.0, 0.0, 0.25, 0.25, 0.0, 1.3, 6, bark);
    mesh.AddCylinder(0.0, 0.0, 1.15, 0.0, 1.0, 3.1, 8, leaves, SPlacement(), kPi / 8.0);
    mesh.AddCylinder(0.0, 0.0, 0.85, 0.0, 2.2, 4.0, 8, top);
    return mesh;
}

// A frustum between two rectangles, each given by its least and greatest
// corner (bottom at z0, top at z1), wound outward like the builder's solids:
// six faces in `material` but for the side towards +y, which is in `front`.
void AddPaintedBlock(CMeshBuilder& mesh, const SVec2 (&bottom)[2], const SVec2 (&top)[2], double z0, double z1,
                     int material, int front)
{
    auto corners = [](const SVec2(&r)[2], double z) {
        return std::vector<SVec3>{{r[0].x, r[0].y, z}, {r[1].x, r[0].y, z}, {r[1].x, r[1].y, z}, {r[0].x, r[1].y, z}};
    };
    std::vector<SVec3> lower = corners(bottom, z0), upper = corners(top, z1);
    mesh.AddFace(upper, material);
    mesh.AddFace({lower[3], lower[2], lower[1], lower[0]}, material);
    for (size_t i = 0; i < 4; ++i) {
        size_t j = (i + 1) % 4;
        mesh.AddFace({lower[i], lower[j], upper[j], upper[i]}, i == 2 ? front : material);
    }
}

CMeshBuilder BuildRobot(bool red)
{
    // Facing local +y. Three blocks, 18 faces in all: the game draws one fan
    // per face for every robot on the field, so the count is kept low. Dark
    // tracks, a body of the side's colour whose front slopes back as a
    // glowing yellow wedge (seen from above and from the side), and a grey
    // head behind it.
    CMeshBuilder mesh;
    SSideColours side = SideColours(red);
    int body = mesh.AddMaterial(side.main);
    int track = mesh.AddMaterial(Paint(0.17f, 0.17f, 0.19f));
    int head = mesh.AddMaterial(Paint(0.68f, 0.68f, 0.70f));
    int front = mesh.AddMaterial(Paint(1.0f, 0.80f, 0.10f, 0.5f));
    mesh.AddBox({-0.95, -0.78, 0.0}, {0.95, 0.78, 0.45}, track);
    AddPaintedBlock(mesh, {{-0.68, -0.72}, {0.68, 0.88}}, {{-0.6, -0.62}, {0.6, 0.42}}, 0.45, 1.35, body, front);
    AddPaintedBlock(mesh, {{-0.36, -0.5}, {0.36, 0.1}}, {{-0.3, -0.44}, {0.3, 0.04}}, 1.35, 1.8, head, head);
    return mesh;
}

CMeshBuilder BuildMagnet(bool red)
{
    // A horseshoe magnet lying on a plate, poles towards -y, over the 2 x 2 cells.
    CMeshBuilder mesh;
    SSideColours side = SideColours(red);
    int plate = mesh.AddMaterial(side.dark);
    int shoe = mesh.AddMaterial(side.main);
    int pole = mesh.AddMaterial(Paint(0.72f, 0.74f, 0.78f, 0.1f));
    double c = kHalfCell; // centre of the 2 x 2 footprint
    mesh.AddBox({c - 2.2, c - 2.2, 0.0}, {c + 2.2, c + 2.2, 0.25}, plate);
    double cy = c + 0.4, rin = 0.7, rout = 1.65, z0 = 0.25, z1 = 1.2;
    const int segments = 8;
    for (int s = 0; s < segments; ++s) {
        double a0 = kPi * s / segments, a1 = kPi * (s + 1) / segments;
        mesh.AddPrism({{c + rin * std::cos(a0), cy + rin * std::sin(a0)},
                       {c + rout * std::cos(a0), cy + rout * std::sin(a0)},
                       {c + rout * std::cos(a1), cy + rout * std::sin(a1)},
                       {c + rin * std::cos(a1), cy + rin * std::sin(a1)}},
                      z0, z1, shoe);
    }
    mesh.AddBox({c + rin, cy - 1.3, z0}, {c + rout, cy, z1}, shoe);
    mesh.AddBox({c - rout, cy - 1.3, z0}, {c - rin, cy, z1}, shoe);
    mesh.AddBox({c + rin, cy - 1.95, z0}, {c + rout, cy - 1.3, z1}, pole);
    mesh.AddBox({c - rout, cy - 1.95, z0}, {c - rin, cy - 1.3, z1}, pole);
    return mesh;
}

CMeshBuilder BuildLaser(bool red)
{
    // A turret on a round base, barrel along local +y; the base is centred on
    // the origin so that it stays put while the turret turns.
    CMeshBuilder mesh;
    SSideColours side = SideColours(red);
    int base = mesh.AddMaterial(Paint(0.32f, 0.32f, 0.35f));
    int ring = mesh.AddMaterial(side.dark);
    int turret = mesh.AddMaterial(side.main);
    int cap = mesh.AddMaterial(Paint(0.62f, 0.62f, 0.66f));
    int muzzle = mesh.AddMaterial(Paint(1.0f, 0.55f, 0.1f, 0.6f));
    mesh.AddCylinder(0.0, 0.0, 1.8, 1.55, 0.0, 0.6, 8, base, SPlacement(), kPi / 8.0);
    mesh.AddCylinder(0.0, 0.0, 1.35, 1.35, 0.6, 0.9, 8, ring, SPlacement(), kPi / 8.0);
    mesh.AddBox({-0.85, -0.95, 0.9}, {0.85, 0.75, 1.9}, turret);
    mesh.AddBox({-0.6, -0.75, 1.9}, {0.6, 0.45, 2.2}, cap);
    mesh.AddBox({-0.2, 0.75, 1.2}, {0.2, 2.9, 1.6}, base);
    mesh.AddBox({-0.28, 2.9, 1.14}, {0.28, 3.25, 1.66}, muzzle);
    return mesh;
}

CMeshBuilder BuildShot()
{
    // A glowing bolt along local +x, centred on the origin: a long bright
    // point in front, a short stub behind.
    CMeshBuilder mesh;
    int glow = mesh.AddMaterial(Paint(1.0f, 0.85f, 0.25f, 1.0f));
    int core = mesh.AddMaterial(Paint(1.0f, 0.45f, 0.1f, 1.0f));
    SPlacement alongX = Lying(-kPi / 2.0, {0.0, 0.0, 0.0}); // local z becomes +x
    SPlacement backwards = Lying(kPi / 2.0, {0.0, 0.0, 0.0}); // local z becomes -x
    mesh.AddCylinder(0.0, 0.0, 0.3, 0.3, -1.2, 0.8, 6, glow, alongX);
    mesh.AddCylinder(0.0, 0.0, 0.3, 0.0, 0.8, 2.0, 6, core, alongX);
    mesh.AddCylinder(0.0, 0.0, 0.3, 0.0, 1.2, 1.6, 6, core, backwards);
    return mesh;
}

CMeshBuilder BuildFactory(bool red)
{
    // A hall with a gable roof, its door towards -y, an annex with two
    // chimneys at +y. x is shifted by 1 unit against the game's -1 offset.
    CMeshBuilder mesh;
    SSideColours side = SideColours(red);
    int ground = mesh.AddMaterial(Paint(0.45f, 0.45f, 0.46f));
    int wall = mesh.AddMaterial(side.main);
    int roof = mesh.AddMaterial(side.dark); // the side shows from above too
    int annex = mesh.AddMaterial(Paint(0.36f, 0.33f, 0.33f));
    int brick = mesh.AddMaterial(Paint(0.56f, 0.36f, 0.30f));
    int door = mesh.AddMaterial(Paint(0.14f, 0.14f, 0.17f));
    double x0 = -kHalfCell + 1.0; // left edge of the footprint in model units
    double y0 = -kHalfCell;
    mesh.AddBox({x0 + 0.1, y0 + 0.1, 0.0}, {x0 + 4.9, y0 + 7.4, 0.3}, ground);
    mesh.AddBox({x0 + 0.35, y0 + 0.6, 0.3}, {x0 + 4.65, y0 + 5.4, 2.4}, wall);
    // Gable: a triangle in x-z extruded along y.
    mesh.AddPrism({{x0 + 0.2, 0.0}, {x0 + 2.5, -1.3}, {x0 + 4.8, 0.0}}, y0 + 0.45, y0 + 5.55, roof,
                  Lying(0.0, {0.0, 0.0, 2.4}));
    mesh.AddBox({x0 + 0.9, y0 + 5.4, 0.3}, {x0 + 4.1, y0 + 7.0, 1.5}, annex);
    mesh.AddCylinder(x0 + 1.6, y0 + 6.3, 0.38, 0.32, 1.5, 3.9, 8, brick);
    mesh.AddCylinder(x0 + 3.4, y0 + 6.3, 0.38, 0.32, 1.5, 3.4, 8, brick);
    mesh.AddBox({x0 + 1.7, y0 + 0.45, 0.3}, {x0 + 3.3, y0 + 0.6, 1.7}, door);
    return mesh;
}

CMeshBuilder BuildAttractMarker()
{
    // Four arrows pointing at a centre dot: robots are drawn towards it.
    CMeshBuilder mesh;
    int paint = mesh.AddMaterial(Paint(1.0f, 0.55f, 0.05f, 0.45f));
    double z0 = 0.05, z1 = 0.2;
    mesh.AddCylinder(0.0, 0.0, 0.3, 0.3, z0, z1, 8, paint);
    for (int k = 0; k < 4; ++k) {
        double a = kPi / 2.0 * k + kPi / 4.0;
        double dx = std::cos(a), dy = std::sin(a), px = -dy, py = dx;
        mesh.AddPrism(CounterClockwise({{0.5 * dx, 0.5 * dy},
                                        {1.15 * dx + 0.38 * px, 1.15 * dy + 0.38 * py},
                                        {1.15 * dx - 0.38 * px, 1.15 * dy - 0.38 * py}}),
                      z0, z1, paint);
    }
    return mesh;
}

CMeshBuilder BuildPushMarker()
{
    // An arrow along local +x: robots are pushed that way.
    CMeshBuilder mesh;
    int paint = mesh.AddMaterial(Paint(1.0f, 0.85f, 0.05f, 0.45f));
    double z0 = 0.05, z1 = 0.2;
    mesh.AddBox({-1.15, -0.22, z0}, {0.15, 0.22, z1}, paint);
    mesh.AddPrism({{0.1, -0.62}, {1.2, 0.0}, {0.1, 0.62}}, z0, z1, paint);
    return mesh;
}

CMeshBuilder BuildEraser()
{
    CMeshBuilder mesh;
    int paint = mesh.AddMaterial(Paint(0.95f, 0.08f, 0.08f, 0.5f));
    for (double turn : {kPi / 4.0, -kPi / 4.0}) {
        SPlacement p;
        p.turn = turn;
        mesh.AddBox({-1.2, -0.22, 0.1}, {1.2, 0.22, 0.35}, paint, p);
    }
    return mesh;
}

} // namespace

const std::vector<std::string>& CModelSet::Names()
{
    static const std::vector<std::string> names = {
        "Map.dat",       "Tree.dat",      "RedFactory.dat", "RedRobot.dat",    "RedMagnet.dat",
        "RedLaser.dat",  "BlueFactory.dat", "BlueRobot.dat", "BlueMagnet.dat", "BlueLaser.dat",
        "LaserShot.dat", "MoveMagnet0.dat", "MoveMagnet1.dat", "RedX.dat",
    };
    return names;
}

CMeshBuilder CModelSet::Build(const std::string& name)
{
    CMeshBuilder mesh;
    if (name == "Map.dat")
        mesh = BuildMap();
    else if (name == "Tree.dat")
        mesh = BuildTree();
    else if (name == "RedFactory.dat" || name == "BlueFactory.dat")
        mesh = BuildFactory(name[0] == 'R');
    else if (name == "RedRobot.dat" || name == "BlueRobot.dat")
        mesh = BuildRobot(name[0] == 'R');
    else if (name == "RedMagnet.dat" || name == "BlueMagnet.dat")
        mesh = BuildMagnet(name[0] == 'R');
    else if (name == "RedLaser.dat" || name == "BlueLaser.dat")
        mesh = BuildLaser(name[0] == 'R');
    else if (name == "LaserShot.dat")
        mesh = BuildShot();
    else if (name == "MoveMagnet0.dat")
        mesh = BuildAttractMarker();
    else if (name == "MoveMagnet1.dat")
        mesh = BuildPushMarker();
    else if (name == "RedX.dat")
        mesh = BuildEraser();
    else
        throw std::runtime_error("CModelSet::Build() - unknown model '" + name + "'");
    mesh.Validate(name);
    return mesh;
}

} // namespace Assets
