// What a player sees: pixels of the headless OpenGL device against the
// device rules (clear, lighting, textured sprites, culling, depth).

#include <cmath>
#include <cstring>

#include "tests/gl/GLTestDevice.h"

namespace {

constexpr D3DCOLOR kSky = 0x003668D8;
constexpr uint32_t kSkyPixel = 0xFF3668D8;

D3DMATRIX RotationZ(float angle, float tx = 0, float ty = 0, float tz = 0)
{
    D3DMATRIX m = IdentityMatrix();
    m.m[0][0] = std::cos(angle);
    m.m[0][1] = std::sin(angle);
    m.m[1][0] = -std::sin(angle);
    m.m[1][1] = std::cos(angle);
    m.m[3][0] = tx;
    m.m[3][1] = ty;
    m.m[3][2] = tz;
    return m;
}

// The start-up light and ambient of the game.
void GameLight(IDirect3DDevice9* device)
{
    D3DLIGHT9 light;
    std::memset(&light, 0, sizeof light);
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {0.315f, 0.35f, 0.2625f, 0.0f};
    light.Direction = {1.0f, 0.8f, -1.0f};
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0x00686E5D);
}

D3DMATERIAL9 TestMaterial()
{
    D3DMATERIAL9 m;
    std::memset(&m, 0, sizeof m);
    m.Diffuse = {0.8f, 0.6f, 0.4f, 1.0f};
    m.Ambient = {0.5f, 0.7f, 0.9f, 1.0f};
    m.Emissive = {0.1f, 0.05f, 0.0f, 0.0f};
    return m;
}

// A full-screen fan (clockwise on screen) in the z = 0.5 plane with one normal.
std::vector<NormalVertex> ScreenQuad(float nx, float ny, float nz)
{
    return {{-1, 1, 0.5f, nx, ny, nz}, {1, 1, 0.5f, nx, ny, nz}, {1, -1, 0.5f, nx, ny, nz}, {-1, -1, 0.5f, nx, ny, nz}};
}

void ExpectColour(uint32_t pixel, double r, double g, double b)
{
    auto expected = [](double v) { return std::lround(std::fmin(std::fmax(v, 0.0), 1.0) * 255.0); };
    EXPECT_NEAR(Channel(pixel, 16), expected(r), 2) << std::hex << pixel;
    EXPECT_NEAR(Channel(pixel, 8), expected(g), 2) << std::hex << pixel;
    EXPECT_NEAR(Channel(pixel, 0), expected(b), 2) << std::hex << pixel;
}

} // namespace

TEST_F(GLDeviceTest, ClearFillsTheWholeBackBufferWithTheColour)
{
    BeginFrame(kSky);
    EndFrame();
    Read();
    EXPECT_EQ(CountPixels(kSkyPixel), int(kWidth * kHeight));
    // A second frame with another colour replaces it everywhere.
    BeginFrame(0x00102030);
    EndFrame();
    Read();
    EXPECT_EQ(CountPixels(0xFF102030), int(kWidth * kHeight));
}

