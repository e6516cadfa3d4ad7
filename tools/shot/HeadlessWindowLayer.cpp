#include "tools/shot/HeadlessWindowLayer.h"

#include <chrono>
#include <cstdint>

HeadlessWindowLayer::~HeadlessWindowLayer() = default;

bool HeadlessWindowLayer::RegisterClass(const char* className, WNDPROC proc)
{
    return mClasses.emplace(className, proc).second;
}

void HeadlessWindowLayer::UnregisterClass(const char* className)
{
    mClasses.erase(className);
}

HWND HeadlessWindowLayer::CreateWindow(const char* className, const char* title, int, int)
{
    auto found = mClasses.find(className);
    if (found == mClasses.end())
        return nullptr;
    std::lock_guard<std::mutex> lock(mMutex);
    // Handles are small non-null integers; nothing dereferences them.
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(mNextWindow++));
    mWindows[window] = Window{found->second, title};
    return window;
}

void HeadlessWindowLayer::GetScreenSize(int* width, int* height)
{
    *width = 1024;
    *height = 768;
}

void HeadlessWindowLayer::MoveWindow(HWND, int, int)
{
}

void HeadlessWindowLayer::ShowWindow(HWND)
{
}

bool HeadlessWindowLayer::SetFullscreen(HWND window, bool, int, int)
{
    return IsWindow(window);
}

bool HeadlessWindowLayer::SetVSync(bool)
{
    return true; // nothing is shown, so nothing can tear
}

void HeadlessWindowLayer::DestroyWindow(HWND window)
{
    if (!IsWindow(window))
        return;
    Send(window, WM_DESTROY, 0, 0);
    std::lock_guard<std::mutex> lock(mMutex);
    mWindows.erase(window);
    for (auto it = mQueue.begin(); it != mQueue.end();)
        it = it->hwnd == window ? mQueue.erase(it) : it + 1;
}

bool HeadlessWindowLayer::IsWindow(HWND window)
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mWindows.count(window) != 0;
}

LRESULT HeadlessWindowLayer::DefWindowProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

bool HeadlessWindowLayer::PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        if (mWindows.count(window) == 0)
            return false;
        mQueue.push_back(MSG{window, message, wParam, lParam});
    }
    mPosted.notify_all();
    return true;
}

void HeadlessWindowLayer::PostQuitMessage(int)
{
    {
        std::lock_guard<std::mutex> lock(mMutex);
        mQuit = true;
    }
    mPosted.notify_all();
}

bool HeadlessWindowLayer::SetTimer(HWND window, UINT, UINT)
{
    return IsWindow(window);
}

void HeadlessWindowLayer::KillTimer(HWND, UINT)
{
}

int HeadlessWindowLayer::GetMessage(MSG* message, HWND window)
{
    std::unique_lock<std::mutex> lock(mMutex);
    for (;;) {
        if (window != nullptr && mWindows.count(window) == 0)
            return -1;
        if (!mQueue.empty()) {
            *message = mQueue.front();
            mQueue.pop_front();
            return 1;
        }
        if (mQuit) {
            mQuit = false;
            return 0;
        }
        mPosted.wait(lock);
    }
}

bool HeadlessWindowLayer::WaitMessage(MSG* message, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mMutex);
    if (!mPosted.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !mQueue.empty(); }))
        return false;
    *message = mQueue.front();
    mQueue.pop_front();
    return true;
}

LRESULT HeadlessWindowLayer::DispatchMessage(const MSG* message)
{
    return Send(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT HeadlessWindowLayer::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc = nullptr;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        auto found = mWindows.find(window);
        if (found == mWindows.end())
            return 0;
        proc = found->second.proc;
    }
    return proc(window, message, wParam, lParam);
}
