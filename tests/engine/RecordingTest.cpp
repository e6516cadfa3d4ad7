#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "platform/recording/RecordingDevice.h"

namespace {

class RecordingTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        device->Release();
        EXPECT_EQ(log->LiveObjects(), 0);
    }
    IDirect3DTexture9* Texture(UINT width, UINT height, D3DPOOL pool)
    {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, pool, &texture, nullptr), D3D_OK);
        return texture;
    }

    std::shared_ptr<RecordingLog> log = std::make_shared<RecordingLog>();
    RecordingDevice* device = new RecordingDevice(log);
};

TEST_F(RecordingTest, AnArmedFailureHitsTheNthCallFromNowOnlyOnce)
{
    device->SetFVF(1);
    log->FailCall("SetFVF", 2, E_OUTOFMEMORY);
    log->FailCall("SetRenderState", 1, E_FAIL);
    EXPECT_EQ(device->SetFVF(2), D3D_OK);
    EXPECT_EQ(device->SetFVF(3), E_OUTOFMEMORY);
    EXPECT_EQ(device->FVF(), 2u) << "a failed call has no effect";
    EXPECT_EQ(device->SetFVF(4), D3D_OK);
    EXPECT_EQ(device->SetRenderState(D3DRS_LIGHTING, FALSE), E_FAIL);
    EXPECT_EQ(device->RenderState(D3DRS_LIGHTING), static_cast<DWORD>(TRUE));
    const auto calls = log->CallsOf("SetFVF");
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[2]->result, E_OUTOFMEMORY);
    EXPECT_EQ(calls[2]->args, (std::vector<int64_t>{3}));
    EXPECT_THROW(log->FailCall("SetFvf", 1, E_FAIL), std::invalid_argument);
    EXPECT_THROW(log->FailCall("SetFVF", 0, E_FAIL), std::invalid_argument);
}

TEST_F(RecordingTest, WithRecordingOffCallsAreCountedAndFailuresStillFire)
{
    log->SetRecording(false);
    device->BeginScene();
    log->FailCall("EndScene", 1, E_FAIL);
    EXPECT_EQ(device->EndScene(), E_FAIL);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_TRUE(log->Calls().empty());
    EXPECT_EQ(log->Count("EndScene"), 2);
    log->SetRecording(true);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    EXPECT_EQ(log->Names(), (std::vector<std::string>{"Clear"}));
}

TEST_F(RecordingTest, ObjectsLiveUntilTheirLastReleaseAndAreLookedUpById)
{
    IDirect3DTexture9* texture = Texture(4, 4, D3DPOOL_DEFAULT);
    const uint32_t id = static_cast<RecordingTexture*>(texture)->Id();
    EXPECT_EQ(log->Texture(id), texture);
    EXPECT_EQ(log->VertexBuffer(id), nullptr) << "wrong kind";
    EXPECT_EQ(texture->AddRef(), 2u);
    EXPECT_EQ(texture->Release(), 1u);
    EXPECT_EQ(log->LiveObjects(RecordingLog::Kind::Texture), 1);
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(log->Texture(id), nullptr);
    EXPECT_EQ(log->LiveObjects(RecordingLog::Kind::Texture), 0);
}

TEST_F(RecordingTest, RefusesWhatTheRealDeviceRefuses)
{
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);

    // Draws need a live, unlocked stream that holds every vertex drawn.
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(5 * 12, 0, D3DFVF_XYZ, D3DPOOL_DEFAULT, &buffer, nullptr), D3D_OK);
    device->SetFVF(D3DFVF_XYZ);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 1), D3DERR_INVALIDCALL) << "no stream";
    device->SetStreamSource(0, buffer, 0, 12);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 3), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 1, 3), D3DERR_INVALIDCALL) << "past the end";
    void* bytes = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &bytes, 0), D3D_OK);
    EXPECT_EQ(buffer->Lock(0, 0, &bytes, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 1), D3DERR_INVALIDCALL) << "locked";
    buffer->Unlock();
    EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);
    buffer->Release();
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 1), D3DERR_INVALIDCALL) << "released";
    device->EndScene();
    const float triangle[9] = {};
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 12), D3DERR_INVALIDCALL) << "outside a scene";

    // Textures: only system memory locks, only system memory to default pool of one size updates.
    IDirect3DTexture9* system = Texture(4, 2, D3DPOOL_SYSTEMMEM);
    IDirect3DTexture9* target = Texture(4, 2, D3DPOOL_DEFAULT);
    IDirect3DTexture9* other = Texture(2, 4, D3DPOOL_DEFAULT);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(system->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTexture(0, system), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->UpdateTexture(target, system), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->UpdateTexture(system, other), D3DERR_INVALIDCALL);
    ASSERT_EQ(system->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(device->UpdateTexture(system, target), D3DERR_INVALIDCALL) << "locked";
    static_cast<uint32_t*>(locked.pBits)[5] = 0x12345678;
    system->UnlockRect(0);
    EXPECT_EQ(device->UpdateTexture(system, target), D3D_OK);
    EXPECT_EQ(static_cast<RecordingTexture*>(target)->Texel(1, 1), 0x12345678u);
    IDirect3DTexture9* none = nullptr;
    EXPECT_EQ(device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &none, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &none, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(none, nullptr);
    system->Release();
    target->Release();
    other->Release();
}

} // namespace
