#include "platform/sdl/SDLKeyboard.h"

#include <SDL.h>

#include "input/KeyState.h"
#include "platform/sdl/SDLWindowLayer.h"

SDLKeyboard::SDLKeyboard(SDLWindowLayer* layer) : mLayer(layer)
{
    if (mLayer != nullptr) {
        mLayer->AddListener(this);
    }
}

SDLKeyboard::~SDLKeyboard()
{
    if (mLayer != nullptr) {
        mLayer->RemoveListener(this);
    }
}

int SDLKeyboard::VirtualKey(int scancode)
{
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return 'A' + (scancode - SDL_SCANCODE_A);
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
        return '1' + (scancode - SDL_SCANCODE_1);
    }
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
        return VK_F1 + (scancode - SDL_SCANCODE_F1);
    }
    switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
    case SDL_SCANCODE_SPACE: return VK_SPACE;
    case SDL_SCANCODE_RETURN: return 0x0D;
    case SDL_SCANCODE_TAB: return 0x09;
    default: return -1;
    }
}

void SDLKeyboard::HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
        KeyDown(VirtualKey(event.key.keysym.scancode), event.key.repeat != 0);
        break;
    case SDL_KEYUP:
        KeyUp(VirtualKey(event.key.keysym.scancode));
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            ReleaseAll();
        }
        break;
    default:
        break;
    }
}
