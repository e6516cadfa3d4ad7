#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "game/CGame.h"
#include "tests/app/AppFakes.h"

// Counts the allocations made while gCounting is set.
namespace {
std::atomic<bool> gCounting{false};
std::atomic<int> gAllocations{0};
} // namespace

void* operator new(size_t size)
{
    if (gCounting)
        ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

TEST(FrameAllocationTest, TicksOfTheLoadingScreenAndTheGameAllocateNothingAfterTheFirst)
{
    FrameRig rig;
    rig.provider.SetRecording(false);
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
        rig.mouse.SetNext(7, 0, false, false);
        MainWindowProc(window, CGame::kMsgLoadProgress, k, 0);
        MainWindowProc(window, WM_TIMER, 1, 0);
    }
    gCounting = false;
    EXPECT_EQ(gAllocations.exchange(0), 0) << "loading-screen ticks allocated";

    gGame = game;
    gLoaded = true;
    MainWindowProc(window, WM_TIMER, 1, 0);
    gAllocations = 0;
    gCounting = true;
    for (int i = 0; i < 50; ++i)
        MainWindowProc(window, WM_TIMER, 1, 0);
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0) << "game ticks allocated";
    EXPECT_EQ(rig.provider.Log().Count("Present"), 71);
    game->winScreen = nullptr; // the rig owns the title picture
}
