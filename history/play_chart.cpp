#include "history/play_chart.h"

#include <algorithm>
#include <cstdio>

#include "library/decimal.h"
#include "library/time_text.h"

namespace kibolt {

namespace {

constexpr int64_t kDaySeconds = 86400;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

struct CivilDate {
    int64_t year;
    int month, day;
};

// Days since 1970-01-01 back to the calendar date (proleptic Gregorian).
CivilDate CivilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (month <= 2), month, day};
}

int64_t WallClockSeconds(const LocalTime& t) {
    return DayNumber(t.year, t.month, t.day) * kDaySeconds + t.hour * 3600 + t.minute * 60 + t.second;
}

int64_t PeriodOfSecond(PeriodKind kind, int64_t second) { return PeriodOf(kind, FloorDiv(second, kDaySeconds)); }

}  // namespace

int64_t DayNumber(int year, int month, int day) {
    const int64_t y = static_cast<int64_t>(year) - (month <= 2);
    const int64_t era = FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int64_t PeriodOf(PeriodKind kind, int64_t dayNumber) {
    switch (kind) {
    case PeriodKind::Day: return dayNumber;
    case PeriodKind::Week: return FloorDiv(dayNumber + 3, 7);  // 1970-01-01 was a Thursday
    case PeriodKind::Month: {
        const CivilDate d = CivilFromDays(dayNumber);
        return d.year * 12 + d.month - 1;
    }
    case PeriodKind::Year: return CivilFromDays(dayNumber).year;
    }
    return dayNumber;
}

int64_t PeriodFirstDay(PeriodKind kind, int64_t period) {
    switch (kind) {
    case PeriodKind::Day: return period;
    case PeriodKind::Week: return period * 7 - 3;
    case PeriodKind::Month:
        return DayNumber(static_cast<int>(FloorDiv(period, 12)),
                         static_cast<int>(period - FloorDiv(period, 12) * 12) + 1, 1);
    case PeriodKind::Year: return DayNumber(static_cast<int>(period), 1, 1);
    }
    return period;
}

std::string PeriodLabel(PeriodKind kind, int64_t period) {
    const CivilDate d = CivilFromDays(PeriodFirstDay(kind, period));
    char buf[64];
    switch (kind) {
    case PeriodKind::Day:
    case PeriodKind::Week:
        std::snprintf(buf, sizeof buf, "%04lld/%02d/%02d", static_cast<long long>(d.year), d.month, d.day);
        break;
    case PeriodKind::Month:
        std::snprintf(buf, sizeof buf, "%04lld/%02d", static_cast<long long>(d.year), d.month);
        break;
    case PeriodKind::Year: std::snprintf(buf, sizeof buf, "%04lld", static_cast<long long>(d.year)); break;
    }
    return buf;
}

std::optional<SessionSpan> ReadSessionSpan(const SessionRecord& s) {
    const std::optional<LocalTime> start = ParseDateTime(s.Field(kStart));
    if (!start) return std::nullopt;
    SessionSpan span;
    span.start = span.end = WallClockSeconds(*start);
    if (const std::optional<LocalTime> end = ParseDateTime(s.Field(kEnd))) {
        const int64_t endSeconds = WallClockSeconds(*end);
        if (endSeconds > span.start) {
            span.end = endSeconds;
            span.spread = true;
        }
    }
    // A clock set back gives negative durations: they take nothing off a total.
    span.play = std::max<int64_t>(0, DurationSeconds(s.Field(kPlay)));
    span.active = std::max<int64_t>(0, DurationSeconds(s.Field(kActive)));
    span.inputs = std::max<int64_t>(0, ParseInt32(s.Field(kInputs)));
    return span;
}

SessionSpans ReadSessionSpans(const std::vector<SessionRecord>& sessions) {
    SessionSpans result;
    result.spans.reserve(sessions.size());
    for (const SessionRecord& s : sessions) {
        if (std::optional<SessionSpan> span = ReadSessionSpan(s))
            result.spans.push_back(*span);
        else
            ++result.leftOut;
    }
    return result;
}

ChartTable BuildChartTable(const SessionSpans& spans, PeriodKind kind) {
    ChartTable table;
    table.kind = kind;
    table.leftOut = spans.leftOut;
    if (spans.spans.empty()) return table;

    int64_t first = INT64_MAX, last = INT64_MIN;
    for (const SessionSpan& s : spans.spans) {
        first = std::min(first, PeriodOfSecond(kind, s.start));
        last = std::max(last, PeriodOfSecond(kind, s.spread ? s.end - 1 : s.start));
    }
    table.rows.resize(static_cast<size_t>(last - first + 1));
    for (size_t i = 0; i < table.rows.size(); ++i) table.rows[i].period = first + static_cast<int64_t>(i);

    for (const SessionSpan& s : spans.spans) {
        const int64_t startPeriod = PeriodOfSecond(kind, s.start);
        PeriodRow& startRow = table.rows[static_cast<size_t>(startPeriod - first)];
        ++startRow.sessions;
        if (!s.spread) {
            startRow.play += s.play;
            startRow.active += s.active;
            continue;
        }
        // Cumulative shares, so the pieces add up to the whole to the second.
        const __int128 length = s.end - s.start;
        int64_t covered = 0, playGiven = 0, activeGiven = 0;
        const int64_t endPeriod = PeriodOfSecond(kind, s.end - 1);
        for (int64_t p = startPeriod; p <= endPeriod; ++p) {
            const int64_t periodEnd = PeriodFirstDay(kind, p + 1) * kDaySeconds;
            covered = std::min(s.end, periodEnd) - s.start;
            const auto playUpTo = static_cast<int64_t>(s.play * static_cast<__int128>(covered) / length);
            const auto activeUpTo = static_cast<int64_t>(s.active * static_cast<__int128>(covered) / length);
            PeriodRow& row = table.rows[static_cast<size_t>(p - first)];
            row.play += playUpTo - playGiven;
            row.active += activeUpTo - activeGiven;
            playGiven = playUpTo;
            activeGiven = activeUpTo;
        }
    }
    for (const PeriodRow& row : table.rows) table.maxPlay = std::max(table.maxPlay, row.play);
    return table;
}

std::string ChartTableText(const ChartTable& table) {
    std::string text = "期間\tプレイ時間\tアクティブ時間\tプレイ回数\r\n";
    text.reserve(text.size() + table.rows.size() * 48);
    for (const PeriodRow& row : table.rows) {
        text += PeriodLabel(table.kind, row.period);
        text += '\t';
        text += FormatLongDuration(row.play);
        text += '\t';
        text += FormatLongDuration(row.active);
        text += '\t';
        text += std::to_string(row.sessions);
        text += "\r\n";
    }
    return text;
}

std::string PeriodTipText(const ChartTable& table, size_t row) {
    if (row >= table.rows.size()) return {};
    const PeriodRow& r = table.rows[row];
    return PeriodLabel(table.kind, r.period) + "\r\nプレイ時間 " + FormatLongDuration(r.play) + "\r\nアクティブ時間 " +
           FormatLongDuration(r.active) + "\r\nプレイ回数 " + std::to_string(r.sessions);
}

AxisScale ChooseAxisScale(int64_t maxSeconds, int maxTicks) {
    maxTicks = std::max(1, maxTicks);
    if (maxSeconds <= 0) return {};
    // 0.05, 0.1, 0.2, 0.25 and 0.5 hours, then 1, 2, 5, 10, 20, 50 ... hours.
    static constexpr int64_t kSmallSteps[] = {180, 360, 720, 900, 1800};
    auto fits = [&](int64_t step) { return (maxSeconds + step - 1) / step <= maxTicks; };
    int64_t step = 0;
    for (int64_t s : kSmallSteps)
        if (fits(s)) {
            step = s;
            break;
        }
    for (int64_t decade = 3600; !step; decade *= 10)
        for (int64_t m : {1, 2, 5})
            if (fits(decade * m)) {
                step = decade * m;
                break;
            }
    return {step, (maxSeconds + step - 1) / step * step};
}

std::string AxisLabel(int64_t seconds) {
    const int64_t hundredths = seconds * 100 / 3600;
    std::string text = std::to_string(hundredths / 100);
    int64_t fraction = hundredths % 100;
    if (fraction) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10) text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

int64_t LabelEvery(double slotWidth, int labelWidth) {
    if (slotWidth <= 0) return INT64_MAX;
    for (int64_t decade = 1;; decade *= 10)
        for (int64_t m : {1, 2, 5})
            if (slotWidth * static_cast<double>(decade * m) >= labelWidth || decade > (INT64_MAX / 100))
                return decade * m;
}

int BarAt(int x, int left, int width, size_t count) {
    if (count == 0 || width <= 0 || x < left || x >= left + width) return -1;
    // The last slot whose left edge is at or before x.
    return static_cast<int>(((static_cast<int64_t>(x - left) + 1) * static_cast<int64_t>(count) - 1) / width);
}

int SlotLeft(size_t i, int left, int width, size_t count) {
    if (count == 0) return left;
    return left + static_cast<int>(static_cast<int64_t>(i) * width / static_cast<int64_t>(count));
}

}  // namespace kibolt
