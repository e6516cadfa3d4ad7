// What a player sees: pixels of the headless OpenGL device (clear, lighting,
// textured sprites and the alpha test, culling, depth).

#include <cmath>

#include "tests/gl/GLTestDevice.h"

namespace {

// Channel of 0xAARRGGBB: 16 red, 8 green, 0 blue, 24 alpha.
int Channel(uint32_t colour, int shift)
{
    return int((colour >> shift) & 0xFF);
}

// The pixel shows texel k blended over behind by the texel's alpha.
void ExpectBlended(uint32_t pixel, uint32_t texel, uint32_t behind, int k)
{
    const int a = Channel(texel, 24);
    for (int s : {16, 8, 0})
        EXPECT_NEAR(Channel(pixel, s), (Channel(texel, s) * a + Channel(behind, s) * (255 - a)) / 255.0, 1.0)
            << "texel " << k << " channel " << s;
}

D3DMATRIX RotationZ(float angle, float tx, float ty)
{
    float c = std::cos(angle), s = std::sin(angle);
    return {{{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {tx, ty, 0, 1}}};
}

} // namespace

// Lit colour = sat(Ce + Ca*Ga + Cd*Ld*max(N.L, 0)), N.L in view space with the
// light direction normalised and the normal not; no normal gives N.L = 0.
TEST_F(GLDeviceTest, LitFaceFollowsTheLightingFormula)
{
    // The game's start-up light and ambient.
    const D3DLIGHT9 light{D3DLIGHT_DIRECTIONAL, {0.315f, 0.35f, 0.2625f, 0}, {}, {}, {}, {1, 0.8f, -1},
                          0, 0, 0, 0, 0, 0, 0};
    mDevice->SetLight(0, &light);
    mDevice->LightEnable(0, TRUE);
    mDevice->SetRenderState(D3DRS_AMBIENT, 0x00686E5D);
    const D3DMATERIAL9 material{{0.8f, 0.6f, 0.4f, 1}, {0.5f, 0.7f, 0.9f, 1}, {}, {0.1f, 0.05f, 0, 0}, 0};
    mDevice->SetMaterial(&material);
    const double ga[3] = {0x68 / 255.0, 0x6E / 255.0, 0x5D / 255.0}, ld[3] = {0.315, 0.35, 0.2625};
    const double cd[3] = {0.8, 0.6, 0.4}, ca[3] = {0.5, 0.7, 0.9}, ce[3] = {0.1, 0.05, 0.0};
    const double length = std::sqrt(2.64), lx = -1.0 / length, ly = -0.8 / length, lz = 1.0 / length;

    const DWORD normals = D3DFVF_XYZ | D3DFVF_NORMAL;
    const D3DMATRIX id = IdentityMatrix();
    const double c7 = std::cos(0.7), s7 = std::sin(0.7); // the world turned by 0.7 turns the normal too
    const struct {
        const char* what;
        DWORD fvf;
        float nx, ny, nz;
        D3DMATRIX world, view;
        double nDotL; // in world space, which a rigid view and world keep
    } cases[] = {
        {"facing up", normals, 0, 0, 1, id, id, lz},
        {"tilted", normals, 0.6f, -0.8f, 0, id, id, 0.6 * lx - 0.8 * ly},
        {"half-length normal is not normalised", normals, 0, 0, 0.5f, id, id, 0.5 * lz},
        {"facing away clamps to 0", normals, 0, 0, -1, id, id, 0.0},
        {"no normal", D3DFVF_XYZ, 0, 0, 1, id, id, 0.0},
        {"view turned and moved", normals, 0, 0, 1, id, RotationZ(1.1f, 0.2f, -0.1f), lz},
        {"world turned", normals, -0.6f, -0.8f, 0, RotationZ(0.7f, 0, 0), id,
         (-0.6 * c7 + 0.8 * s7) * lx + (-0.6 * s7 - 0.8 * c7) * ly},
    };
    for (const auto& c : cases) {
        // Large enough to cover the screen however it is turned.
        const float quad[4][6] = {{-3, 3, 0.5f, c.nx, c.ny, c.nz}, {3, 3, 0.5f, c.nx, c.ny, c.nz},
                                  {3, -3, 0.5f, c.nx, c.ny, c.nz}, {-3, -3, 0.5f, c.nx, c.ny, c.nz}};
        mDevice->SetTransform(D3DTS_WORLD, &c.world);
        mDevice->SetTransform(D3DTS_VIEW, &c.view);
        mDevice->SetFVF(c.fvf);
        Frame(0, [&] { ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, 24), D3D_OK); });
        const double d = std::fmax(c.nDotL, 0.0);
        for (uint32_t p : {Pixel(kWidth / 2, kHeight / 2), Pixel(1, 1)})
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(Channel(p, 16 - 8 * i), std::fmin(ce[i] + ca[i] * ga[i] + cd[i] * ld[i] * d, 1.0) * 255, 2)
                    << c.what << ": " << std::hex << p << " channel " << i;
    }
}

