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

int SDLKeyboard::VirtualKey(int scancode, int keycode)
{
    switch (keycode) {
    case SDLK_PLUS:
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_MINUS: return VK_OEM_MINUS;
    default: break;
    }
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
    case SDL_SCANCODE_RETURN: return VK_RETURN;
    case SDL_SCANCODE_TAB: return 0x09;
    case SDL_SCANCODE_PAUSE: return VK_PAUSE;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    default: return -1;
    }
}

void SDLKeyboard::HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN: {
        const int vk = VirtualKey(event.key.keysym.scancode, event.key.keysym.sym);
        KeyDown(vk, event.key.repeat != 0);
        if (vk == VK_RETURN && (event.key.keysym.mod & KMOD_ALT) != 0) {
            KeyDown(VK_ALT_RETURN, event.key.repeat != 0);
        }
        break;
    }
    case SDL_KEYUP: {
        const int vk = VirtualKey(event.key.keysym.scancode, event.key.keysym.sym);
        KeyUp(vk);
        if (vk == VK_RETURN) {
            KeyUp(VK_ALT_RETURN);
        }
        break;
    }
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            ReleaseAll();
        }
        break;
    default:
        break;
    }
}
