#pragma once
// The one shader pair of the fixed-function pipeline. Internal to the OpenGL
// back end; built and used on the context's thread.
//
// Vertex attributes: 0 position, 1 normal, 2 diffuse colour (D3DCOLOR bytes,
// normalised), 3 texture coordinates. An attribute the vertex format lacks
// reads the context's constant value: normal (0,0,0) so that N.L = 0, colour
// opaque white, coordinates (0,0).
//
// Transform rows (vec4 each):
//  0..3  world * view * projection, rows (row vectors: p' = p * M)
//  4..6  inverse transpose of the 3x3 of world * view, rows (not normalised)
// Light rows:
//  0     emissive + ambient * (global ambient + light ambient), diffuse alpha
//  1     material diffuse rgb, lighting on (1) or off (0)
//  2     direction towards the light in view space (unit), vertex colour used as diffuse (1/0)
//  3     light diffuse rgb (0 when no light is enabled), unused
// Fragment row: texture bound (1/0), alpha compare function (D3DCMP 1..8, 0 = no test),
// alpha reference 0..255, unused.
// Pixel row: the pixel-centre shift in clip units per w (x, y).
//
// Variants: each combination of lighting on, texture bound and alpha test on
// is its own program without branches for the others, which llvmpipe runs
// markedly faster per vertex and pixel (no discard where there is no alpha
// test). Each keeps the uniform values it was given, so that the device
// sends only what differs for the program in use. Row fields a variant does
// not read are still accepted.

namespace OrvelGL {

class GLShaderProgram {
public:
    static constexpr int kTransformRows = 7;
    static constexpr int kLightRows = 4;
    static constexpr int kAttribPosition = 0;
    static constexpr int kAttribNormal = 1;
    static constexpr int kAttribColour = 2;
    static constexpr int kAttribTexCoord = 3;
    // Variant bits.
    static constexpr int kLit = 1;
    static constexpr int kTextured = 2;
    static constexpr int kAlphaTest = 4;
    static constexpr int kVariants = 8;

    GLShaderProgram() = default;
    ~GLShaderProgram();
    GLShaderProgram(const GLShaderProgram&) = delete;
    GLShaderProgram& operator=(const GLShaderProgram&) = delete;

    // Compiles and links (leaving it in use); false on failure.
    bool Build(int variant);
    unsigned Name() const { return mProgram; }
    // Deletes the program (while its context is still current).
    void Destroy();

    // Whether the program already has these values.
    bool HasTransformRows(const float* rows) const;
    bool HasLightRows(const float* rows) const;
    bool HasFragmentRow(const float* row) const;
    // Upload values; the program must be in use.
    void SetTransformRows(const float* rows);
    void SetLightRows(const float* rows);
    void SetFragmentRow(const float* row);
    void SetPixelShift(float x, float y) const;

private:
    unsigned mProgram = 0;
    int mTransformLocation = -1;
    int mLightLocation = -1;
    int mFragmentLocation = -1;
    int mPixelLocation = -1;
    float mTransform[kTransformRows * 4] = {};
    float mLight[kLightRows * 4] = {};
    float mFragment[4] = {};
};

} // namespace OrvelGL
