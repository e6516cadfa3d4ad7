#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "input/CKeyLatch.h"
#include "input/DXInput.h"
#include "input/KeyState.h"

namespace {

// A DirectInput stand-in whose every step can be made to fail.
struct FakeDirectInput;

struct FakeMouse : IDirectInputDevice8A {
    std::string failStep;  // "SetDataFormat", "SetCooperativeLevel", ...
    HRESULT failCode = DIERR_GENERIC;
    DIMOUSESTATE next{};
    HRESULT stateResult = DI_OK;
    HWND window = nullptr;
    DWORD flags = 0;
    DWORD axisMode = 99;
    bool acquired = false;
    int* alive = nullptr;

    HRESULT Step(const char* name) { return failStep == name ? failCode : DI_OK; }
    ULONG AddRef() override { return 2; }
    ULONG Release() override
    {
        --*alive;
        delete this;
        return 0;
    }
    HRESULT SetDataFormat(const DIDATAFORMAT* format) override
    {
        EXPECT_EQ(format->dwDataSize, 16u);
        return Step("SetDataFormat");
    }
    HRESULT SetCooperativeLevel(HWND w, DWORD f) override
    {
        window = w;
        flags = f;
        return Step("SetCooperativeLevel");
    }
    HRESULT SetProperty(DWORD property, const DIPROPHEADER* header) override
    {
        EXPECT_EQ(property, DIPROP_AXISMODE);
        EXPECT_EQ(header->dwSize, 20u);
        EXPECT_EQ(header->dwHeaderSize, 16u);
        EXPECT_EQ(header->dwHow, DIPH_DEVICE);
        axisMode = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
        return Step("SetProperty");
    }
    HRESULT Acquire() override
    {
        HRESULT hr = Step("Acquire");
        acquired = hr >= 0;
        return hr;
    }
    HRESULT Unacquire() override
    {
        acquired = false;
        return DI_OK;
    }
    HRESULT GetDeviceState(DWORD size, void* data) override
    {
        EXPECT_EQ(size, 16u);
        if (stateResult < 0) {
            std::memset(data, 0x55, size); // what a failed read leaves must not be used
            return stateResult;
        }
        std::memcpy(data, &next, sizeof next);
        return stateResult;
    }
};

struct FakeDirectInput : IDirectInput8A {
    std::string failStep;
    HRESULT failCode = DIERR_GENERIC;
    FakeMouse* lastMouse = nullptr;
    int* alive = nullptr;
    ULONG AddRef() override { return 2; }
    ULONG Release() override
    {
        --*alive;
        delete this;
        return 0;
    }
    HRESULT CreateDevice(DIGUID device, IDirectInputDevice8A** created, void*) override
    {
        EXPECT_EQ(device, GUID_SysMouse);
        if (failStep == "CreateDevice") {
            return failCode;
        }
        lastMouse = new FakeMouse();
        lastMouse->failStep = failStep;
        lastMouse->failCode = failCode;
        lastMouse->alive = alive;
        ++*alive;
        *created = lastMouse;
        return DI_OK;
    }
};

struct FakeProvider : IDirectInputProvider {
    bool library = true;
    bool entry = true;
    HRESULT createResult = DI_OK;
    std::string failStep;
    HRESULT failCode = DIERR_GENERIC;
    FakeDirectInput* last = nullptr;
    int alive = 0;
    int loads = 0;
    bool LoadLibrary() override
    {
        ++loads;
        return library;
    }
    bool HasDirectInput8Create() override { return entry; }
    HRESULT DirectInput8Create(HINSTANCE, DWORD version, DIIID iid, void** out, void*) override
    {
        EXPECT_EQ(version, 0x0800u);
        EXPECT_EQ(iid, IID_IDirectInput8A);
        if (createResult < 0) {
            return createResult;
        }
        last = new FakeDirectInput();
        last->failStep = failStep;
        last->failCode = failCode;
        last->alive = &alive;
        ++alive;
        *out = static_cast<IDirectInput8A*>(last);
        return DI_OK;
    }
};

template <class F>
DXException Catch(F f)
{
    try {
        f();
    } catch (DXException& e) {
        return e;
    }
    ADD_FAILURE() << "no DXException";
    return DXException(nullptr, 0);
}

HWND const kWindow = reinterpret_cast<HWND>(0x1234);

} // namespace

