#include "input/DXInput.h"

#include <cstring>

const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT), sizeof(DIMOUSESTATE)};

namespace {

// The loaded library stand-in (process-wide, never unloaded) and whether its
// entry point has been looked up.
IDirectInputProvider* gDirectInputLibrary = nullptr;
bool gDirectInput8CreateFound = false;

} // namespace

void LoadDirectInputLibrary(IDirectInputProvider& provider)
{
    gDirectInputLibrary = &provider;
    gDirectInput8CreateFound = false;
    if (!provider.LoadLibrary()) {
        gDirectInputLibrary = nullptr;
    }
}

DXInput::DXInput(HINSTANCE instance)
    : motionScale(1.0f), mMouseCreated(false), mDirectInput(nullptr), mMouse(nullptr), mState(), mCursorX(0),
      mCursorY(0), mLeftWasDown(false), mRightWasDown(false)
{
    if (!gDirectInput8CreateFound) {
        if (gDirectInputLibrary == nullptr || !gDirectInputLibrary->HasDirectInput8Create()) {
            DXThrow("Invalid DirectInput library (dinput8.dll)");
        }
        gDirectInput8CreateFound = true;
    }
    void* created = nullptr;
    HRESULT hr =
        gDirectInputLibrary->DirectInput8Create(instance, DIRECTINPUT_VERSION, IID_IDirectInput8A, &created, nullptr);
    if (hr < 0 || created == nullptr) {
        DXThrowCode(hr, "Failed to create DirectInput object");
    }
    mDirectInput = static_cast<IDirectInput8A*>(created);
}

DXInput::~DXInput()
{
    if (mMouseCreated) {
        mMouseCreated = false;
        if (mMouse != nullptr) {
            mMouse->Unacquire();
            mMouse->Release();
        }
    }
    mDirectInput->Release();
}

void DXInput::CreateMouse(HWND window)
{
    mMouseCreated = true;
    HRESULT hr = mDirectInput->CreateDevice(GUID_SysMouse, &mMouse, nullptr);
    if (hr < 0) {
        mMouse = nullptr;
        DXThrowCode(hr, "DXInput::CreateMouse failed - CreateDevice() failed");
    }
    hr = mMouse->SetDataFormat(&c_dfDIMouse);
    if (hr < 0) {
        DXThrowCode(hr, "DXInput::CreateMouse failed - SetDataFormat() failed");
    }
    hr = mMouse->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    if (hr < 0) {
        DXThrowCode(hr, "DXInput::CreateMouse failed - SetCooperativeLevel() failed");
    }
    DIPROPDWORD axisMode;
    axisMode.diph.dwSize = sizeof(DIPROPDWORD);
    axisMode.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    axisMode.diph.dwObj = 0;
    axisMode.diph.dwHow = DIPH_DEVICE;
    axisMode.dwData = DIPROPAXISMODE_REL;
    hr = mMouse->SetProperty(DIPROP_AXISMODE, &axisMode.diph);
    if (hr < 0) {
        DXThrowCode(hr, "DXInput::CreateMouse failed - SetProperty() failed");
    }
    hr = mMouse->Acquire();
    if (hr < 0) {
        DXThrowCode(hr, "DXInput::CreateMouse failed - Acquire() failed");
    }
    mCursorX = 0;
    mCursorY = 0;
    motionScale = 1.0f;
    mLeftWasDown = false;
    mRightWasDown = false;
}

void DXInput::GetMouseState()
{
    mLeftWasDown = mState.rgbButtons[0] != 0;
    mRightWasDown = mState.rgbButtons[1] != 0;
    if (mMouse == nullptr) {
        DXThrowCode(DIERR_NOTACQUIRED, "DXInput::GetMouseState failed - GetDeviceState() failed");
    }
    DIMOUSESTATE reading;
    HRESULT hr = mMouse->GetDeviceState(sizeof(DIMOUSESTATE), &reading);
    if (hr < 0) {
        DXThrowCode(hr, "DXInput::GetMouseState failed - GetDeviceState() failed");
    }
    mState = reading;
    // The product is truncated toward zero; huge products saturate instead
    // of overflowing the conversion.
    auto scale = [this](int32_t v) {
        double scaled = static_cast<double>(v) * static_cast<double>(motionScale);
        if (!(scaled > -2147483648.0)) {
            return scaled != scaled ? 0 : INT32_MIN;
        }
        if (scaled >= 2147483647.0) {
            return INT32_MAX;
        }
        return static_cast<int32_t>(scaled);
    };
    mState.lX = scale(reading.lX);
    mState.lY = scale(reading.lY);
    int64_t x = static_cast<int64_t>(mCursorX) + mState.lX;
    int64_t y = static_cast<int64_t>(mCursorY) + mState.lY;
    mCursorX = x < 0 ? 0 : (x > INT32_MAX ? INT32_MAX : static_cast<int32_t>(x));
    mCursorY = y < 0 ? 0 : (y > INT32_MAX ? INT32_MAX : static_cast<int32_t>(y));
}

void DXInput::SetMousePosition(int32_t x, int32_t y)
{
    mCursorX = x;
    mCursorY = y;
}
