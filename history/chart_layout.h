// Where the parts of the chart go in its drawing area: the legend row, the
// axis title "時間", the value labels, the plot and the period labels, from
// the area's size and the measures of its font. No window in here: the
// drawing takes the boxes as they are, so what is tested here is what shows.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "history/play_chart.h"

namespace kibolt {

// A rectangle in pixels, right and bottom exclusive.
struct ChartBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
// True when the two share at least one pixel.
bool Overlap(const ChartBox& a, const ChartBox& b);

struct ChartText {
    ChartBox box;
    std::string text;  // CP932
};

struct ChartMeasures {
    int width = 1;  // the drawing area
    int height = 1;
    int dpi = 96;
    int textHeight = 12;
    std::function<int(std::string_view)> textWidth;  // pixels of a CP932 text in the chart's font
};

inline constexpr std::string_view kAxisTitle = "時間";

struct ChartGeometry {
    ChartBox plot;  // the bars' area
    AxisScale scale;
    int legendTop = 0;
    ChartText axisTitle;            // above the value labels, never on them
    std::vector<int64_t> grid;      // every step of the axis from 0 to its top
    std::vector<ChartText> values;  // the value labels there is room for, from 0 up
    struct Period {
        size_t row = 0;
        int tick = 0;  // x of the tick under the slot's left edge
        ChartText label;
    };
    std::vector<Period> periods;  // labelled periods, thinned so that none overlap
};

ChartGeometry LayOutChart(const ChartTable& table, const ChartMeasures& measures);

// The y of a value of the vertical axis: the plot's bottom for 0, its top for the axis top.
int ValueY(const ChartGeometry& geometry, int64_t seconds);

}  // namespace kibolt
