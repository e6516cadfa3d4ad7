#pragma once
// Vertex formats the OpenGL device reads, and how their fields map to the
// program's attributes. Internal to the OpenGL back end.

#include <cstddef>

#include "engine/D3D9.h"

namespace OrvelGL {

// Points the attributes of the bound vertex array at the bound
// GL_ARRAY_BUFFER, from byte offset on, and enables exactly the ones the
// format has (the others read the context's constant values).
void SetVertexLayout(DWORD fvf, UINT stride, size_t offset);

// Points the instanced programs' transform attributes of the bound vertex
// array at instanceBuffer: one STransformRows per instance, from its start.
// Leaves instanceBuffer bound to GL_ARRAY_BUFFER.
void SetInstanceLayout(unsigned instanceBuffer);

} // namespace OrvelGL
