#include "platform/sdl/SDLMessageBox.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

void ShowErrorMessageBox(const char* text, const char* caption)
{
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    bool haveDisplay = (display != nullptr && display[0] != 0) || (wayland != nullptr && wayland[0] != 0);
    if (haveDisplay && SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) == 0) {
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption, text);
}
