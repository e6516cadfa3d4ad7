#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "input/CKeyLatch.h"
#include "input/DXInput.h"
#include "input/KeyState.h"

namespace {

// The mouse library, its DirectInput object and its one mouse in one fake:
// any step can fail, and refs counts the references DXInput holds.
struct FakeInput : IDirectInputProvider, IDirectInput8A, IDirectInputDevice8A {
    bool library = true, entry = true;
    std::string failStep; // "DirectInput8Create", "CreateDevice", ..., "GetDeviceState"
    HRESULT failCode = DIERR_GENERIC;
    int refs = 0;
    HWND window = nullptr;
    DWORD flags = 0, axisMode = 99;
    bool acquired = false;
    DIMOUSESTATE next{};

    HRESULT Step(const char* name) { return failStep == name ? failCode : DI_OK; }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    bool LoadLibrary() override { return library; }
    bool HasDirectInput8Create() override { return entry; }
    HRESULT DirectInput8Create(HINSTANCE, DWORD version, DIIID iid, void** out, void*) override
    {
        EXPECT_TRUE(version == 0x0800u && iid == IID_IDirectInput8A);
        if (Step("DirectInput8Create") != DI_OK)
            return failCode;
        *out = static_cast<IDirectInput8A*>(this);
        return AddRef(), DI_OK;
    }
    HRESULT CreateDevice(DIGUID device, IDirectInputDevice8A** created, void*) override
    {
        EXPECT_EQ(device, GUID_SysMouse);
        if (Step("CreateDevice") != DI_OK)
            return failCode;
        *created = this;
        return AddRef(), DI_OK;
    }
    HRESULT SetDataFormat(const DIDATAFORMAT* format) override
    {
        EXPECT_EQ(format->dwDataSize, 16u);
        return Step("SetDataFormat");
    }
    HRESULT SetCooperativeLevel(HWND w, DWORD f) override
    {
        window = w, flags = f;
        return Step("SetCooperativeLevel");
    }
    HRESULT SetProperty(DWORD property, const DIPROPHEADER* header) override
    {
        EXPECT_EQ(property, DIPROP_AXISMODE);
        EXPECT_TRUE(header->dwSize == 20u && header->dwHeaderSize == 16u && header->dwHow == DIPH_DEVICE);
        axisMode = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
        return Step("SetProperty");
    }
    HRESULT Acquire() override { return (acquired = Step("Acquire") == DI_OK) ? DI_OK : failCode; }
    HRESULT Unacquire() override { return acquired = false, DI_OK; }
    HRESULT GetDeviceState(DWORD size, void* data) override
    {
        EXPECT_EQ(size, 16u);
        std::memcpy(data, &next, sizeof next);
        if (Step("GetDeviceState") != DI_OK)
            std::memset(data, 0x55, size); // what a failed read leaves must not be used
        return Step("GetDeviceState");
    }
};

HWND const kWindow = reinterpret_cast<HWND>(0x1234);

} // namespace

TEST(DXInputTest, EveryFailingStepIsNamedCarriesItsCodeAndLeaksNothing)
{
    struct Row {
        bool library, entry;
        const char* step;
        const char* message;
    };
    const Row rows[] = {
        {false, true, "", "Invalid DirectInput library (dinput8.dll)"},
        {true, false, "", "Invalid DirectInput library (dinput8.dll)"},
        {true, true, "DirectInput8Create", "Failed to create DirectInput object"},
        {true, true, "CreateDevice", "DXInput::CreateMouse failed - CreateDevice() failed"},
        {true, true, "SetDataFormat", "DXInput::CreateMouse failed - SetDataFormat() failed"},
        {true, true, "SetCooperativeLevel", "DXInput::CreateMouse failed - SetCooperativeLevel() failed"},
        {true, true, "SetProperty", "DXInput::CreateMouse failed - SetProperty() failed"},
        {true, true, "Acquire", "DXInput::CreateMouse failed - Acquire() failed"},
        {true, true, "GetDeviceState", "DXInput::GetMouseState failed - GetDeviceState() failed"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.message) + " " + row.step + (row.library ? "" : " no library"));
        FakeInput fake;
        fake.library = row.library, fake.entry = row.entry, fake.failStep = row.step;
        fake.failCode = static_cast<HRESULT>(0x80070000u + std::strlen(row.step));
        LoadDirectInputLibrary(fake);
        std::string message = "no exception";
        HRESULT code = DI_OK;
        try {
            DXInput input(nullptr);
            input.CreateMouse(kWindow);
            input.GetMouseState();
        } catch (const DXException& e) {
            message = e.Message(), code = e.Code();
        }
        EXPECT_EQ(message, row.message);
        EXPECT_EQ(code, *row.step ? fake.failCode : 0);
        EXPECT_EQ(fake.refs, 0) << "leaked or released twice";
    }
}

TEST(DXInputTest, TheMouseIsRelativeAndExclusiveAndTheCursorMovesByScaledMotionNeverBelowZero)
{
    FakeInput fake;
    LoadDirectInputLibrary(fake);
    {
        DXInput input(nullptr);
        input.motionScale = 3.0f;
        input.CreateMouse(kWindow);
        EXPECT_TRUE(fake.window == kWindow && fake.acquired);
        EXPECT_EQ(fake.flags, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
        EXPECT_EQ(fake.axisMode, DIPROPAXISMODE_REL);
        EXPECT_EQ(input.motionScale, 1.0f);
        // No clamp on the high side here (the frame tick does it), and no
        // overflow however far the mouse goes.
        const struct {
            float scale;
            int32_t x, y, dx, dy, cursorX, cursorY;
        } polls[] = {{1.0f, -10, 5, -10, 5, 0, 5},
                     {0.5f, 3, -3, 1, -1, 1, 4},
                     {1000.0f, INT32_MAX, 2000, INT32_MAX, 2000000, INT32_MAX, 2000004}};
        for (const auto& p : polls) {
            input.motionScale = p.scale;
            fake.next = {p.x, p.y, 0, {}};
            input.GetMouseState();
            EXPECT_EQ(input.Dx(), p.dx);
            EXPECT_EQ(input.Dy(), p.dy);
            EXPECT_EQ(input.CursorX(), p.cursorX);
            EXPECT_EQ(input.CursorY(), p.cursorY);
        }
        input.motionScale = 1.0f;
        input.SetMousePosition(1100, -7);
        EXPECT_TRUE(input.CursorX() == 1100 && input.CursorY() == -7);

        // A press is down now and up at the previous poll.
        fake.next = {0, 0, 0, {0x80, 0, 0, 0}};
        input.GetMouseState();
        EXPECT_TRUE(input.LeftDown() && !input.LeftWasDown() && input.LeftPressed());
        fake.next = {0, 0, 0, {0x80, 0x80, 0, 0}};
        input.GetMouseState();
        EXPECT_TRUE(input.LeftWasDown() && !input.LeftPressed()) << "held, not a new press";
        EXPECT_TRUE(input.RightPressed());
        fake.next = {4, 4, 0, {0, 0, 0, 0}};
        input.GetMouseState();
        EXPECT_TRUE(!input.LeftDown() && input.LeftWasDown() && input.RightWasDown());

        // A failed read changes nothing.
        fake.failStep = "GetDeviceState";
        EXPECT_THROW(input.GetMouseState(), DXException);
        EXPECT_TRUE(input.Dx() == 4 && input.CursorX() == 1104);
    }
    EXPECT_EQ(fake.refs, 0) << "the destructor releases the mouse and the DirectInput object";
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
