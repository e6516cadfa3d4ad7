// The device contract of engine/D3D9.h, held to every back end by the same
// cases: the recording device, and the OpenGL device headless (skipped where
// no EGL display can be made). Each back end says only how it is made and
// whether a frame reached its back buffer.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/recording/RecordingDevice.h"
#include "tests/device/DeviceTestSupport.h"
#if TAVRIN_DEVICE_TESTS_GL
#include "platform/gl/GLProvider.h"
#endif

namespace {

using namespace devicetest;

struct RecordingBackend {
    RecordingProvider provider;
    // Whether the frame presented last put anything on the back buffer: for
    // the recording device, whether one draw of it was accepted.
    bool FrameDrewSomething(IDirect3DDevice9*)
    {
        const std::vector<RecordedCall>& calls = provider.Log().Calls();
        auto clear = std::find_if(calls.rbegin(), calls.rend(),
                                  [](const RecordedCall& c) { return c.op == RecOp::Clear; });
        return std::any_of(calls.rbegin(), clear, [](const RecordedCall& c) {
            return (c.op == RecOp::DrawPrimitive || c.op == RecOp::DrawPrimitiveUP) && SUCCEEDED(c.result);
        });
    }
};

#if TAVRIN_DEVICE_TESTS_GL
struct GLBackend {
    OrvelGL::GLProvider provider{OrvelGL::GLContextMode::Headless};
    // Whether any pixel of the back buffer differs from the black it was cleared to.
    bool FrameDrewSomething(IDirect3DDevice9* device)
    {
        std::vector<uint32_t> pixels;
        UINT width = 0, height = 0;
        EXPECT_EQ(OrvelGL::ReadBackBuffer(device, pixels, width, height), D3D_OK);
        return std::any_of(pixels.begin(), pixels.end(), [](uint32_t p) { return p != 0xFF000000u; });
    }
};
#endif

// A full-screen fan of positions, clockwise on screen, at depth 0.5.
const float kQuad[4][3] = {{-1, 1, 0.5f}, {1, 1, 0.5f}, {1, -1, 0.5f}, {-1, -1, 0.5f}};
// The same with texture coordinates.
const float kTexturedQuad[4][5] = {{-1, 1, 0.5f, 0, 0}, {1, 1, 0.5f, 1, 0}, {1, -1, 0.5f, 1, 1}, {-1, -1, 0.5f, 0, 1}};

template <class Backend>
class DeviceContract : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = OpenDevice(mBackend.provider, 64, 48, mD3D, mDevice);
        if (!missing.empty())
            GTEST_SKIP() << missing;
        ASSERT_NE(mDevice, nullptr);
        // Unlit: positions draw opaque white, textured ones their texels.
        ASSERT_EQ(mDevice->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);
        ASSERT_EQ(mDevice->SetFVF(D3DFVF_XYZ), D3D_OK);
    }

    void TearDown() override
    {
        if (mDevice != nullptr) {
            EXPECT_EQ(mDevice->Release(), 0u) << "a test kept a resource of the device";
        }
        if (mD3D != nullptr)
            mD3D->Release();
        mBackend.provider.FreeLibrary();
    }

    // Clears to black, runs the draws inside a scene and presents; true when
    // the frame put anything on the back buffer.
    template <class Draws>
    bool Frame(Draws&& draws)
    {
        EXPECT_EQ(mDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
        EXPECT_EQ(mDevice->BeginScene(), D3D_OK);
        draws();
        EXPECT_EQ(mDevice->EndScene(), D3D_OK);
        EXPECT_EQ(mDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        return mBackend.FrameDrewSomething(mDevice);
    }

    IDirect3DTexture9* Texture(UINT width, UINT height, D3DPOOL pool, D3DFORMAT format = D3DFMT_A8R8G8B8)
    {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(mDevice->CreateTexture(width, height, 1, 0, format, pool, &texture, nullptr), D3D_OK);
        return texture;
    }
    IDirect3DTexture9* FilledTexture(UINT width, UINT height, D3DPOOL pool, uint32_t colour)
    {
        return MakeTexture(mDevice, width, height, pool, std::vector<uint32_t>(width * height, colour));
    }

    static void ReleaseAll(std::initializer_list<IUnknownLike*> objects)
    {
        for (IUnknownLike* object : objects)
            object->Release();
    }

    Backend mBackend;
    IDirect3D9* mD3D = nullptr;
    IDirect3DDevice9* mDevice = nullptr;
};

#if TAVRIN_DEVICE_TESTS_GL
using Backends = ::testing::Types<RecordingBackend, GLBackend>;
#else
using Backends = ::testing::Types<RecordingBackend>;
#endif

struct BackendNames {
    template <class T>
    static std::string GetName(int) { return std::is_same<T, RecordingBackend>::value ? "Recording" : "OpenGL"; }
};

TYPED_TEST_SUITE(DeviceContract, Backends, BackendNames);

// Each draw the game makes (fans from a buffer, triangles from memory,
// default-pool and managed textures) reaches the back buffer: the control
// for the refusal cases, which must draw nothing.
TYPED_TEST(DeviceContract, AcceptedDrawsReachTheBackBuffer)
{
    IDirect3DDevice9* d = this->mDevice;
    IDirect3DVertexBuffer9* buffer = MakeBuffer(this->mDevice, kQuad, sizeof kQuad);
    IDirect3DTexture9* picture = this->FilledTexture(4, 4, D3DPOOL_DEFAULT, 0xFFFF0000u);
    IDirect3DTexture9* managed = this->FilledTexture(4, 4, D3DPOOL_MANAGED, 0xFF00FF00u);
    auto textured = [d](IDirect3DTexture9* texture) {
        return std::vector<HRESULT>{d->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1), d->SetTexture(0, texture),
                                    d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, kTexturedQuad, 20),
                                    d->SetTexture(0, nullptr), d->SetFVF(D3DFVF_XYZ)};
    };
    const struct {
        const char* what;
        std::function<std::vector<HRESULT>()> draw; // the results of its calls
    } draws[] = {
        {"fan from a buffer",
         [&] { return std::vector<HRESULT>{d->SetStreamSource(0, buffer, 0, 12), d->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2)}; }},
        {"fan from memory", [&] { return std::vector<HRESULT>{d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, kQuad, 12)}; }},
        {"default-pool texture", [&] { return textured(picture); }},
        {"managed texture", [&] { return textured(managed); }},
    };
    for (const auto& [what, draw] : draws) {
        std::vector<HRESULT> results;
        const bool drew = this->Frame([&] { results = draw(); });
        EXPECT_EQ(results, std::vector<HRESULT>(results.size(), D3D_OK)) << what;
        EXPECT_TRUE(drew) << what;
    }
    this->ReleaseAll({buffer, picture, managed});
}