// Lit colour = sat(Ce + Ca*Ga + Cd*Ld*max(N.L, 0)), N.L in view space with the
// light direction normalised and the normal not; alpha from the diffuse.
TEST_F(GLDeviceTest, LitFaceFollowsTheLightingFormula)
{
    GameLight(mDevice);
    D3DMATERIAL9 material = TestMaterial();
    mDevice->SetMaterial(&material);
    const double ga[3] = {0x68 / 255.0, 0x6E / 255.0, 0x5D / 255.0};
    const double ld[3] = {0.315, 0.35, 0.2625};
    const double cd[3] = {0.8, 0.6, 0.4}, ca[3] = {0.5, 0.7, 0.9}, ce[3] = {0.1, 0.05, 0.0};
    const double length = std::sqrt(1.0 + 0.64 + 1.0);
    const double toLight[3] = {-1.0 / length, -0.8 / length, 1.0 / length};

    struct Case {
        const char* what;
        float nx, ny, nz;
        D3DMATRIX world, view;
        double nDotL; // in world space, which a rigid view and world keep
    };
    D3DMATRIX id = IdentityMatrix();
    // Rotating the world by a and turning the normal by -a gives the same world normal;
    // rotating the view turns light and normals together.
    const float a = 0.7f;
    const float ux = std::cos(-a) * 0.3f - std::sin(-a) * -0.4f, uy = std::sin(-a) * 0.3f + std::cos(-a) * -0.4f;
    const Case cases[] = {
        {"facing up", 0, 0, 1, id, id, toLight[2]},
        {"tilted, unit", 0.6f, -0.8f, 0, id, id, 0.6 * toLight[0] - 0.8 * toLight[1]},
        {"half-length normal is not normalised", 0, 0, 0.5f, id, id, 0.5 * toLight[2]},
        {"facing away clamps to 0", 0, 0, -1, id, id, 0.0},
        {"view rotated", 0, 0, 1, id, RotationZ(1.1f, 0.2f, -0.1f, 0.0f), toLight[2]},
        {"world rotated", ux, uy, std::sqrt(1.0f - 0.25f), RotationZ(a), id,
         0.3 * toLight[0] - 0.4 * toLight[1] + std::sqrt(0.75) * toLight[2]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<NormalVertex> quad = ScreenQuad(c.nx, c.ny, c.nz);
        mDevice->SetTransform(D3DTS_WORLD, &c.world);
        mDevice->SetTransform(D3DTS_VIEW, &c.view);
        // The projection undoes world * view (a rotation about z and a
        // translation) so that the quad still covers the screen.
        D3DMATRIX wv;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                wv.m[i][j] = 0;
                for (int k = 0; k < 4; ++k)
                    wv.m[i][j] += c.world.m[i][k] * c.view.m[k][j];
            }
        D3DMATRIX inverse = IdentityMatrix();
        inverse.m[0][0] = wv.m[0][0];
        inverse.m[0][1] = wv.m[1][0];
        inverse.m[1][0] = wv.m[0][1];
        inverse.m[1][1] = wv.m[1][1];
        inverse.m[3][0] = -(wv.m[3][0] * wv.m[0][0] + wv.m[3][1] * wv.m[0][1]);
        inverse.m[3][1] = -(wv.m[3][0] * wv.m[1][0] + wv.m[3][1] * wv.m[1][1]);
        mDevice->SetTransform(D3DTS_PROJECTION, &inverse);
        BeginFrame(0);
        mDevice->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
        ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad.data(), sizeof(NormalVertex)), D3D_OK);
        EndFrame();
        Read();
        double d = std::fmax(c.nDotL, 0.0);
        ExpectColour(Pixel(kWidth / 2, kHeight / 2), ce[0] + ca[0] * ga[0] + cd[0] * ld[0] * d,
                     ce[1] + ca[1] * ga[1] + cd[1] * ld[1] * d, ce[2] + ca[2] * ga[2] + cd[2] * ld[2] * d);
        ExpectColour(Pixel(1, 1), ce[0] + ca[0] * ga[0] + cd[0] * ld[0] * d, ce[1] + ca[1] * ga[1] + cd[1] * ld[1] * d,
                     ce[2] + ca[2] * ga[2] + cd[2] * ld[2] * d);
    }
}

TEST_F(GLDeviceTest, FaceWithoutNormalsGetsEmissiveAndAmbientOnlyAndUnlitIsWhite)
{
    GameLight(mDevice);
    D3DMATERIAL9 material = TestMaterial();
    material.Diffuse.a = 0.5f;
    mDevice->SetMaterial(&material);
    const float quad[4][3] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {1, -1, 0.5f}, {-1, -1, 0.5f}};
    BeginFrame(0);
    mDevice->SetFVF(D3DFVF_XYZ);
    ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, 12), D3D_OK);
    EndFrame();
    Read();
    // No blending: the diffuse alpha lands in the (ignored) alpha channel.
    ExpectColour(Pixel(10, 10), 0.1 + 0.5 * 0x68 / 255.0, 0.05 + 0.7 * 0x6E / 255.0, 0.9 * 0x5D / 255.0);

    mDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    BeginFrame(0);
    ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, 12), D3D_OK);
    EndFrame();
    Read();
    EXPECT_EQ(Pixel(10, 10), 0xFFFFFFFFu);
    EXPECT_EQ(CountPixels(0xFFFFFFFFu), int(kWidth * kHeight));
}

