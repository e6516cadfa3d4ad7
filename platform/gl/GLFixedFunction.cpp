#include "platform/gl/GLFixedFunction.h"

#include <cmath>
#include <cstring>

namespace OrvelGL {

namespace {

void Cross(const float* a, const float* b, float* out)
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

float Channel(DWORD colour, int shift)
{
    return float((colour >> shift) & 0xFF) / 255.0f;
}

} // namespace

D3DMATRIX IdentityMatrix()
{
    D3DMATRIX m;
    std::memset(&m, 0, sizeof m);
    for (int i = 0; i < 4; ++i)
        m.m[i][i] = 1.0f;
    return m;
}

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX out;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            out.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return out;
}

STransformRows ComputeTransformRows(const D3DMATRIX& world, const D3DMATRIX& view, const D3DMATRIX& projection)
{
    STransformRows rows;
    const D3DMATRIX worldView = Multiply(world, view);
    const D3DMATRIX clip = Multiply(worldView, projection);
    std::memcpy(rows.clip, clip.m, sizeof rows.clip);
    // With rows a0, a1, a2 of the 3 x 3, the rows of its inverse transpose
    // are (a1 x a2, a2 x a0, a0 x a1) / det.
    const float* a0 = worldView.m[0];
    const float* a1 = worldView.m[1];
    const float* a2 = worldView.m[2];
    Cross(a1, a2, rows.normal[0]);
    Cross(a2, a0, rows.normal[1]);
    Cross(a0, a1, rows.normal[2]);
    const float det = a0[0] * rows.normal[0][0] + a0[1] * rows.normal[0][1] + a0[2] * rows.normal[0][2];
    const float scale = (det != 0.0f && std::isfinite(det)) ? 1.0f / det : 0.0f;
    for (auto& row : rows.normal) {
        for (int j = 0; j < 3; ++j)
            row[j] *= scale;
        row[3] = 0.0f;
    }
    return rows;
}

SLightRows ComputeLightRows(const SLightingState& state)
{
    bool lightOn = state.lightEnabled && state.light.Type == D3DLIGHT_DIRECTIONAL;
    // Towards the light in view space: -normalise(direction * view 3 x 3).
    const D3DVECTOR& d = state.light.Direction;
    float l[3];
    for (int j = 0; j < 3; ++j)
        l[j] = d.x * state.view.m[0][j] + d.y * state.view.m[1][j] + d.z * state.view.m[2][j];
    const float length = std::sqrt(l[0] * l[0] + l[1] * l[1] + l[2] * l[2]);
    if (!(length > 0.0f) || !std::isfinite(length))
        lightOn = false;
    const float ambient[3] = {Channel(state.ambient, 16), Channel(state.ambient, 8), Channel(state.ambient, 0)};
    const D3DCOLORVALUE none = {0.0f, 0.0f, 0.0f, 0.0f};
    const D3DCOLORVALUE& lightAmbient = lightOn ? state.light.Ambient : none;
    const D3DCOLORVALUE& lightDiffuse = lightOn ? state.light.Diffuse : none;
    const D3DMATERIAL9& m = state.material;

    SLightRows rows;
    rows.base[0] = m.Emissive.r + m.Ambient.r * (ambient[0] + lightAmbient.r);
    rows.base[1] = m.Emissive.g + m.Ambient.g * (ambient[1] + lightAmbient.g);
    rows.base[2] = m.Emissive.b + m.Ambient.b * (ambient[2] + lightAmbient.b);
    rows.diffuseAlpha = m.Diffuse.a;
    rows.materialDiffuse[0] = m.Diffuse.r;
    rows.materialDiffuse[1] = m.Diffuse.g;
    rows.materialDiffuse[2] = m.Diffuse.b;
    rows.lighting = state.lighting ? 1.0f : 0.0f;
    for (int j = 0; j < 3; ++j)
        rows.toLight[j] = lightOn ? -l[j] / length : 0.0f;
    rows.vertexColour = state.vertexColour ? 1.0f : 0.0f;
    rows.lightDiffuse[0] = lightDiffuse.r;
    rows.lightDiffuse[1] = lightDiffuse.g;
    rows.lightDiffuse[2] = lightDiffuse.b;
    rows.unused = 0.0f;
    return rows;
}

} // namespace OrvelGL
