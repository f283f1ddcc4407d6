#include "history/play_chart.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>

#include <string>
#include <vector>

#include "tests/core/history_expected.h"

namespace kibolt {
namespace {

// Start, end, play time, cumulative play time (unused) and active time of a session line.
std::string Line(const std::string& start, const std::string& end, const std::string& play, const std::string& active) {
    return start + "," + end + "," + play + ",000:00:00," + active;
}

ChartTable Table(const std::vector<std::string>& lines, PeriodKind kind) {
    std::string text = "C:\\G\\g.exe\n";
    for (const std::string& line : lines) text += line + ",000:00:00,0,0,\n";
    return BuildChartTable(ReadSessionSpans(ParseGameLog(text).sessions), kind);
}

TEST(PlayChart, TheExampleGameCopiesByDayMonthAndYear) {
    const SessionSpans spans = ReadSessionSpans(ParseGameLogFile(test::kChartGameLog).sessions);
    EXPECT_EQ(ChartTableText(BuildChartTable(spans, PeriodKind::Month)), test::kChartByMonth);
    EXPECT_EQ(ChartTableText(BuildChartTable(spans, PeriodKind::Year)), test::kChartByYear);
    EXPECT_EQ(ChartTableText(BuildChartTable(spans, PeriodKind::Day)), test::ChartByDay());
}

TEST(PlayChart, WeeksStartOnMondayAndCrossTheYearsEnd) {
    // 2026/12/28 is a Monday; 2027/01/03 the Sunday of the same week.
    ChartTable t = Table({Line("26/12/27-10:00:00", "26/12/27-11:00:00", "001:00:00", "000:30:00"),
                          Line("26/12/28-10:00:00", "26/12/28-11:00:00", "001:00:00", "000:30:00"),
                          Line("27/01/03-23:30:00", "27/01/04-00:30:00", "001:00:00", "001:00:00")},
                         PeriodKind::Week);
    EXPECT_EQ(ChartTableText(t), test::kChartHeader +
                                     "2026/12/21\t001:00:00\t000:30:00\t1\r\n"
                                     "2026/12/28\t001:30:00\t001:00:00\t2\r\n"
                                     "2027/01/04\t000:30:00\t000:30:00\t0\r\n");
}

// A test name from a case's text: letters and digits, the rest as '_'.
std::string TestNameOf(std::string_view text) {
    std::string name;
    for (char ch : text) name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
}

struct PeriodCase {
    int year, month, day;
    PeriodKind kind;
    const char* label;
};

void PrintTo(const PeriodCase& c, std::ostream* os) {
    *os << c.year << "/" << c.month << "/" << c.day << " in period kind " << static_cast<int>(c.kind);
}

class PeriodLabels : public testing::TestWithParam<PeriodCase> {};

// "Week_2026_12_13": the period and the day, so a failure names its case.
std::string PeriodName(const testing::TestParamInfo<PeriodCase>& info) {
    static const char* const kKinds[] = {"Day", "Week", "Month", "Year"};
    const PeriodCase& c = info.param;
    return std::string(kKinds[static_cast<int>(c.kind)]) + "_" + std::to_string(c.year) + "_" +
           std::to_string(c.month) + "_" + std::to_string(c.day);
}

TEST_P(PeriodLabels, EachDayFallsInItsPeriod) {
    const PeriodCase& c = GetParam();
    const int64_t period = PeriodOf(c.kind, DayNumber(c.year, c.month, c.day));
    EXPECT_EQ(PeriodLabel(c.kind, period), c.label);
    // The period holds the day, and the next one starts after it.
    EXPECT_LE(PeriodFirstDay(c.kind, period), DayNumber(c.year, c.month, c.day));
    EXPECT_GT(PeriodFirstDay(c.kind, period + 1), DayNumber(c.year, c.month, c.day));
}

INSTANTIATE_TEST_SUITE_P(Periods, PeriodLabels,
                         testing::Values(PeriodCase{2026, 12, 9, PeriodKind::Day, "2026/12/09"},
                                         PeriodCase{2026, 12, 9, PeriodKind::Week, "2026/12/07"},
                                         PeriodCase{2026, 12, 7, PeriodKind::Week, "2026/12/07"},
                                         PeriodCase{2026, 12, 13, PeriodKind::Week, "2026/12/07"},
                                         PeriodCase{2027, 1, 1, PeriodKind::Week, "2026/12/28"},
                                         PeriodCase{2024, 2, 29, PeriodKind::Day, "2024/02/29"},
                                         PeriodCase{2024, 3, 1, PeriodKind::Week, "2024/02/26"},
                                         PeriodCase{1970, 1, 1, PeriodKind::Week, "1969/12/29"},
                                         PeriodCase{2026, 12, 31, PeriodKind::Month, "2026/12"},
                                         PeriodCase{2027, 1, 1, PeriodKind::Month, "2027/01"},
                                         PeriodCase{2100, 3, 1, PeriodKind::Year, "2100"},
                                         PeriodCase{2999, 12, 31, PeriodKind::Day, "2999/12/31"}),
                         PeriodName);

struct SpreadCase {
    const char* name;
    std::vector<std::string> lines;
    PeriodKind kind;
    std::string rows;  // the copied lines after the header
    int leftOut;
};

void PrintTo(const SpreadCase& c, std::ostream* os) { *os << c.name; }

class Spread : public testing::TestWithParam<SpreadCase> {};

TEST_P(Spread, SessionsAreSharedOutOverThePeriodsTheyOverlap) {
    const SpreadCase& c = GetParam();
    ChartTable t = Table(c.lines, c.kind);
    EXPECT_EQ(ChartTableText(t), test::kChartHeader + c.rows) << c.name;
    EXPECT_EQ(t.leftOut, c.leftOut) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    PlayChart, Spread,
    testing::Values(SpreadCase{"ends exactly at midnight: nothing for the next day",
                               {Line("26/05/01-23:00:00", "26/05/02-00:00:00", "001:00:00", "000:10:00")},
                               PeriodKind::Day,
                               "2026/05/01\t001:00:00\t000:10:00\t1\r\n",
                               0},
                    SpreadCase{"starts exactly at midnight",
                               {Line("26/05/02-00:00:00", "26/05/02-01:00:00", "001:00:00", "001:00:00")},
                               PeriodKind::Day,
                               "2026/05/02\t001:00:00\t001:00:00\t1\r\n",
                               0},
                    SpreadCase{"one third and two thirds, whole seconds adding up",
                               {Line("26/05/01-23:40:00", "26/05/02-00:40:00", "000:00:10", "000:00:01")},
                               PeriodKind::Day,
                               "2026/05/01\t000:00:03\t000:00:00\t1\r\n2026/05/02\t000:00:07\t000:00:01\t0\r\n",
                               0},
                    SpreadCase{"across a month's and a year's end",
                               {Line("26/12/31-22:00:00", "27/01/01-02:00:00", "004:00:00", "002:00:00")},
                               PeriodKind::Month,
                               "2026/12\t002:00:00\t001:00:00\t1\r\n2027/01\t002:00:00\t001:00:00\t0\r\n",
                               0},
                    SpreadCase{"over three days, the middle one whole",
                               {Line("26/05/01-12:00:00", "26/05/03-12:00:00", "048:00:00", "024:00:00")},
                               PeriodKind::Day,
                               "2026/05/01\t012:00:00\t006:00:00\t1\r\n2026/05/02\t024:00:00\t012:00:00\t0\r\n"
                               "2026/05/03\t012:00:00\t006:00:00\t0\r\n",
                               0},
                    SpreadCase{"reversed: whole at its start",
                               {Line("26/05/02-01:00:00", "26/05/01-23:00:00", "001:00:00", "000:30:00")},
                               PeriodKind::Day,
                               "2026/05/02\t001:00:00\t000:30:00\t1\r\n",
                               0},
                    SpreadCase{"unreadable end: whole at its start",
                               {Line("26/05/01-23:00:00", "26/05/02-2x:00:00", "002:00:00", "000:30:00")},
                               PeriodKind::Day,
                               "2026/05/01\t002:00:00\t000:30:00\t1\r\n",
                               0},
                    SpreadCase{"unreadable starts are left out and counted",
                               {Line("garbage", "26/05/02-01:00:00", "001:00:00", "000:30:00"),
                                Line("", "", "001:00:00", "000:30:00"),
                                Line("26/13/01-10:00:00", "26/05/02-01:00:00", "001:00:00", "000:30:00"),
                                Line("26/02/29-10:00:00", "26/05/02-01:00:00", "001:00:00", "000:30:00"),
                                Line("26/05/03-10:00:00", "26/05/03-11:00:00", "001:00:00", "000:30:00")},
                               PeriodKind::Day,
                               "2026/05/03\t001:00:00\t000:30:00\t1\r\n",
                               4},
                    SpreadCase{"negative durations (clock set back) add nothing",
                               {Line("26/05/03-10:00:00", "26/05/03-09:58:55", "000:-1:-5", "000:-1:-5"),
                                Line("26/05/03-11:00:00", "26/05/03-11:10:00", "000:10:00", "000:05:00")},
                               PeriodKind::Day,
                               "2026/05/03\t000:10:00\t000:05:00\t2\r\n",
                               0},
                    SpreadCase{"out of order sessions: the range runs from the earliest",
                               {Line("26/05/03-10:00:00", "26/05/03-11:00:00", "001:00:00", "000:30:00"),
                                Line("26/05/01-10:00:00", "26/05/01-11:00:00", "001:00:00", "000:30:00")},
                               PeriodKind::Day,
                               "2026/05/01\t001:00:00\t000:30:00\t1\r\n2026/05/02\t000:00:00\t000:00:00\t0\r\n"
                               "2026/05/03\t001:00:00\t000:30:00\t1\r\n",
                               0},
                    SpreadCase{"the year 2100 as three digits",
                               {Line("100/01/01-10:00:00", "100/01/01-11:00:00", "001:00:00", "000:30:00")},
                               PeriodKind::Year,
                               "2100\t001:00:00\t000:30:00\t1\r\n",
                               0}),
    // Named by what each shows ("ends_exactly_at_midnight_nothing_for_the_next_day").
    [](const testing::TestParamInfo<SpreadCase>& info) { return TestNameOf(info.param.name); });

TEST(PlayChart, NoReadableSessionGivesNoRows) {
    ChartTable t = Table({Line("x", "y", "001:00:00", "000:30:00")}, PeriodKind::Day);
    EXPECT_TRUE(t.rows.empty());
    EXPECT_EQ(t.leftOut, 1);
    EXPECT_EQ(ChartTableText(t), test::kChartHeader);
    EXPECT_EQ(ChartTableText(BuildChartTable({}, PeriodKind::Month)), test::kChartHeader);
}

TEST(PlayChart, TallestBarAndTipText) {
    const SessionSpans spans = ReadSessionSpans(ParseGameLogFile(test::kChartGameLog).sessions);
    ChartTable t = BuildChartTable(spans, PeriodKind::Day);
    EXPECT_EQ(t.maxPlay, 7200);
    EXPECT_EQ(PeriodTipText(t, 0), "2026/12/01\r\nプレイ時間 002:00:00\r\nアクティブ時間 001:30:00\r\nプレイ回数 2");
    EXPECT_EQ(PeriodTipText(t, t.rows.size()), "");
}

struct AxisCase {
    int64_t maxSeconds;
    int maxTicks;
    int64_t step, top;
    const char* topLabel;
};

void PrintTo(const AxisCase& c, std::ostream* os) {
    *os << "longest " << c.maxSeconds << " s, at most " << c.maxTicks << " ticks";
}

class Axis : public testing::TestWithParam<AxisCase> {};

TEST_P(Axis, TicksAreRoundHours) {
    const AxisCase& c = GetParam();
    AxisScale s = ChooseAxisScale(c.maxSeconds, c.maxTicks);
    EXPECT_EQ(s.step, c.step);
    EXPECT_EQ(s.top, c.top);
    EXPECT_EQ(AxisLabel(s.top), c.topLabel);
}

INSTANTIATE_TEST_SUITE_P(PlayChart, Axis,
                         testing::Values(AxisCase{0, 5, 3600, 3600, "1"},  // nothing played
                                         AxisCase{1, 5, 180, 180, "0.05"}, AxisCase{3000, 5, 720, 3600, "1"},
                                         AxisCase{7200, 5, 1800, 7200, "2"},
                                         AxisCase{4 * 3600 + 1, 5, 3600, 5 * 3600, "5"},
                                         AxisCase{23 * 3600, 5, 5 * 3600, 25 * 3600, "25"},
                                         AxisCase{23 * 3600, 1, 36000 * 5, 36000 * 5, "50"},
                                         AxisCase{int64_t{9000} * 3600, 4, 3600 * 5000, 3600 * 10000, "10000"}),
                         // "Max_14401_s_5_ticks": the longest bar and the ticks allowed.
                         [](const testing::TestParamInfo<AxisCase>& info) {
                             return "Max_" + std::to_string(info.param.maxSeconds) + "_s_" +
                                    std::to_string(info.param.maxTicks) + "_ticks";
                         });

TEST(PlayChart, AxisLabelsAreHoursWithoutTrailingZeros) {
    EXPECT_EQ(AxisLabel(0), "0");
    EXPECT_EQ(AxisLabel(900), "0.25");
    EXPECT_EQ(AxisLabel(1800), "0.5");
    EXPECT_EQ(AxisLabel(5400), "1.5");
    EXPECT_EQ(AxisLabel(36000), "10");
}

TEST(PlayChart, LabelsAreThinnedSoTheyNeverOverlap) {
    EXPECT_EQ(LabelEvery(80, 60), 1);
    EXPECT_EQ(LabelEvery(40, 60), 2);
    EXPECT_EQ(LabelEvery(20, 60), 5);
    EXPECT_EQ(LabelEvery(6, 60), 10);
    EXPECT_EQ(LabelEvery(0.05, 60), 2000);
    for (double slot : {0.3, 1.0, 7.5, 13.0, 33.3})
        EXPECT_GE(slot * static_cast<double>(LabelEvery(slot, 70)), 70) << slot;
}

TEST(PlayChart, BarUnderThePointerMatchesItsSlot) {
    for (size_t count : {1u, 3u, 7u, 10u, 400u, 2000u}) {
        const int left = 40, width = 333;
        EXPECT_EQ(BarAt(left - 1, left, width, count), -1);
        EXPECT_EQ(BarAt(left + width, left, width, count), -1);
        for (int x = left; x < left + width; ++x) {
            const int bar = BarAt(x, left, width, count);
            ASSERT_GE(bar, 0);
            ASSERT_LT(static_cast<size_t>(bar), count);
            EXPECT_LE(SlotLeft(static_cast<size_t>(bar), left, width, count), x) << count << " " << x;
            EXPECT_GT(SlotLeft(static_cast<size_t>(bar) + 1, left, width, count), x) << count << " " << x;
        }
    }
    EXPECT_EQ(BarAt(50, 40, 300, 0), -1);
}

}  // namespace
}  // namespace kibolt
