#pragma once
// The key source of GetAsyncKeyState over SDL2 key events. Most keys are
// read by physical position (scancodes): letters A..Z as the virtual-key
// codes 'A'..'Z' where those letters are on a US keyboard, digits '0'..'9',
// Escape, Space, Return, Tab, Pause, F1..F12 and the keypad's + and -. The
// main keyboard's + and - go by the character on the key (SDL's key code),
// since layouts put them in different places: the key of '+' or of '=' (which
// carries '+' on many layouts) is VK_OEM_PLUS, the key of '-' VK_OEM_MINUS.
// Return pressed with Alt held is also the chord VK_ALT_RETURN. Losing the
// focus releases every key.
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

    // The virtual-key code of a key by its SDL scancode and key code, or -1.
    static int VirtualKey(int scancode, int keycode);

private:
    SDLWindowLayer* mLayer;
};
