#include "input/KeyState.h"

namespace {
IKeySource* gKeySource = nullptr;
}

void SetKeySource(IKeySource* source)
{
    gKeySource = source;
}

IKeySource* GetKeySource()
{
    return gKeySource;
}

short GetAsyncKeyState(int vk)
{
    if (gKeySource == nullptr) {
        return 0;
    }
    short result = 0;
    if (gKeySource->IsKeyDown(vk)) {
        result |= KEY_DOWN_NOW;
    }
    if (gKeySource->TakeKeyPressed(vk)) {
        result |= KEY_PRESSED_SINCE_QUERY;
    }
    return result;
}
