// What callers rely on beyond single pixels: batched draws keep their own
// state, resources made on another thread are drawable, refused calls fail
// without drawing, and the letterbox of the windowed present.

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/gl/GLLetterbox.h"
#include "tests/gl/GLTestDevice.h"

namespace {

constexpr D3DCOLOR kBlack = 0;

D3DMATERIAL9 Flat(float r, float g, float b)
{
    D3DMATERIAL9 m;
    std::memset(&m, 0, sizeof m);
    m.Ambient = {r, g, b, 1};
    m.Diffuse.a = 1;
    return m;
}

D3DMATRIX Translation(float x, float y)
{
    D3DMATRIX m = IdentityMatrix();
    m.m[3][0] = x;
    m.m[3][1] = y;
    return m;
}

// Square fans of side 0.1 (clockwise on screen), k-th at x = -0.95 + 0.15k,
// y = 0.5; faces of 4 and 6 vertices alternate, as model faces vary.
std::vector<float> RowOfFans(int count)
{
    std::vector<float> v;
    for (int k = 0; k < count; ++k) {
        float x = -0.95f + 0.15f * float(k), y = 0.5f;
        if (k % 2 == 0) {
            v.insert(v.end(), {x, y, 0.5f, x + 0.1f, y, 0.5f, x + 0.1f, y - 0.1f, 0.5f, x, y - 0.1f, 0.5f});
        } else {
            v.insert(v.end(), {x, y, 0.5f, x + 0.05f, y, 0.5f, x + 0.1f, y, 0.5f, x + 0.1f, y - 0.1f, 0.5f,
                               x + 0.05f, y - 0.1f, 0.5f, x, y - 0.1f, 0.5f});
        }
    }
    return v;
}

int FanFirst(int k)
{
    return (k / 2) * 10 + (k % 2) * 4; // 4 + 6 vertices per pair
}

// Centre pixel of fan k of RowOfFans moved by (dx, dy) in clip units.
void FanCentre(int k, float dx, float dy, int& px, int& py, UINT width, UINT height)
{
    float x = -0.95f + 0.15f * float(k) + 0.05f + dx, y = 0.45f + dy;
    px = int((x + 1.0f) * 0.5f * float(width));
    py = int((1.0f - y) * 0.5f * float(height));
}

class GLContractTest : public GLDeviceTest {
protected:
    void ModelState()
    {
        mDevice->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
        D3DMATRIX identity = IdentityMatrix();
        mDevice->SetTransform(D3DTS_VIEW, &identity);
        mDevice->SetTransform(D3DTS_PROJECTION, &identity);
        mDevice->SetFVF(D3DFVF_XYZ);
    }
};

} // namespace

TEST_F(GLContractTest, EachBatchedFaceKeepsItsOwnTransformAndMaterial)
{
    const int fans = 12;
    std::vector<float> vertices = RowOfFans(fans);
    IDirect3DVertexBuffer9* buffer = MakeBuffer(vertices.data(), UINT(vertices.size() * 4), D3DFVF_XYZ);
    ASSERT_NE(buffer, nullptr);
    ModelState();
    const D3DMATERIAL9 materials[3] = {Flat(1, 0, 0), Flat(0, 1, 0), Flat(0, 0, 1)};
    const uint32_t colours[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
    // The same model drawn at three places, material groups of 4 faces each,
    // faces drawn in an order unlike their order in the buffer; the same
    // world set twice in a row must not matter.
    const float offsets[3] = {0.0f, -0.4f, -0.8f};
    for (int frame = 0; frame < 2; ++frame) { // the second frame reuses the laid-out fans
        BeginFrame(kBlack);
        ASSERT_EQ(mDevice->SetStreamSource(0, buffer, 0, 12), D3D_OK);
        for (float dy : offsets) {
            D3DMATRIX world = Translation(0, dy);
            mDevice->SetTransform(D3DTS_WORLD, &world);
            mDevice->SetTransform(D3DTS_WORLD, &world);
            for (int group = 0; group < 3; ++group) {
                mDevice->SetMaterial(&materials[group]);
                for (int i = 3; i >= 0; --i) {
                    int k = group * 4 + i;
                    UINT count = k % 2 == 0 ? 4 : 6;
                    ASSERT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, UINT(FanFirst(k)), count - 2), D3D_OK);
                }
            }
        }
        EndFrame();
        Read();
        for (float dy : offsets)
            for (int k = 0; k < fans; ++k) {
                int x, y;
                FanCentre(k, 0, dy, x, y, kWidth, kHeight);
                EXPECT_EQ(Pixel(x, y), colours[k / 4]) << "frame " << frame << " fan " << k << " dy " << dy;
            }
    }
    buffer->Release();
}

