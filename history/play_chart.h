// The play-time chart of one game: its sessions spread over calendar periods
// (days, weeks from Monday, months, years), the table behind the bars, its
// clipboard text, and the arithmetic of the axes. No window in here.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "library/game_log.h"

namespace kibolt {

enum class PeriodKind { Day = 0, Week, Month, Year };

// Periods are numbered so that consecutive periods have consecutive numbers:
// days since 1970-01-01, weeks since the Monday 1969-12-29, months since
// year 0 (year * 12 + month - 1), years.
int64_t DayNumber(int year, int month, int day);
int64_t PeriodOf(PeriodKind kind, int64_t dayNumber);
// First day of a period, as a day number.
int64_t PeriodFirstDay(PeriodKind kind, int64_t period);
// "2026/12/09", the Monday "2026/12/07", "2026/12", "2026".
std::string PeriodLabel(PeriodKind kind, int64_t period);

// One session as the chart needs it, read once from its log line. Times are
// local wall-clock seconds (day number * 86400 + time of day).
struct SessionSpan {
    int64_t start = 0;
    int64_t end = 0;
    int64_t play = 0;  // seconds; a negative duration counts as none
    int64_t active = 0;
    int64_t inputs = 0;   // key presses and clicks; a negative count counts as none
    bool spread = false;  // false: counted whole in the period of its start
};

// What a readable session is, for the chart and "統計" alike: one whose start
// can be read. Anything else counts neither as a play nor in any total. A
// session whose end cannot be read, or lies before its start, is a readable
// one that counts whole at its start (spread false).
std::optional<SessionSpan> ReadSessionSpan(const SessionRecord& session);

struct SessionSpans {
    std::vector<SessionSpan> spans;  // the sessions whose start could be read
    int leftOut = 0;                 // sessions whose start could not be read
};

// Every session of a log by ReadSessionSpan: a session is spread over the
// periods its start-to-end interval overlaps.
SessionSpans ReadSessionSpans(const std::vector<SessionRecord>& sessions);

struct PeriodRow {
    int64_t period = 0;
    int64_t play = 0;  // whole seconds
    int64_t active = 0;
    int64_t sessions = 0;
};

struct ChartTable {
    PeriodKind kind = PeriodKind::Month;
    // From the first period touched to the last one, empty periods included.
    std::vector<PeriodRow> rows;
    int leftOut = 0;
    int64_t maxPlay = 0;  // the tallest bar, in seconds
};

// Play and active time shared out over the periods in proportion to the
// overlap, in whole seconds that add up to the session's own; the session
// itself counts in the period of its start.
ChartTable BuildChartTable(const SessionSpans& spans, PeriodKind kind);

// Header line, then one line per period: label, play and active time as
// duration texts, number of sessions; tab separated, CR LF after every line.
std::string ChartTableText(const ChartTable& table);

// Tooltip of a bar: the period, its play time, active time and sessions.
std::string PeriodTipText(const ChartTable& table, size_t row);

// Round steps of the vertical axis: the step in seconds (a 1-2-5 series of
// hours, or 5, 10, 15, 30 minutes below an hour) so that maxSeconds needs at
// most maxTicks steps, and the axis top (a whole number of steps, at least one).
struct AxisScale {
    int64_t step = 3600;
    int64_t top = 3600;
};
AxisScale ChooseAxisScale(int64_t maxSeconds, int maxTicks);
// Text of an axis value in hours: "12", "1.5", "0.25".
std::string AxisLabel(int64_t seconds);

// Every how many bars a label is written so that labels `labelWidth` wide
// (gap included) never overlap on slots `slotWidth` apart: 1, 2, 5, 10, 20, 50 ...
int64_t LabelEvery(double slotWidth, int labelWidth);

// The bar under x in a plot of `count` bars spanning [left, left + width): -1 outside.
int BarAt(int x, int left, int width, size_t count);
// Left and right edge (exclusive) of bar i's slot.
int SlotLeft(size_t i, int left, int width, size_t count);

}  // namespace kibolt
