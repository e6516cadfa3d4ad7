#pragma once
// The two exception types through which every error of the program travels.
// They are unrelated on purpose: a handler that wants both must name both.

#include <cstdarg>

namespace tlib {

// An error raised by a failing check. The message is owned and formatted
// printf-style; a copy holds its own copy of the message.
class TException {
public:
    explicit TException(const char* format, ...) __attribute__((format(printf, 2, 3)));
    TException(const TException& other);
    TException& operator=(const TException&) = delete;
    ~TException();

    // Never null.
    const char* Message() const { return mMessage; }

private:
    char* mMessage;
};

// Formats into a fresh allocation of exactly the formatted length + 1 bytes.
// The caller owns the result (free with delete[]).
char* FormatAlloc(const char* format, va_list args);

} // namespace tlib
