// Where the core gets the time from, so every time rule can run on a fake clock.
#pragma once
#include <cstdint>

#include "library/time_text.h"

namespace kibolt {

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since 1970-01-01 00:00 UTC.
    virtual int64_t Now() const = 0;
    virtual LocalTime ToLocal(int64_t stamp) const = 0;
    // Milliseconds of a clock that stands still while the computer sleeps or
    // hibernates and that changes of the wall clock do not move: play time
    // and active time are differences of it. Only differences mean anything.
    virtual int64_t UnbiasedMs() const = 0;
};

// The real clock: time() and the C library's local time conversion, and the
// host's steady clock. The Windows program replaces the steady clock by one
// that also stops during sleep (Win32Clock).
class SystemClock : public Clock {
public:
    int64_t Now() const override;
    LocalTime ToLocal(int64_t stamp) const override;
    int64_t UnbiasedMs() const override;
};

}  // namespace kibolt
