#pragma once
// A mouse library stand-in for running the shell offscreen: its one mouse
// reports, at each read, the motion and buttons last given to SetNext (then
// no motion again). The provider owns its objects and outlives every DXInput
// made with it. Main thread only.

#include "input/DInput.h"

class HeadlessMouse : public IDirectInputProvider {
public:
    HeadlessMouse();
    ~HeadlessMouse() override;
    HeadlessMouse(const HeadlessMouse&) = delete;
    HeadlessMouse& operator=(const HeadlessMouse&) = delete;

    // The next read reports this motion and these buttons; later reads keep
    // the buttons and report no motion.
    void SetNext(int dx, int dy, bool left, bool right);

    bool LoadLibrary() override { return true; }
    bool HasDirectInput8Create() override { return true; }
    HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, DIIID iid, void** out, void* outer) override;

private:
    class Device;
    class Library;
    Device* mDevice;
    Library* mLibrary;
};
