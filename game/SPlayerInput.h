#pragma once
// The player's input of one tick, as a plain record. The application
// gathers it once per tick from the mouse and the keys and hands it to
// CGame::Update; the controls read nothing else. It points nowhere, so it
// can be copied, compared and stored as it is (a replay is a list of them).

#include <cstdint>

struct SPlayerInput {
    // The keys the game reads, in this order.
    enum Key { KEY_W, KEY_A, KEY_S, KEY_D, KEY_SPACE, KEY_F1, KEY_COUNT };

    // The mouse as polled for this tick: the motion since the previous poll
    // (counts), the virtual cursor (overlay units, 0..1023 x 0..767) and
    // both buttons now and at the previous poll.
    int32_t dx = 0;
    int32_t dy = 0;
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    bool leftDown = false;
    bool leftWasDown = false;
    bool rightDown = false;
    bool rightWasDown = false;

    // Each key: down now, and pressed since the previous record (a key
    // pressed and let go between two records is pressed but not down).
    bool keyDown[KEY_COUNT] = {};
    bool keyPressed[KEY_COUNT] = {};

    // A new press: down now and not down at the previous poll.
    bool LeftPressed() const { return leftDown && !leftWasDown; }
    bool RightPressed() const { return rightDown && !rightWasDown; }
};
