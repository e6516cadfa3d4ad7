#pragma once
// Process-wide flags the game shares with the app. Main thread only, except
// that Load reads gShowHelp on the loading thread before the done message.

// Draw the mouse cursor sprite this frame; Update sets it while the map view
// is shown.
extern bool gShowCursor;
// The "ShowHelp" setting; Load copies it into CGame::showHelp.
extern bool gShowHelp;

// The "MouseSensitivity" setting: the walk view turns by the mouse motion
// times gMouseSensitivity, divided by 35000, in radians.
extern double gMouseSensitivity;
