#pragma once
// The mouse and the keys driven by a test: a DXInput over the headless mouse
// and a key source with scripted keys. While one exists it is installed as
// gInput and as the process key source; the destructor uninstalls both. One
// at a time per process; main thread only.

#include <memory>
#include <set>

#include "input/DXInput.h"
#include "input/KeyState.h"
#include "tools/shot/HeadlessMouse.h"

class ScriptedInput : public IKeySource {
public:
    ScriptedInput();
    ~ScriptedInput() override;

    // One poll of gInput, as the frame does before Update: the mouse moved
    // by (dx, dy) with these buttons down.
    void Poll(int dx, int dy, bool left = false, bool right = false)
    {
        mMouse.SetNext(dx, dy, left, right);
        mInput->GetMouseState();
    }
    // Puts the cursor at (x, y), then polls with no motion.
    void PollAt(int x, int y, bool left = false, bool right = false)
    {
        mInput->SetMousePosition(x, y);
        Poll(0, 0, left, right);
    }

    // Keys held down now (0x8000 at every query); no key is ever tapped.
    void Hold(int vk, bool down) { down ? (void)mHeld.insert(vk) : (void)mHeld.erase(vk); }

    bool IsKeyDown(int vk) override { return mHeld.count(vk) != 0; }
    bool TakeKeyPressed(int) override { return false; }

private:
    HeadlessMouse mMouse;
    std::unique_ptr<DXInput> mInput;
    std::set<int> mHeld;
};
