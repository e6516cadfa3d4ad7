#include "input/CMouseLatch.h"

namespace {
int32_t Saturate(int64_t v)
{
    return v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : static_cast<int32_t>(v));
}
// Keeps the running sums far from overflow however long nobody reads.
int64_t Add(int64_t sum, int32_t d)
{
    int64_t r = sum + d;
    const int64_t limit = int64_t(1) << 40;
    return r < -limit ? -limit : (r > limit ? limit : r);
}
} // namespace

CMouseLatch::CMouseLatch() : mDx(0), mDy(0), mDz(0), mDown(), mPressed() {}

void CMouseLatch::Motion(int32_t dx, int32_t dy)
{
    mDx = Add(mDx, dx);
    mDy = Add(mDy, dy);
}

void CMouseLatch::Wheel(int32_t dz)
{
    mDz = Add(mDz, dz);
}

void CMouseLatch::ButtonDown(int button)
{
    if (button >= 0 && button < 4) {
        mDown[button] = true;
        mPressed[button] = true;
    }
}

void CMouseLatch::ButtonUp(int button)
{
    if (button >= 0 && button < 4) {
        mDown[button] = false;
    }
}

void CMouseLatch::Reset()
{
    mDx = mDy = mDz = 0;
    for (int i = 0; i < 4; ++i) {
        mDown[i] = false;
        mPressed[i] = false;
    }
}

DIMOUSESTATE CMouseLatch::TakeReading()
{
    DIMOUSESTATE state;
    state.lX = Saturate(mDx);
    state.lY = Saturate(mDy);
    state.lZ = Saturate(mDz);
    for (int i = 0; i < 4; ++i) {
        state.rgbButtons[i] = (mDown[i] || mPressed[i]) ? 0x80 : 0;
        mPressed[i] = false;
    }
    mDx = mDy = mDz = 0;
    return state;
}
