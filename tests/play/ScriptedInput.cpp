#include "tests/play/ScriptedInput.h"

#include "game/GameGlobals.h"

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
