// What callers rely on beyond single pixels and beyond the contract that
// every back end keeps (tests/device): batched draws keep their own state,
// resources made on another thread are drawable, a second device keeps to
// itself, a back buffer too large is not available, and the letterbox of the
// windowed present.

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/gl/GLLetterbox.h"
#include "tests/gl/GLTestDevice.h"

namespace {

// Square fans of side 0.1 (clockwise on screen), k-th at x = -0.95 + 0.15k,
// y = 0.5 moved right by shift; faces of 4 and 6 vertices alternate, as model faces vary.
std::vector<float> RowOfFans(int count, float shift = 0)
{
    std::vector<float> v;
    for (int k = 0; k < count; ++k) {
        float x = -0.95f + 0.15f * float(k) + shift, y = 0.5f;
        if (k % 2 == 0)
            v.insert(v.end(), {x, y, 0.5f, x + 0.1f, y, 0.5f, x + 0.1f, y - 0.1f, 0.5f, x, y - 0.1f, 0.5f});
        else
            v.insert(v.end(), {x, y, 0.5f, x + 0.05f, y, 0.5f, x + 0.1f, y, 0.5f, x + 0.1f, y - 0.1f, 0.5f,
                               x + 0.05f, y - 0.1f, 0.5f, x, y - 0.1f, 0.5f});
    }
    return v;
}

} // namespace

// The same model drawn at three places, material groups of 4 faces each, faces
// drawn in an order unlike their order in the buffer, the same world set twice.
// The second frame reuses the laid-out fans after a partial refill moved fan 0
// away, and releases the buffer before the frame ends.
TEST_F(GLDeviceTest, EachBatchedFaceKeepsItsOwnTransformAndMaterial)
{
    // The pixel at the centre of fan k of RowOfFans moved down by dy (clip units).
    auto fanPixel = [&](int k, float dy) { return Pixel(int(3.2f + 4.8f * k), int((0.55f - dy) * 24)); };
    IDirect3DVertexBuffer9* buffer = MakeBuffer(RowOfFans(12));
    ASSERT_NE(buffer, nullptr);
    ModelState();
    const float offsets[3] = {0.0f, -0.4f, -0.8f};
    for (int frame = 0; frame < 2; ++frame) {
        Frame(0, [&] {
            ASSERT_EQ(mDevice->SetStreamSource(0, buffer, 0, 12), D3D_OK);
            for (float dy : offsets) {
                const D3DMATRIX world{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, dy, 0, 1}}};
                mDevice->SetTransform(D3DTS_WORLD, &world);
                mDevice->SetTransform(D3DTS_WORLD, &world);
                for (int k = 11; k >= 0; --k) { // faces in reverse order; blue, green, red groups of 4
                    const D3DMATERIAL9 material = Flat(k / 4 == 0, k / 4 == 1, k / 4 == 2);
                    if (k % 4 == 3)
                        mDevice->SetMaterial(&material);
                    ASSERT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, k / 2 * 10 + k % 2 * 4, 2 + k % 2 * 2), D3D_OK);
                }
            }
            if (frame == 1) { // the queued draws survive; drawing from the emptied stream is refused
                EXPECT_EQ(buffer->Release(), 0u);
                EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL);
            }
        });
        for (float dy : offsets)
            for (int k = 0; k < 12; ++k)
                EXPECT_EQ(fanPixel(k, dy), frame == 1 && k == 0 ? kBlack : 0xFF000000u | 0xFFu << (16 - 8 * (k / 4)))
                    << "frame " << frame << " fan " << k << " dy " << dy;
        float* data = nullptr; // fan 0 moved off the screen through a partial lock
        if (frame == 0) {
            ASSERT_EQ(buffer->Lock(0, 48, reinterpret_cast<void**>(&data), 0), D3D_OK);
            std::memcpy(data, RowOfFans(1, 5.0f).data(), 48);
            ASSERT_EQ(buffer->Unlock(), D3D_OK);
        }
    }
}

