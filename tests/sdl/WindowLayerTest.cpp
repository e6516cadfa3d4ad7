#include <gtest/gtest.h>

#include <SDL.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <tuple>
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
        ASSERT_EQ(std::make_tuple(msg.hwnd, msg.wParam, msg.lParam),
                  std::make_tuple(window, static_cast<WPARAM>(i), static_cast<LPARAM>(-i)));
        layer->DispatchMessage(&msg);
    }
    poster.join();
    EXPECT_EQ(gSeen.size(), static_cast<size_t>(kCount));
}

// What happens to the window reaches its procedure as messages, after the
// listeners (the mouse and the keys) have seen the event; other windows'
// events and the rest (moves) reach only the listeners.
TEST_F(WindowLayerTest, MinimisedHiddenExposedAndTheFocusBecomeTheWindowsMessages)
{
    struct Listener : ISDLEventListener {
        std::vector<int> seen;
        void HandleEvent(const SDL_Event& e) override
        {
            if (e.type == SDL_WINDOWEVENT)
                seen.push_back(e.window.event);
        }
    } listener;
    layer->AddListener(&listener);
    for (SDL_Event e; SDL_PollEvent(&e);) {
    }
    const struct {
        SDL_WindowEventID event;
        bool ours;
        UINT message;
        WPARAM wParam;
    } events[] = {
        {SDL_WINDOWEVENT_MINIMIZED, true, WM_SIZE, SIZE_MINIMIZED},
        {SDL_WINDOWEVENT_RESTORED, true, WM_SIZE, SIZE_RESTORED},
        {SDL_WINDOWEVENT_MAXIMIZED, true, WM_SIZE, SIZE_MAXIMIZED},
        {SDL_WINDOWEVENT_HIDDEN, true, WM_SHOWWINDOW, 0},
        {SDL_WINDOWEVENT_SHOWN, true, WM_SHOWWINDOW, 1},
        {SDL_WINDOWEVENT_EXPOSED, true, WM_PAINT, 0},
        {SDL_WINDOWEVENT_FOCUS_LOST, true, WM_ACTIVATE, WA_INACTIVE},
        {SDL_WINDOWEVENT_FOCUS_GAINED, true, WM_ACTIVATE, WA_ACTIVE},
        {SDL_WINDOWEVENT_MINIMIZED, false, 0, 0}, // another window's
        {SDL_WINDOWEVENT_MOVED, true, 0, 0},
    };
    for (const auto& e : events) {
        SCOPED_TRACE(int(e.event));
        listener.seen.clear();
        SDL_Event event;
        SDL_zero(event);
        event.type = SDL_WINDOWEVENT;
        event.window.event = Uint8(e.event);
        event.window.windowID = e.ours ? SDL_GetWindowID(static_cast<SDL_Window*>(window)) : 999;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
        layer->PostMessage(window, WM_USER + 5, 0, 0); // marks the end of the event's messages
        ASSERT_EQ(layer->GetMessage(&msg, window), 1);
        if (e.message != 0) {
            EXPECT_EQ(std::make_tuple(msg.hwnd, msg.message, msg.wParam), std::make_tuple(window, e.message, e.wParam));
            Next(WM_USER + 5);
        } else {
            EXPECT_EQ(msg.message, WM_USER + 5u) << "no message for it";
        }
        EXPECT_EQ(listener.seen, std::vector<int>{e.event}) << "the listeners see it";
    }
    layer->RemoveListener(&listener);
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
