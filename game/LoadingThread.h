#pragma once
// What the loading thread reports besides its progress (1024) and done
// (1025) messages: when CGame::Load raises, the thread records the error
// and posts kMsgLoadFailed (WM_USER + 2) instead of the done message, then
// ends. The record is written before the message is posted and read by the
// main thread after the message arrived.

#include <cstdint>

constexpr uint32_t kMsgLoadFailed = 1026;

struct SLoaderFailure {
    char message[512]; // the exception's message (truncated to fit)
    bool hasCode;      // a DXException: code is its result code
    int32_t code;
};

// The failure recorded by the last loading thread that failed.
const SLoaderFailure& LoaderFailure();
