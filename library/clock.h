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
};

// The real clock: time() and the C library's local time conversion.
class SystemClock final : public Clock {
public:
    int64_t Now() const override;
    LocalTime ToLocal(int64_t stamp) const override;
};

}  // namespace kibolt
