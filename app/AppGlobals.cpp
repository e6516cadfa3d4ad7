#include "app/AppGlobals.h"

IWindowLayer* gWindows = nullptr;
HINSTANCE gInstance = nullptr;
TForm* gForm = nullptr;
Orvel::DXGraphics* gGraphics = nullptr;
Orvel::DXDevice* gDevice = nullptr;
CGame* gGame = nullptr;
DXInput* gInput = nullptr;
Orvel::DXOverlay* gCursorImage = nullptr;
Orvel::DXOverlay* gTitleImage = nullptr;
Orvel::CMatrix gOverlayProjection;
bool gLoaded = false;
int32_t gLoadProgress = 0;
int32_t gLoadSteps = 0;
int32_t gXResolution = 1024;
int32_t gYResolution = 768;
bool gFullscreen = true;
bool gVSync = true;
bool gPauseOnFocusLoss = false;
bool gInvertMouseY = false;
bool gReplays = true;
ReadBackBufferFn gReadBackBuffer = nullptr;
int gExitStatus = 0;
const char* const kStartupFailureText = "Failed to initialise game :(";
const char* const kAppTitle = "Tavrin";
