#pragma once
// The one shader pair of the fixed-function pipeline. Internal to the OpenGL
// back end; built and used on the context's thread.
//
// Vertex attributes: 0 position, 1 normal, 2 diffuse colour (D3DCOLOR bytes,
// normalised), 3 texture coordinates. An attribute the vertex format lacks
// reads the context's constant value: normal (0,0,0) so that N.L = 0, colour
// opaque white, coordinates (0,0). Instanced variants read the transform
// rows per instance from attributes 4 to 10 (kAttribTransform, one vec4
// each, divisor 1); the others from a uniform.
//
// Uniforms: the transform rows (STransformRows), the light rows (SLightRows)
// and the fragment row (SFragmentRow) of platform/gl/GLFixedFunction.h, and
// the pixel-centre shift in clip units per w (x, y), fixed when the program
// is built.
//
// Variants: each combination of lighting on, texture bound, texture
// modulated by the vertex colour, alpha test on and instancing is its own
// program without branches for the others, which llvmpipe runs markedly
// faster per vertex and pixel (no discard where there is no alpha test, a
// bare texture read where the colour it would be multiplied by is white, no
// texture coordinates to interpolate without a texture).
// Each keeps the uniform values it was given, so that the device sends only
// what differs for the program in use.

#include "platform/gl/GLFixedFunction.h"

namespace OrvelGL {

class GLShaderProgram {
public:
    static constexpr int kAttribPosition = 0;
    static constexpr int kAttribNormal = 1;
    static constexpr int kAttribColour = 2;
    static constexpr int kAttribTexCoord = 3;
    static constexpr int kAttribTransform = 4; // to 10
    static constexpr int kTransformAttribs = 7;
    // Variant bits.
    static constexpr int kLit = 1;
    static constexpr int kTextured = 2;
    static constexpr int kModulate = 4; // with kTextured: the texture's colour times the vertex colour
    static constexpr int kAlphaTest = 8;
    static constexpr int kInstanced = 16;
    static constexpr int kVariants = 32;

    GLShaderProgram() = default;
    ~GLShaderProgram();
    GLShaderProgram(const GLShaderProgram&) = delete;
    GLShaderProgram& operator=(const GLShaderProgram&) = delete;

    // Compiles and links (leaving it in use) with the pixel-centre shift;
    // false on failure.
    bool Build(int variant, float pixelShiftX, float pixelShiftY);
    bool Built() const { return mProgram != 0; }
    unsigned Name() const { return mProgram; }
    // Deletes the program (while its context is still current).
    void Destroy();

    // Upload values that differ from what the program has; it must be in use.
    void SetTransformRows(const STransformRows& rows);
    void SetLightRows(const SLightRows& rows);
    void SetFragmentRow(const SFragmentRow& row);

private:
    unsigned mProgram = 0;
    int mTransformLocation = -1;
    int mLightLocation = -1;
    int mFragmentLocation = -1;
    STransformRows mTransform = {};
    SLightRows mLight = {};
    SFragmentRow mFragment = {};
};

// Compiles the sources (each given in partCount parts) and links them;
// 0 on failure.
unsigned LinkProgram(const char* const* vertexParts, const char* const* fragmentParts, int partCount);

} // namespace OrvelGL
