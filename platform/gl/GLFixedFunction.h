#pragma once
// The fixed-function maths of the OpenGL device, as plain CPU code: what the
// vertex program is given for the transform and the light, worked out once
// per change of the device state rather than per vertex. Internal to the
// OpenGL back end; needs no OpenGL.
//
// The vertex program computes, per vertex (row vectors, p' = p * M):
//   clip position   = (x, y, z, 1) * clip
//   normal N        = (nx, ny, nz) * normal      (view space, not normalised)
//   Cd              = the vertex colour where vertexColour is 1, else
//                     (materialDiffuse, diffuseAlpha)
//   colour          = lit (lighting 1):
//                       sat(base + Cd.rgb * lightDiffuse * max(N . toLight, 0)), alpha sat(Cd.a)
//                     unlit: the vertex colour (opaque white without one)
// which is the device's lighting formula with one directional light,
//   sat(Ce + Ca * (Ga + La) + Cd * Ld * max(N . L, 0)),
// N = n * inverse transpose of (world * view), L = -normalise(direction * view).
// A vertex without a normal reads N = 0, so only the base colour is left.

#include <cstdint>

#include "engine/D3D9.h"

namespace OrvelGL {

// The transform of one draw: four rows of world * view * projection and
// three rows (w unused) of the inverse transpose of the 3 x 3 of world *
// view. Seven vec4 in this order, as the program reads them.
struct STransformRows {
    float clip[4][4];
    float normal[3][4];
};
static_assert(sizeof(STransformRows) == 7 * 4 * sizeof(float), "seven vec4 rows");

// The light and material of one draw: four vec4 in this order.
struct SLightRows {
    float base[3];            // emissive + ambient * (global ambient + light ambient)
    float diffuseAlpha;       // the material's diffuse alpha
    float materialDiffuse[3];
    float lighting;           // 1 with lighting on, 0 off
    float toLight[3];         // unit direction towards the light in view space; 0 without a light
    float vertexColour;       // 1 when the vertex colour stands for the material diffuse
    float lightDiffuse[3];    // 0 without a light
    float unused;
};
static_assert(sizeof(SLightRows) == 4 * 4 * sizeof(float), "four vec4 rows");

// What the light rows are made of.
struct SLightingState {
    D3DMATERIAL9 material;
    D3DLIGHT9 light;           // light 0
    bool lightEnabled;         // LightEnable(0, TRUE) and a light was set
    DWORD ambient;             // D3DRS_AMBIENT, 0xXXRRGGBB
    bool lighting;             // D3DRS_LIGHTING
    bool vertexColour;         // the vertex format has a diffuse colour
    D3DMATRIX view;
};

// The alpha test of one draw: one vec4.
struct SFragmentRow {
    float alphaFunc; // D3DCMP 1..8, 0 for no test
    float alphaRef;  // 0..255
    float unused[2];
};

D3DMATRIX IdentityMatrix();
// a * b.
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b);

// A singular world * view gives zero normal rows (every vertex then gets
// only the base colour), never infinities.
STransformRows ComputeTransformRows(const D3DMATRIX& world, const D3DMATRIX& view, const D3DMATRIX& projection);

// Only a directional light lights; a light whose direction vanishes in view
// space (a singular view) counts as none.
SLightRows ComputeLightRows(const SLightingState& state);

} // namespace OrvelGL
