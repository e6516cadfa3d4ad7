#include "input/CKeyLatch.h"

namespace {
bool Valid(int vk)
{
    return vk >= 0 && vk < 256;
}
} // namespace

CKeyLatch::CKeyLatch() : mDown(), mPressed() {}

void CKeyLatch::KeyDown(int vk, bool repeat)
{
    if (!Valid(vk)) {
        return;
    }
    if (!repeat && !mDown[vk]) {
        mPressed[vk] = true;
    }
    mDown[vk] = true;
}

void CKeyLatch::KeyUp(int vk)
{
    if (Valid(vk)) {
        mDown[vk] = false;
    }
}

void CKeyLatch::ReleaseAll()
{
    for (bool& down : mDown) {
        down = false;
    }
}

void CKeyLatch::ForgetPresses()
{
    for (bool& pressed : mPressed) {
        pressed = false;
    }
}

bool CKeyLatch::IsKeyDown(int vk)
{
    return Valid(vk) && mDown[vk];
}

bool CKeyLatch::TakeKeyPressed(int vk)
{
    if (!Valid(vk)) {
        return false;
    }
    bool pressed = mPressed[vk];
    mPressed[vk] = false;
    return pressed;
}
