// The game's entry: the command line and where things are (app/Launch.h),
// then the SDL window layer, the OpenGL device and the SDL mouse and keys,
// and the program of app/Startup.h.

#include <SDL.h>

#include <cstdlib>

#include "app/Launch.h"
#include "app/Startup.h"
#include "app/WhereEnvironment.h"
#include "input/KeyState.h"
#include "platform/gl/GLProvider.h"
#include "platform/sdl/SDLDirectInput.h"
#include "platform/sdl/SDLKeyboard.h"
#include "platform/sdl/SDLMessageBox.h"
#include "platform/sdl/SDLWindowLayer.h"

#ifndef TAVRIN_APP_ID
#define TAVRIN_APP_ID "tavrin"
#endif

int main(int argc, char** argv)
{
    SLaunch launch = PrepareLaunch(argc, argv, ReadWhereEnvironment());
    if (launch.exitStatus >= 0) {
        return launch.exitStatus;
    }
    // The window's class (X11) and application id (Wayland) are the desktop
    // entry's name, so that the desktop shows the entry's name and icon for
    // the window. A value the user set is kept.
    setenv("SDL_VIDEO_X11_WMCLASS", TAVRIN_APP_ID, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", TAVRIN_APP_ID, 0);

    SAppFiles files;
    files.settingsFile = launch.settingsFile.empty() ? nullptr : launch.settingsFile.c_str();
    files.settingsNote = launch.settingsNote.c_str();
    files.writeFolder = launch.where.WriteFolder();
    files.fullscreen = launch.fullscreen;
    files.replayFile = launch.replayFile;
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
        platform.readBackBuffer = OrvelGL::ReadBackBuffer;
        status = RunApp(platform, files);
        SetKeySource(nullptr);
    }
    SDL_Quit();
    FinishLaunch(status);
    return status;
}
