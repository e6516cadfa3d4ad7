#pragma once
// The key source of GetAsyncKeyState over SDL2 key events. Keys are read by
// physical position (scancodes): letters A..Z as the virtual-key codes 'A'..'Z'
// where those letters are on a US keyboard, digits '0'..'9', Escape, Space,
// Return, Tab and F1..F12. Losing the focus releases every key.
//
// Main thread only.

#include "input/CKeyLatch.h"
#include "platform/sdl/ISDLEventListener.h"

class SDLWindowLayer;

class SDLKeyboard : public CKeyLatch, public ISDLEventListener {
public:
    // Listens to layer's events (null: the caller feeds HandleEvent); the
    // layer must outlive the keyboard.
    explicit SDLKeyboard(SDLWindowLayer* layer);
    ~SDLKeyboard() override;

    void HandleEvent(const SDL_Event& event) override;

    // The virtual-key code of an SDL scancode, or -1.
    static int VirtualKey(int scancode);

private:
    SDLWindowLayer* mLayer;
};
