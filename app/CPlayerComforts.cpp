#include "app/CPlayerComforts.h"

#include <exception>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "app/CScreenshotWriter.h"
#include "app/ErrorReport.h"
#include "engine/DXDevice.h"
#include "engine/DXOverlay.h"
#include "engine/LoadOverlay.h"
#include "game/CGame.h"
#include "game/GameSprites.h"
#include "input/KeyState.h"
#include "tlib/DXException.h"
#include "tlib/TException.h"

CPlayerComforts* gComforts = nullptr;

const CPlayerComforts::SSpeedLabel CPlayerComforts::kSpeedLabels[kSpeedLabelCount] = {
    {1, "SpeedHalf.bmp"},
    {4, "Speed2.bmp"},
    {8, "Speed4.bmp"},
    {16, "Speed8.bmp"},
};

namespace {

// Whether the key was pressed since it was last asked for (asking takes the
// press).
bool Pressed(int vk)
{
    return (GetAsyncKeyState(vk) & KEY_PRESSED_SINCE_QUERY) != 0;
}

// Whether either key was pressed; both presses are taken.
bool EitherPressed(int first, int second)
{
    const bool a = Pressed(first);
    const bool b = Pressed(second);
    return a || b;
}

} // namespace

Orvel::DXOverlay* LoadOptionalPicture(Orvel::DXDevice* device, const char* fileName, int width, int height)
{
    std::string problem;
    try {
        return Orvel::LoadOverlay(device, fileName, width, height, false);
    } catch (const tlib::TException& e) {
        problem = e.Message();
    } catch (const DXException& e) {
        problem = e.Message();
    } catch (const std::exception& e) {
        problem = e.what();
    }
    ReportNotice((problem + "; playing on without that picture").c_str());
    return nullptr;
}

CPlayerComforts::CPlayerComforts(HWND window, const std::string& writeFolder)
    : mWindow(window)
{
    // The current folder's is named as the player sees it: "Screenshots".
    if (writeFolder == ".") {
        mScreenshotFolder = kScreenshotFolder;
    } else if (!writeFolder.empty()) {
        mScreenshotFolder = writeFolder + "/" + kScreenshotFolder;
    }
}

CPlayerComforts::~CPlayerComforts()
{
    FinishScreenshots();
    delete mPausedImage;
    for (Orvel::DXOverlay* image : mSpeedImages) {
        delete image;
    }
}

void CPlayerComforts::WindowedSize(int screenWidth, int screenHeight, int bufferWidth, int bufferHeight, int* width,
                                   int* height)
{
    *width = bufferWidth;
    *height = bufferHeight;
    if (screenWidth <= 0 || screenHeight <= 0 || bufferWidth <= 0 || bufferHeight <= 0) {
        return;
    }
    const int64_t roomWidth = int64_t(screenWidth) * 9 / 10, roomHeight = int64_t(screenHeight) * 9 / 10;
    if (bufferWidth <= roomWidth && bufferHeight <= roomHeight) {
        return;
    }
    // The buffer's shape at the largest scale that fits (products in 64 bits).
    if (roomWidth * bufferHeight <= roomHeight * bufferWidth) {
        *width = int(roomWidth);
        *height = int(roomWidth * bufferHeight / bufferWidth);
    } else {
        *height = int(roomHeight);
        *width = int(roomHeight * bufferWidth / bufferHeight);
    }
    *width = *width < 1 ? 1 : *width;
    *height = *height < 1 ? 1 : *height;
}

void CPlayerComforts::ApplyDisplaySettings()
{
    if (!gFullscreen) {
        SetWindowMode(false);
    }
    if (gVSync && !gWindows->SetVSync(true)) {
        ReportNotice("the display cannot present in step with its refresh here; playing without VSync");
    }
}

bool CPlayerComforts::ToggleWindow()
{
    return SetWindowMode(!gFullscreen);
}

bool CPlayerComforts::SetWindowMode(bool fullscreen)
{
    int width = 0, height = 0;
    if (!fullscreen && !mWindowSized) {
        // The first time in a window: the picture's size where it fits.
        // Afterwards the window keeps the size the player gave it.
        int screenWidth = 0, screenHeight = 0;
        gWindows->GetScreenSize(&screenWidth, &screenHeight);
        WindowedSize(screenWidth, screenHeight, gXResolution, gYResolution, &width, &height);
    }
    if (!gWindows->SetFullscreen(mWindow, fullscreen, width, height)) {
        ReportNotice(fullscreen ? "the window cannot be made fullscreen here" : "the game cannot leave fullscreen here");
        return false;
    }
    mWindowSized = mWindowSized || !fullscreen;
    gFullscreen = fullscreen;
    return true;
}

