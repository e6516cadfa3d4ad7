#include "tests/play/ScriptedInput.h"

#include <cstring>

#include "game/GameGlobals.h"
#include "input/DXInput.h"

namespace {

struct Mouse : IDirectInputDevice8A {
    DIMOUSESTATE next{};
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; } // owned by the provider
    HRESULT SetDataFormat(const DIDATAFORMAT*) override { return DI_OK; }
    HRESULT SetCooperativeLevel(HWND, DWORD) override { return DI_OK; }
    HRESULT SetProperty(DWORD, const DIPROPHEADER*) override { return DI_OK; }
    HRESULT Acquire() override { return DI_OK; }
    HRESULT Unacquire() override { return DI_OK; }
    HRESULT GetDeviceState(DWORD size, void* data) override
    {
        std::memcpy(data, &next, size < sizeof next ? size : sizeof next);
        return DI_OK;
    }
};

struct DirectInput : IDirectInput8A {
    Mouse* mouse = nullptr;
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateDevice(DIGUID, IDirectInputDevice8A** created, void*) override
    {
        *created = mouse;
        return DI_OK;
    }
};

} // namespace

class ScriptedInput::Provider : public IDirectInputProvider {
public:
    Mouse mouse;
    DirectInput directInput;
    Provider() { directInput.mouse = &mouse; }
    bool LoadLibrary() override { return true; }
    bool HasDirectInput8Create() override { return true; }
    HRESULT DirectInput8Create(HINSTANCE, DWORD, DIIID, void** out, void*) override
    {
        *out = static_cast<IDirectInput8A*>(&directInput);
        return DI_OK;
    }
};

ScriptedInput::ScriptedInput() : mProvider(new Provider())
{
    LoadDirectInputLibrary(*mProvider);
    mInput.reset(new DXInput(nullptr));
    mInput->CreateMouse(nullptr);
    gInput = mInput.get();
    SetKeySource(this);
}

ScriptedInput::~ScriptedInput()
{
    SetKeySource(nullptr);
    gInput = nullptr;
}

void ScriptedInput::Poll(int dx, int dy, bool left, bool right)
{
    DIMOUSESTATE& s = mProvider->mouse.next;
    s = DIMOUSESTATE{};
    s.lX = dx;
    s.lY = dy;
    s.rgbButtons[0] = left ? 0x80 : 0;
    s.rgbButtons[1] = right ? 0x80 : 0;
    mInput->GetMouseState();
}

void ScriptedInput::PollAt(int x, int y, bool left, bool right)
{
    mInput->SetMousePosition(x, y);
    Poll(0, 0, left, right);
}

void ScriptedInput::Hold(int vk, bool down)
{
    if (down)
        mHeld.insert(vk);
    else
        mHeld.erase(vk);
}

void ScriptedInput::Tap(int vk)
{
    mTapped.insert(vk);
}

bool ScriptedInput::IsKeyDown(int vk)
{
    return mHeld.count(vk) != 0;
}

bool ScriptedInput::TakeKeyPressed(int vk)
{
    return mTapped.erase(vk) != 0;
}