TEST_F(GLContractTest, RefilledBufferDrawsItsNewContents)
{
    std::vector<float> vertices = RowOfFans(2);
    IDirect3DVertexBuffer9* buffer = MakeBuffer(vertices.data(), UINT(vertices.size() * 4), D3DFVF_XYZ);
    ASSERT_NE(buffer, nullptr);
    ModelState();
    D3DMATERIAL9 white = Flat(1, 1, 1);
    mDevice->SetMaterial(&white);
    int x0, y0, x1, y1;
    FanCentre(0, 0, 0, x0, y0, kWidth, kHeight);
    FanCentre(0, 0.3f, 0, x1, y1, kWidth, kHeight);
    for (int pass = 0; pass < 2; ++pass) {
        BeginFrame(kBlack);
        mDevice->SetStreamSource(0, buffer, 0, 12);
        ASSERT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3D_OK);
        EndFrame();
        Read();
        EXPECT_EQ(Pixel(x0, y0), pass == 0 ? 0xFFFFFFFFu : 0xFF000000u) << "pass " << pass;
        EXPECT_EQ(Pixel(x1, y1), pass == 0 ? 0xFF000000u : 0xFFFFFFFFu) << "pass " << pass;
        // Move the first face right by 0.3 through a partial lock.
        float* data = nullptr;
        ASSERT_EQ(buffer->Lock(0, 48, reinterpret_cast<void**>(&data), 0), D3D_OK);
        for (int v = 0; v < 4; ++v)
            data[v * 3] += 0.3f;
        ASSERT_EQ(buffer->Unlock(), D3D_OK);
    }
    buffer->Release();
}

TEST_F(GLContractTest, SpritesWithAlternatingTexturesEachShowTheirOwn)
{
    IDirect3DTexture9* red = MakeTexture(2, 2, std::vector<uint32_t>(4, 0xFFFF0000u));
    IDirect3DTexture9* green = MakeTexture(2, 2, std::vector<uint32_t>(4, 0xFF00FF00u));
    ASSERT_NE(red, nullptr);
    ASSERT_NE(green, nullptr);
    OverlayState(true, true);
    BeginFrame(kBlack);
    DrawSprite(red, 2, 2, 4, 4);
    DrawSprite(green, 10, 2, 4, 4);
    DrawSprite(red, 18, 2, 4, 4);
    DrawSprite(red, 26, 2, 4, 4); // same texture twice in a row
    EndFrame();
    Read();
    EXPECT_EQ(Pixel(3, 3), 0xFFFF0000u);
    EXPECT_EQ(Pixel(11, 3), 0xFF00FF00u);
    EXPECT_EQ(Pixel(19, 3), 0xFFFF0000u);
    EXPECT_EQ(Pixel(27, 3), 0xFFFF0000u);
    EXPECT_EQ(CountPixels(0xFFFF0000u), 48);
    EXPECT_EQ(CountPixels(0xFF00FF00u), 16);
    red->Release();
    green->Release();
}

