#pragma once
// One tick of the 20 ms timer: UpdateFrame, then DrawFrame. Main thread only.
//
// Until the game is loaded a tick polls the mouse and draws the loading
// screen (the percentage and the title); afterwards it updates and draws the
// game. Every frame ends with the overlay pass over the frame's sprites, the
// mouse cursor last; a frame without sprites skips the pass entirely.

#include "app/IWindowLayer.h"

// Polls the mouse, holds the cursor inside 1023 x 767 and, once loaded,
// ends the program on Escape (destroying the main window; no game update in
// that tick) or runs the game's tick: the player's input, added to the
// recording when there is one, or a replay's recorded ticks.
void UpdateFrame();
// Draws the frame on gDevice: the game or the loading screen, the cursor,
// the overlay pass.
void DrawFrame();

// The overlay pass: when the frame has sprites, switches to 2D drawing
// (blending and alpha test on, depth and lighting off), sets the overlay
// projection with identity view and world, draws the sprites in list order
// and switches back (lighting and depth on, blending and alpha test off).
// A frame without sprites changes no state at all.
void DrawOverlayPass();

// The loading screen's percentage after progress messages out of steps
// (integer division; 0 when steps is not positive).
int LoadingPercent(int progress, int steps);

// The main window's procedure: WM_TIMER runs a tick, WM_CLOSE destroys the
// window, WM_DESTROY ends the loop, 1024 counts loading progress, 1025 marks
// the game loaded and waits for the loading thread, 1026 reports a failed
// load and ends the program with status 1. Anything else goes to
// DefWindowProc.
LRESULT MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the message loop of the main window with its 20 ms timer until the
// window is gone. A read that fails while the window still exists raises
// TException "GetMessage() failed".
void RunMessageLoop();
