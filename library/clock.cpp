#include "library/clock.h"

#include <chrono>
#include <ctime>
#include <limits>

namespace kibolt {

int64_t SystemClock::Now() const { return static_cast<int64_t>(std::time(nullptr)); }

int64_t SystemClock::UnbiasedMs() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

LocalTime SystemClock::ToLocal(int64_t stamp) const {
    // A stamp the C library cannot hold (32-bit time_t) gives the epoch default.
    if (stamp < static_cast<int64_t>(std::numeric_limits<std::time_t>::min()) ||
        stamp > static_cast<int64_t>(std::numeric_limits<std::time_t>::max())) {
        return {};
    }
    const std::time_t t = static_cast<std::time_t>(stamp);
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &t) != 0) return {};
#else
    if (localtime_r(&t, &tm) == nullptr) return {};
#endif
    if (tm.tm_year > std::numeric_limits<int>::max() - 1900) return {};  // year beyond int
    LocalTime local;
    local.year = tm.tm_year + 1900;
    local.month = tm.tm_mon + 1;
    local.day = tm.tm_mday;
    local.hour = tm.tm_hour;
    local.minute = tm.tm_min;
    local.second = tm.tm_sec;
    return local;
}

}  // namespace kibolt
