#pragma once
// Vertex formats the OpenGL device reads, and how their fields map to the
// program's attributes. Internal to the OpenGL back end.

#include <cstddef>

#include "engine/D3D9.h"

namespace OrvelGL {

// XYZ with any of NORMAL, DIFFUSE and TEX1 (in that order in memory).
bool VertexFormatSupported(DWORD fvf);
// Bytes of one vertex of a supported format.
UINT VertexFormatSize(DWORD fvf);
// Points the attributes of the bound vertex array at the bound
// GL_ARRAY_BUFFER, from byte offset on, and enables exactly the ones the
// format has (the others read the context's constant values).
void SetVertexLayout(DWORD fvf, UINT stride, size_t offset);

} // namespace OrvelGL
