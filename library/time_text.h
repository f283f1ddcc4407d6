// The three text forms of time values: date-time, duration and count, and the
// two sums that build the running totals of a session.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kibolt {

// Broken-down local time: year in full (2005), month 1-12.
struct LocalTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// "%02d/%02d/%02d-%02d:%02d:%02d" with year - 2000 ("05" for 2005, "100" for 2100).
std::string FormatDateTime(const LocalTime& t);

// Whole seconds, truncated toward zero and saturated to 32 bits.
int32_t TruncateSeconds(double seconds);

// "%03d:%02d:%02d"; negative values keep their signs per field (-65 -> "000:-1:-5").
std::string FormatDuration(int32_t seconds);

// Sum of two duration texts, each read as h:m:s with atoi parts, carried by 60.
std::string AddDurations(std::string_view a, std::string_view b);

// Sum of two count texts read with atoi.
std::string AddCounts(std::string_view a, std::string_view b);

// A date-time text read back: exactly the six numbers of FormatDateTime, the
// year field one to three digits (years 2000-2999), each number in its range
// (the day within its month). Nothing for any other text.
std::optional<LocalTime> ParseDateTime(std::string_view text);

// A duration text read as AddDurations reads it, in seconds (h * 3600 + m * 60 + s).
int64_t DurationSeconds(std::string_view text);
// "%03d:%02d:%02d" of a total that may pass the 32-bit range.
std::string FormatLongDuration(int64_t seconds);

}  // namespace kibolt