TEST(DXInputTest, MissingLibraryOrEntryPointOrFailedCreationRaise)
{
    FakeProvider noLibrary;
    noLibrary.library = false;
    LoadDirectInputLibrary(noLibrary);
    DXException e1 = Catch([] { DXInput input(nullptr); });
    EXPECT_STREQ(e1.Message(), "Invalid DirectInput library (dinput8.dll)");
    EXPECT_EQ(e1.Code(), 0);

    FakeProvider noEntry;
    noEntry.entry = false;
    LoadDirectInputLibrary(noEntry);
    DXException e2 = Catch([] { DXInput input(nullptr); });
    EXPECT_STREQ(e2.Message(), "Invalid DirectInput library (dinput8.dll)");

    FakeProvider failing;
    failing.createResult = DIERR_GENERIC;
    LoadDirectInputLibrary(failing);
    DXException e3 = Catch([] { DXInput input(nullptr); });
    EXPECT_STREQ(e3.Message(), "Failed to create DirectInput object");
    EXPECT_EQ(e3.Code(), DIERR_GENERIC);
    EXPECT_EQ(failing.alive, 0);
}

TEST(DXInputTest, EveryMouseStepFailureNamesTheStepAndCarriesItsCode)
{
    const char* steps[] = {"CreateDevice", "SetDataFormat", "SetCooperativeLevel", "SetProperty", "Acquire"};
    for (const char* step : steps) {
        FakeProvider provider;
        provider.failStep = step;
        provider.failCode = static_cast<HRESULT>(0x80070000u + std::strlen(step));
        LoadDirectInputLibrary(provider);
        {
            DXInput input(nullptr);
            DXException e = Catch([&] { input.CreateMouse(kWindow); });
            EXPECT_EQ(std::string(e.Message()), std::string("DXInput::CreateMouse failed - ") + step + "() failed");
            EXPECT_EQ(e.Code(), provider.failCode) << step;
        }
        EXPECT_EQ(provider.alive, 0) << "leaked after a failed " << step;
    }
}

