#pragma once
// The mouse and the keys driven by a test: a DirectInput stand-in whose mouse
// reports what the test sets, and a key source with scripted keys. While one
// exists it is installed as gInput and as the process key source; the
// destructor uninstalls both. One at a time per process; main thread only.

#include <memory>
#include <set>

#include "input/DInput.h"
#include "input/KeyState.h"

class DXInput;

class ScriptedInput : public IKeySource {
public:
    ScriptedInput();
    ~ScriptedInput() override;
    ScriptedInput(const ScriptedInput&) = delete;
    ScriptedInput& operator=(const ScriptedInput&) = delete;

    // One poll of gInput, as the frame does before Update: the mouse moved
    // by (dx, dy) counts with these buttons down.
    void Poll(int dx, int dy, bool left = false, bool right = false);
    // Puts the cursor at (x, y), then polls with no motion.
    void PollAt(int x, int y, bool left = false, bool right = false);

    // Keys: held down now (every query answers 0x8000), or tapped since the
    // last query (the next query answers 0x0001 once).
    void Hold(int vk, bool down);
    void Tap(int vk);

    bool IsKeyDown(int vk) override;
    bool TakeKeyPressed(int vk) override;

    DXInput& Input() { return *mInput; }

private:
    class Provider;
    std::unique_ptr<Provider> mProvider;
    std::unique_ptr<DXInput> mInput;
    std::set<int> mHeld;
    std::set<int> mTapped;
};
