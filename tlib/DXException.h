#pragma once
// The error of the graphics and input layers: a message and the platform
// result code of the failed call (0 where the error is not a failed call).
//
// Copying moves the message: the copy takes it over and the source is left
// with a null message. Raise only through DXThrow / DXThrowCode, which go
// through the process-wide thrower pointer.

#include <cstdint>

typedef int32_t HRESULT;

class DXException {
public:
    DXException(char* ownedMessage, HRESULT code) : mMessage(ownedMessage), mCode(code) {}
    // Takes the message over from other (which is left without one).
    DXException(const DXException& other);
    DXException& operator=(const DXException&) = delete;
    ~DXException();

    // May be null for an exception whose message was moved to a copy.
    const char* Message() const { return mMessage; }
    HRESULT Code() const { return mCode; }

private:
    mutable char* mMessage;
    HRESULT mCode;
};

// Raises with code 0.
[[noreturn]] void DXThrow(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Raises with the result code of the failed call.
[[noreturn]] void DXThrowCode(HRESULT code, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The process-wide thrower: takes a prepared exception and raises a copy of
// it. It holds DXDefaultThrower from the start and the program never changes it.
typedef void (*DXThrowerFn)(DXException& prepared);
extern DXThrowerFn gDXThrower;
void DXDefaultThrower(DXException& prepared);
