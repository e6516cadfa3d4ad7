// The fixed-function maths of the OpenGL device, on the CPU: the rows it
// gives the vertex program, used the way the program uses them, give the
// device's transform and lighting formula, worked out here independently in
// double precision:
//   clip = p * World * View * Projection
//   colour = sat(Ce + Ca * (Ga + La) + Cd * Ld * max(N . L, 0)), alpha sat(Cd.a)
//   N = n * inverse transpose of (World * View) (not normalised),
//   L = -normalise(direction * View).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gl/GLFixedFunction.h"

namespace {

using OrvelGL::SLightRows;
using OrvelGL::STransformRows;

struct Vec4 {
    float v[4];
};

// What the vertex program computes from the rows (row vectors).
Vec4 ClipPosition(const STransformRows& t, const float p[3])
{
    Vec4 out;
    for (int j = 0; j < 4; ++j)
        out.v[j] = p[0] * t.clip[0][j] + p[1] * t.clip[1][j] + p[2] * t.clip[2][j] + t.clip[3][j];
    return out;
}

Vec4 LitColour(const STransformRows& t, const SLightRows& l, const float n[3], const float vertexColour[4])
{
    float normal[3], cd[4];
    for (int j = 0; j < 3; ++j)
        normal[j] = n[0] * t.normal[0][j] + n[1] * t.normal[1][j] + n[2] * t.normal[2][j];
    for (int j = 0; j < 3; ++j)
        cd[j] = l.vertexColour != 0.0f ? vertexColour[j] : l.materialDiffuse[j];
    cd[3] = l.vertexColour != 0.0f ? vertexColour[3] : l.diffuseAlpha;
    const float nDotL = std::max(normal[0] * l.toLight[0] + normal[1] * l.toLight[1] + normal[2] * l.toLight[2], 0.0f);
    Vec4 out;
    for (int j = 0; j < 3; ++j)
        out.v[j] = std::clamp(l.base[j] + cd[j] * l.lightDiffuse[j] * nDotL, 0.0f, 1.0f);
    out.v[3] = std::clamp(cd[3], 0.0f, 1.0f);
    return out;
}

struct M {
    double m[4][4];
};

M FromD3D(const D3DMATRIX& d)
{
    M out;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out.m[i][j] = d.m[i][j];
    return out;
}

M Product(const M& a, const M& b)
{
    M out{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                out.m[i][j] += a.m[i][k] * b.m[k][j];
    return out;
}

// out = n * inverse transpose of the 3 x 3 A of a: the solution x of A x = n
// (column vectors), by Cramer's rule.
void TransformNormal(const M& a, const double n[3], double out[3])
{
    auto det = [](const double (&r)[3][3]) {
        return r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) - r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
               r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
    };
    double r[3][3];
    for (int column = 0; column <= 3; ++column) {
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                r[i][j] = j == column ? n[i] : a.m[i][j];
        if (column < 3)
            out[column] = det(r);
    }
    const double d = det(r); // column 3: A itself
    for (int i = 0; i < 3; ++i)
        out[i] /= d;
}

double Rgba(const D3DCOLORVALUE& c, int j)
{
    return j == 0 ? c.r : j == 1 ? c.g : j == 2 ? c.b : c.a;
}

D3DMATRIX Matrix(std::initializer_list<float> values)
{
    D3DMATRIX m;
    std::copy(values.begin(), values.end(), &m.m[0][0]);
    return m;
}

D3DMATRIX Turn(float angle, float tx, float ty, float tz)
{
    const float c = std::cos(angle), s = std::sin(angle);
    return Matrix({c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, tx, ty, tz, 1});
}

} // namespace

