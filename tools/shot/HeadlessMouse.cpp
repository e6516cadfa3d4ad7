#include "tools/shot/HeadlessMouse.h"

#include <cstring>

// The provider owns both objects: Release never deletes them.
class HeadlessMouse::Device : public IDirectInputDevice8A {
public:
    DIMOUSESTATE next{};
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT SetDataFormat(const DIDATAFORMAT* format) override
    {
        return format->dwDataSize == sizeof(DIMOUSESTATE) ? DI_OK : DIERR_INVALIDPARAM;
    }
    HRESULT SetCooperativeLevel(HWND, DWORD) override { return DI_OK; }
    HRESULT SetProperty(DWORD, const DIPROPHEADER*) override { return DI_OK; }
    HRESULT Acquire() override { return DI_OK; }
    HRESULT Unacquire() override { return DI_OK; }
    HRESULT GetDeviceState(DWORD size, void* data) override
    {
        if (size != sizeof(DIMOUSESTATE))
            return DIERR_INVALIDPARAM;
        std::memcpy(data, &next, sizeof next);
        next.lX = next.lY = next.lZ = 0;
        return DI_OK;
    }
};

class HeadlessMouse::Library : public IDirectInput8A {
public:
    explicit Library(Device* device) : mDevice(device) {}
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT CreateDevice(DIGUID device, IDirectInputDevice8A** created, void*) override
    {
        if (device != GUID_SysMouse)
            return DIERR_DEVICENOTREG;
        *created = mDevice;
        return DI_OK;
    }

private:
    Device* mDevice;
};

HeadlessMouse::HeadlessMouse() : mDevice(new Device()), mLibrary(new Library(mDevice))
{
}

HeadlessMouse::~HeadlessMouse()
{
    delete mLibrary;
    delete mDevice;
}

void HeadlessMouse::SetNext(int dx, int dy, bool left, bool right)
{
    mDevice->next.lX = dx;
    mDevice->next.lY = dy;
    mDevice->next.rgbButtons[0] = left ? 0x80 : 0;
    mDevice->next.rgbButtons[1] = right ? 0x80 : 0;
}

HRESULT HeadlessMouse::DirectInput8Create(HINSTANCE, DWORD version, DIIID iid, void** out, void*)
{
    if (version != DIRECTINPUT_VERSION || iid != IID_IDirectInput8A)
        return DIERR_INVALIDPARAM;
    *out = static_cast<IDirectInput8A*>(mLibrary);
    return DI_OK;
}