// Every refusal of the contract: each row's calls in order (each row leaves
// the device as it found it), marked accepted (.) or refused (x). None of
// them draws, and refused creations and locks give back null.
TYPED_TEST(DeviceContract, RefusedCallsAnswerInvalidCallDrawNothingAndGiveBackNull)
{
    IDirect3DDevice9* d = this->mDevice;
    IDirect3DVertexBuffer9* buffer = MakeBuffer(this->mDevice, kQuad, sizeof kQuad); // 4 vertices of 12 bytes
    IDirect3DTexture9* staging = this->Texture(4, 4, D3DPOOL_SYSTEMMEM);
    IDirect3DTexture9* opaque = this->Texture(4, 4, D3DPOOL_SYSTEMMEM, D3DFMT_X8R8G8B8);
    IDirect3DTexture9* target = this->FilledTexture(4, 4, D3DPOOL_DEFAULT, 0xFFFFFFFFu);
    IDirect3DTexture9* wider = this->FilledTexture(8, 4, D3DPOOL_DEFAULT, 0xFFFFFFFFu);
    IDirect3DTexture9* managed = this->FilledTexture(4, 4, D3DPOOL_MANAGED, 0xFFFFFFFFu);
    for (IUnknownLike* made : std::initializer_list<IUnknownLike*>{buffer, staging, opaque, target, wider, managed})
        ASSERT_NE(made, nullptr);
    ASSERT_EQ(d->SetStreamSource(0, buffer, 0, 12), D3D_OK);
    auto fan = [&] { return d->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2); };
    auto fanUp = [&] { return d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, kQuad, 12); };

    // What refused calls must give back as null (each starts as a live object).
    IDirect3DTexture9* noTexture = target;
    IDirect3DVertexBuffer9* noBuffer = buffer;
    IDirect3DDevice9* noDevice = d;
    void* noData = buffer;
    D3DLOCKED_RECT noRect{4, buffer};

    const D3DMATRIX identity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    const D3DLIGHT9 light{D3DLIGHT_DIRECTIONAL, {1, 1, 1, 0}, {}, {}, {}, {1, 0.8f, -1}, 0, 0, 0, 0, 0, 0, 0};
    D3DLIGHT9 sideways = light;
    sideways.Direction = {0, 0, 0};
    const D3DRECT clearRect{0, 0, 4, 4};
    const RECT outside{2, 2, 5, 3}, empty{1, 1, 1, 2}, inside{1, 1, 3, 3};
    D3DLOCKED_RECT locked{};
    void* data = nullptr;
    D3DPRESENT_PARAMETERS noSize = BackBuffer(0, 16), depthFormat = BackBuffer(16, 16);
    depthFormat.BackBufferFormat = D3DFMT_D16;
    D3DPRESENT_PARAMETERS good = BackBuffer(16, 16);
    const auto kNoType = static_cast<D3DPRIMITIVETYPE>(7);

    struct Row {
        const char* what;
        const char* pattern;
        std::vector<HRESULT> results;
    };
    // Outside a scene.
    const Row before[] = {
        {"draw from a buffer outside a scene", "x", {fan()}},
        {"draw from memory outside a scene", "x", {fanUp()}},
        {"end outside a scene", "x", {d->EndScene()}},
        {"clear outside a scene", ".", {d->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0)}},
    };
    std::vector<Row> rows(std::begin(before), std::end(before));
    const bool drew = this->Frame([&] {
        const Row inScene[] = {
            {"begin inside a scene", "x", {d->BeginScene()}},
            {"present inside a scene", "x", {d->Present(nullptr, nullptr, nullptr, nullptr)}},
            {"clear inside a scene", ".", {d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0)}},
            // Primitive counts and types.
            {"no primitives from a buffer", "x", {d->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 0)}},
            {"no primitives from memory", "x", {d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 0, kQuad, 12)}},
            {"more primitives than a draw takes", "x",
             {d->DrawPrimitiveUP(D3DPT_POINTLIST, kD3DMaxPrimitiveCount + 1, kQuad, 12)}},
            {"unknown primitive type", "xx", {d->DrawPrimitive(kNoType, 0, 1), d->DrawPrimitiveUP(kNoType, 1, kQuad, 12)}},
            // The stream and its buffer.
            {"start past the end", "x", {d->DrawPrimitive(D3DPT_TRIANGLEFAN, 1, 2)}},
            {"count past the end", "x", {d->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 3)}},
            {"start overflows", "x", {d->DrawPrimitive(D3DPT_TRIANGLEFAN, 0xFFFFFFF0u, 2)}},
            {"count overflows", "x", {d->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 0xFFFFFFFFu)}},
            {"stream offset past the end", ".x.",
             {d->SetStreamSource(0, buffer, 4, 12), fan(), d->SetStreamSource(0, buffer, 0, 12)}},
            {"no stream source", ".x.", {d->SetStreamSource(0, nullptr, 0, 0), fan(), d->SetStreamSource(0, buffer, 0, 12)}},
            {"stream other than 0", "x", {d->SetStreamSource(1, buffer, 0, 12)}},
            {"locked buffer locked again, drawn, unlocked twice", ".xx.x",
             {buffer->Lock(0, 0, &data, 0), buffer->Lock(0, 0, &data, 0), fan(), buffer->Unlock(), buffer->Unlock()}},
            {"lock past the buffer's end", "x", {buffer->Lock(40, 16, &noData, 0)}},
            // Vertex formats and strides.
            {"stride shorter than the format", ".x.xx.",
             {d->SetStreamSource(0, buffer, 0, 8), fan(), d->SetStreamSource(0, buffer, 0, 12),
              d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, kQuad, 8), d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, kQuad, 0),
              d->SetFVF(D3DFVF_XYZ)}},
            {"pre-transformed positions", ".xx.", {d->SetFVF(0x004), fan(), fanUp(), d->SetFVF(D3DFVF_XYZ)}},
            {"no vertex format", ".xx.", {d->SetFVF(0), fan(), fanUp(), d->SetFVF(D3DFVF_XYZ)}},
            {"no vertex data", "x", {d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, nullptr, 12)}},
            // Textures for drawing.
            {"system-memory texture set", "x", {d->SetTexture(0, staging)}},
            {"texture on stage 1", "x", {d->SetTexture(1, target)}},
            {"stages: 7 cleared, 8 none", ".x", {d->SetTexture(kD3DTextureStages - 1, nullptr),
                                                 d->SetTexture(kD3DTextureStages, nullptr)}},
            {"locked managed texture drawn", "..xx..",
             {d->SetTexture(0, managed), managed->LockRect(0, &locked, nullptr, 0), fan(), fanUp(),
              managed->UnlockRect(0), d->SetTexture(0, nullptr)}},
            // Resources.
            {"depth texture", "x",
             {d->CreateTexture(4, 4, 1, 0, D3DFMT_D16, D3DPOOL_DEFAULT, &noTexture, nullptr)}},
            {"no width, no height", "xx",
             {d->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &noTexture, nullptr),
              d->CreateTexture(4, 0, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &noTexture, nullptr)}},
            {"side above the largest", "xx",
             {d->CreateTexture(kD3DMaxTextureSide + 1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &noTexture, nullptr),
              d->CreateTexture(1, kD3DMaxTextureSide * 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &noTexture, nullptr)}},
            {"levels other than 1", "xx",
             {d->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &noTexture, nullptr),
              d->CreateTexture(4, 4, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &noTexture, nullptr)}},
            {"scratch pool", "x",
             {d->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, static_cast<D3DPOOL>(3), &noTexture, nullptr)}},
            {"empty buffer", "x", {d->CreateVertexBuffer(0, 0, D3DFVF_XYZ, D3DPOOL_DEFAULT, &noBuffer, nullptr)}},
            // Locks.
            {"default-pool texture locked", "x", {target->LockRect(0, &noRect, nullptr, 0)}},
            {"level 1 locked", "x", {staging->LockRect(1, &locked, nullptr, 0)}},
            {"rectangle outside, empty rectangle", "xx",
             {staging->LockRect(0, &locked, &outside, 0), staging->LockRect(0, &locked, &empty, 0)}},
            {"texture locked twice, unlocked twice", ".x.x",
             {staging->LockRect(0, &locked, &inside, 0), staging->LockRect(0, &locked, nullptr, 0),
              staging->UnlockRect(0), staging->UnlockRect(0)}},
            // Updates.
            {"update from a locked texture", ".x.",
             {staging->LockRect(0, &locked, nullptr, 0), d->UpdateTexture(staging, target), staging->UnlockRect(0)}},
            {"update between sizes", "x", {d->UpdateTexture(staging, wider)}},
            {"update between formats", "x", {d->UpdateTexture(opaque, target)}},
            {"update between wrong pools", "xxx",
             {d->UpdateTexture(target, target), d->UpdateTexture(staging, managed), d->UpdateTexture(staging, staging)}},
            // Clear.
            {"clear rectangles, a count without them", "xx",
             {d->Clear(1, &clearRect, D3DCLEAR_TARGET, 0, 1.0f, 0), d->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0)}},
            {"clear the stencil buffer", "x", {d->Clear(0, nullptr, 0x4, 0, 1.0f, 0)}},
            // State.
            {"transform of no state", "x", {d->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(1), &identity)}},
            {"render states 255 and 256", ".x",
             {d->SetRenderState(static_cast<D3DRENDERSTATETYPE>(kD3DRenderStates - 1), 0),
              d->SetRenderState(static_cast<D3DRENDERSTATETYPE>(kD3DRenderStates), 0)}},
            {"lights 7 and 8", "..xx",
             {d->SetLight(kD3DLights - 1, &light), d->LightEnable(kD3DLights - 1, FALSE), d->SetLight(kD3DLights, &light),
              d->LightEnable(kD3DLights, FALSE)}},
            {"light without a direction", "x", {d->SetLight(0, &sideways)}},
            // Devices.
            {"device of no size, of a depth format, on adapter 1", "xxx",
             {this->mD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &noSize, &noDevice),
              this->mD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, 0, &depthFormat, &noDevice),
              this->mD3D->CreateDevice(1, D3DDEVTYPE_HAL, nullptr, 0, &good, &noDevice)}},
            // Null pointers.
            {"null results and arguments", "xxxxxxx",
             {d->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, nullptr, nullptr),
              d->CreateVertexBuffer(12, 0, D3DFVF_XYZ, D3DPOOL_DEFAULT, nullptr, nullptr),
              staging->LockRect(0, nullptr, nullptr, 0), buffer->Lock(0, 0, nullptr, 0),
              d->SetTransform(D3DTS_WORLD, nullptr), d->SetMaterial(nullptr), d->SetLight(0, nullptr)}},
        };
        rows.insert(rows.end(), std::begin(inScene), std::end(inScene));
    });
    for (const Row& row : rows) {
        std::string marks;
        for (HRESULT hr : row.results)
            marks += hr == D3D_OK ? '.' : hr == D3DERR_INVALIDCALL ? 'x' : '?';
        EXPECT_EQ(marks, row.pattern) << row.what;
    }
    EXPECT_FALSE(drew) << "a refused call drew";
    EXPECT_EQ(noTexture, nullptr);
    EXPECT_EQ(noBuffer, nullptr);
    EXPECT_EQ(noDevice, nullptr);
    EXPECT_EQ(noData, nullptr);
    EXPECT_EQ(noRect.pBits, nullptr);
    this->ReleaseAll({buffer, staging, opaque, target, wider, managed});
}

