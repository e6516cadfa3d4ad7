#include "tools/assets/CMeshBuilder.h"

#include <cmath>
#include <stdexcept>

namespace Assets {

namespace {

double Dot(const SVec3& a, const SVec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

} // namespace

SVec3 SPlacement::Apply(const SVec3& p) const
{
    SVec3 d = ApplyDirection(p);
    return {d.x + offset.x, d.y + offset.y, d.z + offset.z};
}

SVec3 SPlacement::ApplyDirection(const SVec3& p) const
{
    double ct = std::cos(tilt), st = std::sin(tilt);
    SVec3 t{p.x, p.y * ct - p.z * st, p.y * st + p.z * ct};
    double cz = std::cos(turn), sz = std::sin(turn);
    return {t.x * cz - t.y * sz, t.x * sz + t.y * cz, t.z};
}

SVec3 PolygonNormal(const std::vector<SVec3>& points)
{
    SVec3 n{0.0, 0.0, 0.0};
    size_t count = points.size();
    for (size_t i = 0; i < count; ++i) {
        const SVec3& a = points[i];
        const SVec3& b = points[(i + 1) % count];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
    }
    return n;
}

int CMeshBuilder::AddMaterial(const SMaterial& material)
{
    materials.push_back(material);
    return static_cast<int>(materials.size()) - 1;
}

int CMeshBuilder::AddPosition(const SVec3& p)
{
    // Positions are stored as floats; points that round to the same floats
    // share one entry so that neighbouring faces meet exactly.
    float fx = static_cast<float>(p.x), fy = static_cast<float>(p.y), fz = static_cast<float>(p.z);
    for (size_t i = 0; i < positions.size(); ++i) {
        const SVec3& q = positions[i];
        if (static_cast<float>(q.x) == fx && static_cast<float>(q.y) == fy && static_cast<float>(q.z) == fz)
            return static_cast<int>(i);
    }
    positions.push_back({fx, fy, fz});
    return static_cast<int>(positions.size()) - 1;
}

void CMeshBuilder::AddFace(const std::vector<SVec3>& points, int material)
{
    if (points.size() < 3)
        throw std::runtime_error("CMeshBuilder::AddFace() - a face needs at least 3 points");
    SVec3 n = PolygonNormal(points);
    double length = std::sqrt(Dot(n, n));
    if (length < 1e-9)
        throw std::runtime_error("CMeshBuilder::AddFace() - degenerate face");
    SFace face;
    face.normal = {n.x / length, n.y / length, n.z / length};
    face.material = material;
    for (const SVec3& p : points) {
        int index = AddPosition(p);
        // Corners that collapse onto the previous one (the apex of a cone) are
        // dropped, so that fans never hold zero-length edges.
        if (!face.vertices.empty() && (face.vertices.back() == index || face.vertices.front() == index))
            continue;
        face.vertices.push_back(index);
    }
    if (face.vertices.size() < 3)
        throw std::runtime_error("CMeshBuilder::AddFace() - face collapses to fewer than 3 points");
    faces.push_back(face);
}

void CMeshBuilder::AddLoft(const std::vector<SVec2>& bottom, const std::vector<SVec2>& top, double z0,
                           double z1, int material, const SPlacement& place)
{
    size_t count = bottom.size();
    if (count < 3 || top.size() != count || !(z0 < z1))
        throw std::runtime_error("CMeshBuilder::AddLoft() - bad outline");
    std::vector<SVec3> lower, upper;
    for (size_t i = 0; i < count; ++i) {
        lower.push_back(place.Apply({bottom[i].x, bottom[i].y, z0}));
        upper.push_back(place.Apply({top[i].x, top[i].y, z1}));
    }
    bool apex = true;
    for (size_t i = 1; i < count; ++i)
        if (top[i].x != top[0].x || top[i].y != top[0].y)
            apex = false;

    // Top: counter-clockwise from above faces +z; bottom: the reverse.
    if (!apex)
        AddFace(upper, material);
    std::vector<SVec3> base(lower.rbegin(), lower.rend());
    AddFace(base, material);
    for (size_t i = 0; i < count; ++i) {
        size_t j = (i + 1) % count;
        if (apex)
            AddFace({lower[i], lower[j], upper[0]}, material);
        else
            AddFace({lower[i], lower[j], upper[j], upper[i]}, material);
    }
}

void CMeshBuilder::AddPrism(const std::vector<SVec2>& outline, double z0, double z1, int material,
                            const SPlacement& place)
{
    AddLoft(outline, outline, z0, z1, material, place);
}

void CMeshBuilder::AddBox(const SVec3& min, const SVec3& max, int material, const SPlacement& place)
{
    AddPrism({{min.x, min.y}, {max.x, min.y}, {max.x, max.y}, {min.x, max.y}}, min.z, max.z, material, place);
}

std::vector<SVec2> CMeshBuilder::Polygon(double cx, double cy, double radius, int sides, double phase)
{
    std::vector<SVec2> points;
    for (int i = 0; i < sides; ++i) {
        double a = phase + 2.0 * kPi * i / sides;
        points.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
    }
    return points;
}

void CMeshBuilder::AddCylinder(double cx, double cy, double r0, double r1, double z0, double z1, int sides,
                               int material, const SPlacement& place, double phase)
{
    std::vector<SVec2> top = r1 > 0.0 ? Polygon(cx, cy, r1, sides, phase)
                                      : std::vector<SVec2>(static_cast<size_t>(sides), SVec2{cx, cy});
    AddLoft(Polygon(cx, cy, r0, sides, phase), top, z0, z1, material, place);
}

void CMeshBuilder::Validate(const std::string& name) const
{
    std::vector<bool> used(materials.size(), false);
    for (const SFace& face : faces) {
        if (face.material < 0 || face.material >= static_cast<int>(materials.size()))
            throw std::runtime_error(name + ": face material out of range");
        used[static_cast<size_t>(face.material)] = true;
    }
    for (size_t i = 0; i < used.size(); ++i)
        if (!used[i])
            throw std::runtime_error(name + ": material " + std::to_string(i) + " is used by no face");
    if (faces.empty())
        throw std::runtime_error(name + ": model has no faces");
}

} // namespace Assets
