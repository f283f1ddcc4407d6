#include "library/placement.h"

#include <algorithm>
#include <utility>

namespace kibolt {

namespace {

int Place(int overLow, int overHigh, int areaLow, int areaHigh, int size) {
    int p = (overLow + overHigh) / 2 - size / 2;
    if (p < areaLow) return areaLow;
    if (p + size > areaHigh) return areaHigh - size;
    return p;
}

}  // namespace

Box KeepInside(const Box& window, const Box& area, int minWidth, int minHeight) {
    auto fit = [](int low, int size, int areaLow, int areaHigh, int minimum) {
        size = std::max(std::min(size, areaHigh - areaLow), minimum);
        low = std::max(std::min(low, areaHigh - size), areaLow);
        return std::pair{low, size};
    };
    auto [left, width] = fit(window.left, window.Width(), area.left, area.right, minWidth);
    auto [top, height] = fit(window.top, window.Height(), area.top, area.bottom, minHeight);
    return {left, top, left + width, top + height};
}

Point CenterInside(const Box& over, const Box& area, int width, int height) {
    return {Place(over.left, over.right, area.left, area.right, width),
            Place(over.top, over.bottom, area.top, area.bottom, height)};
}

}  // namespace kibolt
