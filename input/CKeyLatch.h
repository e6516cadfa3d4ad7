#pragma once
// A key source fed with key events: remembers which keys are down and which
// were pressed since their last query. Keys are virtual-key codes 0..255;
// others are ignored (never down).
//
// Main thread only.

#include <cstdint>

#include "input/KeyState.h"

class CKeyLatch : public IKeySource {
public:
    CKeyLatch();

    // A key went down. An auto-repeat of a held key is not a new press.
    void KeyDown(int vk, bool repeat);
    void KeyUp(int vk);
    // Every key up (the window lost the keyboard); latched presses are kept.
    void ReleaseAll();
    // Forgets presses not yet queried (down states are kept).
    void ForgetPresses();

    bool IsKeyDown(int vk) override;
    bool TakeKeyPressed(int vk) override;

private:
    bool mDown[256];
    bool mPressed[256];
};
