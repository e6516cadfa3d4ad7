#include "platform/gl/GLVertexLayout.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include "platform/gl/GLShaderProgram.h"

namespace OrvelGL {

bool VertexFormatSupported(DWORD fvf)
{
    const DWORD known = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    return (fvf & D3DFVF_XYZ) != 0 && (fvf & ~known) == 0;
}

UINT VertexFormatSize(DWORD fvf)
{
    UINT size = 12;
    if (fvf & D3DFVF_NORMAL)
        size += 12;
    if (fvf & D3DFVF_DIFFUSE)
        size += 4;
    if (fvf & D3DFVF_TEX1)
        size += 8;
    return size;
}

namespace {

void Attribute(GLuint index, bool present, GLint size, GLenum type, GLboolean normalised, UINT stride, size_t& offset,
               size_t bytes)
{
    if (!present) {
        glDisableVertexAttribArray(index);
        return;
    }
    glEnableVertexAttribArray(index);
    glVertexAttribPointer(index, size, type, normalised, GLsizei(stride), reinterpret_cast<const void*>(offset));
    offset += bytes;
}

} // namespace

void SetVertexLayout(DWORD fvf, UINT stride, size_t offset)
{
    Attribute(GLShaderProgram::kAttribPosition, true, 3, GL_FLOAT, GL_FALSE, stride, offset, 12);
    Attribute(GLShaderProgram::kAttribNormal, (fvf & D3DFVF_NORMAL) != 0, 3, GL_FLOAT, GL_FALSE, stride, offset, 12);
    // D3DCOLOR is B, G, R, A in memory.
    Attribute(GLShaderProgram::kAttribColour, (fvf & D3DFVF_DIFFUSE) != 0, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
              offset, 4);
    Attribute(GLShaderProgram::kAttribTexCoord, (fvf & D3DFVF_TEX1) != 0, 2, GL_FLOAT, GL_FALSE, stride, offset, 8);
}

} // namespace OrvelGL
