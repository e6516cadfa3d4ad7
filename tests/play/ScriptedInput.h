#pragma once
// Input records as the frame gathers them, driven by a test: each Poll is
// the record of one tick. The buttons of the previous record are its
// was-down readings, the cursor follows the motion held to the screen
// (0..1023 x 0..767) as the frame holds it, keys are held down across
// records or tapped (pressed and let go before the next record). Main
// thread only; allocates nothing.

#include "game/SPlayerInput.h"

class ScriptedInput {
public:
    // The record of the next tick: the mouse moved by (dx, dy) with these
    // buttons down.
    const SPlayerInput& Poll(int dx, int dy, bool left = false, bool right = false);
    // The same with the cursor put at (x, y) and no motion.
    const SPlayerInput& PollAt(int x, int y, bool left = false, bool right = false);

    // A key goes down (a press, unless it was held already) or up.
    void Hold(SPlayerInput::Key key, bool down);
    // A key pressed and let go before the next record.
    void Tap(SPlayerInput::Key key);

    // The record of the last Poll.
    const SPlayerInput& Last() const { return mRecord; }

private:
    SPlayerInput mRecord;
    bool mHeld[SPlayerInput::KEY_COUNT] = {};
    bool mPressed[SPlayerInput::KEY_COUNT] = {};
};