TEST_F(GLDeviceTest, SpriteTexelsLandOnExactPixels)
{
    std::vector<uint32_t> texels(16);
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            texels[j * 4 + i] = 0xFF000000u | uint32_t(40 + i * 60) << 16 | uint32_t(40 + j * 60) << 8 | 0x11;
    IDirect3DTexture9* texture = MakeTexture(4, 4, texels);
    ASSERT_NE(texture, nullptr);
    OverlayState(true, true);
    BeginFrame(kSky);
    DrawSprite(texture, 8, 12, 4, 4);
    EndFrame();
    Read();
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(Pixel(8 + i, 12 + j), texels[j * 4 + i]) << i << "," << j;
    EXPECT_EQ(CountPixels(kSkyPixel), int(kWidth * kHeight) - 16);
    texture->Release();
}

TEST_F(GLDeviceTest, AlphaKeyedTexelsVanishAndTranslucentOnesBlend)
{
    // Keyed (alpha 0), translucent picture pixel (0xCF), half-transparent grey (0x80), opaque.
    const std::vector<uint32_t> texels = {0x00FFFFFF, 0xCFFF0000, 0x80808080, 0xFF00FF00};
    IDirect3DTexture9* texture = MakeTexture(4, 1, texels);
    ASSERT_NE(texture, nullptr);
    OverlayState(true, true);
    BeginFrame(kSky);
    DrawSprite(texture, 20, 20, 4, 1);
    EndFrame();
    Read();
    EXPECT_EQ(Pixel(20, 20), kSkyPixel);
    auto blend = [](int source, int destination, int alpha) { return (source * alpha + destination * (255 - alpha)) / 255.0; };
    for (int i = 1; i < 3; ++i) {
        uint32_t t = texels[i], p = Pixel(20 + i, 20);
        int alpha = Channel(t, 24);
        for (int shift : {16, 8, 0})
            EXPECT_NEAR(Channel(p, shift), blend(Channel(t, shift), Channel(kSkyPixel, shift), alpha), 1.0)
                << "texel " << i << " channel " << shift;
    }
    EXPECT_EQ(Pixel(23, 20), 0xFF00FF00u);
    texture->Release();
}

TEST_F(GLDeviceTest, AlphaTestKeepsEightAndDropsSeven)
{
    const std::vector<uint32_t> texels = {0x07FF0000, 0x08FF0000};
    IDirect3DTexture9* texture = MakeTexture(2, 1, texels);
    ASSERT_NE(texture, nullptr);
    OverlayState(false, true);
    BeginFrame(kSky);
    DrawSprite(texture, 5, 5, 2, 1);
    EndFrame();
    Read();
    EXPECT_EQ(Pixel(5, 5), kSkyPixel);
    EXPECT_EQ(Pixel(6, 5), 0xFFFF0000u);
    // With the test off both are drawn.
    mDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    BeginFrame(kSky);
    DrawSprite(texture, 5, 5, 2, 1);
    EndFrame();
    Read();
    EXPECT_EQ(Pixel(5, 5), 0xFFFF0000u);
    texture->Release();

    // Lit, untextured faces are tested too, on the material's diffuse alpha.
    mDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    mDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    mDevice->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
    D3DMATERIAL9 material;
    std::memset(&material, 0, sizeof material);
    material.Ambient = {1, 1, 1, 1};
    const float quad[4][3] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {1, -1, 0.5f}, {-1, -1, 0.5f}};
    D3DMATRIX identity = IdentityMatrix();
    mDevice->SetTransform(D3DTS_PROJECTION, &identity);
    mDevice->SetFVF(D3DFVF_XYZ);
    for (int alpha : {7, 8}) {
        material.Diffuse.a = float(alpha) / 255.0f;
        mDevice->SetMaterial(&material);
        BeginFrame(kSky);
        ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, 12), D3D_OK);
        EndFrame();
        Read();
        EXPECT_EQ(Pixel(10, 10), alpha < 8 ? kSkyPixel : 0xFFFFFFFFu) << "alpha " << alpha;
    }
}

