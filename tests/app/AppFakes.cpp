#include "tests/app/AppFakes.h"

#include <chrono>
#include <cstring>
#include <thread>

bool FakeWindowLayer::RegisterClass(const char* className, WNDPROC proc)
{
    if (failRegister || mClasses.count(className) != 0) {
        return false;
    }
    mClasses[className] = proc;
    log.push_back(std::string("register ") + className);
    return true;
}

void FakeWindowLayer::UnregisterClass(const char* className)
{
    mClasses.erase(className);
    log.push_back(std::string("unregister ") + className);
}

HWND FakeWindowLayer::CreateWindow(const char* className, const char* title, int width, int height)
{
    if (failCreate || mClasses.count(className) == 0) {
        return nullptr;
    }
    HWND handle = reinterpret_cast<HWND>(static_cast<intptr_t>(0x1000 * mNextHandle++));
    std::lock_guard<std::mutex> lock(mLock);
    mWindows[handle] = SWindow{mClasses[className], true};
    log.push_back(std::string("create ") + title + " " + std::to_string(width) + "x" + std::to_string(height));
    return handle;
}

void FakeWindowLayer::GetScreenSize(int* width, int* height)
{
    *width = screenWidth;
    *height = screenHeight;
}

void FakeWindowLayer::MoveWindow(HWND, int x, int y)
{
    log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
}

void FakeWindowLayer::ShowWindow(HWND)
{
    log.push_back("show");
}

void FakeWindowLayer::DestroyWindow(HWND window)
{
    if (!IsWindow(window)) {
        return;
    }
    mWindows[window].proc(window, WM_DESTROY, 0, 0);
    std::lock_guard<std::mutex> lock(mLock);
    mWindows[window].alive = false;
    log.push_back("destroy");
}

bool FakeWindowLayer::IsWindow(HWND window)
{
    std::lock_guard<std::mutex> lock(mLock);
    auto it = mWindows.find(window);
    return it != mWindows.end() && it->second.alive;
}

LRESULT FakeWindowLayer::DefWindowProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

bool FakeWindowLayer::PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard<std::mutex> lock(mLock);
    auto it = mWindows.find(window);
    if (it == mWindows.end() || !it->second.alive) {
        return false;
    }
    mQueue.push_back(MSG{window, message, wParam, lParam});
    return true;
}

void FakeWindowLayer::PostQuitMessage(int)
{
    mQuit = !ignoreQuit;
}

bool FakeWindowLayer::SetTimer(HWND, UINT, UINT periodMs)
{
    log.push_back("timer " + std::to_string(periodMs));
    mTimer = true;
    return true;
}

void FakeWindowLayer::KillTimer(HWND, UINT)
{
    mTimer = false;
}

int FakeWindowLayer::GetMessage(MSG* message, HWND window)
{
    if (mQuit) {
        mQuit = false;
        return 0;
    }
    if (!IsWindow(window)) {
        return -1;
    }
    {
        std::lock_guard<std::mutex> lock(mLock);
        if (!mQueue.empty()) {
            *message = mQueue.front();
            mQueue.pop_front();
            return 1;
        }
    }
    if (!mTimer || ticks >= maxTicks) {
        return -1;
    }
    // Gives the loading thread time between the ticks of the loading screen.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ++ticks;
    if (onTick) {
        onTick(ticks);
    }
    *message = MSG{window, WM_TIMER, 1, 0};
    return 1;
}

LRESULT FakeWindowLayer::DispatchMessage(const MSG* message)
{
    WNDPROC proc;
    {
        std::lock_guard<std::mutex> lock(mLock);
        auto it = mWindows.find(message->hwnd);
        if (it == mWindows.end() || !it->second.alive) {
            return 0;
        }
        proc = it->second.proc;
    }
    dispatched.push_back(message->message);
    return proc(message->hwnd, message->message, message->wParam, message->lParam);
}

namespace {

class FakeMouse : public IDirectInputDevice8A {
public:
    explicit FakeMouse(FakeMouseProvider* provider) : mProvider(provider) {}
    ULONG AddRef() override { return ++mRefs; }
    ULONG Release() override
    {
        ULONG left = --mRefs;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT SetDataFormat(const DIDATAFORMAT*) override { return DI_OK; }
    HRESULT SetCooperativeLevel(HWND, DWORD) override { return DI_OK; }
    HRESULT SetProperty(DWORD, const DIPROPHEADER*) override { return DI_OK; }
    HRESULT Acquire() override { return DI_OK; }
    HRESULT Unacquire() override { return DI_OK; }
    HRESULT GetDeviceState(DWORD size, void* data) override
    {
        if (mProvider->failPoll < 0) {
            return mProvider->failPoll;
        }
        std::memcpy(data, &mProvider->next, size);
        mProvider->next.lX = 0;
        mProvider->next.lY = 0;
        return DI_OK;
    }

private:
    ULONG mRefs = 1;
    FakeMouseProvider* mProvider;
};

class FakeDirectInput : public IDirectInput8A {
public:
    explicit FakeDirectInput(FakeMouseProvider* provider) : mProvider(provider) {}
    ULONG AddRef() override { return ++mRefs; }
    ULONG Release() override
    {
        ULONG left = --mRefs;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT CreateDevice(DIGUID, IDirectInputDevice8A** created, void*) override
    {
        *created = new FakeMouse(mProvider);
        return DI_OK;
    }

private:
    ULONG mRefs = 1;
    FakeMouseProvider* mProvider;
};

} // namespace

HRESULT FakeMouseProvider::DirectInput8Create(HINSTANCE, DWORD, DIIID, void** out, void*)
{
    *out = static_cast<IDirectInput8A*>(new FakeDirectInput(this));
    return DI_OK;
}