TEST_F(GLDeviceTest, ResourcesMadeOnALoadingThreadAreDrawableWhenItEnds)
{
    auto fanPixel = [&](int k) { return Pixel(int(3.2f + 4.8f * k), int(0.55f * 24)); }; // as above
    constexpr int kCount = 12;
    IDirect3DVertexBuffer9* buffers[kCount] = {};
    IDirect3DTexture9* textures[kCount] = {};
    std::atomic<bool> done{false};
    std::thread loader([&] {
        for (int i = 0; i < kCount; ++i) {
            buffers[i] = MakeBuffer(RowOfFans(1, 0.15f * float(i))); // the fan in slot i
            textures[i] = MakeTexture(8, 8, std::vector<uint32_t>(64, 0xFF000000u | uint32_t(i * 20 + 5) << 16));
        }
        done = true;
    });
    // Meanwhile the main thread draws loading frames.
    OverlayState(true, true);
    for (int frames = 0; !done || frames < 5; ++frames)
        Frame(0, [&] { DrawSprite(nullptr, 1, 1, 8, 8); });
    loader.join();
    ASSERT_EQ(std::count(buffers, buffers + kCount, nullptr) + std::count(textures, textures + kCount, nullptr), 0);

    Frame(0, [&] {
        ModelState();
        mDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
        const D3DMATERIAL9 white = Flat(1, 1, 1);
        mDevice->SetMaterial(&white);
        for (int i = 0; i < kCount; ++i) {
            mDevice->SetStreamSource(0, buffers[i], 0, 12);
            ASSERT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3D_OK);
        }
        OverlayState(false, false);
        for (int i = 0; i < kCount; ++i)
            DrawSprite(textures[i], float(2 + 2 * i), 40, 2, 2);
        // Drawing from another thread than the device's is refused.
        HRESULT fromOther = D3D_OK;
        std::thread([&] { fromOther = mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2); }).join();
        EXPECT_EQ(fromOther, D3DERR_INVALIDCALL);
    });
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(fanPixel(i), kWhite) << "buffer " << i;
        EXPECT_EQ(Pixel(2 + 2 * i, 40), 0xFF000000u | uint32_t(i * 20 + 5) << 16) << "texture " << i;
        buffers[i]->Release();
        textures[i]->Release();
    }
}

// More devices on one Direct3D object: beyond the contract that every back
// end keeps (tests/device), a back buffer larger than the driver draws is not
// available; and calls interleaved between two devices on one thread each go
// to the device they are made on.
TEST_F(GLDeviceTest, ASecondDeviceOnOneThreadClearsItsOwnBackBufferAndAHugeOneIsNotAvailable)
{
    D3DPRESENT_PARAMETERS huge = BackBuffer(100000, 16);
    IDirect3DDevice9* none = mDevice;
    EXPECT_EQ(mD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &huge, &none), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(none, nullptr);

    D3DPRESENT_PARAMETERS parameters = BackBuffer(16, 8);
    IDirect3DDevice9* second = nullptr;
    ASSERT_EQ(mD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x40, &parameters, &second), D3D_OK);
    ASSERT_EQ(second->Clear(0, nullptr, D3DCLEAR_TARGET, 0x0000FF00, 1.0f, 0), D3D_OK);
    Frame(kSky, [] {});
    EXPECT_TRUE(Covered(kSkyPixel));
    std::vector<uint32_t> pixels;
    UINT w = 0, h = 0;
    ASSERT_EQ(OrvelGL::ReadBackBuffer(second, pixels, w, h), D3D_OK);
    EXPECT_EQ(pixels, std::vector<uint32_t>(16 * 8, 0xFF00FF00u));
    EXPECT_EQ(second->Release(), 0u);
    Frame(0x00102030, [] {}); // the first device still works once the second is gone
    EXPECT_TRUE(Covered(0xFF102030u));
}

TEST(GLLetterboxTest, KeepsTheAspectRatioCentredWithBars)
{
    const struct {
        int sw, sh, dw, dh, x, y, width, height;
    } cases[] = {
        {1024, 768, 2048, 1536, 0, 0, 2048, 1536},  // HiDPI double
        {1024, 768, 1920, 1080, 240, 0, 1440, 1080}, // wide: bars left and right
        {1024, 768, 1280, 1024, 0, 32, 1280, 960},  // tall: bars above and below
        {800, 600, 801, 600, 0, 0, 800, 600},       // one spare column: no stretch, half-pixel bar rounds down
        {800, 600, 800, 601, 0, 0, 800, 600},       // one spare row likewise
        {1, 1000, 3, 3, 1, 0, 1, 3},                // extreme ratio keeps at least the rounding
        {1024, 768, 0, 768, 0, 0, 0, 0},            // minimised window
        {0, 768, 1024, 768, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        OrvelGL::LetterboxRect r = OrvelGL::ComputeLetterbox(c.sw, c.sh, c.dw, c.dh);
        EXPECT_EQ(std::vector<int>({r.x, r.y, r.width, r.height}), std::vector<int>({c.x, c.y, c.width, c.height}))
            << c.sw << "x" << c.sh << " in " << c.dw << "x" << c.dh;
    }
}
