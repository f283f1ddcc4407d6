#include "library/time_text.h"

#include <cmath>
#include <cstdio>

#include "library/decimal.h"

namespace kibolt {

namespace {

// Hours, minutes and seconds of a duration text; each part read like atoi.
struct DurationParts {
    int64_t hours = 0, minutes = 0, seconds = 0;
};

DurationParts ReadDuration(std::string_view text) {
    std::string_view hours, rest = text;
    if (size_t colon = text.find(':'); colon != std::string_view::npos) {
        hours = text.substr(0, colon);
        rest = text.substr(colon + 1);
    }
    std::string_view minutes, seconds = rest;
    if (size_t colon = rest.find(':'); colon != std::string_view::npos) {
        minutes = rest.substr(0, colon);
        seconds = rest.substr(colon + 1);
    }
    return {ParseInt32(hours), ParseInt32(minutes), ParseInt32(seconds)};
}

// Sums of 32-bit parts may pass the 32-bit range; they are printed whole.
std::string PrintDuration(int64_t hours, int64_t minutes, int64_t seconds) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%03lld:%02lld:%02lld", static_cast<long long>(hours),
                  static_cast<long long>(minutes), static_cast<long long>(seconds));
    return buf;
}

}  // namespace

std::string FormatDateTime(const LocalTime& t) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%02lld/%02d/%02d-%02d:%02d:%02d", static_cast<long long>(t.year) - 2000, t.month,
                  t.day, t.hour, t.minute, t.second);
    return buf;
}

int32_t TruncateSeconds(double seconds) {
    if (std::isnan(seconds)) return 0;
    if (seconds >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (seconds <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return static_cast<int32_t>(seconds);  // truncates toward zero
}

std::string FormatDuration(int32_t seconds) {
    // C++ division truncates toward zero and the remainder keeps the sign, as div does.
    const int64_t s = seconds;
    const int64_t rest = s % 3600;
    return PrintDuration(s / 3600, rest / 60, rest % 60);
}

std::string AddDurations(std::string_view a, std::string_view b) {
    const DurationParts x = ReadDuration(a), y = ReadDuration(b);
    const int64_t secondSum = x.seconds + y.seconds;
    const int64_t minuteSum = x.minutes + y.minutes + secondSum / 60;
    return PrintDuration(x.hours + y.hours + minuteSum / 60, minuteSum % 60, secondSum % 60);
}

namespace {

// Leading decimal digits of text from pos, at most maxDigits of them; nothing when there are none.
std::optional<int> ReadNumber(std::string_view text, size_t& pos, size_t maxDigits) {
    int value = 0;
    size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < maxDigits) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    return value;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<LocalTime> ParseDateTime(std::string_view text) {
    size_t pos = 0;
    int numbers[6];
    static constexpr char kSeparators[] = {'/', '/', '-', ':', ':'};
    for (int i = 0; i < 6; ++i) {
        std::optional<int> n = ReadNumber(text, pos, i == 0 ? 3 : 2);
        if (!n) return std::nullopt;
        numbers[i] = *n;
        if (i < 5) {
            if (pos >= text.size() || text[pos] != kSeparators[i]) return std::nullopt;
            ++pos;
        }
    }
    if (pos != text.size()) return std::nullopt;
    LocalTime t{2000 + numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]};
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > DaysInMonth(t.year, t.month) || t.hour > 23 ||
        t.minute > 59 || t.second > 59)
        return std::nullopt;
    return t;
}

int64_t DurationSeconds(std::string_view text) {
    const DurationParts parts = ReadDuration(text);
    return parts.hours * 3600 + parts.minutes * 60 + parts.seconds;
}

std::string FormatLongDuration(int64_t seconds) {
    const int64_t rest = seconds % 3600;
    return PrintDuration(seconds / 3600, rest / 60, rest % 60);
}

std::string AddCounts(std::string_view a, std::string_view b) {
    return FormatInt(static_cast<int64_t>(ParseInt32(a)) + ParseInt32(b));
}

}  // namespace kibolt