// Texels land on exact pixels; alpha 0 is keyed out, translucent texels blend
// with what is behind; the alpha test keeps 8 and drops 7.
TEST_F(GLDeviceTest, SpriteTexelsUnderBlendingAndTheAlphaTest)
{
    std::vector<uint32_t> texels(16);
    for (int k = 0; k < 16; ++k)
        texels[k] = 0xFF000000u | uint32_t(40 + k % 4 * 60) << 16 | uint32_t(40 + k / 4 * 60) << 8 | 0x11;
    texels[1] = 0x00FFFFFF;  // keyed
    texels[6] = 0xCFFF0000;  // a translucent picture pixel
    texels[9] = 0x80808080;  // half-transparent
    texels[11] = 0x07FF0000; // below the reference
    texels[14] = 0x08FF0000; // at the reference
    IDirect3DTexture9* texture = MakeTexture(4, 4, texels);
    ASSERT_NE(texture, nullptr);
    for (bool blend : {true, false})
        for (bool alphaTest : {true, false}) {
            SCOPED_TRACE(testing::Message() << "blend " << blend << " alpha test " << alphaTest);
            OverlayState(blend, alphaTest);
            Frame(kSky, [&] { DrawSprite(texture, 8, 12, 4, 4); });
            int skyInside = 0;
            for (int k = 0; k < 16; ++k) {
                uint32_t t = texels[k], p = Pixel(8 + k % 4, 12 + k / 4);
                int a = Channel(t, 24);
                skyInside += p == kSkyPixel;
                if (alphaTest && a < 8)
                    EXPECT_EQ(p, kSkyPixel) << "texel " << k;
                else if (!blend || a == 255)
                    EXPECT_EQ(p, t | 0xFF000000u) << "texel " << k;
                else
                    ExpectBlended(p, t, kSkyPixel, k);
            }
            EXPECT_EQ(CountPixels(kSkyPixel), int(kWidth * kHeight) - 16 + skyInside) << "drawn outside the sprite";
        }
    texture->Release();

    // Lit, untextured faces are tested too, on the material's diffuse alpha.
    ModelState();
    mDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    mDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    for (int alpha : {7, 8}) {
        D3DMATERIAL9 material = Flat(1, 1, 1);
        material.Diffuse.a = float(alpha) / 255.0f;
        mDevice->SetMaterial(&material);
        Frame(kSky, [&] { DrawQuad(0.5f); });
        EXPECT_TRUE(Covered(alpha < 8 ? kSkyPixel : kWhite)) << "alpha " << alpha;
    }
}

