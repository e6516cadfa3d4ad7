#pragma once
// Receives the SDL events that are not window messages (keys, mouse, focus),
// on the thread that runs the message loop, as the window layer reads them.

union SDL_Event;

class ISDLEventListener {
public:
    virtual ~ISDLEventListener() {}
    virtual void HandleEvent(const SDL_Event& event) = 0;
};
