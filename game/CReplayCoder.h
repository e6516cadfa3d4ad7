#pragma once
// The record items of a replay stream (game/ReplayFormat.h): each record is
// coded against the prediction from the record before, so the coder keeps
// that record. One coder per stream, in the stream's order. Allocates
// nothing.

#include <cstdint>

#include "game/ReplayFormat.h"

class CReplayCoder {
public:
    // Most bytes a record item takes: tag, motion and cursor 4 x 5, buttons
    // 2, speed 1 (Encode writes at most 18: its cursor fits 2 bytes a value).
    static constexpr int kMaxRecordBytes = 1 + 4 * 5 + 2 + 1;

    // Null when the record is one the format holds; otherwise what is not.
    static const char* Check(const SReplayRecord& record);

    // Writes the item of a record that Check accepts to out (at least
    // kMaxRecordBytes long) and returns its length.
    int Encode(const SReplayRecord& record, uint8_t* out);

    enum DecodeResult { DECODED, OUT_OF_DATA, MALFORMED };
    // Reads the fields of the record item with this tag (0x00..0x0F), taking
    // bytes from next (a callable bool(uint8_t&) that is false when no byte
    // is left). On MALFORMED, what says why.
    template <class NextByte>
    DecodeResult Decode(uint8_t tag, NextByte&& next, SReplayRecord& record, const char*& what);

    // Varints (7 bits a byte, lowest first); Take is false for a value of
    // more than 32 bits or when next runs out.
    static int PutVarint(uint32_t value, uint8_t* out);
    template <class NextByte>
    static bool TakeVarint(NextByte&& next, uint32_t& value, bool& outOfData);

    static constexpr uint8_t kMotion = 0x01;
    static constexpr uint8_t kCursor = 0x02;
    static constexpr uint8_t kButtons = 0x04;
    static constexpr uint8_t kSpeed = 0x08;

private:
    // The record as predicted from the one before, for the motion given.
    SReplayRecord Predict(int32_t dx, int32_t dy) const;
    static uint16_t Bits(const SPlayerInput& input);
    static void SetBits(uint16_t bits, SPlayerInput& input);
    static uint8_t SpeedByte(const SReplayRecord& record);

    SReplayRecord mPrevious;
};

template <class NextByte>
bool CReplayCoder::TakeVarint(NextByte&& next, uint32_t& value, bool& outOfData)
{
    uint64_t v = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        uint8_t byte;
        if (!next(byte)) {
            outOfData = true;
            return false;
        }
        v |= static_cast<uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) {
            value = static_cast<uint32_t>(v);
            return v <= 0xFFFFFFFFull;
        }
    }
    return false;
}

template <class NextByte>
CReplayCoder::DecodeResult CReplayCoder::Decode(uint8_t tag, NextByte&& next, SReplayRecord& record, const char*& what)
{
    bool outOfData = false;
    uint32_t fields[4] = {0, 0, 0, 0};  // dx, dy, cursor x, cursor y (zigzag)
    const int count = ((tag & kMotion) ? 2 : 0) + ((tag & kCursor) ? 2 : 0);
    for (int i = 0; i < count; ++i) {
        const int slot = (tag & kMotion) ? i : i + 2;
        if (!TakeVarint(next, fields[slot], outOfData)) {
            what = "a number of more than 32 bits";
            return outOfData ? OUT_OF_DATA : MALFORMED;
        }
    }
    auto unzigzag = [](uint32_t v) { return static_cast<int32_t>((v >> 1) ^ (0u - (v & 1u))); };
    SReplayRecord r = Predict(unzigzag(fields[0]), unzigzag(fields[1]));
    if (tag & kCursor) {
        r.input.cursorX = unzigzag(fields[2]);
        r.input.cursorY = unzigzag(fields[3]);
    }
    if (tag & kButtons) {
        uint8_t low, high;
        if (!next(low) || !next(high))
            return OUT_OF_DATA;
        SetBits(static_cast<uint16_t>(Bits(r.input) ^ (low | high << 8)), r.input);
    }
    if (tag & kSpeed) {
        uint8_t speed;
        if (!next(speed))
            return OUT_OF_DATA;
        r.worldTicks = speed & 0x0F;
        r.acceptActions = (speed & 0x10) != 0;
        if ((speed & 0xE0) != 0) {
            what = "a speed byte with unknown bits";
            return MALFORMED;
        }
    }
    if ((what = Check(r)) != nullptr)
        return MALFORMED;
    mPrevious = r;
    record = r;
    return DECODED;
}
