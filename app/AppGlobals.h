#pragma once
// The process-wide objects of the application shell. Each is created once by
// start-up and deleted once by Shutdown (which sets it back to null). Main
// thread only, except that the loading thread posts through gWindows.
// The game's shared settings and flags (gMouseSensitivity, gShowHelp,
// gShowCursor) are in game/GameGlobals.h; the sprite list and digit
// pictures in game/GameSprites.h.

#include <cstdint>
#include <vector>

#include "app/IWindowLayer.h"
#include "engine/CMatrix.h"
#include "engine/D3D9.h"
#include "input/DInput.h"

class CGame;
class DXInput;
class TForm;
namespace Orvel {
class DXDevice;
class DXGraphics;
class DXOverlay;
} // namespace Orvel

// The window layer (not owned; set by RunApp before anything else).
extern IWindowLayer* gWindows;
// The program instance passed to the window class and the input object.
extern HINSTANCE gInstance;

extern TForm* gForm;                  // the main window
extern Orvel::DXGraphics* gGraphics;  // the device library
extern Orvel::DXDevice* gDevice;      // the one device (main and loading thread)
extern CGame* gGame;                  // the game world
extern DXInput* gInput;               // the mouse, polled once per tick
extern Orvel::DXOverlay* gCursorImage;
extern Orvel::DXOverlay* gTitleImage;

// Projection of the overlay pass: identity with [1][1] = -1 once start-up
// has run (overlay y grows downwards); before, the zero matrix with [3][3] = 1.
extern Orvel::CMatrix gOverlayProjection;

// Loading state: gLoaded is set once, on the done message; gLoadProgress
// counts the progress messages; gLoadSteps is what StartLoading returned.
extern bool gLoaded;
extern int32_t gLoadProgress;
extern int32_t gLoadSteps;

// The resolution settings: the device's back buffer in pixels.
extern int32_t gXResolution;
extern int32_t gYResolution;

// The player's switches: the settings "Fullscreen" (or the command line),
// "VSync", "PauseOnFocusLoss", "InvertMouseY" and "Replays". gFullscreen follows the
// window as the player switches it.
extern bool gFullscreen;
extern bool gVSync;
extern bool gPauseOnFocusLoss;
extern bool gInvertMouseY;
extern bool gReplays;

// Copies the device's back buffer into pixels (0xAARRGGBB, the top row
// first), as the back end reads it; null where the back end cannot.
typedef HRESULT (*ReadBackBufferFn)(IDirect3DDevice9* device, std::vector<uint32_t>& pixels, UINT& width,
                                    UINT& height);
extern ReadBackBufferFn gReadBackBuffer;

// The exit status the program ends with once the message loop is over
// (0 unless a failure was reported while it ran).
extern int gExitStatus;

// The start-up failure message and the window title.
extern const char* const kStartupFailureText; // "Failed to initialise game :("
extern const char* const kAppTitle;           // "Tavrin"
