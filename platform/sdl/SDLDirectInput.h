#pragma once
// The DirectInput stand-in over SDL2: its one device is the system mouse
// (SDLMouse), fed by the window layer's events. The library is always
// "loaded"; CreateDevice of anything but GUID_SysMouse fails with
// DIERR_DEVICENOTREG.
//
// Main thread only. The layer must outlive the provider and every object
// made from it.

#include "input/DInput.h"

class SDLWindowLayer;

class SDLDirectInputProvider : public IDirectInputProvider {
public:
    explicit SDLDirectInputProvider(SDLWindowLayer* layer) : mLayer(layer) {}

    bool LoadLibrary() override { return true; }
    bool HasDirectInput8Create() override { return true; }
    HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, DIIID iid, void** out, void* outer) override;

private:
    SDLWindowLayer* mLayer;
};
