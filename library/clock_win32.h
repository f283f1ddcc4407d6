// The program's clock: wall time from the C library, and for play time the
// system's unbiased interrupt time, which stops while the computer sleeps or
// hibernates and which setting the wall clock does not move.
#pragma once
#include "library/clock.h"

namespace kibolt {

class Win32Clock final : public SystemClock {
public:
    int64_t UnbiasedMs() const override;
};

}  // namespace kibolt
