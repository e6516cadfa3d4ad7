#pragma once
// The vertex of DXDevice::Tri3T: an untransformed position and one pair of
// texture coordinates, five floats with no gaps (20 bytes), vertex format
// D3DFVF_XYZ | D3DFVF_TEX1.

#include "engine/D3D9.h"

namespace Orvel {

struct STexturedVertex {
    float x, y, z;
    float u, v;
};

static_assert(sizeof(STexturedVertex) == 20, "STexturedVertex must be five packed floats");

constexpr DWORD kTexturedVertexFormat = D3DFVF_XYZ | D3DFVF_TEX1; // 0x102

} // namespace Orvel
