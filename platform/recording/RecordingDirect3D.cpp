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
    if (returnedDeviceInterface)
        *returnedDeviceInterface = nullptr;
    const D3DPRESENT_PARAMETERS* p = presentationParameters;
    if (SUCCEEDED(result) &&
        (!p || !returnedDeviceInterface || adapter != 0 || p->BackBufferWidth == 0 || p->BackBufferHeight == 0 ||
         (p->BackBufferFormat != D3DFMT_UNKNOWN && p->BackBufferFormat != D3DFMT_X8R8G8B8 &&
          p->BackBufferFormat != D3DFMT_A8R8G8B8)))
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
