#include "tests/play/ScriptedInput.h"

#include "game/GameGlobals.h"
#include "input/DXInput.h"

ScriptedInput::ScriptedInput()
{
    LoadDirectInputLibrary(mMouse);
    mInput.reset(new DXInput(nullptr));
    mInput->CreateMouse(nullptr);
    gInput = mInput.get();
    SetKeySource(this);
}

ScriptedInput::~ScriptedInput()
{
    SetKeySource(nullptr);
    gInput = nullptr;
}

void ScriptedInput::Poll(int dx, int dy, bool left, bool right)
{
    mMouse.SetNext(dx, dy, left, right);
    mInput->GetMouseState();
}

void ScriptedInput::PollAt(int x, int y, bool left, bool right)
{
    mInput->SetMousePosition(x, y);
    Poll(0, 0, left, right);
}
