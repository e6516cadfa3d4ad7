#include "platform/gl/GLVertexLayout.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/glcorearb.h>

#include "platform/gl/GLFixedFunction.h"
#include "platform/gl/GLShaderProgram.h"

namespace OrvelGL {

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

void SetInstanceLayout(unsigned instanceBuffer)
{
    glBindBuffer(GL_ARRAY_BUFFER, instanceBuffer);
    for (int row = 0; row < GLShaderProgram::kTransformAttribs; ++row) {
        const GLuint index = GLuint(GLShaderProgram::kAttribTransform + row);
        glEnableVertexAttribArray(index);
        glVertexAttribPointer(index, 4, GL_FLOAT, GL_FALSE, GLsizei(sizeof(STransformRows)),
                              reinterpret_cast<const void*>(size_t(row) * 4 * sizeof(float)));
        glVertexAttribDivisor(index, 1);
    }
}

} // namespace OrvelGL
