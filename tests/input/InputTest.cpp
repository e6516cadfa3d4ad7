#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "input/DXInput.h"

namespace {

// The mouse library, its DirectInput object and its one mouse in one fake:
// the step named failStep fails, and refs counts the references DXInput holds.
struct FakeInput : IDirectInputProvider, IDirectInput8A, IDirectInputDevice8A {
    std::string failStep; // "LoadLibrary", "HasDirectInput8Create", ..., "GetDeviceState"
    int refs = 0;
    HWND window = nullptr;
    DWORD flags = 0, axisMode = 99;
    bool acquired = false;
    DIMOUSESTATE next{};

    HRESULT Step(const char* name) { return failStep == name ? DIERR_INPUTLOST : DI_OK; }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    bool LoadLibrary() override { return Step("LoadLibrary") == DI_OK; }
    bool HasDirectInput8Create() override { return Step("HasDirectInput8Create") == DI_OK; }
    HRESULT DirectInput8Create(HINSTANCE, DWORD version, DIIID iid, void** out, void*) override
    {
        EXPECT_TRUE(version == 0x0800u && iid == IID_IDirectInput8A);
        if (Step("DirectInput8Create") == DI_OK)
            *out = static_cast<IDirectInput8A*>(this), ++refs;
        return Step("DirectInput8Create");
    }
    HRESULT CreateDevice(DIGUID device, IDirectInputDevice8A** created, void*) override
    {
        EXPECT_EQ(device, GUID_SysMouse);
        if (Step("CreateDevice") == DI_OK)
            *created = this, ++refs;
        return Step("CreateDevice");
    }
    HRESULT SetDataFormat(const DIDATAFORMAT* format) override
    {
        EXPECT_EQ(format->dwDataSize, 16u);
        return Step("SetDataFormat");
    }
    HRESULT SetCooperativeLevel(HWND w, DWORD f) override { return window = w, flags = f, Step("SetCooperativeLevel"); }
    HRESULT SetProperty(DWORD property, const DIPROPHEADER* header) override
    {
        EXPECT_TRUE(property == DIPROP_AXISMODE && header->dwSize == 20u && header->dwHow == DIPH_DEVICE);
        axisMode = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
        return Step("SetProperty");
    }
    HRESULT Acquire() override { return acquired = Step("Acquire") == DI_OK, Step("Acquire"); }
    HRESULT Unacquire() override { return acquired = false, DI_OK; }
    HRESULT GetDeviceState(DWORD size, void* data) override
    {
        EXPECT_EQ(size, 16u);
        std::memset(data, 0x55, size); // what a failed read leaves must not be used
        if (Step("GetDeviceState") == DI_OK)
            std::memcpy(data, &next, sizeof next);
        return Step("GetDeviceState");
    }
};

HWND const kWindow = reinterpret_cast<HWND>(0x1234);

} // namespace

TEST(DXInputTest, EveryFailingStepIsNamedCarriesItsCodeAndLeaksNothing)
{
    const struct {
        const char* step;
        HRESULT code;
        const char* message;
    } rows[] = {
        {"LoadLibrary", 0, "Invalid DirectInput library (dinput8.dll)"},
        {"HasDirectInput8Create", 0, "Invalid DirectInput library (dinput8.dll)"},
        {"DirectInput8Create", DIERR_INPUTLOST, "Failed to create DirectInput object"},
        {"CreateDevice", DIERR_INPUTLOST, "DXInput::CreateMouse failed - CreateDevice() failed"},
        {"SetDataFormat", DIERR_INPUTLOST, "DXInput::CreateMouse failed - SetDataFormat() failed"},
        {"SetCooperativeLevel", DIERR_INPUTLOST, "DXInput::CreateMouse failed - SetCooperativeLevel() failed"},
        {"SetProperty", DIERR_INPUTLOST, "DXInput::CreateMouse failed - SetProperty() failed"},
        {"Acquire", DIERR_INPUTLOST, "DXInput::CreateMouse failed - Acquire() failed"},
        {"GetDeviceState", DIERR_INPUTLOST, "DXInput::GetMouseState failed - GetDeviceState() failed"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.step);
        FakeInput fake;
        fake.failStep = row.step;
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
        EXPECT_EQ(code, row.code);
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
            EXPECT_EQ(std::make_tuple(input.Dx(), input.Dy(), input.CursorX(), input.CursorY()),
                      std::make_tuple(p.dx, p.dy, p.cursorX, p.cursorY));
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