TEST_F(GLContractTest, ResourcesMadeOnALoadingThreadAreDrawableWhenItEnds)
{
    constexpr int kCount = 24;
    IDirect3DVertexBuffer9* buffers[kCount] = {};
    IDirect3DTexture9* textures[kCount] = {};
    std::atomic<bool> done{false};
    std::atomic<int> failures{0};
    std::thread loader([&] {
        std::vector<float> vertices = RowOfFans(1);
        for (int i = 0; i < kCount; ++i) {
            // A buffer with the fan moved to slot i % 12 of the row.
            std::vector<float> moved = vertices;
            for (size_t v = 0; v < moved.size(); v += 3)
                moved[v] += 0.15f * float(i % 12);
            if (FAILED(mDevice->CreateVertexBuffer(UINT(moved.size() * 4), 0, D3DFVF_XYZ, D3DPOOL_DEFAULT,
                                                   &buffers[i], nullptr)))
                ++failures;
            void* data = nullptr;
            if (buffers[i] == nullptr || FAILED(buffers[i]->Lock(0, 0, &data, 0)))
                ++failures;
            else {
                std::memcpy(data, moved.data(), moved.size() * 4);
                buffers[i]->Unlock();
            }
            IDirect3DTexture9* staging = nullptr;
            mDevice->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &staging, nullptr);
            mDevice->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &textures[i], nullptr);
            D3DLOCKED_RECT locked;
            if (staging == nullptr || textures[i] == nullptr || FAILED(staging->LockRect(0, &locked, nullptr, 0))) {
                ++failures;
                continue;
            }
            for (int p = 0; p < 64; ++p)
                static_cast<uint32_t*>(locked.pBits)[p] = 0xFF000000u | uint32_t(i * 10 + 5) << 16;
            staging->UnlockRect(0);
            if (FAILED(mDevice->UpdateTexture(staging, textures[i])))
                ++failures;
            staging->Release();
            std::this_thread::yield();
        }
        done = true;
    });
    // Meanwhile the main thread draws loading frames; drawing from another
    // thread is refused.
    IDirect3DTexture9* screen = MakeTexture(2, 2, std::vector<uint32_t>(4, 0xFF808080u));
    int frames = 0;
    while (!done || frames < 5) {
        OverlayState(true, true);
        BeginFrame(kBlack);
        DrawSprite(screen, 1, 1, 8, 8);
        EndFrame();
        ++frames;
    }
    loader.join();
    ASSERT_EQ(failures.load(), 0);

    ModelState();
    mDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    mDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    D3DMATERIAL9 white = Flat(1, 1, 1);
    mDevice->SetMaterial(&white);
    D3DMATRIX identity = IdentityMatrix();
    mDevice->SetTransform(D3DTS_WORLD, &identity);
    BeginFrame(kBlack);
    for (int i = 0; i < 12; ++i) {
        mDevice->SetStreamSource(0, buffers[i], 0, 12);
        ASSERT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3D_OK);
    }
    OverlayState(false, false);
    for (int i = 0; i < kCount; ++i)
        DrawSprite(textures[i], float(2 + 2 * i), 40, 2, 2);
    EndFrame();
    Read();
    for (int i = 0; i < 12; ++i) {
        int x, y;
        FanCentre(i, 0, 0, x, y, kWidth, kHeight);
        EXPECT_EQ(Pixel(x, y), 0xFFFFFFFFu) << "buffer " << i;
    }
    for (int i = 0; i < kCount; ++i)
        EXPECT_EQ(Pixel(2 + 2 * i, 40), 0xFF000000u | uint32_t(i * 10 + 5) << 16) << "texture " << i;

    // Draw calls from another thread are refused and draw nothing.
    BeginFrame(kBlack);
    HRESULT fromOther = D3D_OK;
    std::thread other([&] { fromOther = mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2); });
    other.join();
    EXPECT_EQ(fromOther, D3DERR_INVALIDCALL);
    EndFrame();

    for (int i = 0; i < kCount; ++i) {
        buffers[i]->Release();
        textures[i]->Release();
    }
    screen->Release();
}