void CPlayerComforts::LoadPictures(Orvel::DXDevice* device)
{
    mPausedImage = LoadOptionalPicture(device, "Paused.bmp", kPausedWidth, kPausedHeight);
    for (int i = 0; i < kSpeedLabelCount; ++i) {
        mSpeedImages[i] = LoadOptionalPicture(device, kSpeedLabels[i].fileName, kSpeedLabelWidth, kSpeedLabelHeight);
    }
}

void CPlayerComforts::ReadKeys(bool loaded)
{
    ReportScreenshots();
    if (EitherPressed(VK_F11, VK_ALT_RETURN)) {
        ToggleWindow();
    }
    if (Pressed(VK_F12) && !mShotRequested) {
        mShotRequested = true;
        mShotTime = std::time(nullptr);
    }
    if (!loaded) {
        return;
    }
    if (EitherPressed('P', VK_PAUSE)) {
        mPace.TogglePause();
    }
    if (EitherPressed(VK_OEM_PLUS, VK_ADD)) {
        mPace.Faster();
    }
    if (EitherPressed(VK_OEM_MINUS, VK_SUBTRACT)) {
        mPace.Slower();
    }
}

void CPlayerComforts::UsePace(const int* speeds, int count, int normal)
{
    mPace = CGamePace(speeds, count, normal);
}

void CPlayerComforts::ForgetPaceKeys()
{
    for (int vk : {int('P'), VK_PAUSE, VK_OEM_PLUS, VK_ADD, VK_OEM_MINUS, VK_SUBTRACT}) {
        Pressed(vk);
    }
}

bool CPlayerComforts::HandleMessage(UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_SIZE:
        mMinimised = wParam == SIZE_MINIMIZED;
        return true;
    case WM_SHOWWINDOW:
        mHidden = wParam == 0;
        return true;
    case WM_PAINT:
        // On the screen again, whatever came before.
        mMinimised = false;
        mHidden = false;
        return true;
    case WM_ACTIVATE:
        if (wParam == WA_INACTIVE) {
            if (gPauseOnFocusLoss) {
                mPace.PauseForFocusLoss();
            }
        } else {
            mPace.ResumeAfterFocusLoss();
        }
        return true;
    default:
        return false;
    }
}

Orvel::DXOverlay* CPlayerComforts::SpeedLabel(int speed) const
{
    for (int i = 0; i < kSpeedLabelCount; ++i) {
        if (kSpeedLabels[i].speed == speed) {
            return mSpeedImages[i];
        }
    }
    return nullptr;
}

void CPlayerComforts::AddSprites(const CGame& game, bool recordedPause)
{
    if (game.state != CGame::STATE_PLAYING) {
        return; // the end picture stands alone
    }
    if (!mPace.AtNormalSpeed()) {
        AddSprite(SpeedLabel(mPace.Speed()),
                  CGame::kEnergyFigureX + NumberWidth(game.energy[0]) + kSpeedLabelGap, CGame::kEnergyFigureY, false);
    }
    if (mPace.Paused() || recordedPause) {
        AddSprite(mPausedImage, 512, 384, true);
    }
}

void CPlayerComforts::TakeRequestedScreenshot()
{
    if (!mShotRequested) {
        return;
    }
    mShotRequested = false;
    std::vector<uint32_t> pixels;
    UINT width = 0, height = 0;
    const HRESULT result = gReadBackBuffer != nullptr ? gReadBackBuffer(gDevice->Device(), pixels, width, height)
                                                      : D3DERR_INVALIDCALL;
    if (FAILED(result)) {
        ReportError("cannot save the screenshot: the picture cannot be read back", true, result);
        return;
    }
    if (!mScreenshots) {
        mScreenshots.reset(new CScreenshotWriter(mScreenshotFolder));
    }
    mScreenshots->Submit(std::move(pixels), int(width), int(height), mShotTime);
}

void CPlayerComforts::ReportScreenshots()
{
    if (mScreenshots) {
        for (const std::string& report : mScreenshots->TakeReports()) {
            ReportNotice(report.c_str());
        }
    }
}

void CPlayerComforts::FinishScreenshots()
{
    if (mScreenshots) {
        mScreenshots->Finish();
        ReportScreenshots();
    }
}