TEST_F(GLDeviceTest, CounterClockwiseTrianglesAreCulledByDefault)
{
    OverlayState(false, false);
    mDevice->SetFVF(D3DFVF_XYZ);
    // Overlay coordinates (y grows downwards after the projection's flip).
    const float clockwise[3][3] = {{-0.9f, -0.9f, 0}, {-0.1f, -0.9f, 0}, {-0.9f, -0.1f, 0}}; // top-left area
    const float counterClockwise[3][3] = {{0.1f, 0.1f, 0}, {0.1f, 0.9f, 0}, {0.9f, 0.1f, 0}}; // bottom-right area
    BeginFrame(kSky);
    ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, 12), D3D_OK);
    ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counterClockwise, 12), D3D_OK);
    EndFrame();
    Read();
    EXPECT_EQ(Pixel(int(kWidth * 0.1), int(kHeight * 0.1)), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(int(kWidth * 0.6), int(kHeight * 0.6)), kSkyPixel);

    mDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    BeginFrame(kSky);
    mDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, 12);
    mDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counterClockwise, 12);
    EndFrame();
    Read();
    EXPECT_EQ(Pixel(int(kWidth * 0.1), int(kHeight * 0.1)), kSkyPixel);
    EXPECT_EQ(Pixel(int(kWidth * 0.6), int(kHeight * 0.6)), 0xFFFFFFFFu);

    mDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    BeginFrame(kSky);
    mDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, 12);
    mDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counterClockwise, 12);
    EndFrame();
    Read();
    EXPECT_EQ(CountPixels(0xFFFFFFFFu) > 0 && Pixel(int(kWidth * 0.1), int(kHeight * 0.1)) == 0xFFFFFFFFu &&
                  Pixel(int(kWidth * 0.6), int(kHeight * 0.6)) == 0xFFFFFFFFu,
              true);
}

TEST_F(GLDeviceTest, NearerFacesHideFartherOnesWhateverTheOrder)
{
    mDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    mDevice->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
    D3DMATERIAL9 red, green;
    std::memset(&red, 0, sizeof red);
    std::memset(&green, 0, sizeof green);
    red.Ambient = {1, 0, 0, 1};
    red.Diffuse.a = 1;
    green.Ambient = {0, 1, 0, 1};
    green.Diffuse.a = 1;
    const float nearQuad[4][3] = {{-1, 1, 0.3f}, {1, 1, 0.3f}, {1, -1, 0.3f}, {-1, -1, 0.3f}};
    const float farQuad[4][3] = {{-1, 1, 0.6f}, {1, 1, 0.6f}, {1, -1, 0.6f}, {-1, -1, 0.6f}};
    mDevice->SetFVF(D3DFVF_XYZ);
    for (bool nearFirst : {true, false}) {
        BeginFrame(kSky);
        for (int k = 0; k < 2; ++k) {
            bool drawNear = (k == 0) == nearFirst;
            mDevice->SetMaterial(drawNear ? &red : &green);
            ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, drawNear ? nearQuad : farQuad, 12), D3D_OK);
        }
        EndFrame();
        Read();
        EXPECT_EQ(CountPixels(0xFFFF0000u), int(kWidth * kHeight)) << "near first " << nearFirst;
    }
    // Depth off: the later face wins.
    mDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    BeginFrame(kSky);
    mDevice->SetMaterial(&red);
    mDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, nearQuad, 12);
    mDevice->SetMaterial(&green);
    mDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, farQuad, 12);
    EndFrame();
    Read();
    EXPECT_EQ(CountPixels(0xFF00FF00u), int(kWidth * kHeight));
    // Depths outside 0..1 are clipped away, 0 itself is drawn.
    mDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    const float beyond[4][3] = {{-1, 1, 1.5f}, {1, 1, 1.5f}, {1, -1, 1.5f}, {-1, -1, 1.5f}};
    const float behind[4][3] = {{-1, 1, -0.2f}, {1, 1, -0.2f}, {1, -1, -0.2f}, {-1, -1, -0.2f}};
    const float atZero[4][3] = {{-1, 1, 0}, {1, 1, 0}, {1, -1, 0}, {-1, -1, 0}};
    BeginFrame(kSky);
    mDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, beyond, 12);
    mDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, behind, 12);
    EndFrame();
    Read();
    EXPECT_EQ(CountPixels(kSkyPixel), int(kWidth * kHeight));
    BeginFrame(kSky);
    mDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, atZero, 12);
    EndFrame();
    Read();
    EXPECT_EQ(CountPixels(0xFF00FF00u), int(kWidth * kHeight));
}
