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

namespace {
// One allocation that the optimiser may not remove: a new-expression whose
// result is not used may be left out (a Release build does), a call through
// a volatile function pointer may not.
void AllocateOnce()
{
    void* (*volatile allocate)(size_t) = ::operator new;
    void (*volatile release)(void*) noexcept = ::operator delete;
    release(allocate(sizeof(int)));
}
} // namespace

TEST(FrameAllocationTest, TicksOfTheLoadingScreenAndTheGameAllocateNothingAfterTheFirst)
{
    FrameRig rig;
    rig.provider.SetRecording(false);
    CGame* game = new CGame();
    game->state = CGame::STATE_RED_LOST;
    game->winScreen = gTitleImage;
    HWND window = gForm->Handle();

    gCounting = true;
    AllocateOnce();
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

    // With the player's comforts: the pace keys, the focus and a window out
    // of sight cost no allocation either.
    rig.AddComforts();
    gCounting = true;
    for (int i = 0; i < 50; ++i) {
        for (int vk : {int('P'), VK_OEM_PLUS, VK_SUBTRACT}) {
            if (i % 7 == vk % 3) {
                rig.keys.KeyDown(vk, false);
                rig.keys.KeyUp(vk);
            }
        }
        if (i % 10 == 0)
            MainWindowProc(window, WM_SIZE, i % 20 == 0 ? SIZE_MINIMIZED : SIZE_RESTORED, 0);
        MainWindowProc(window, WM_TIMER, 1, 0);
    }
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0) << "ticks with the comforts allocated";
    game->winScreen = nullptr; // the rig owns the title picture
}
