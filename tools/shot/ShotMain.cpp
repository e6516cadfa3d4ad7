// tavrin-shot OUT_DIR: renders the game offscreen at 1024 x 768 through the
// real start-up and frame code on the OpenGL back end (headless EGL, no
// window system) and writes three pictures:
//   OUT_DIR/loading.png  the loading screen at 42% (8 of 19 steps)
//   OUT_DIR/map.png      the map view of a fixed battle with the control
//                        panel, the energy HUD, the cursor and the magnet
//                        tool's placement preview (help hidden, as after F1,
//                        so that nothing covers the red base)
//   OUT_DIR/walk.png     the walk view of the same battle from the starting
//                        camera, which looks over the red base, with help
// The current directory must hold the Data folder. Exit status 0 on
// success, 1 on any failure (with its message on stderr), 2 on bad usage.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "engine/DXDevice.h"
#include "engine/PngFile.h"
#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "input/DXInput.h"
#include "platform/gl/GLProvider.h"
#include "tlib/DXException.h"
#include "tlib/TException.h"
#include "tools/shot/HeadlessApp.h"
#include "tools/shot/HeadlessMouse.h"
#include "tools/shot/Scenes.h"

namespace {

// Progress messages handled before the loading picture: 8 * 100 / 19 = 42%.
constexpr int kLoadingShotProgress = 8;

// The map cell the magnet tool hovers over in map.png (left of red's factory).
constexpr int kPreviewCellX = 26;
constexpr int kPreviewCellY = 50;

void SaveBackBuffer(const std::string& path)
{
    std::vector<uint32_t> pixels;
    UINT width = 0, height = 0;
    const HRESULT hr = OrvelGL::ReadBackBuffer(gDevice->Device(), pixels, width, height);
    if (FAILED(hr))
        DXThrowCode(hr, "tavrin-shot - Reading the back buffer failed");
    std::string error;
    if (!Orvel::WritePngFile(path, static_cast<int>(width), static_cast<int>(height), pixels.data(), false, &error))
        throw tlib::TException("tavrin-shot - %s", error.c_str());
    std::printf("wrote %s (%u x %u)\n", path.c_str(), width, height);
}

// One tick with the mouse moved so that the cursor lands on (x, y).
void MoveTo(HeadlessApp& app, int x, int y, bool left = false)
{
    app.Mouse().SetNext(x - gInput->CursorX(), y - gInput->CursorY(), left, false);
    app.Tick();
}

void Run(const std::string& outDir)
{
    std::filesystem::create_directories(outDir);
    OrvelGL::GLProvider provider(OrvelGL::GLContextMode::Headless);
    HeadlessApp app(provider);

    if (!app.LoadUntil(kLoadingShotProgress))
        throw tlib::TException("tavrin-shot - Loading failed");
    app.Tick();
    SaveBackBuffer(outDir + "/loading.png");

    if (!app.FinishLoading())
        throw tlib::TException("tavrin-shot - Loading failed");
    BuildShowcaseScene(*gGame);
    gGame->showHelp = false;

    // Pick the magnet tool on the control panel, then hover over the map.
    MoveTo(app, 768 + 127, 67);
    MoveTo(app, 768 + 127, 67, true);
    MoveTo(app, 768 + 127, 67);
    MoveTo(app, 102 + (kPreviewCellX * 615 + 63) / 64 + 4, 78 + (kPreviewCellY * 615 + 63) / 64 + 4);
    SaveBackBuffer(outDir + "/map.png");

    // The walk view from the starting camera (the tick raises it to 15).
    gGame->viewMode = CGame::VIEW_WALK;
    gGame->showHelp = true;
    gGame->cameraPos = Orvel::CVector(80.0, 180.0, 10.0);
    gGame->cameraRoll = 0.0;
    gGame->cameraPitch = 0.0;
    gGame->cameraYaw = -3.14159265358979323846 / 2.0;
    app.Tick();
    SaveBackBuffer(outDir + "/walk.png");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrin-shot OUT_DIR   (run where the Data folder is)\n");
        return 2;
    }
    try {
        Run(argv[1]);
        return 0;
    } catch (const tlib::TException& e) {
        std::fprintf(stderr, "tavrin-shot: %s\n", e.Message());
    } catch (const DXException& e) {
        std::fprintf(stderr, "tavrin-shot: %s (result code 0x%08X)\n", e.Message(), static_cast<unsigned>(e.Code()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavrin-shot: %s\n", e.what());
    }
    return 1;
}
