#include "game/CReplayCoder.h"

#include "game/CGame.h"

namespace {

uint32_t Zigzag(int32_t v)
{
    return (static_cast<uint32_t>(v) << 1) ^ (v < 0 ? 0xFFFFFFFFu : 0u);
}

// The cursor after a motion, as the frame holds it: never below 0, never
// beyond the screen's last pixel.
int32_t Held(int32_t position, int32_t motion, int32_t size)
{
    const int64_t p = static_cast<int64_t>(position) + motion;
    return static_cast<int32_t>(p < 0 ? 0 : (p > size - 1 ? size - 1 : p));
}

} // namespace

const char* CReplayCoder::Check(const SReplayRecord& record)
{
    const SPlayerInput& in = record.input;
    if (in.cursorX < 0 || in.cursorX >= kReplayScreenWidth || in.cursorY < 0 || in.cursorY >= kReplayScreenHeight)
        return "a cursor outside the 1024 x 768 screen";
    if (record.worldTicks < 0 || record.worldTicks > CGame::kMaxWorldTicks)
        return "a world tick count outside 0..8";
    return nullptr;
}

int CReplayCoder::PutVarint(uint32_t value, uint8_t* out)
{
    int n = 0;
    while (value >= 0x80) {
        out[n++] = static_cast<uint8_t>(value | 0x80);
        value >>= 7;
    }
    out[n++] = static_cast<uint8_t>(value);
    return n;
}

SReplayRecord CReplayCoder::Predict(int32_t dx, int32_t dy) const
{
    SReplayRecord r;
    const SPlayerInput& before = mPrevious.input;
    r.input.dx = dx;
    r.input.dy = dy;
    r.input.cursorX = Held(before.cursorX, dx, kReplayScreenWidth);
    r.input.cursorY = Held(before.cursorY, dy, kReplayScreenHeight);
    r.input.leftDown = before.leftDown;
    r.input.leftWasDown = before.leftDown;
    r.input.rightDown = before.rightDown;
    r.input.rightWasDown = before.rightDown;
    for (int key = 0; key < SPlayerInput::KEY_COUNT; ++key)
        r.input.keyDown[key] = before.keyDown[key];
    r.worldTicks = mPrevious.worldTicks;
    r.acceptActions = mPrevious.acceptActions;
    return r;
}

uint16_t CReplayCoder::Bits(const SPlayerInput& input)
{
    uint16_t bits = static_cast<uint16_t>(input.leftDown | input.leftWasDown << 1 | input.rightDown << 2 |
                                          input.rightWasDown << 3);
    for (int key = 0; key < SPlayerInput::KEY_COUNT; ++key) {
        bits = static_cast<uint16_t>(bits | input.keyDown[key] << (4 + key));
        bits = static_cast<uint16_t>(bits | input.keyPressed[key] << (4 + SPlayerInput::KEY_COUNT + key));
    }
    return bits;
}

void CReplayCoder::SetBits(uint16_t bits, SPlayerInput& input)
{
    input.leftDown = (bits & 1) != 0;
    input.leftWasDown = (bits & 2) != 0;
    input.rightDown = (bits & 4) != 0;
    input.rightWasDown = (bits & 8) != 0;
    for (int key = 0; key < SPlayerInput::KEY_COUNT; ++key) {
        input.keyDown[key] = (bits >> (4 + key) & 1) != 0;
        input.keyPressed[key] = (bits >> (4 + SPlayerInput::KEY_COUNT + key) & 1) != 0;
    }
}

uint8_t CReplayCoder::SpeedByte(const SReplayRecord& record)
{
    return static_cast<uint8_t>(record.worldTicks | (record.acceptActions ? 0x10 : 0));
}

int CReplayCoder::Encode(const SReplayRecord& record, uint8_t* out)
{
    const SPlayerInput& in = record.input;
    const SReplayRecord predicted = Predict(in.dx, in.dy);
    uint8_t tag = 0;
    int n = 1;
    if (in.dx != 0 || in.dy != 0) {
        tag |= kMotion;
        n += PutVarint(Zigzag(in.dx), out + n);
        n += PutVarint(Zigzag(in.dy), out + n);
    }
    if (in.cursorX != predicted.input.cursorX || in.cursorY != predicted.input.cursorY) {
        tag |= kCursor;
        n += PutVarint(Zigzag(in.cursorX), out + n);
        n += PutVarint(Zigzag(in.cursorY), out + n);
    }
    const uint16_t change = static_cast<uint16_t>(Bits(in) ^ Bits(predicted.input));
    if (change != 0) {
        tag |= kButtons;
        out[n++] = static_cast<uint8_t>(change & 0xFF);
        out[n++] = static_cast<uint8_t>(change >> 8);
    }
    if (SpeedByte(record) != SpeedByte(predicted)) {
        tag |= kSpeed;
        out[n++] = SpeedByte(record);
    }
    out[0] = tag;
    mPrevious = record;
    return n;
}
