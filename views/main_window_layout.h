// How each control of the main window follows the window as it grows past the
// dialog's own size: the session table takes most of the extra height, the
// game comment field the rest, and each control belongs with the one it sits
// beside. Every control of the window is in the table: one that is not has no
// place, and the window test that checks the table against the window fails.
#pragma once
#include <span>

#include "library/placement.h"

namespace kibolt {

// How far an edge moves: not at all, by the session table's share of the
// extra height, or by all of the extra width or height.
enum class Follow { None, Table, All };

struct ControlAnchor {
    int id;
    Follow left, top, right, bottom;
};

// Every control of the main window (group boxes share IDC_STATIC).
std::span<const ControlAnchor> MainWindowAnchors();
// The anchor of one control; null for a control the table does not know.
const ControlAnchor* MainWindowAnchor(int id);

// The session table's share of extra height dy; the comment field takes the rest.
int TableShare(int dy);

// Where a control that was at `start` at the dialog's own size goes when the
// client area is dx wider and dy taller.
Box LaidOut(const ControlAnchor& anchor, const Box& start, int dx, int dy);

}  // namespace kibolt
