#include "platform/sdl/SDLMouse.h"

#include <SDL.h>

#include "platform/sdl/SDLWindowLayer.h"

SDLMouse::SDLMouse(SDLWindowLayer* layer)
    : mRefs(1), mLayer(layer), mWindow(nullptr), mFormatSet(false), mAcquired(false), mActive(true)
{
    if (mLayer != nullptr) {
        mLayer->AddListener(this);
    }
}

SDLMouse::~SDLMouse()
{
    if (mLayer != nullptr) {
        mLayer->RemoveListener(this);
    }
}

ULONG SDLMouse::AddRef()
{
    return ++mRefs;
}

ULONG SDLMouse::Release()
{
    ULONG left = --mRefs;
    if (left == 0) {
        if (mAcquired) {
            SetRelativeMode(false);
        }
        delete this;
    }
    return left;
}

HRESULT SDLMouse::SetDataFormat(const DIDATAFORMAT* format)
{
    if (format == nullptr || format->dwDataSize != sizeof(DIMOUSESTATE)) {
        return DIERR_INVALIDPARAM;
    }
    mFormatSet = true;
    return DI_OK;
}

HRESULT SDLMouse::SetCooperativeLevel(HWND window, DWORD flags)
{
    if (window == nullptr || (flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE)) == 0) {
        return DIERR_INVALIDPARAM;
    }
    mWindow = window;
    return DI_OK;
}

HRESULT SDLMouse::SetProperty(DWORD property, const DIPROPHEADER* header)
{
    if (header == nullptr || header->dwSize != sizeof(DIPROPDWORD)) {
        return DIERR_INVALIDPARAM;
    }
    // Only relative axes exist here.
    const DIPROPDWORD* value = reinterpret_cast<const DIPROPDWORD*>(header);
    if (property != DIPROP_AXISMODE || value->dwData != DIPROPAXISMODE_REL) {
        return DIERR_INVALIDPARAM;
    }
    return DI_OK;
}

HRESULT SDLMouse::Acquire()
{
    if (!mFormatSet) {
        return DIERR_INVALIDPARAM;
    }
    if (!mAcquired) {
        mAcquired = true;
        mLatch.Reset();
        if (mActive) {
            SetRelativeMode(true);
        }
    }
    return DI_OK;
}

HRESULT SDLMouse::Unacquire()
{
    if (mAcquired) {
        mAcquired = false;
        SetRelativeMode(false);
        mLatch.Reset();
    }
    return DI_OK;
}

HRESULT SDLMouse::GetDeviceState(DWORD size, void* data)
{
    if (data == nullptr || size != sizeof(DIMOUSESTATE)) {
        return DIERR_INVALIDPARAM;
    }
    if (!mAcquired) {
        return DIERR_NOTACQUIRED;
    }
    DIMOUSESTATE state = mLatch.TakeReading();
    *static_cast<DIMOUSESTATE*>(data) = state;
    return DI_OK;
}

void SDLMouse::HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            mActive = false;
            mLatch.Reset();
            if (mAcquired) {
                SetRelativeMode(false);
            }
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            if (!mActive) {
                mActive = true;
                mLatch.Reset();
                if (mAcquired) {
                    SetRelativeMode(true);
                }
            }
        }
        break;
    case SDL_MOUSEMOTION:
        if (mAcquired && mActive) {
            mLatch.Motion(event.motion.xrel, event.motion.yrel);
        }
        break;
    case SDL_MOUSEWHEEL:
        if (mAcquired && mActive) {
            mLatch.Wheel(event.wheel.y);
        }
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        if (!mAcquired || !mActive) {
            break;
        }
        int button = -1;
        switch (event.button.button) {
        case SDL_BUTTON_LEFT: button = 0; break;
        case SDL_BUTTON_RIGHT: button = 1; break;
        case SDL_BUTTON_MIDDLE: button = 2; break;
        case SDL_BUTTON_X1: button = 3; break;
        default: break;
        }
        if (event.type == SDL_MOUSEBUTTONDOWN) {
            mLatch.ButtonDown(button);
        } else {
            mLatch.ButtonUp(button);
        }
        break;
    }
    default:
        break;
    }
}

void SDLMouse::SetRelativeMode(bool on)
{
    SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);
}
