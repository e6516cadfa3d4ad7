#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/DXTexture.h"
#include "engine/STexturedVertex.h"
#include "tests/engine/EngineTestSupport.h"

using enginetest::DeviceFixture;
using enginetest::FloatsOf;
using Orvel::DXGraphics;
using Orvel::STexturedVertex;

namespace {

constexpr HRESULT kLost = static_cast<HRESULT>(0x88760868u); // any negative code will do

TEST(GraphicsLoading, EachMissingPieceRaisesItsMessageWithCodeZeroAndLeavesNothingLoaded)
{
    struct Case {
        void (*breakIt)(RecordingProvider&);
        const char* message;
    };
    const Case cases[] = {
        {[](RecordingProvider& p) { p.libraryMissing = true; }, "Unable to load d3d9.dll"},
        {[](RecordingProvider& p) { p.entryPointMissing = true; }, "Invalid d3d9.dll"},
        {[](RecordingProvider& p) { p.direct3DMissing = true; }, "Failed to create Direct3D object"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        RecordingProvider provider;
        c.breakIt(provider);
        EXPECT_DX_RAISES(DXGraphics graphics(provider), c.message, 0);
        EXPECT_FALSE(provider.LibraryLoaded());
        EXPECT_EQ(provider.Log().LiveObjects(), 0);
    }
}

TEST(GraphicsLoading, LoadsInOrderWithSdkVersion31AndUnloadsInReverse)
{
    RecordingProvider provider;
    {
        DXGraphics graphics(provider);
        EXPECT_TRUE(provider.LibraryLoaded());
        const auto create = provider.Log().CallsOf("Direct3DCreate9");
        ASSERT_EQ(create.size(), 1u);
        EXPECT_EQ(create[0]->args, (std::vector<int64_t>{31}));
    }
    const std::vector<RecordedCall>& calls = provider.Log().Calls();
    std::vector<std::string> names;
    for (const RecordedCall& call : calls)
        names.push_back(call.Name());
    EXPECT_EQ(names, (std::vector<std::string>{"LoadLibrary", "HasDirect3DCreate9", "Direct3DCreate9", "Release",
                                               "FreeLibrary"}));
    EXPECT_FALSE(provider.LibraryLoaded());
    EXPECT_EQ(provider.Log().LiveObjects(), 0);
}

TEST(GraphicsCreateDevice, PassesTheFullScreenParameters)
{
    RecordingProvider provider;
    DXGraphics graphics(provider);
    int window = 0;
    Orvel::DXDevice* device = graphics.CreateDevice(&window, 1280, 720);
    const auto calls = provider.Log().CallsOf("CreateDevice");
    ASSERT_EQ(calls.size(), 1u);
    const RecordedCall& call = *calls[0];
    EXPECT_EQ(call.args, (std::vector<int64_t>{0, D3DDEVTYPE_HAL, reinterpret_cast<intptr_t>(&window), 0x40}));
    const D3DPRESENT_PARAMETERS& p = call.present;
    EXPECT_EQ(p.BackBufferWidth, 1280u);
    EXPECT_EQ(p.BackBufferHeight, 720u);
    EXPECT_EQ(p.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(p.BackBufferCount, 1u);
    EXPECT_EQ(p.MultiSampleType, 0);
    EXPECT_EQ(p.MultiSampleQuality, 0u);
    EXPECT_EQ(p.SwapEffect, 1u);
    EXPECT_EQ(p.hDeviceWindow, nullptr);
    EXPECT_EQ(p.Windowed, FALSE);
    EXPECT_EQ(p.EnableAutoDepthStencil, TRUE);
    EXPECT_EQ(p.AutoDepthStencilFormat, D3DFMT_D16);
    EXPECT_EQ(p.Flags, 0x13u);
    EXPECT_EQ(p.FullScreen_RefreshRateInHz, 0u);
    EXPECT_EQ(p.PresentationInterval, 0u);
    EXPECT_EQ(device->clearColour, 0u);
    EXPECT_EQ(device->Device(), provider.Log().LastDevice());
    delete device;
}

TEST(GraphicsCreateDevice, FailureCarriesTheHresult)
{
    RecordingProvider provider;
    DXGraphics graphics(provider);
    provider.Log().FailCall("CreateDevice", 1, D3DERR_NOTAVAILABLE);
    EXPECT_DX_RAISES(graphics.CreateDevice(nullptr, 800, 600),
                     "DXGraphics::CreateDevice() - Failed to create Direct3D device", D3DERR_NOTAVAILABLE);
    EXPECT_EQ(provider.Log().LiveObjects(RecordingLog::Kind::Device), 0);
}

TEST_F(DeviceFixture, AFrameClearsColourAndDepthThenBeginsEndsAndPresents)
{
    Log().Clear();
    device->clearColour = 0x003668D8;
    device->StartFrame();
    EXPECT_TRUE(recording->InScene());
    device->FinishFrame();
    EXPECT_EQ(Log().Names(), (std::vector<std::string>{"Clear", "BeginScene", "EndScene", "Present"}));
    const RecordedCall& clear = Log().Calls()[0];
    EXPECT_EQ(clear.args, (std::vector<int64_t>{0, 0, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x003668D8, 0}));
    EXPECT_EQ(clear.floats, (std::vector<float>{1.0f}));
    EXPECT_EQ(Log().CallsOf("Present")[0]->args, (std::vector<int64_t>{0, 0, 0, 0}));
    EXPECT_EQ(recording->FramesPresented(), 1);
}

TEST_F(DeviceFixture, EachFrameCallFailureRaisesItsMessageWithItsHresult)
{
    struct Case {
        const char* op;
        bool inScene; // fail inside FinishFrame rather than StartFrame
        const char* message;
    };
    const Case cases[] = {
        {"Clear", false, "DXDevice::StartFrame() - Clear() failed"},
        {"BeginScene", false, "DXDevice::StartFrame() - BeginScene() failed"},
        {"EndScene", true, "DXDevice::FinishFrame() - EndScene() failed"},
        {"Present", true, "DXDevice::FinishFrame() - Present() failed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.op);
        if (c.inScene)
            device->StartFrame();
        Log().FailCall(c.op, 1, kLost);
        if (c.inScene)
            EXPECT_DX_RAISES(device->FinishFrame(), c.message, kLost);
        else
            EXPECT_DX_RAISES(device->StartFrame(), c.message, kLost);
        if (recording->InScene())
            device->FinishFrame();
    }
}

TEST_F(DeviceFixture, ResourcesAreCreatedWithTheAgreedArgumentsAndFailuresCarryTheirHresult)
{
    Log().Clear();
    IDirect3DVertexBuffer9* buffer = device->CreateVertexBuffer(10, 24, D3DFVF_XYZ | D3DFVF_NORMAL);
    IDirect3DTexture9* system = nullptr;
    IDirect3DTexture9* pool = nullptr;
    device->CreateTexture(&system, 64, 32, true);
    device->CreateTexture(&pool, 16, 8, false);
    const auto buffers = Log().CallsOf("CreateVertexBuffer");
    ASSERT_EQ(buffers.size(), 1u);
    EXPECT_EQ(buffers[0]->args, (std::vector<int64_t>{240, 0, 0x012, D3DPOOL_DEFAULT}));
    const auto textures = Log().CallsOf("CreateTexture");
    ASSERT_EQ(textures.size(), 2u);
    EXPECT_EQ(textures[0]->args, (std::vector<int64_t>{64, 32, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM}));
    EXPECT_EQ(textures[1]->args, (std::vector<int64_t>{16, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT}));
    buffer->Release();
    system->Release();
    pool->Release();

    Log().FailCall("CreateVertexBuffer", 1, D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_DX_RAISES(device->CreateVertexBuffer(1, 12, D3DFVF_XYZ),
                     "DXDevice::CreateVertexBuffer() - CreateVertexBuffer() failed", D3DERR_OUTOFVIDEOMEMORY);
    IDirect3DTexture9* none = nullptr;
    Log().FailCall("CreateTexture", 1, E_OUTOFMEMORY);
    EXPECT_DX_RAISES(device->CreateTexture(&none, 4, 4, false), "DXDevice::CreateTexture() - CreateTexture() failed",
                     E_OUTOFMEMORY);
    EXPECT_EQ(none, nullptr);
}

TEST_F(DeviceFixture, SetTransformPassesEveryElementAsAFloatRowByRow)
{
    Orvel::CMatrix matrix;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            matrix.m[r][c] = 0.1 * (4 * r + c) + 1e-9 * (r - c);
    Log().Clear();
    device->SetTransform(D3DTS_VIEW, matrix);
    const auto calls = Log().CallsOf("SetTransform");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0]->args, (std::vector<int64_t>{D3DTS_VIEW}));
    ASSERT_EQ(calls[0]->floats.size(), 16u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(calls[0]->floats[static_cast<size_t>(i)], static_cast<float>(matrix.m[i / 4][i % 4])) << i;

    Log().FailCall("SetTransform", 1, E_FAIL);
    EXPECT_DX_RAISES(device->SetTransform(D3DTS_WORLD, matrix), "DXDevice::SetTransform() - SetTransform() failed",
                     E_FAIL);
}

class Tri3TTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        const uint32_t pixels[4] = {0xFF000000, 0xFF112233, 0x7F7F7F7F, 0x00FFFFFF};
        texture = std::make_unique<Orvel::DXTexture>(device.get(), 2, 2, pixels);
        textureId = static_cast<RecordingTexture*>(texture->Texture())->Id();
        device->StartFrame();
        Log().Clear();
    }
    void TearDown() override
    {
        if (recording->InScene())
            device->FinishFrame();
        texture.reset();
        DeviceFixture::TearDown();
    }
    void Draw() { device->Tri3T(a, b, c, texture.get()); }

    std::unique_ptr<Orvel::DXTexture> texture;
    uint32_t textureId = 0;
    const STexturedVertex a{-1.0f, 1.0f, 0.0f, 0.0f, 0.0f};
    const STexturedVertex b{1.0f, 1.0f, 0.5f, 1.0f, 0.0f};
    const STexturedVertex c{-1.0f, -1.0f, 0.25f, 0.0f, 1.0f};
};

TEST_F(Tri3TTest, DrawsOneTexturedTriangleFromMemoryAndLeavesStageZeroEmpty)
{
    Draw();
    EXPECT_EQ(Log().Names(), (std::vector<std::string>{"SetFVF", "SetTexture", "DrawPrimitiveUP", "SetTexture"}));
    const std::vector<RecordedCall>& calls = Log().Calls();
    EXPECT_EQ(calls[0].args, (std::vector<int64_t>{0x102}));
    EXPECT_EQ(calls[1].args, (std::vector<int64_t>{0, textureId}));
    EXPECT_EQ(calls[2].args, (std::vector<int64_t>{D3DPT_TRIANGLELIST, 1, 20}));
    EXPECT_EQ(calls[2].texture0, textureId);
    EXPECT_EQ(FloatsOf(calls[2].bytes), (std::vector<float>{-1, 1, 0, 0, 0, 1, 1, 0.5f, 1, 0, -1, -1, 0.25f, 0, 1}));
    EXPECT_EQ(calls[3].args, (std::vector<int64_t>{0, 0}));
    EXPECT_EQ(recording->TextureOn(0), 0u);
}

TEST_F(Tri3TTest, TwoCallsWithOneTextureAreTwoSeparateDraws)
{
    Draw();
    Draw();
    EXPECT_EQ(Log().CallsOf("DrawPrimitiveUP").size(), 2u);
    EXPECT_EQ(Log().CallsOf("SetTexture").size(), 4u);
}

TEST_F(Tri3TTest, EachFailureRaisesItsMessageAndStageZeroEndsEmpty)
{
    struct Case {
        const char* op;
        int n;
        const char* message;
    };
    const Case cases[] = {
        {"SetFVF", 1, "DXDevice::Tri3T() - SetFVF() failed"},
        {"SetTexture", 1, "DXDevice::Tri3T() - SetTexture() failed"},
        {"DrawPrimitiveUP", 1, "DXDevice::Tri3T() - DrawPrimitiveUP() failed"},
        {"SetTexture", 2, "DXDevice::Tri3T() - SetTexture() failed"},
    };
    for (const Case& cs : cases) {
        SCOPED_TRACE(std::string(cs.op) + " #" + std::to_string(cs.n));
        Log().FailCall(cs.op, cs.n, kLost);
        EXPECT_DX_RAISES(Draw(), cs.message, kLost);
        // Only a failing unbind can leave the texture on stage 0.
        if (cs.n == 1) {
            EXPECT_EQ(recording->TextureOn(0), 0u);
        }
        device->Device()->SetTexture(0, nullptr);
    }
}

} // namespace