TEST(GLFixedFunctionTest, TheRowsGiveTheTransformAndTheLightingFormula)
{
    const D3DMATRIX id = OrvelGL::IdentityMatrix();
    const D3DMATRIX squashed = Matrix({2, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1.5f, 0, 3, -1, 0, 1});
    const D3DMATRIX sheared = Matrix({1, 0.4f, 0, 0, 0, 1, 0, 0, 0.3f, 0, 1, 0, 0, 0, 0, 1});
    const D3DMATRIX perspective = Matrix({1.3f, 0, 0, 0, 0, 1.7f, 0, 0, 0, 0, 1.002f, 1, 0, 0, -1.002f, 0});
    const D3DMATRIX camera = Matrix({1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, -5, 2, 30, 1}); // a walk-view look
    const D3DLIGHT9 gameLight{D3DLIGHT_DIRECTIONAL, {0.315f, 0.35f, 0.2625f, 0}, {}, {0.1f, 0.05f, 0, 0}, {},
                              {1, 0.8f, -1}, 0, 0, 0, 0, 0, 0, 0};
    const D3DMATERIAL9 material{{0.8f, 0.6f, 0.4f, 0.7f}, {0.5f, 0.7f, 0.9f, 1}, {}, {0.1f, 0.05f, 0, 0}, 0};
    const float white[4] = {1, 1, 1, 1}, tinted[4] = {0.2f, 0.9f, 0.5f, 0.25f};

    const struct {
        const char* what;
        D3DMATRIX world, view;
        bool lightEnabled, vertexColour;
        float normal[3];
        const float* colour;
        bool facesLight; // N . L > 0, so that the diffuse term counts
    } cases[] = {
        {"identity, facing the light", id, id, true, false, {-1, -0.8f, 1}, white, true},
        {"facing away: only the base colour", id, id, true, false, {1, 0.8f, -1}, white, false},
        {"normal of half length is not normalised", id, id, true, false, {0, 0, 0.5f}, white, true},
        {"no normal reads as zero", id, id, true, false, {0, 0, 0}, white, false},
        {"world turned and moved", Turn(0.7f, 4, 5, 6), id, true, false, {-0.6f, -0.8f, 0.3f}, white, true},
        {"world scaled unevenly: the normal by the inverse transpose", squashed, id, true, false, {-0.6f, -0.8f, 0.5f},
         white, true},
        {"world sheared", sheared, id, true, false, {0.2f, -0.5f, 0.8f}, white, true},
        {"view of the walk camera, light kept in view space", Turn(1.1f, 2, 0, 0), camera, true, false,
         {-0.5f, -0.2f, 1}, white, true},
        {"light off: base colour only", id, camera, false, false, {-1, -0.8f, 1}, white, false},
        {"vertex colour replaces the material diffuse and alpha", Turn(-0.4f, 0, 0, 1), id, true, true,
         {-0.3f, 0, 1}, tinted, true},
    };
    const double ga[3] = {0x68 / 255.0, 0x6E / 255.0, 0x5D / 255.0};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const STransformRows rows = OrvelGL::ComputeTransformRows(c.world, c.view, perspective);
        OrvelGL::SLightingState state{material, gameLight, c.lightEnabled, 0x00686E5D, true, c.vertexColour, c.view};
        const SLightRows light = OrvelGL::ComputeLightRows(state);

        const M worldView = Product(FromD3D(c.world), FromD3D(c.view));
        const M all = Product(worldView, FromD3D(perspective));
        const float p[3] = {1.5f, -2.0f, 0.75f};
        const Vec4 clip = ClipPosition(rows, p);
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(clip.v[j], p[0] * all.m[0][j] + p[1] * all.m[1][j] + p[2] * all.m[2][j] + all.m[3][j], 1e-4)
                << "clip " << j;

        double n[3], l[3];
        const double normal[3] = {c.normal[0], c.normal[1], c.normal[2]};
        TransformNormal(worldView, normal, n);
        const M view = FromD3D(c.view);
        const D3DVECTOR& d = gameLight.Direction;
        for (int j = 0; j < 3; ++j)
            l[j] = -(d.x * view.m[0][j] + d.y * view.m[1][j] + d.z * view.m[2][j]);
        const double length = std::sqrt(l[0] * l[0] + l[1] * l[1] + l[2] * l[2]);
        const double nDotL = c.lightEnabled ? std::max((n[0] * l[0] + n[1] * l[1] + n[2] * l[2]) / length, 0.0) : 0.0;
        EXPECT_EQ(nDotL > 0.0, c.facesLight) << "N . L = " << nDotL;
        const Vec4 colour = LitColour(rows, light, c.normal, c.colour);
        for (int j = 0; j < 4; ++j) {
            const double cd = c.vertexColour ? c.colour[j] : Rgba(material.Diffuse, j);
            const double la = c.lightEnabled ? Rgba(gameLight.Ambient, j) : 0.0;
            const double lit = Rgba(material.Emissive, j) + Rgba(material.Ambient, j) * (ga[j % 3] + la) +
                               cd * Rgba(gameLight.Diffuse, j) * nDotL;
            EXPECT_NEAR(colour.v[j], j < 3 ? std::clamp(lit, 0.0, 1.0) : cd, j < 3 ? 1e-5 : 1e-6)
                << "channel " << j << " (3: alpha)";
        }
    }
}

// Where the formula has no answer the rows hold no infinity or NaN: a
// singular world gives zero normals, a view that flattens the light's
// direction to nothing counts as no light.
TEST(GLFixedFunctionTest, DegenerateTransformsGiveFiniteRows)
{
    const D3DMATRIX flat = []() {
        D3DMATRIX m = OrvelGL::IdentityMatrix();
        m.m[2][2] = 0.0f; // squashed onto z = 0
        return m;
    }();
    const D3DMATRIX id = OrvelGL::IdentityMatrix();
    const STransformRows rows = OrvelGL::ComputeTransformRows(flat, id, id);
    for (const auto& row : rows.normal)
        for (float v : row)
            EXPECT_EQ(v, 0.0f);

    D3DMATERIAL9 material{};
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 0};
    light.Direction = {0, 0, -1};
    const OrvelGL::SLightingState state{material, light, true, 0, true, false, flat};
    const SLightRows l = OrvelGL::ComputeLightRows(state);
    for (float v : {l.toLight[0], l.toLight[1], l.toLight[2], l.lightDiffuse[0], l.lightDiffuse[1], l.lightDiffuse[2]})
        EXPECT_EQ(v, 0.0f);
    light.Type = D3DLIGHT_POINT; // only a directional light lights
    const SLightRows point = OrvelGL::ComputeLightRows(OrvelGL::SLightingState{material, light, true, 0, true, false, id});
    EXPECT_EQ(point.lightDiffuse[0], 0.0f);
}
