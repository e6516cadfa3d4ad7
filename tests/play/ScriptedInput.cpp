#include "tests/play/ScriptedInput.h"

namespace {

// A cursor coordinate as the frame holds it: 0..last.
int Held(int position, int last)
{
    return position < 0 ? 0 : (position > last ? last : position);
}

} // namespace

const SPlayerInput& ScriptedInput::Poll(int dx, int dy, bool left, bool right)
{
    mRecord.dx = dx;
    mRecord.dy = dy;
    mRecord.cursorX = Held(mRecord.cursorX + dx, 1023);
    mRecord.cursorY = Held(mRecord.cursorY + dy, 767);
    mRecord.leftWasDown = mRecord.leftDown;
    mRecord.rightWasDown = mRecord.rightDown;
    mRecord.leftDown = left;
    mRecord.rightDown = right;
    for (int key = 0; key < SPlayerInput::KEY_COUNT; ++key) {
        mRecord.keyDown[key] = mHeld[key];
        mRecord.keyPressed[key] = mPressed[key];
        mPressed[key] = false;
    }
    return mRecord;
}

const SPlayerInput& ScriptedInput::PollAt(int x, int y, bool left, bool right)
{
    mRecord.cursorX = x;
    mRecord.cursorY = y;
    return Poll(0, 0, left, right);
}

void ScriptedInput::Hold(SPlayerInput::Key key, bool down)
{
    mPressed[key] = mPressed[key] || (down && !mHeld[key]);
    mHeld[key] = down;
}

void ScriptedInput::Tap(SPlayerInput::Key key)
{
    mPressed[key] = true;
}
