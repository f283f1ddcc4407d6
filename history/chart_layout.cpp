#include "history/chart_layout.h"

#include <algorithm>

namespace kibolt {

bool Overlap(const ChartBox& a, const ChartBox& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

int ValueY(const ChartGeometry& g, int64_t seconds) {
    const int plotHeight = g.plot.bottom - g.plot.top;
    if (seconds <= 0 || g.scale.top <= 0) return g.plot.bottom;
    seconds = std::min(seconds, g.scale.top);
    return g.plot.bottom - static_cast<int>(seconds * plotHeight / g.scale.top);
}

ChartGeometry LayOutChart(const ChartTable& table, const ChartMeasures& m) {
    ChartGeometry g;
    auto px = [&](int v) { return (v * m.dpi + 48) / 96; };
    const int textHeight = std::max(1, m.textHeight);
    auto width = [&](std::string_view text) { return m.textWidth ? std::max(0, m.textWidth(text)) : 0; };

    // Rows from the top: the legend, the axis title, then the plot with room
    // above it for the upper half of the top value label, which is centred on
    // the plot's top edge.
    g.legendTop = px(8);
    const int titleTop = g.legendTop + textHeight + px(4);
    const int top = titleTop + textHeight + px(2) + (textHeight + 1) / 2;
    const int bottom = std::max(top + 1, m.height - (textHeight + px(12)));  // period labels below
    const int plotHeight = bottom - top;
    g.scale = ChooseAxisScale(table.maxPlay, std::max(1, plotHeight / (textHeight * 2)));
    for (int64_t v = 0; v <= g.scale.top; v += g.scale.step) g.grid.push_back(v);

    // The labels' column is as wide as the widest of them and the title.
    int labelsWidth = width(kAxisTitle);
    for (int64_t v : g.grid) labelsWidth = std::max(labelsWidth, width(AxisLabel(v)));
    const int left = px(10) + labelsWidth + px(6);
    g.plot = {left, top, std::max(left + 1, m.width - px(14)), bottom};
    g.axisTitle = {{px(4), titleTop, px(4) + width(kAxisTitle), titleTop + textHeight}, std::string(kAxisTitle)};

    // Value labels right-aligned to the axis; one that would touch the one
    // below it or the title (a very low plot) is left out.
    const int labelRight = g.plot.left - px(5);
    for (int64_t v : g.grid) {
        std::string text = AxisLabel(v);
        const int y = ValueY(g, v) - textHeight / 2;
        const ChartBox box{labelRight - width(text), y, labelRight, y + textHeight};
        if (Overlap(box, g.axisTitle.box) || (!g.values.empty() && Overlap(box, g.values.back().box))) continue;
        g.values.push_back({box, std::move(text)});
    }

    // Period labels under the slots' left edges, every so many so that they
    // never meet; one that would meet the one before it all the same (a wider
    // text in a proportional font) is left out, as is one past the right edge.
    const size_t count = table.rows.size();
    if (count == 0) return g;
    const int plotWidth = g.plot.right - g.plot.left;
    const int gap = px(10);
    const int labelWidth = width(PeriodLabel(table.kind, table.rows.back().period)) + gap;
    const int64_t every = LabelEvery(static_cast<double>(plotWidth) / static_cast<double>(count), labelWidth);
    const size_t stride = static_cast<size_t>(std::min<int64_t>(every, static_cast<int64_t>(count)));
    int lastRight = INT32_MIN;
    for (size_t i = 0; i < count; i += stride) {
        const int tick = SlotLeft(i, g.plot.left, plotWidth, count);
        std::string text = PeriodLabel(table.kind, table.rows[i].period);
        const int textLeft = tick + px(2);
        const int textRight = textLeft + width(text);
        if (textRight > m.width) break;
        if (textLeft < lastRight + gap / 2) continue;
        lastRight = textRight;
        const int y = g.plot.bottom + px(4);
        g.periods.push_back({i, tick, {{textLeft, y, textRight, y + textHeight}, std::move(text)}});
    }
    return g;
}

}  // namespace kibolt
