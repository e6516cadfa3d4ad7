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
        EXPECT_EQ(version, 0x0800u);
        EXPECT_EQ(iid, IID_IDirectInput8A);
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
        EXPECT_EQ(std::make_tuple(property, header->dwSize, header->dwHow),
                  std::make_tuple(DIPROP_AXISMODE, DWORD{20}, DIPH_DEVICE));
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

// The left button as the game reads it: down now, down at the poll before, pressed.
std::tuple<bool, bool, bool> LeftButton(const DXInput& input)
{
    return std::make_tuple(input.LeftDown(), input.LeftWasDown(), input.LeftPressed());
}

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

TEST(DXInputTest, TheMouseIsRelativeAndExclusiveAPressCountsOnceAndAFailedReadChangesNothing)
{
    FakeInput fake;
    LoadDirectInputLibrary(fake);
    {
        DXInput input(nullptr);
        input.motionScale = 3.0f;
        input.CreateMouse(kWindow);
        EXPECT_EQ(fake.window, kWindow);
        EXPECT_TRUE(fake.acquired);
        EXPECT_EQ(fake.flags, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
        EXPECT_EQ(fake.axisMode, DIPROPAXISMODE_REL);
        EXPECT_EQ(input.motionScale, 1.0f);
        // No clamp on the high side here (the frame tick does it), nor when set.
        input.SetMousePosition(1100, -7);
        EXPECT_EQ(std::make_pair(input.CursorX(), input.CursorY()), std::make_pair(1100, -7));

        // A press is down now and up at the previous poll.
        fake.next = {0, 0, 0, {0x80, 0, 0, 0}};
        input.GetMouseState();
        EXPECT_EQ(LeftButton(input), std::make_tuple(true, false, true)) << "down, was down, pressed";
        fake.next = {0, 0, 0, {0x80, 0x80, 0, 0}};
        input.GetMouseState();
        EXPECT_EQ(LeftButton(input), std::make_tuple(true, true, false)) << "held, not a new press";
        EXPECT_TRUE(input.RightPressed());
        fake.next = {4, 4, 0, {0, 0, 0, 0}};
        input.GetMouseState();
        EXPECT_EQ(LeftButton(input), std::make_tuple(false, true, false)) << "released";
        EXPECT_TRUE(input.RightWasDown());

        // A failed read changes nothing.
        fake.failStep = "GetDeviceState";
        EXPECT_THROW(input.GetMouseState(), DXException);
        EXPECT_EQ(std::make_pair(input.Dx(), input.CursorX()), std::make_pair(4, 1104));
    }
    EXPECT_EQ(fake.refs, 0) << "the destructor releases the mouse and the DirectInput object";
}

// The motion is scaled (truncated toward zero, saturating) and moves the
// cursor. The cursor is held at 0 on the low side, each axis on its own,
// wherever it starts and however far past 0 the motion goes; the next motion
// starts from 0, not from where the cursor would have been.
TEST(DXInputTest, TheCursorMovesByScaledMotionAndIsHeldAtZeroOnEachAxis)
{
    FakeInput fake;
    LoadDirectInputLibrary(fake);
    DXInput input(nullptr);
    input.CreateMouse(kWindow);
    const struct {
        const char* what;
        bool place;             // set the cursor to (startX, startY) first; else it stays from the row before
        int32_t startX, startY;
        float scale;
        int32_t motionX, motionY; // what the mouse reports
        int32_t dx, dy;           // the scaled motion
        int32_t cursorX, cursorY; // the cursor after the poll
    } polls[] = {
        {"from the start, x below zero", false, 0, 0, 1.0f, -10, 5, -10, 5, 0, 5},
        {"half motion truncated toward zero", false, 0, 0, 0.5f, 3, -3, 1, -1, 1, 4},
        {"no overflow however far the mouse goes", false, 0, 0, 1000.0f, INT32_MAX, 2000, INT32_MAX, 2000000,
         INT32_MAX, 2000004},
        {"a few pixels below on both axes", true, 3, 2, 1.0f, -5, -4, -5, -4, 0, 0},
        {"then up again from zero", false, 0, 0, 1.0f, 2, 1, 2, 1, 2, 1},
        {"exactly to zero", true, 3, 2, 1.0f, -3, -2, -3, -2, 0, 0},
        {"only x below", true, 5, 5, 1.0f, -6, 2, -6, 2, 0, 7},
        {"only y below", true, 5, 5, 1.0f, 2, -6, 2, -6, 7, 0},
        {"scaled motion below", true, 4, 4, 0.5f, -9, -11, -4, -5, 0, 0},
        {"one pixel below from zero", true, 0, 0, 1.0f, -1, -1, -1, -1, 0, 0},
        {"a cursor set below zero is lifted at the next poll", true, -7, -3, 1.0f, 2, 0, 2, 0, 0, 0},
    };
    for (const auto& p : polls) {
        if (p.place)
            input.SetMousePosition(p.startX, p.startY);
        input.motionScale = p.scale;
        fake.next = {p.motionX, p.motionY, 0, {}};
        input.GetMouseState();
        EXPECT_EQ(std::make_tuple(input.Dx(), input.Dy(), input.CursorX(), input.CursorY()),
                  std::make_tuple(p.dx, p.dy, p.cursorX, p.cursorY))
            << p.what;
    }
}
