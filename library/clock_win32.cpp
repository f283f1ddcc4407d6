#include "library/clock_win32.h"

#include <windows.h>

namespace kibolt {

int64_t Win32Clock::UnbiasedMs() const {
    ULONGLONG hundredNs = 0;
    QueryUnbiasedInterruptTime(&hundredNs);  // fails only for a null pointer
    return static_cast<int64_t>(hundredNs / 10000);
}

}  // namespace kibolt
