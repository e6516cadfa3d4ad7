#pragma once
// The program's fixed start-up and shutdown around the message loop.
// Main thread only.

#include "engine/D3D9.h"
#include "input/DInput.h"
#include "platform/sdl/WindowLayer.h"

// What the program runs on: the window layer, the device library, the
// mouse library and the error box. All outlive RunApp.
struct SAppPlatform {
    IWindowLayer* windows;
    ID3D9Provider* graphics;
    IDirectInputProvider* input;
    void (*messageBox)(const char* text, const char* caption);
};

// Reads "GameSettings.ini" from the current directory into the settings
// globals. Raises TException "File not found: 'GameSettings.ini'".
void LoadSettings();
// Seeds the random generator with the time, creates the main window (640 x
// 480, centred, shown), the graphics object and the device at the configured
// resolution, sets the clear colour and constructs the game.
void InitDisplay(ID3D9Provider& graphics);
// Loads the cursor, digit and title pictures, sets the overlay projection,
// the render states and the light, creates the mouse and starts loading.
void InitGame(IDirectInputProvider& input);
// Waits for a loading thread that is still running, then deletes the
// pictures, the game, the input, the device, the graphics object and the
// window, in that order; whatever was not created is skipped, and every
// global is set back to null.
void Shutdown();

// The whole program: settings, start-up, message loop, shutdown. Returns the
// exit status: 0 when the user left (Escape, closing the window); 1 after a
// missing settings file (before any window), a start-up or loading failure
// (with the message box) or a failure while running. Every failure is
// written to stderr.
int RunApp(const SAppPlatform& platform);