// A picture whose texels are either invisible (alpha 0) or pass the alpha
// test is drawn as with the test (the device may leave it out when blended
// texels of alpha 0 leave no trace): alpha 0 keeps what is behind, and where
// depth is written, a discarded texel writes none, so a farther face drawn
// later still shows there.
TEST_F(GLDeviceTest, AnAlphaTestThatRejectsOnlyInvisibleTexelsKeepsItsPicture)
{
    std::vector<uint32_t> texels(16);
    for (int k = 0; k < 16; ++k)
        texels[k] = (k % 3 == 0 ? 0x00000000u : k % 3 == 1 ? 0x80000000u : 0xFF000000u) | 0x20A040u;
    IDirect3DTexture9* texture = MakeTexture(4, 4, texels);
    ASSERT_NE(texture, nullptr);
    for (bool depthWrites : {false, true}) {
        SCOPED_TRACE(depthWrites ? "depth written" : "depth off");
        OverlayState(true, true);
        mDevice->SetRenderState(D3DRS_ZENABLE, depthWrites);
        mDevice->SetRenderState(D3DRS_ZWRITEENABLE, depthWrites);
        Frame(kSky, [&] {
            DrawSprite(texture, 8, 12, 4, 4); // at depth 0
            if (depthWrites) {
                mDevice->SetFVF(D3DFVF_XYZ);
                mDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE); // the overlay's y flip turns it round
                DrawQuad(0.5f); // opaque white, farther
                mDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
            }
        });
        for (int k = 0; k < 16; ++k) {
            const uint32_t p = Pixel(8 + k % 4, 12 + k / 4);
            if (Channel(texels[k], 24) == 0)
                EXPECT_EQ(p, depthWrites ? kWhite : kSkyPixel) << "texel " << k;
            else // blended over the sky, then hidden from the farther face
                ExpectBlended(p, texels[k], kSkyPixel, k);
        }
    }
    texture->Release();
}

// The game never sets the cull mode: its default decides which faces show.
// (The other modes: a face turned round by the overlay's flip drawn with
// culling off above, and culling the other way in the model culling test.)
TEST_F(GLDeviceTest, CounterClockwiseTrianglesAreCulledByDefault)
{
    OverlayState(false, false); // unlit without vertex colours: opaque white
    // Overlay coordinates (y grows downwards after the projection's flip): a
    // clockwise triangle at the top left, a counter-clockwise one at the bottom right.
    const float triangles[6][3] = {{-0.9f, -0.9f, 0}, {-0.1f, -0.9f, 0}, {-0.9f, -0.1f, 0},
                                   {0.1f, 0.1f, 0},   {0.1f, 0.9f, 0},   {0.9f, 0.1f, 0}};
    Frame(kSky, [&] { ASSERT_EQ(mDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 2, triangles, 12), D3D_OK); });
    EXPECT_EQ(Pixel(kWidth / 10, kHeight / 10), kWhite);
    EXPECT_EQ(Pixel(kWidth * 6 / 10, kHeight * 6 / 10), kSkyPixel);
}

TEST_F(GLDeviceTest, NearerFacesHideFartherOnesWhateverTheOrder)
{
    ModelState();
    const D3DMATERIAL9 red = Flat(1, 0, 0), green = Flat(0, 1, 0);
    const struct {
        const char* what;
        BOOL depthTest;
        float redZ, greenZ; // red drawn first
        uint32_t expected;
    } cases[] = {
        {"near first", TRUE, 0.3f, 0.6f, 0xFFFF0000u},
        {"near last", TRUE, 0.6f, 0.3f, 0xFF00FF00u},
        {"depth test off: the later face wins", FALSE, 0.3f, 0.6f, 0xFF00FF00u},
        {"outside 0..1 is clipped away", TRUE, 1.5f, -0.2f, kSkyPixel},
        {"0 itself is drawn", TRUE, 0.0f, 1.5f, 0xFFFF0000u},
    };
    for (const auto& c : cases) {
        mDevice->SetRenderState(D3DRS_ZENABLE, c.depthTest);
        Frame(kSky, [&] {
            mDevice->SetMaterial(&red);
            DrawQuad(c.redZ);
            mDevice->SetMaterial(&green);
            DrawQuad(c.greenZ);
        });
        EXPECT_TRUE(Covered(c.expected)) << c.what;
    }
}