// The limits themselves are accepted: a texture of the largest side either
// way, and a draw of the most primitives (points off the screen).
TYPED_TEST(DeviceContract, TheLimitsThemselvesAreAccepted)
{
    IDirect3DDevice9* d = this->mDevice;
    for (const auto& [width, height] : {std::pair<UINT, UINT>{kD3DMaxTextureSide, 1}, {1, kD3DMaxTextureSide}}) {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(d->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr), D3D_OK)
            << width << " x " << height;
        if (texture != nullptr)
            texture->Release();
    }
    const std::vector<float> points(size_t{kD3DMaxPrimitiveCount} * 3, 2.0f); // x = 2: outside the screen
    HRESULT most = E_FAIL;
    this->Frame([&] { most = d->DrawPrimitiveUP(D3DPT_POINTLIST, kD3DMaxPrimitiveCount, points.data(), 12); });
    EXPECT_EQ(most, D3D_OK);
}

// A lock of a rectangle points at its top-left texel, with the pitch of the
// whole level: what is written there is where a lock of the whole level
// finds it, in both lockable pools.
TYPED_TEST(DeviceContract, ARectangleLockWritesWhereTheRectangleLies)
{
    for (D3DPOOL pool : {D3DPOOL_SYSTEMMEM, D3DPOOL_MANAGED}) {
        IDirect3DTexture9* texture = this->FilledTexture(5, 4, pool, 0u);
        auto texel = [](const D3DLOCKED_RECT& locked, int x, int y) {
            return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4);
        };
        // Each texel of the 2 x 2 corner at (3, 1) marked with its place: 0xFF00yy0x.
        auto mark = [](int x, int y) { return 0xFF000000u | uint32_t(y) << 8 | uint32_t(x); };
        D3DLOCKED_RECT locked{};
        const RECT corner{3, 1, 5, 3};
        ASSERT_EQ(texture->LockRect(0, &locked, &corner, 0), D3D_OK);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                *texel(locked, x, y) = mark(3 + x, 1 + y);
        ASSERT_EQ(texture->UnlockRect(0), D3D_OK);

        std::vector<uint32_t> texels, expected;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) {
                texels.push_back(*texel(locked, x, y));
                expected.push_back(x >= 3 && y >= 1 && y < 3 ? mark(x, y) : 0u);
            }
        ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
        EXPECT_EQ(texels, expected) << "pool " << pool;
        texture->Release();
    }
}

} // namespace