TEST_F(GLContractTest, RefusedCallsFailAndDrawNothing)
{
    std::vector<float> vertices = RowOfFans(1); // 4 vertices
    IDirect3DVertexBuffer9* buffer = MakeBuffer(vertices.data(), UINT(vertices.size() * 4), D3DFVF_XYZ);
    ASSERT_NE(buffer, nullptr);
    ModelState();
    mDevice->SetStreamSource(0, buffer, 0, 12);
    // Outside a scene.
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(mDevice->EndScene(), D3DERR_INVALIDCALL);
    BeginFrame(kBlack);
    EXPECT_EQ(mDevice->BeginScene(), D3DERR_INVALIDCALL);
    // Reads past the end of the buffer, by start or by count.
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 1, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0xFFFFFFF0u, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 0xFFFFFFFFu), D3DERR_INVALIDCALL);
    EXPECT_EQ(mDevice->SetStreamSource(0, buffer, 4, 12), D3D_OK);
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL);
    mDevice->SetStreamSource(0, buffer, 0, 12);
    // A stride shorter than the format, an unknown format, a locked buffer.
    mDevice->SetStreamSource(0, buffer, 0, 8);
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    mDevice->SetStreamSource(0, buffer, 0, 12);
    mDevice->SetFVF(0x004); // pre-transformed positions are not supported
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL);
    mDevice->SetFVF(D3DFVF_XYZ);
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(buffer->Lock(0, 0, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL);
    ASSERT_EQ(buffer->Unlock(), D3D_OK);
    EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(40, 16, &data, 0), D3DERR_INVALIDCALL);
    // A system-memory texture cannot be drawn with.
    IDirect3DTexture9* staging = nullptr;
    ASSERT_EQ(mDevice->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &staging, nullptr), D3D_OK);
    EXPECT_EQ(mDevice->SetTexture(0, staging), D3D_OK);
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL);
    mDevice->SetTexture(0, nullptr);
    EndFrame();
    Read();
    EXPECT_EQ(CountPixels(0xFF000000u), int(kWidth * kHeight));

    // Textures: default pool is not lockable; UpdateTexture needs system
    // memory to default pool of one size; only A8R8G8B8 / X8R8G8B8, one level.
    IDirect3DTexture9 *target = nullptr, *other = nullptr, *none = nullptr;
    ASSERT_EQ(mDevice->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr), D3D_OK);
    ASSERT_EQ(mDevice->CreateTexture(8, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &other, nullptr), D3D_OK);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(staging->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    RECT outside = {2, 2, 5, 3};
    EXPECT_EQ(staging->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
    RECT inside = {1, 2, 3, 4};
    ASSERT_EQ(staging->LockRect(0, &locked, &inside, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 16);
    EXPECT_EQ(mDevice->UpdateTexture(staging, target), D3DERR_INVALIDCALL); // still locked
    staging->UnlockRect(0);
    EXPECT_EQ(mDevice->UpdateTexture(staging, target), D3D_OK);
    EXPECT_EQ(mDevice->UpdateTexture(staging, other), D3DERR_INVALIDCALL);
    EXPECT_EQ(mDevice->UpdateTexture(target, staging), D3DERR_INVALIDCALL);
    EXPECT_EQ(mDevice->CreateTexture(4, 4, 1, 0, D3DFMT_D16, D3DPOOL_DEFAULT, &none, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(mDevice->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &none, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(mDevice->CreateVertexBuffer(0, 0, D3DFVF_XYZ, D3DPOOL_DEFAULT, nullptr, nullptr), D3DERR_INVALIDCALL);
    D3DLIGHT9 light;
    std::memset(&light, 0, sizeof light);
    light.Type = D3DLIGHT_DIRECTIONAL;
    EXPECT_EQ(mDevice->SetLight(0, &light), D3DERR_INVALIDCALL); // no direction
    staging->Release();
    target->Release();
    other->Release();
    buffer->Release();
}

TEST_F(GLContractTest, ReleasingABoundBufferMidFrameKeepsTheQueuedDraw)
{
    std::vector<float> vertices = RowOfFans(1);
    IDirect3DVertexBuffer9* buffer = MakeBuffer(vertices.data(), UINT(vertices.size() * 4), D3DFVF_XYZ);
    ASSERT_NE(buffer, nullptr);
    ModelState();
    D3DMATERIAL9 white = Flat(1, 1, 1);
    mDevice->SetMaterial(&white);
    BeginFrame(kBlack);
    mDevice->SetStreamSource(0, buffer, 0, 12);
    ASSERT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3D_OK);
    EXPECT_EQ(buffer->Release(), 0u);
    // The stream is now empty: drawing from it is refused, not a crash.
    EXPECT_EQ(mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL);
    EndFrame();
    Read();
    int x, y;
    FanCentre(0, 0, 0, x, y, kWidth, kHeight);
    EXPECT_EQ(Pixel(x, y), 0xFFFFFFFFu);
}

TEST_F(GLContractTest, TwoDevicesOnOneThreadEachDrawIntoTheirOwnBackBuffer)
{
    D3DPRESENT_PARAMETERS parameters;
    std::memset(&parameters, 0, sizeof parameters);
    parameters.BackBufferWidth = 16;
    parameters.BackBufferHeight = 8;
    parameters.EnableAutoDepthStencil = TRUE;
    IDirect3DDevice9* second = nullptr;
    ASSERT_EQ(mD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x40, &parameters, &second), D3D_OK);
    // Interleaved: each call goes to the device it is made on.
    ASSERT_EQ(mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00FF0000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(second->Clear(0, nullptr, D3DCLEAR_TARGET, 0x0000FF00, 1.0f, 0), D3D_OK);
    Read();
    EXPECT_EQ(CountPixels(0xFFFF0000u), int(kWidth * kHeight));
    std::vector<uint32_t> pixels;
    UINT w = 0, h = 0;
    ASSERT_EQ(OrvelGL::ReadBackBuffer(second, pixels, w, h), D3D_OK);
    ASSERT_EQ(pixels.size(), size_t(16 * 8));
    EXPECT_EQ(pixels[0], 0xFF00FF00u);
    EXPECT_EQ(second->Release(), 0u);
    // The first device still works once the second is gone.
    BeginFrame(0x000000FF);
    EndFrame();
    Read();
    EXPECT_EQ(CountPixels(0xFF0000FFu), int(kWidth * kHeight));
}

TEST(GLProviderTest, RefusesAWrongVersionAndUnloadedUse)
{
    OrvelGL::GLProvider provider(OrvelGL::GLContextMode::Headless);
    EXPECT_EQ(provider.Direct3DCreate9(D3D_SDK_VERSION), nullptr); // not loaded yet
    if (!provider.LoadLibrary())
        GTEST_SKIP() << "no EGL surfaceless display on this machine";
    EXPECT_EQ(provider.Direct3DCreate9(32), nullptr);
    IDirect3D9* d3d = provider.Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS parameters;
    std::memset(&parameters, 0, sizeof parameters);
    IDirect3DDevice9* device = reinterpret_cast<IDirect3DDevice9*>(&parameters);
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x40, &parameters, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    parameters.BackBufferWidth = 100000;
    parameters.BackBufferHeight = 16;
    EXPECT_TRUE(FAILED(d3d->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0x40, &parameters, &device)));
    EXPECT_EQ(d3d->Release(), 0u);
}

TEST(GLLetterboxTest, KeepsTheAspectRatioCentredWithBars)
{
    struct Case {
        int sw, sh, dw, dh;
        OrvelGL::LetterboxRect expected;
    };
    const Case cases[] = {
        {1024, 768, 1024, 768, {0, 0, 1024, 768}},    // same size
        {1024, 768, 2048, 1536, {0, 0, 2048, 1536}},  // HiDPI double
        {1024, 768, 1920, 1080, {240, 0, 1440, 1080}}, // wide: bars left and right
        {1024, 768, 1280, 1024, {0, 32, 1280, 960}},  // tall: bars above and below
        {800, 600, 801, 600, {0, 0, 800, 600}},       // one spare column: no stretch, half-pixel bar rounds down
        {1, 1000, 3, 3, {1, 0, 1, 3}},                // extreme ratio keeps at least the rounding
        {1024, 768, 0, 768, {0, 0, 0, 0}},            // minimised window
        {0, 768, 1024, 768, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        OrvelGL::LetterboxRect r = OrvelGL::ComputeLetterbox(c.sw, c.sh, c.dw, c.dh);
        EXPECT_EQ(r.x, c.expected.x) << c.sw << "x" << c.sh << " in " << c.dw << "x" << c.dh;
        EXPECT_EQ(r.y, c.expected.y) << c.sw << "x" << c.sh << " in " << c.dw << "x" << c.dh;
        EXPECT_EQ(r.width, c.expected.width) << c.sw << "x" << c.sh << " in " << c.dw << "x" << c.dh;
        EXPECT_EQ(r.height, c.expected.height) << c.sw << "x" << c.sh << " in " << c.dw << "x" << c.dh;
        // Always inside the drawable and centred.
        EXPECT_LE(r.x + r.width, c.dw);
        EXPECT_LE(r.y + r.height, c.dh);
    }
}
