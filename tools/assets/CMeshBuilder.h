#pragma once
// A model under construction: convex planar faces with one flat normal each
// and one material each, built from closed solids (prisms, frusta, cones,
// boxes). Coordinates are world units, z up.
//
// Winding contract: every face lists its vertices so that the ordinary cross
// product (v1 - v0) x (v2 - v0) points out of its solid. With the device's
// default culling (triangles that appear counter-clockwise on screen are
// removed) this keeps the outside of every solid in both game views.

#include <cstdint>
#include <string>
#include <vector>

namespace Assets {

constexpr double kPi = 3.14159265358979323846;

struct SVec3 {
    double x, y, z;
};

struct SVec2 {
    double x, y;
};

struct SColour {
    float r, g, b, a;
};

struct SMaterial {
    SColour diffuse;
    SColour ambient;
    SColour specular;
    SColour emissive;
    float power;
};

struct SFace {
    std::vector<int> vertices; // indices into positions, in fan order
    SVec3 normal;              // unit length, pointing out of the solid
    int material;
};

// A rigid placement of a solid: first a turn about the x axis by `tilt`
// radians, then a turn about the z axis by `turn` radians (from +x towards
// +y), then the offset. A proper rotation, so outward windings stay outward.
struct SPlacement {
    double tilt = 0.0;   // about the x axis, applied first
    double turn = 0.0;   // about the z axis, applied second
    SVec3 offset{0.0, 0.0, 0.0};
    SVec3 Apply(const SVec3& p) const;
    SVec3 ApplyDirection(const SVec3& d) const;
};

class CMeshBuilder {
public:
    // Adds a material and returns its number. Materials must all be used by
    // some face before the model is written (the loader numbers material
    // groups by rank, so an unused number would shift the later ones).
    int AddMaterial(const SMaterial& material);

    // One convex planar face; the normal is computed from the winding.
    void AddFace(const std::vector<SVec3>& points, int material);

    // A vertical prism: `outline` is a convex polygon in counter-clockwise
    // order seen from above (+z), extruded from z0 to z1 (z0 < z1), then placed.
    void AddPrism(const std::vector<SVec2>& outline, double z0, double z1, int material,
                  const SPlacement& place = SPlacement());
    // A frustum between two convex outlines of the same vertex count (bottom at
    // z0, top at z1, counter-clockwise seen from above). A top outline whose
    // points all coincide makes a pyramid or cone.
    void AddLoft(const std::vector<SVec2>& bottom, const std::vector<SVec2>& top, double z0,
                 double z1, int material, const SPlacement& place = SPlacement());
    void AddBox(const SVec3& min, const SVec3& max, int material, const SPlacement& place = SPlacement());
    // A regular polygon of `sides` corners around (cx, cy) with the given
    // radius; `phase` turns the first corner from +x.
    static std::vector<SVec2> Polygon(double cx, double cy, double radius, int sides, double phase = 0.0);
    // A cylinder (r0 == r1), frustum or cone (r1 == 0) around the vertical axis
    // through (cx, cy).
    void AddCylinder(double cx, double cy, double r0, double r1, double z0, double z1, int sides,
                     int material, const SPlacement& place = SPlacement(), double phase = 0.0);

    const std::vector<SVec3>& Positions() const { return positions; }
    const std::vector<SFace>& Faces() const { return faces; }
    const std::vector<SMaterial>& Materials() const { return materials; }

    // Throws std::runtime_error naming the model when it has no faces, a
    // material number is out of range or a material is used by no face.
    void Validate(const std::string& name) const;

private:
    int AddPosition(const SVec3& p);

    std::vector<SVec3> positions;
    std::vector<SFace> faces;
    std::vector<SMaterial> materials;
};

// Newell's normal of a polygon (unnormalised); it follows the winding.
SVec3 PolygonNormal(const std::vector<SVec3>& points);

} // namespace Assets
