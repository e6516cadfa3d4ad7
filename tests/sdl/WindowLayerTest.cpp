#include <gtest/gtest.h>

#include <SDL.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/sdl/SDLWindowLayer.h"

// The window layer on SDL's dummy video driver: real windows and events with
// no display.
namespace {

std::vector<UINT> gSeen;
SDLWindowLayer* gLayer = nullptr;

LRESULT TestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    gSeen.push_back(message);
    if (message == WM_DESTROY)
        gLayer->PostQuitMessage(0);
    else if (message == WM_CLOSE)
        gLayer->DestroyWindow(window);
    else
        return gLayer->DefWindowProc(window, message, wParam, lParam);
    return 0;
}

class WindowLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        gLayer = layer = new SDLWindowLayer(false);
        gSeen.clear();
        ASSERT_TRUE(layer->RegisterClass("TForm0", TestProc));
        window = layer->CreateWindow("TForm0", "Tavrin", 640, 480);
        ASSERT_NE(window, nullptr) << SDL_GetError();
    }
    void TearDown() override { delete layer; }

    // The next message, which must be `expected`.
    void Next(UINT expected)
    {
        ASSERT_EQ(layer->GetMessage(&msg, window), 1);
        ASSERT_EQ(msg.message, expected);
    }

    SDLWindowLayer* layer = nullptr;
    HWND window = nullptr;
    MSG msg{};
};

} // namespace

TEST_F(WindowLayerTest, MessagesPostedFromAnotherThreadArriveInPostingOrder)
{
    const int kCount = 2000;
    std::thread poster([&] {
        for (int i = 0; i < kCount; ++i)
            ASSERT_TRUE(layer->PostMessage(window, WM_USER + (i % 2), static_cast<WPARAM>(i), -i));
    });
    for (int i = 0; i < kCount; ++i) {
        Next(WM_USER + (i % 2));
        ASSERT_TRUE(msg.hwnd == window && msg.wParam == static_cast<WPARAM>(i) && msg.lParam == -i) << i;
        layer->DispatchMessage(&msg);
    }
    poster.join();
    EXPECT_EQ(gSeen.size(), static_cast<size_t>(kCount));
}

TEST_F(WindowLayerTest, TheQuitRequestClosesTheWindowAndTheLoopEndsOnQuit)
{
    SDL_Event quit;
    SDL_zero(quit);
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    Next(WM_CLOSE);
    layer->PostMessage(window, WM_USER, 7, 0);
    EXPECT_EQ(msg.hwnd, window);
    layer->DispatchMessage(&msg);
    EXPECT_EQ(gSeen, (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(layer->IsWindow(window));
    EXPECT_EQ(layer->GetMessage(&msg, window), 0) << "the quit message comes before anything else";
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(layer->GetMessage(&msg, window), -1) << "no window to read for";
    EXPECT_FALSE(layer->PostMessage(window, WM_USER, 0, 0));
}

TEST_F(WindowLayerTest, TheTimerTicksEvery20MsAndTheLoopSleepsBetweenTicks)
{
    auto cpuSeconds = [] {
        rusage u;
        getrusage(RUSAGE_SELF, &u);
        return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    ASSERT_TRUE(layer->SetTimer(window, 1, 20));
    double cpuStart = cpuSeconds();
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 25; ++i)
        Next(WM_TIMER);
    EXPECT_EQ(msg.wParam, 1u);
    std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    EXPECT_GE(wall.count(), 0.45) << "25 ticks of 20 ms";
    EXPECT_LT(cpuSeconds() - cpuStart, wall.count() * 0.3) << "the wait for the next tick is a busy loop";
    // A posted message is read before the timer's next tick.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    layer->PostMessage(window, WM_USER + 1, 0, 0);
    Next(WM_USER + 1);
    Next(WM_TIMER);
}
