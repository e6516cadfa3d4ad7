#pragma once
// The mouse and the keys driven by a test: a DXInput over the headless mouse
// and a key source with scripted keys. While one exists it is installed as
// gInput and as the process key source; the destructor uninstalls both. One
// at a time per process; main thread only.

#include <memory>
#include <set>

#include "input/KeyState.h"
#include "tools/shot/HeadlessMouse.h"

class DXInput;

class ScriptedInput : public IKeySource {
public:
    ScriptedInput();
    ~ScriptedInput() override;

    // One poll of gInput, as the frame does before Update: the mouse moved
    // by (dx, dy) with these buttons down.
    void Poll(int dx, int dy, bool left = false, bool right = false);
    // Puts the cursor at (x, y), then polls with no motion.
    void PollAt(int x, int y, bool left = false, bool right = false);

    // Keys: held down now (0x8000 at every query), or tapped since the last
    // query (0x0001 at the next query only).
    void Hold(int vk, bool down) { down ? (void)mHeld.insert(vk) : (void)mHeld.erase(vk); }
    void Tap(int vk) { mTapped.insert(vk); }

    bool IsKeyDown(int vk) override { return mHeld.count(vk) != 0; }
    bool TakeKeyPressed(int vk) override { return mTapped.erase(vk) != 0; }

private:
    HeadlessMouse mMouse;
    std::unique_ptr<DXInput> mInput;
    std::set<int> mHeld, mTapped;
};
