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

namespace OrvelGL {

class GLShaderProgram {
public:
    static constexpr int kTransformRows = 7;
    static constexpr int kLightRows = 4;
    static constexpr int kAttribPosition = 0;
    static constexpr int kAttribNormal = 1;
    static constexpr int kAttribColour = 2;
    static constexpr int kAttribTexCoord = 3;

    GLShaderProgram() = default;
    ~GLShaderProgram();
    GLShaderProgram(const GLShaderProgram&) = delete;
    GLShaderProgram& operator=(const GLShaderProgram&) = delete;

    // Compiles and links; false (with nothing left behind) on failure.
    bool Build();
    unsigned Name() const { return mProgram; }
    // Deletes the program (while its context is still current).
    void Destroy();

    // Upload rows of the vertex uniform array; the program must be in use.
    void SetTransformRows(const float* rows) const;
    void SetLightRows(const float* rows) const;
    void SetFragmentRow(const float* row) const;
    void SetPixelShift(float x, float y) const;

private:
    unsigned mProgram = 0;
    int mTransformLocation = -1;
    int mLightLocation = -1;
    int mFragmentLocation = -1;
    int mPixelLocation = -1;
};

} // namespace OrvelGL
