#pragma once
// The mouse as the game reads it: the relative motion of the last poll
// (already multiplied by the motion scale), the two main buttons now and at
// the poll before, and a virtual cursor in overlay units (the 1024 x 768
// screen, origin top-left, y down) that never goes below 0.
//
// Main thread only: constructed, polled once per tick and read there.
// Errors raise DXException with the failing call's result code.

#include <cstdint>

#include "input/DInput.h"

// Loads the DirectInput stand-in once per process: remembers the provider
// (which must outlive every DXInput) and asks it to load; the result is not
// tested here (a missing library surfaces when DXInput is constructed).
void LoadDirectInputLibrary(IDirectInputProvider& provider);

class DXInput {
public:
    // Creates the DirectInput object. Raises "Invalid DirectInput library
    // (dinput8.dll)" (code 0) when the library or its entry point is missing,
    // "Failed to create DirectInput object" with the result code when the
    // entry point fails.
    explicit DXInput(HINSTANCE instance);
    DXInput(const DXInput&) = delete;
    DXInput& operator=(const DXInput&) = delete;
    // Unacquires and releases the mouse device, then the DirectInput object.
    ~DXInput();

    // Creates the system mouse for window (relative axes, exclusive while the
    // window is in the foreground), acquires it and resets the cursor to
    // (0, 0), the motion scale to 1 and both was-down flags.
    void CreateMouse(HWND window);

    // Polls the mouse: the was-down flags take the buttons of the previous
    // poll, dx and dy become the device motion times the motion scale
    // (truncated toward zero), the cursor moves by them and is held at 0 on
    // the low side. Raises "DXInput::GetMouseState failed - GetDeviceState()
    // failed" with the result code when the read fails.
    void GetMouseState();

    // Moves the cursor without clamping (the frame tick holds it inside
    // 1023 x 767).
    void SetMousePosition(int32_t x, int32_t y);

    // Readings of the last poll.
    int32_t Dx() const { return mState.lX; }
    int32_t Dy() const { return mState.lY; }
    // button 0 is the left button, 1 the right one.
    bool ButtonDown(int button) const { return button >= 0 && button < 4 && mState.rgbButtons[button] != 0; }
    bool LeftDown() const { return ButtonDown(0); }
    bool RightDown() const { return ButtonDown(1); }
    // The buttons as they were at the poll before the last one.
    bool LeftWasDown() const { return mLeftWasDown; }
    bool RightWasDown() const { return mRightWasDown; }
    // A new press: down now and not down at the previous poll.
    bool LeftPressed() const { return LeftDown() && !mLeftWasDown; }
    bool RightPressed() const { return RightDown() && !mRightWasDown; }
    int32_t CursorX() const { return mCursorX; }
    int32_t CursorY() const { return mCursorY; }

    // Factor applied to the device motion at each poll (start-up sets 1.0).
    float motionScale;

private:
    bool mMouseCreated;
    IDirectInput8A* mDirectInput;
    IDirectInputDevice8A* mMouse;
    DIMOUSESTATE mState;
    int32_t mCursorX;
    int32_t mCursorY;
    bool mLeftWasDown;
    bool mRightWasDown;
};
