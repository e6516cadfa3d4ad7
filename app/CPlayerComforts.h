#pragma once
// What the application adds around the game for the player. None of it is
// on the game's path unless the player asks for it by a setting, an option
// or a key:
// - the window: desktop-fullscreen or a resizable window ("Fullscreen",
//   --windowed, --fullscreen; Alt+Enter and F11 switch), and presenting in
//   step with the display's retrace ("VSync");
// - the pace: P and Pause pause and resume, + and - step the speed through
//   1/2x, 1x, 2x and 4x, and with "PauseOnFocusLoss" the game pauses while
//   another window has the keyboard; a "Paused" picture sits in the middle
//   of the frame while paused, and the speed beside the energy figure while
//   it is not 1x;
// - F12: the next frame's picture (the back buffer, before it is presented)
//   as a PNG file in Screenshots/ of the folder for written files;
// - nothing is drawn or presented while the window is minimised or hidden
//   (the game goes on ticking).
// The pictures come from the data folder ("Paused.bmp", "SpeedHalf.bmp",
// "Speed2.bmp", "Speed4.bmp", and "Speed8.bmp" for a replay's viewer); one that cannot be loaded is reported and
// left out.
//
// Main thread only. One object, gComforts, made by start-up once the device
// exists and deleted by Shutdown before the device.

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

#include "app/CGamePace.h"
#include "app/IWindowLayer.h"

class CGame;
class CScreenshotWriter;
namespace Orvel {
class DXDevice;
class DXOverlay;
} // namespace Orvel

class CPlayerComforts {
public:
    // The speeds that show a label, and the label's file and size.
    struct SSpeedLabel {
        int speed; // as CGamePace::Speed
        const char* fileName;
    };
    static constexpr int kSpeedLabelCount = 4;
    static const SSpeedLabel kSpeedLabels[kSpeedLabelCount];
    static constexpr int kSpeedLabelWidth = 72, kSpeedLabelHeight = 23;
    static constexpr int kPausedWidth = 320, kPausedHeight = 88;
    // Gap between the energy figure and the speed label, overlay units.
    static constexpr int kSpeedLabelGap = 10;
    // Where screenshots go, inside the folder for written files.
    static constexpr const char* kScreenshotFolder = "Screenshots";

    // window: the main window (its mode is switched); writeFolder: the
    // folder for files the game writes (empty: unknown, screenshots are
    // refused with a message).
    CPlayerComforts(HWND window, const std::string& writeFolder);
    // Writes the screenshots still waiting and reports them, then deletes
    // the pictures.
    ~CPlayerComforts();
    CPlayerComforts(const CPlayerComforts&) = delete;
    CPlayerComforts& operator=(const CPlayerComforts&) = delete;

    // Start-up, once the device exists: the window mode of gFullscreen and,
    // with gVSync, the wait for the retrace (a driver that cannot wait is
    // reported and the game presents without it).
    void ApplyDisplaySettings();
    // Start-up: loads the pictures from the data folder.
    void LoadPictures(Orvel::DXDevice* device);

    // Each tick, before the game's: reports what the screenshot thread has
    // done, then reads the window key and F12 and, once the game is loaded,
    // the pause and speed keys.
    void ReadKeys(bool loaded);
    // Forgets presses of the pause and speed keys made so far (the loading
    // is done: the game starts at 1x, playing).
    void ForgetPaceKeys();
    // The pace of this timer tick for CGame::Tick.
    CGamePace::SStep NextStep() { return mPace.Next(); }
    CGamePace& Pace() { return mPace; }
    // Other speeds than the player's (a replay's viewer), at normal speed.
    void UsePace(const int* speeds, int count, int normal);

    // The window's WM_SIZE, WM_SHOWWINDOW, WM_PAINT and WM_ACTIVATE; false
    // for any other message.
    bool HandleMessage(UINT message, WPARAM wParam);
    // Whether frames are drawn: the window is neither minimised nor hidden.
    bool Visible() const { return !mMinimised && !mHidden; }

    // Switches the window between desktop-fullscreen and a window (as
    // Alt+Enter and F11 do); false, with a message, when the windowing
    // system refuses (gFullscreen is then unchanged).
    bool ToggleWindow();

    // After the game's sprites: the "Paused" picture (also for a pause that
    // a replay recorded) and the speed label.
    void AddSprites(const CGame& game, bool recordedPause = false);
    // After the frame is drawn and before it is presented: the screenshot
    // that F12 asked for, read from the back buffer and handed to the
    // writing thread.
    void TakeRequestedScreenshot();
    bool ScreenshotRequested() const { return mShotRequested; }
    // Waits until the screenshots taken so far are written, then reports.
    void FinishScreenshots();

    // The size of the window in windowed mode: the back buffer's, or the
    // largest size of its shape within 9/10 of the screen when that is
    // smaller; the back buffer's when the screen size is unknown (0).
    static void WindowedSize(int screenWidth, int screenHeight, int bufferWidth, int bufferHeight, int* width,
                             int* height);

private:
    // gFullscreen becomes fullscreen when the windowing system agrees.
    bool SetWindowMode(bool fullscreen);
    void ReportScreenshots();
    Orvel::DXOverlay* SpeedLabel(int speed) const;

    HWND mWindow;
    std::string mScreenshotFolder;
    CGamePace mPace;
    bool mMinimised = false;
    bool mHidden = false;
    bool mWindowSized = false; // the windowed size was set once
    bool mShotRequested = false;
    std::time_t mShotTime = 0;
    std::unique_ptr<CScreenshotWriter> mScreenshots;
    Orvel::DXOverlay* mPausedImage = nullptr;
    Orvel::DXOverlay* mSpeedImages[kSpeedLabelCount] = {};
};

// A picture of the data folder, or null with a message when it cannot be
// loaded (the game goes on without it).
Orvel::DXOverlay* LoadOptionalPicture(Orvel::DXDevice* device, const char* fileName, int width, int height);

// The player's comforts; null before start-up has made the device and after
// Shutdown (the frame then runs as the game always has).
extern CPlayerComforts* gComforts;
