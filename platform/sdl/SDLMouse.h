#pragma once
// The system mouse over SDL2's relative mouse mode, shaped as the DirectInput
// mouse device (Implemented: the DIMOUSESTATE format, relative axes,
// exclusive foreground use, Acquire/Unacquire, GetDeviceState. Left out:
// absolute axes, buffered data, other formats).
//
// Readings come from SDL events handed over by the window layer: motion is
// summed since the previous reading and buttons are latched, so a click that
// starts and ends between two polls still reads as down once. While the
// window is inactive the relative mode is released and every button reads
// up; it is taken again when the window is active. The poll never fails for
// the focus.
//
// Main thread only.

#include "input/CMouseLatch.h"
#include "input/DInput.h"
#include "platform/sdl/ISDLEventListener.h"

class SDLWindowLayer;

class SDLMouse : public IDirectInputDevice8A, public ISDLEventListener {
public:
    // Listens to layer's events (layer may be null in tests that feed
    // HandleEvent themselves); the layer must outlive the mouse.
    explicit SDLMouse(SDLWindowLayer* layer);

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT SetDataFormat(const DIDATAFORMAT* format) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT SetProperty(DWORD property, const DIPROPHEADER* header) override;
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    HRESULT GetDeviceState(DWORD size, void* data) override;

    void HandleEvent(const SDL_Event& event) override;

    bool Acquired() const { return mAcquired; }
    bool Active() const { return mActive; }

protected:
    ~SDLMouse() override;
    // Turns SDL's relative mouse mode on or off.
    virtual void SetRelativeMode(bool on);

private:
    ULONG mRefs;
    SDLWindowLayer* mLayer;
    HWND mWindow;
    bool mFormatSet;
    bool mAcquired;
    bool mActive;
    CMouseLatch mLatch;
};
