// The game's entry: the SDL window layer, the OpenGL device and the SDL mouse
// and keys, then the program of app/Startup.h. Reads "GameSettings.ini" and
// the Data folder from the current directory and nothing else.

#include <SDL.h>

#include "app/Startup.h"
#include "input/KeyState.h"
#include "platform/gl/GLProvider.h"
#include "platform/sdl/SDLDirectInput.h"
#include "platform/sdl/SDLKeyboard.h"
#include "platform/sdl/SDLMessageBox.h"
#include "platform/sdl/SDLWindowLayer.h"

int main(int, char**)
{
    int status;
    {
        SDLWindowLayer windows(true);
        SDLKeyboard keyboard(&windows);
        SetKeySource(&keyboard);
        SDLDirectInputProvider mouse(&windows);
        OrvelGL::GLProvider graphics(OrvelGL::GLContextMode::Window);

        SAppPlatform platform;
        platform.windows = &windows;
        platform.graphics = &graphics;
        platform.input = &mouse;
        platform.messageBox = ShowErrorMessageBox;
        status = RunApp(platform);
        SetKeySource(nullptr);
    }
    SDL_Quit();
    return status;
}
