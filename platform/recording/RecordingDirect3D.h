#pragma once
// The Direct3D object of the recording back end: CreateDevice records its
// arguments and presentation parameters and makes a RecordingDevice.

#include "platform/recording/RecordingObject.h"

class RecordingDirect3D : public RecordingObject<IDirect3D9> {
public:
    explicit RecordingDirect3D(std::shared_ptr<RecordingLog> log);

    // Refuses (D3DERR_INVALIDCALL) a null out pointer or parameter block.
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* presentationParameters,
                         IDirect3DDevice9** returnedDeviceInterface) override;
};
