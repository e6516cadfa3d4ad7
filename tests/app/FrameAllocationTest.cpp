#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "app/AppGlobals.h"
#include "app/FrameTick.h"
#include "app/TForm.h"
#include "engine/DXDevice.h"
#include "engine/DXGraphics.h"
#include "engine/DXOverlay.h"
#include "game/CGame.h"
#include "game/GameGlobals.h"
#include "game/GameSprites.h"
#include "input/DXInput.h"
#include "platform/recording/RecordingProvider.h"
#include "tests/app/AppFakes.h"

// Counts the allocations made while gCounting is set.
namespace {
std::atomic<bool> gCounting{false};
std::atomic<int> gAllocations{0};
} // namespace

void* operator new(size_t size)
{
    if (gCounting) {
        ++gAllocations;
    }
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return p;
}
void* operator new[](size_t size)
{
    return operator new(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept
{
    std::free(p);
}

TEST(FrameAllocationTest, TicksOfTheLoadingScreenAndTheGameAllocateNothingAfterTheFirst)
{
    RecordingProvider provider;
    provider.SetRecording(false);
    FakeWindowLayer windows;
    FakeMouseProvider mouse;
    gWindows = &windows;
    Orvel::DXGraphics* graphics = new Orvel::DXGraphics(provider);
    gDevice = graphics->CreateDevice(nullptr, 1024, 768);
    std::vector<uint32_t> pixels(64 * 64, 0xFF808080u);
    gCursorImage = new Orvel::DXOverlay(gDevice, 64, 64, 64, 64, pixels.data());
    gTitleImage = new Orvel::DXOverlay(gDevice, 32, 16, 32, 16, pixels.data());
    for (int d = 0; d < 10; ++d) {
        gDigitImages[d] = new Orvel::DXOverlay(gDevice, gDigitWidths[d], 23, 32, 32, pixels.data());
    }
    gOverlayProjection = Orvel::CMatrix::Identity();
    LoadDirectInputLibrary(mouse);
    gInput = new DXInput(nullptr);
    gForm = new TForm(MainWindowProc, nullptr);
    gForm->Create(nullptr, "Tavrin", 640, 480, 0);
    gInput->CreateMouse(gForm->Handle());
    gLoadSteps = 19;
    gLoadProgress = 0;
    gLoaded = false;
    gShowCursor = true;
    CGame* game = new CGame();
    game->state = 2;
    game->winScreen = gTitleImage;
    HWND window = gForm->Handle();

    gCounting = true;
    delete new int(1);
    gCounting = false;
    ASSERT_EQ(gAllocations.exchange(0), 1) << "the counter sees allocations";

    // Warm-up: the sprite list grows to what a frame needs.
    MainWindowProc(window, WM_TIMER, 1, 0);
    gCounting = true;
    for (int k = 1; k <= 19; ++k) {
        mouse.next.lX = 7;
        MainWindowProc(window, CGame::kMsgLoadProgress, k, 0);
        MainWindowProc(window, WM_TIMER, 1, 0);
    }
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0) << "loading-screen ticks allocated";

    gGame = game;
    gLoaded = true;
    MainWindowProc(window, WM_TIMER, 1, 0);
    gAllocations = 0;
    gCounting = true;
    for (int i = 0; i < 50; ++i) {
        MainWindowProc(window, WM_TIMER, 1, 0);
    }
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0) << "game ticks allocated";
    EXPECT_EQ(provider.Log().Count("Present"), 71);

    game->winScreen = nullptr;
    delete gGame;
    gGame = nullptr;
    delete gInput;
    gInput = nullptr;
    delete gCursorImage;
    delete gTitleImage;
    for (Orvel::DXOverlay*& d : gDigitImages) {
        delete d;
        d = nullptr;
    }
    gCursorImage = gTitleImage = nullptr;
    delete gDevice;
    gDevice = nullptr;
    delete graphics;
    delete gForm;
    gForm = nullptr;
    gLoaded = false;
    gWindows = nullptr;
}
