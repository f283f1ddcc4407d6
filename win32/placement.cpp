#include "win32/placement.h"

namespace kibolt {

namespace {

int Place(int overLow, int overHigh, int areaLow, int areaHigh, int size) {
    int p = (overLow + overHigh) / 2 - size / 2;
    if (p < areaLow) return areaLow;
    if (p + size > areaHigh) return areaHigh - size;
    return p;
}

}  // namespace

Point CenterInside(const Box& over, const Box& area, int width, int height) {
    return {Place(over.left, over.right, area.left, area.right, width),
            Place(over.top, over.bottom, area.top, area.bottom, height)};
}

}  // namespace kibolt
