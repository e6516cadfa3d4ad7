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
    if (message == WM_DESTROY) {
        gLayer->PostQuitMessage(0);
        return 0;
    }
    if (message == WM_CLOSE) {
        gLayer->DestroyWindow(window);
        return 0;
    }
    return gLayer->DefWindowProc(window, message, wParam, lParam);
}

class WindowLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        layer = new SDLWindowLayer(false);
        gLayer = layer;
        gSeen.clear();
        ASSERT_TRUE(layer->RegisterClass("TForm0", TestProc));
        window = layer->CreateWindow("TForm0", "Tavrin", 640, 480);
        ASSERT_NE(window, nullptr) << SDL_GetError();
    }
    void TearDown() override
    {
        delete layer;
        gLayer = nullptr;
    }

    SDLWindowLayer* layer = nullptr;
    HWND window = nullptr;
};

} // namespace

TEST_F(WindowLayerTest, MessagesPostedFromAnotherThreadArriveInPostingOrder)
{
    EXPECT_FALSE(layer->RegisterClass("TForm0", TestProc)) << "a class name is registered once";
    const int kCount = 2000;
    std::thread poster([&] {
        for (int i = 0; i < kCount; ++i) {
            ASSERT_TRUE(layer->PostMessage(window, WM_USER + (i % 2), static_cast<WPARAM>(i), -i));
        }
    });
    std::vector<int> order;
    MSG msg;
    while (static_cast<int>(order.size()) < kCount) {
        ASSERT_EQ(layer->GetMessage(&msg, window), 1);
        ASSERT_EQ(msg.hwnd, window);
        ASSERT_EQ(msg.message, WM_USER + static_cast<UINT>(msg.wParam % 2));
        ASSERT_EQ(msg.lParam, -static_cast<LPARAM>(msg.wParam));
        order.push_back(static_cast<int>(msg.wParam));
        layer->DispatchMessage(&msg);
    }
    poster.join();
    for (int i = 0; i < kCount; ++i) {
        ASSERT_EQ(order[i], i);
    }
    EXPECT_EQ(gSeen.size(), static_cast<size_t>(kCount));
}

TEST_F(WindowLayerTest, CloseDestroysTheWindowAndTheLoopEndsOnQuit)
{
    layer->PostMessage(window, WM_CLOSE, 0, 0);
    layer->PostMessage(window, WM_USER, 7, 0);
    MSG msg;
    ASSERT_EQ(layer->GetMessage(&msg, window), 1);
    EXPECT_EQ(msg.message, WM_CLOSE);
    layer->DispatchMessage(&msg);
    EXPECT_EQ(gSeen, (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(layer->IsWindow(window));
    EXPECT_EQ(layer->GetMessage(&msg, window), 0) << "the quit message comes before anything else";
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(layer->GetMessage(&msg, window), -1) << "no window to read for";
    EXPECT_FALSE(layer->PostMessage(window, WM_USER, 0, 0));
}

TEST_F(WindowLayerTest, SdlQuitRequestBecomesWmCloseForTheWindow)
{
    SDL_Event quit;
    SDL_zero(quit);
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    MSG msg;
    ASSERT_EQ(layer->GetMessage(&msg, window), 1);
    EXPECT_EQ(msg.message, WM_CLOSE);
    EXPECT_EQ(msg.hwnd, window);
}

TEST_F(WindowLayerTest, TheTimerTicksEvery20MsWithoutPilingUp)
{
    ASSERT_TRUE(layer->SetTimer(window, 1, 20));
    auto start = std::chrono::steady_clock::now();
    MSG msg;
    ASSERT_EQ(layer->GetMessage(&msg, window), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 1u);
    auto first = std::chrono::steady_clock::now() - start;
    EXPECT_GE(first, std::chrono::milliseconds(19));

    // A handler that takes 110 ms (five periods): one tick follows at once,
    // then the next waits for the following period.
    std::this_thread::sleep_for(std::chrono::milliseconds(110));
    auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(layer->GetMessage(&msg, window), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(10));
    auto t1 = std::chrono::steady_clock::now();
    ASSERT_EQ(layer->GetMessage(&msg, window), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_GE(std::chrono::steady_clock::now() - t1, std::chrono::milliseconds(1))
        << "a second tick was already pending";

    // A posted message is read before the timer's next tick.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    layer->PostMessage(window, WM_USER + 1, 0, 0);
    ASSERT_EQ(layer->GetMessage(&msg, window), 1);
    EXPECT_EQ(msg.message, WM_USER + 1);
    ASSERT_EQ(layer->GetMessage(&msg, window), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    layer->KillTimer(window, 1);
}

TEST_F(WindowLayerTest, TheLoopSleepsBetweenTicks)
{
    auto cpuSeconds = [] {
        rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
               (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    };
    ASSERT_TRUE(layer->SetTimer(window, 1, 20));
    double cpuStart = cpuSeconds();
    auto start = std::chrono::steady_clock::now();
    MSG msg;
    for (int i = 0; i < 25; ++i) {
        ASSERT_EQ(layer->GetMessage(&msg, window), 1);
        ASSERT_EQ(msg.message, WM_TIMER);
    }
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double cpu = cpuSeconds() - cpuStart;
    EXPECT_GE(wall, 0.45) << "25 ticks of 20 ms";
    EXPECT_LT(cpu, wall * 0.3) << "the wait for the next tick is a busy loop";
}
