#include "platform/recording/RecordingDirect3D.h"

#include <cstdint>

#include "platform/recording/RecordingDevice.h"

RecordingDirect3D::RecordingDirect3D(std::shared_ptr<RecordingLog> log)
    : RecordingObject(std::move(log), RecordingLog::Kind::Direct3D)
{
}

HRESULT RecordingDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                        D3DPRESENT_PARAMETERS* presentationParameters,
                                        IDirect3DDevice9** returnedDeviceInterface)
{
    std::lock_guard<std::mutex> lock(mLog->Mutex());
    HRESULT result = mLog->Enter(RecOp::CreateDevice);
    if (SUCCEEDED(result) && (!presentationParameters || !returnedDeviceInterface))
        result = D3DERR_INVALIDCALL;
    RecordingDevice* device = nullptr;
    if (SUCCEEDED(result)) {
        device = new RecordingDevice(mLog);
        *returnedDeviceInterface = device;
    }
    if (RecordedCall* call = mLog->Add(RecOp::CreateDevice, mId, result)) {
        call->args = {adapter, deviceType, static_cast<int64_t>(reinterpret_cast<intptr_t>(focusWindow)),
                      behaviorFlags};
        if (presentationParameters)
            call->present = *presentationParameters;
        call->created = device ? device->Id() : 0;
    }
    return result;
}
