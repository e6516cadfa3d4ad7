#pragma once
// The program's fixed start-up and shutdown around the message loop.
// Main thread only.

#include <optional>
#include <string>

#include "app/AppGlobals.h"
#include "app/IWindowLayer.h"
#include "app/Settings.h"
#include "engine/D3D9.h"
#include "input/DInput.h"

// What the program runs on: the window layer, the device library, the
// mouse library, the error box and the back buffer's read-back (for
// screenshots; null: none can be taken). All outlive RunApp.
struct SAppPlatform {
    IWindowLayer* windows;
    ID3D9Provider* graphics;
    IDirectInputProvider* input;
    void (*messageBox)(const char* text, const char* caption);
    ReadBackBufferFn readBackBuffer = nullptr;
};

// Which settings file the program reads and where it writes, as the launch
// decided (app/Launch.h). The defaults: "GameSettings.ini" of the current
// folder, files written there too.
struct SAppFiles {
    // Null: no file, the settings keep their defaults.
    const char* settingsFile = "GameSettings.ini";
    // Reported after a failure to read the settings file; null: nothing.
    const char* settingsNote = nullptr;
    // The folder for files the game writes (screenshots); empty: unknown.
    std::string writeFolder = ".";
    // --fullscreen or --windowed, over the "Fullscreen" setting.
    std::optional<bool> fullscreen;
    // --replay: the replay file to watch; empty: the player plays (and the
    // game is recorded when the "Replays" setting is on).
    std::string replayFile;
};

// A run's state at its start: the window layer, no failure reported,
// nothing loaded, the cursor shown.
void BeginRun(IWindowLayer* windows);
// Sets the settings globals to settings.
void UseSettings(const SSettings& settings);
// Reads the settings file into the settings globals; a null name sets the
// defaults. Raises TException "File not found: '<fileName>'"; values the
// file refuses are reported on stderr with their line numbers.
void LoadSettings(const char* fileName);
// Seeds the random generator with the time, creates the main window (640 x
// 480, centred, shown), the graphics object and the device at the configured
// resolution (in a window when gFullscreen is off), the player's comforts
// with writeFolder for screenshots (they set the window's mode and the wait
// for the retrace), sets the clear colour and constructs the game.
void InitDisplay(ID3D9Provider& graphics, const std::string& writeFolder = ".");
// Loads the cursor, digit and title pictures and the comforts' pictures,
// sets the overlay projection, the render states and the light, creates the
// mouse and starts loading.
void InitGame(IDirectInputProvider& input);
// Waits for a loading thread that is still running, finishes the recording,
// then deletes the recorder, the replay's viewer, the pictures, the comforts (writing their last screenshots), the game, the
// input, the device, the graphics object and the window, in that order;
// whatever was not created is skipped, and every global is set back to null.
void Shutdown();

// The whole program: settings, start-up, message loop, shutdown. Returns the
// exit status: 0 when the user left (Escape, closing the window); 1 after a
// replay file that cannot be played (before any window), a missing settings file (before any window; the settings note follows the
// message), a start-up or loading failure (with the message box) or a
// failure while running. Every failure is written to stderr.
int RunApp(const SAppPlatform& platform, const SAppFiles& files = SAppFiles());
