#include "app/Startup.h"

#include <ctime>
#include <exception>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "app/CGameRecorder.h"
#include "app/CPlayerComforts.h"
#include "app/CReplayViewer.h"
#include "app/ErrorReport.h"
#include "app/FrameTick.h"
#include "app/Settings.h"
#include "app/TForm.h"
#include "engine/CVector.h"
#include "engine/DXDevice.h"
#include "engine/DXGraphics.h"
#include "engine/DXOverlay.h"
#include "engine/LoadOverlay.h"
#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "game/GameSprites.h"
#include "game/ReplayFormat.h"
#include "input/DXInput.h"
#include "tlib/DXException.h"
#include "tlib/TException.h"
#include "tlib/TRandom.h"
#include "tlib/TString.h"

namespace {

// Posts the loading thread's messages to the main window (any thread).
void PostToWindow(HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    gWindows->PostMessage(window, message, wParam, lParam);
}

template <class T>
void DeleteAndClear(T*& object)
{
    delete object;
    object = nullptr;
}

// Runs f; reports what it raises and returns false.
template <class F>
bool Guarded(F f)
{
    try {
        f();
        return true;
    } catch (const tlib::TException& e) {
        ReportError(e.Message(), false, 0);
    } catch (const DXException& e) {
        ReportError(e.Message(), true, e.Code());
    } catch (const std::exception& e) {
        ReportError(e.what(), false, 0);
    }
    return false;
}

} // namespace

void LoadSettings(const char* fileName)
{
    SSettings settings;
    if (fileName != nullptr) {
        std::vector<std::string> problems;
        ReadSettingsFile(fileName, settings, &problems);
        for (const std::string& problem : problems) {
            ReportNotice(problem.c_str());
        }
    }
    UseSettings(settings);
}

void UseSettings(const SSettings& settings)
{
    gMouseSensitivity = settings.mouseSensitivity;
    gXResolution = settings.xResolution;
    gYResolution = settings.yResolution;
    gShowHelp = settings.showHelp;
    gFullscreen = settings.fullscreen;
    gVSync = settings.vsync;
    gPauseOnFocusLoss = settings.pauseOnFocusLoss;
    gInvertMouseY = settings.invertMouseY;
    gReplays = settings.replays;
}

void InitDisplay(ID3D9Provider& graphics, const std::string& writeFolder)
{
    tlib::SeedRandom(static_cast<uint32_t>(std::time(nullptr)));

    gForm = new TForm(MainWindowProc, gInstance);
    gForm->Create(nullptr, kAppTitle, 640, 480, 0);
    gForm->Centre();
    gForm->Show();

    gGraphics = new Orvel::DXGraphics(graphics);
    gDevice = gGraphics->CreateDevice(gForm->Handle(), gXResolution, gYResolution, !gFullscreen);
    gComforts = new CPlayerComforts(gForm->Handle(), writeFolder);
    gComforts->ApplyDisplaySettings();
    gDevice->clearColour = 0x003668D8;

    gGame = new CGame();
    gGame->postMessage = PostToWindow;
}

void InitGame(IDirectInputProvider& input)
{
    gCursorImage = Orvel::LoadOverlay(gDevice, "Cursor.bmp", 64, 64, true);
    for (int d = 0; d < 10; ++d) {
        tlib::TString name("n%d.bmp", d);
        gDigitImages[d] = Orvel::LoadOverlay(gDevice, name.Text(), gDigitWidths[d], kDigitHeight, false);
    }
    gTitleImage = Orvel::LoadOverlay(gDevice, "Title.bmp", 549, 218, false);
    gComforts->LoadPictures(gDevice);
    if (gViewer != nullptr) {
        gViewer->LoadPictures(gDevice);
        gComforts->UsePace(CReplayViewer::kSpeeds, CReplayViewer::kSpeedCount, CReplayViewer::kNormal);
    }

    gOverlayProjection = Orvel::CMatrix::Identity();
    gOverlayProjection.m[1][1] = -1.0;

    IDirect3DDevice9* device = gDevice->Device();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 8);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);

    D3DLIGHT9 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse.r = static_cast<float>(0.315);
    light.Diffuse.g = static_cast<float>(0.35);
    light.Diffuse.b = static_cast<float>(0.2625);
    light.Diffuse.a = 0.0f;
    Orvel::CVector direction(1.0, 0.8, -1.0);
    light.Direction.x = static_cast<float>(direction.x);
    light.Direction.y = static_cast<float>(direction.y);
    light.Direction.z = static_cast<float>(direction.z);
    device->SetLight(0, &light);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0x00686E5D);

    LoadDirectInputLibrary(input);
    gInput = new DXInput(gInstance);
    gInput->CreateMouse(gForm->Handle());
    gInput->motionScale = 1.0f;

    gLoadSteps = gGame->StartLoading(gForm->Handle(), gDevice);
}

void Shutdown()
{
    // The game must not be deleted under a loading thread that still runs
    // (the window can be closed during loading).
    if (gGame != nullptr) {
        gGame->WaitForLoader();
        if (gRecorder != nullptr) {
            gRecorder->Finish(*gGame);
        }
    }
    DeleteAndClear(gRecorder);
    DeleteAndClear(gViewer);
    DeleteAndClear(gCursorImage);
    for (Orvel::DXOverlay*& digit : gDigitImages) {
        DeleteAndClear(digit);
    }
    DeleteAndClear(gTitleImage);
    DeleteAndClear(gComforts);
    DeleteAndClear(gGame);
    DeleteAndClear(gInput);
    DeleteAndClear(gDevice);
    DeleteAndClear(gGraphics);
    DeleteAndClear(gForm);
}

void BeginRun(IWindowLayer* windows)
{
    gWindows = windows;
    gExitStatus = 0;
    gLoaded = false;
    gLoadProgress = 0;
    gLoadSteps = 0;
    gShowCursor = true;
}

int RunApp(const SAppPlatform& platform, const SAppFiles& files)
{
    BeginRun(platform.windows);
    gMessageBox = platform.messageBox;
    gReadBackBuffer = platform.readBackBuffer;

    if (!files.replayFile.empty()) {
        gViewer = new CReplayViewer();
        std::string error;
        if (!gViewer->Open(files.replayFile, error)) {
            ReportError(error.c_str(), false, 0);
            DeleteAndClear(gViewer);
            return 1;
        }
    }
    if (!Guarded([&] { LoadSettings(files.settingsFile); })) {
        DeleteAndClear(gViewer);
        if (files.settingsNote != nullptr && files.settingsNote[0] != 0) {
            ReportNotice(files.settingsNote);
        }
        return 1;
    }
    if (files.fullscreen.has_value()) {
        gFullscreen = *files.fullscreen;
    }
    if (gViewer == nullptr && gReplays) {
        gRecorder = new CGameRecorder(files.writeFolder);
    }
    if (!Guarded([&] {
            InitDisplay(*platform.graphics, files.writeFolder);
            // A replay's world is built as it was recorded.
            if (gViewer != nullptr) {
                ApplyReplayHeader(gViewer->Header());
            }
            InitGame(*platform.input);
        })) {
        ReportStartupFailure();
        Guarded([] { Shutdown(); });
        return 1;
    }
    int status = 0;
    if (!Guarded([] { RunMessageLoop(); })) {
        status = 1;
    }
    if (!Guarded([] { Shutdown(); })) {
        status = 1;
    }
    return status != 0 ? status : gExitStatus;
}
