// Where a window goes when it is centred: over its owner or the work area,
// pushed inside the work area.
#pragma once

namespace kibolt {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct Point {
    int x = 0, y = 0;
};

// Top-left corner of a width x height window centred over `over` and kept inside `area`.
Point CenterInside(const Box& over, const Box& area, int width, int height);

// A window brought back where it was, kept inside `area`: no smaller than the
// minimum, no larger than the area (unless the minimum is), and moved in
// until it lies inside (its top left corner first).
Box KeepInside(const Box& window, const Box& area, int minWidth, int minHeight);

}  // namespace kibolt
