#include "history/chart_layout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "library/game_log.h"
#include "tests/core/history_expected.h"

namespace kibolt {
namespace {

std::string Describe(const ChartBox& b) {
    char text[80];
    std::snprintf(text, sizeof text, "(%d,%d)-(%d,%d)", b.left, b.top, b.right, b.bottom);
    return text;
}

// A proportional font as the chart's is: digits narrower than the slash,
// double-byte characters twice as wide as single-byte ones.
ChartMeasures Measures(int width, int height, int dpi) {
    ChartMeasures m;
    m.width = width;
    m.height = height;
    m.dpi = dpi;
    m.textHeight = 12 * dpi / 96;
    m.textWidth = [dpi](std::string_view text) {
        int units = 0;
        for (unsigned char c : text) units += c >= 0x80 ? 6 : (c == '/' || c == '.' ? 3 : 6);
        return units * dpi / 96;
    };
    return m;
}

// Tables whose top values give labels of every width: "1.6"-like fractions,
// whole hours, and a chart of a single short session.
std::vector<ChartTable> Tables() {
    const GameLogContent log = ParseGameLogFile(test::kChartGameLog);  // its sessions point into it
    std::vector<ChartTable> tables;
    for (PeriodKind kind : {PeriodKind::Day, PeriodKind::Week, PeriodKind::Month, PeriodKind::Year})
        tables.push_back(BuildChartTable(ReadSessionSpans(log.sessions), kind));
    std::vector<SessionRecord> many;
    for (int day = 1; day <= 28; ++day) {
        char line[96];
        std::snprintf(line, sizeof line, "26/02/%02d-10:00:00,26/02/%02d-11:36:00,001:36:00,,001:00:00,,1,,", day, day);
        many.push_back(SessionRecord::FromLine(line));
    }
    tables.push_back(BuildChartTable(ReadSessionSpans(many), PeriodKind::Day));  // top 1.6
    many.push_back(SessionRecord::FromLine("26/02/03-12:00:00,26/02/03-12:00:30,000:00:30,,000:00:10,,1,,"));
    tables.push_back(BuildChartTable(ReadSessionSpans({many.back()}), PeriodKind::Day));
    return tables;
}

// The title "時間", every value label, the plot (where the bars are) and every
// period label lie apart, from a tiny area to a maximised one, at 96 and 144 DPI.
TEST(ChartLayout, NoLabelOverlapsAnotherOrTheBarsAtAnySize) {
    const std::vector<ChartTable> tables = Tables();
    for (int dpi : {96, 144})
        for (int height = 20; height <= 1600; height += height < 200 ? 3 : 47)
            for (int width : {60, 300, 380, 640, 1000, 1900, 2600})
                for (size_t t = 0; t < tables.size(); ++t) {
                    const ChartGeometry g = LayOutChart(tables[t], Measures(width * dpi / 96, height * dpi / 96, dpi));
                    const std::string where = "table " + std::to_string(t) + ", " + std::to_string(width) + "x" +
                                              std::to_string(height) + " at " + std::to_string(dpi) + " DPI";
                    ASSERT_EQ(g.axisTitle.text, "時間");
                    ASSERT_FALSE(Overlap(g.axisTitle.box, g.plot)) << where;
                    ASSERT_FALSE(g.values.empty()) << where << ": the 0 at least";
                    for (size_t i = 0; i < g.values.size(); ++i) {
                        const ChartBox& v = g.values[i].box;
                        ASSERT_GE(v.left, 0) << where;
                        ASSERT_FALSE(Overlap(v, g.axisTitle.box))
                            << where << ": " << g.values[i].text << " " << Describe(v) << " and the title "
                            << Describe(g.axisTitle.box);
                        ASSERT_FALSE(Overlap(v, g.plot)) << where << ": " << g.values[i].text;
                        for (size_t j = 0; j < i; ++j)
                            ASSERT_FALSE(Overlap(v, g.values[j].box)) << where << ": " << g.values[i].text;
                    }
                    for (size_t i = 0; i < g.periods.size(); ++i) {
                        const ChartBox& p = g.periods[i].label.box;
                        ASSERT_LE(p.right, width * dpi / 96) << where;
                        ASSERT_FALSE(Overlap(p, g.plot)) << where;
                        ASSERT_FALSE(Overlap(p, g.axisTitle.box)) << where;
                        for (const ChartText& v : g.values) ASSERT_FALSE(Overlap(p, v.box)) << where;
                        if (i) {
                            ASSERT_FALSE(Overlap(p, g.periods[i - 1].label.box)) << where;
                        }
                    }
                }
}

// Where the plot is tall enough, every step of the axis is labelled and the
// title sits above the top one: the top value was the one it used to cover.
TEST(ChartLayout, AGoodSizedChartLabelsEveryStepWithTheTitleAboveTheTop) {
    for (const ChartTable& table : Tables()) {
        const ChartGeometry g = LayOutChart(table, Measures(640, 360, 96));
        ASSERT_EQ(g.values.size(), g.grid.size());
        EXPECT_EQ(g.values.back().text, AxisLabel(g.scale.top));
        EXPECT_LE(g.axisTitle.box.bottom, g.values.back().box.top);
        EXPECT_GE(g.axisTitle.box.top, g.legendTop + 12) << "below the legend";
        EXPECT_FALSE(g.periods.empty());
        EXPECT_EQ(g.periods.front().row, 0u);
    }
}

}  // namespace
}  // namespace kibolt
