#pragma once
// Process-wide flags the game shares with the app. Main thread only, except
// that Load reads gShowHelp on the loading thread before the done message.

// Draw the mouse cursor sprite this frame; Update sets it to (viewMode == 1).
extern bool gShowCursor;
// The "ShowHelp" setting; Load copies it into CGame::showHelp.
extern bool gShowHelp;

class DXInput;
// The mouse, polled once per tick by the frame before Update reads it.
// Owned by the app (created at start-up, deleted at shutdown); null before.
extern DXInput* gInput;
// The "MouseSensitivity" setting: walk-view turn per unit of mouse motion is
// gMouseSensitivity / 35000 radians.
extern double gMouseSensitivity;
