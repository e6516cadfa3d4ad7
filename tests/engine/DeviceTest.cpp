#include "engine/DXModel.h"
#include "engine/DXModelCreator.h"
#include "engine/DXTexture.h"
#include "serial/SModelCreatorData.h"
#include "tests/engine/EngineTestSupport.h"

using namespace enginetest;

namespace {

TEST(GraphicsLoading, EachMissingPieceRaisesItsMessageWithCodeZeroAndLeavesNothingLoaded)
{
    const struct {
        void (*breakIt)(RecordingProvider&);
        const char* message;
    } cases[] = {
        {[](RecordingProvider& p) { p.libraryMissing = true; }, "Unable to load d3d9.dll"},
        {[](RecordingProvider& p) { p.entryPointMissing = true; }, "Invalid d3d9.dll"},
        {[](RecordingProvider& p) { p.direct3DMissing = true; }, "Failed to create Direct3D object"},
    };
    for (const auto& [breakIt, message] : cases) {
        RecordingProvider provider;
        breakIt(provider);
        EXPECT_EQ(RaisedBy([&] { Orvel::DXGraphics graphics(provider); }), Dx(message));
        EXPECT_EQ(std::make_pair(provider.LibraryLoaded(), provider.Log().LiveObjects()), std::make_pair(false, 0))
            << message << ": loaded, live objects";
    }
}

// A failing device call raises its message with the device's HRESULT,
// releases what was half made and (unless the unbind itself failed) leaves
// texture stage 0 empty.
TEST_F(DeviceFixture, EveryDeviceFailureRaisesItsMessageWithTheHresultAndLeaksNothing)
{
    const uint32_t pixels[6] = {};
    Orvel::DXTexture texture(device.get(), 3, 2, pixels);
    SerialLib::SModelCreatorData data;
    for (int k = 0; k < 4; ++k)
        data.AddVertex(static_cast<float>(k), 1.0f, 0.0f);
    data.AddFace({0, 1, 2, 3});
    Orvel::DXModelCreator creator(data);
    Orvel::DXModel model(device.get(), creator);

    using Call = std::function<void()>;
    const Call create = [&] { delete graphics->CreateDevice(nullptr, 800, 600); };
    const Call start = [&] { device->StartFrame(); };
    const Call frame = [&] { device->StartFrame(); device->FinishFrame(); };
    const Call transform = [&] { device->SetTransform(D3DTS_WORLD, Orvel::CMatrix::Identity()); };
    const Call build = [&] { Orvel::DXModel another(device.get(), creator); };
    const Call render = [&] { device->StartFrame(); model.Render(); };
    const Call load = [&] { Orvel::DXTexture another(device.get(), 3, 2, pixels); };
    const Call tri = [&] { device->StartFrame(); device->Tri3T({}, {}, {}, &texture); };
    const struct { const char* op; int n; const Call& call; const char* message; } cases[] = { // null: ignored
        {"CreateDevice", 1, create, "DXGraphics::CreateDevice() - Failed to create Direct3D device"},
        {"Clear", 1, start, "DXDevice::StartFrame() - Clear() failed"},
        {"BeginScene", 1, start, "DXDevice::StartFrame() - BeginScene() failed"},
        {"EndScene", 1, frame, "DXDevice::FinishFrame() - EndScene() failed"},
        {"Present", 1, frame, "DXDevice::FinishFrame() - Present() failed"},
        {"SetTransform", 1, transform, "DXDevice::SetTransform() - SetTransform() failed"},
        {"CreateVertexBuffer", 1, build, "DXDevice::CreateVertexBuffer() - CreateVertexBuffer() failed"},
        {"Lock", 1, build, "DXModelCreator::GetVertexBuffer() - Lock() failed"},
        {"Unlock", 1, build, "DXModelCreator::GetVertexBuffer() - Unlock() failed"},
        {"SetStreamSource", 1, render, "DXModel::Render() - SetStreamSource() failed"},
        {"SetFVF", 1, render, "DXModel::Render() - SetFVF() failed"},
        {"DrawPrimitive", 1, render, "DXModel::Render() - DrawPrimitive() failed"},
        {"SetMaterial", 1, render, nullptr},
        {"CreateTexture", 1, load, "DXDevice::CreateTexture() - CreateTexture() failed"},
        {"LockRect", 1, load, "DXTexture::DXTexture() - LockRect() failed"},
        {"UnlockRect", 1, load, "DXTexture::DXTexture() - UnlockRect() failed"},
        {"CreateTexture", 2, load, "DXDevice::CreateTexture() - CreateTexture() failed"},
        {"UpdateTexture", 1, load, "DXTexture::DXTexture() - UpdateTexture() failed"},
        {"SetFVF", 1, tri, "DXDevice::Tri3T() - SetFVF() failed"},
        {"SetTexture", 1, tri, "DXDevice::Tri3T() - SetTexture() failed"},
        {"DrawPrimitiveUP", 1, tri, "DXDevice::Tri3T() - DrawPrimitiveUP() failed"},
        {"SetTexture", 2, tri, "DXDevice::Tri3T() - SetTexture() failed"},
    };
    HRESULT code = D3DERR_NOTAVAILABLE;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.op) + " #" + std::to_string(c.n));
        const int live = Log().LiveObjects();
        Log().FailCall(c.op, c.n, --code); // a different failure for each row
        EXPECT_EQ(RaisedBy(c.call), c.message ? Dx(c.message, code) : "nothing");
        EXPECT_EQ(Log().LiveObjects(), live);
        EXPECT_EQ(recording->TextureOn(0) != 0, std::string(c.op) == "SetTexture" && c.n == 2);
        recording->SetTexture(0, nullptr);
        if (recording->InScene())
            device->FinishFrame();
    }
}

} // namespace