TEST(DXInputTest, CreateMouseConfiguresARelativeExclusiveForegroundMouse)
{
    FakeProvider provider;
    LoadDirectInputLibrary(provider);
    {
        DXInput input(nullptr);
        input.motionScale = 3.0f;
        input.CreateMouse(kWindow);
        FakeMouse* mouse = provider.last->lastMouse;
        EXPECT_EQ(mouse->window, kWindow);
        EXPECT_EQ(mouse->flags, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
        EXPECT_EQ(mouse->axisMode, DIPROPAXISMODE_REL);
        EXPECT_TRUE(mouse->acquired);
        EXPECT_EQ(input.motionScale, 1.0f);
        EXPECT_EQ(input.CursorX(), 0);
        EXPECT_EQ(input.CursorY(), 0);
        EXPECT_EQ(provider.alive, 2);
    }
    EXPECT_EQ(provider.alive, 0) << "the destructor releases the mouse and the DirectInput object";
}

TEST(DXInputTest, CursorMovesByScaledMotionAndStaysAtOrAboveZero)
{
    FakeProvider provider;
    LoadDirectInputLibrary(provider);
    DXInput input(nullptr);
    input.CreateMouse(kWindow);
    FakeMouse* mouse = provider.last->lastMouse;

    mouse->next = {-10, 5, 0, {0, 0, 0, 0}};
    input.GetMouseState();
    EXPECT_EQ(input.Dx(), -10);
    EXPECT_EQ(input.Dy(), 5);
    EXPECT_EQ(input.CursorX(), 0);
    EXPECT_EQ(input.CursorY(), 5);

    input.motionScale = 0.5f;
    mouse->next = {3, -3, 0, {0, 0, 0, 0}};
    input.GetMouseState();
    EXPECT_EQ(input.Dx(), 1);
    EXPECT_EQ(input.Dy(), -1);
    EXPECT_EQ(input.CursorX(), 1);
    EXPECT_EQ(input.CursorY(), 4);

    // No clamp on the high side here (the frame tick does it), and no
    // overflow however far the mouse goes.
    input.motionScale = 1000.0f;
    mouse->next = {INT32_MAX, 2000, 0, {0, 0, 0, 0}};
    input.GetMouseState();
    EXPECT_EQ(input.Dx(), INT32_MAX);
    EXPECT_EQ(input.CursorX(), INT32_MAX);
    EXPECT_EQ(input.CursorY(), 2000004);

    input.SetMousePosition(1100, -7);
    EXPECT_EQ(input.CursorX(), 1100);
    EXPECT_EQ(input.CursorY(), -7);
}

TEST(DXInputTest, APressIsDownNowAndUpAtThePreviousPoll)
{
    FakeProvider provider;
    LoadDirectInputLibrary(provider);
    DXInput input(nullptr);
    input.CreateMouse(kWindow);
    FakeMouse* mouse = provider.last->lastMouse;

    mouse->next = {0, 0, 0, {0x80, 0, 0, 0}};
    input.GetMouseState();
    EXPECT_TRUE(input.LeftDown());
    EXPECT_FALSE(input.LeftWasDown());
    EXPECT_TRUE(input.LeftPressed());

    mouse->next = {0, 0, 0, {0x80, 0x80, 0, 0}};
    input.GetMouseState();
    EXPECT_TRUE(input.LeftWasDown());
    EXPECT_FALSE(input.LeftPressed()) << "held, not a new press";
    EXPECT_TRUE(input.RightPressed());

    mouse->next = {0, 0, 0, {0, 0, 0, 0}};
    input.GetMouseState();
    EXPECT_FALSE(input.LeftDown());
    EXPECT_TRUE(input.LeftWasDown());
    EXPECT_TRUE(input.RightWasDown());
}

TEST(DXInputTest, AFailedPollRaisesWithItsCodeAndItsDataIsNotUsed)
{
    FakeProvider provider;
    LoadDirectInputLibrary(provider);
    DXInput input(nullptr);
    input.CreateMouse(kWindow);
    FakeMouse* mouse = provider.last->lastMouse;
    mouse->next = {4, 4, 0, {0, 0, 0, 0}};
    input.GetMouseState();

    mouse->stateResult = DIERR_INPUTLOST;
    DXException e = Catch([&] { input.GetMouseState(); });
    EXPECT_STREQ(e.Message(), "DXInput::GetMouseState failed - GetDeviceState() failed");
    EXPECT_EQ(e.Code(), DIERR_INPUTLOST);
    EXPECT_EQ(input.CursorX(), 4);
    EXPECT_EQ(input.Dx(), 4);
}

TEST(KeyStateTest, DownNowAndPressedSinceTheQueryAreSeparateBits)
{
    CKeyLatch keys;
    SetKeySource(&keys);

    EXPECT_EQ(GetAsyncKeyState('W'), 0);
    keys.KeyDown('W', false);
    EXPECT_EQ(GetAsyncKeyState('W') & 0xFFFF, 0x8001);
    EXPECT_EQ(GetAsyncKeyState('W') & 0xFFFF, 0x8000) << "the press is reported once";
    keys.KeyDown('W', true);
    EXPECT_EQ(GetAsyncKeyState('W') & 0xFFFF, 0x8000) << "auto-repeat is not a new press";

    // A tap between two queries still counts as pressed.
    keys.KeyDown(VK_SPACE, false);
    keys.KeyUp(VK_SPACE);
    EXPECT_EQ(GetAsyncKeyState(VK_SPACE), KEY_PRESSED_SINCE_QUERY);
    EXPECT_EQ(GetAsyncKeyState(VK_SPACE), 0);

    // Querying one key leaves the other keys' presses alone.
    keys.KeyDown(VK_F1, false);
    keys.KeyDown(VK_ESCAPE, false);
    EXPECT_EQ(GetAsyncKeyState(VK_F1) & 1, 1);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE) & 1, 1);

    keys.ReleaseAll();
    EXPECT_EQ(GetAsyncKeyState('W'), 0);

    keys.KeyDown('A', false);
    keys.ForgetPresses();
    EXPECT_EQ(GetAsyncKeyState('A') & 0xFFFF, 0x8000);

    keys.KeyDown(-1, false);
    keys.KeyDown(300, false);
    EXPECT_EQ(GetAsyncKeyState(300), 0);

    SetKeySource(nullptr);
    EXPECT_EQ(GetAsyncKeyState('A'), 0);
}
