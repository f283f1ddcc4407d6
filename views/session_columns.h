// Which columns the session table shows, how wide they are, and what the
// detail panel shows: the rules behind the views, free of any window.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/game_log.h"

namespace kibolt {

inline constexpr std::string_view kNumberHeader = "回";
// Fixed pixel sizes are designed at 96 DPI and scaled to the window's.
inline constexpr int kDesignDpi = 96;
inline constexpr int kNumberColumnWidth = 20;  // at 96 DPI
// Room the number column keeps beside its text, at 96 DPI: the list view's
// own margins around a label (its automatic width is the text and these).
// With less, a number that does not fit is cut to "…".
inline constexpr int kCellPadding = 12;

// A pixel size designed at 96 DPI, at `dpi` (rounded to the nearest pixel).
int ScaleToDpi(int pixels, int dpi);
// The number column: its designed width at the DPI, or wider where the
// longest number (`textWidth` pixels) would not show whole.
int NumberColumnWidth(int dpi, int textWidth);
inline constexpr std::array<std::string_view, kSessionFieldCount> kFieldHeaders = {
    "開始", "終了", "プレイ", "累計", "プレイ_", "累計_", "キー", "累計キー", "コメント"};
// From this many rows on, the table's vertical scroll bar takes its share of the width.
inline constexpr int kRowsWithScrollBar = 12;

// The fields whose ViewFlags bit (0-8) is set, in field order.
std::vector<int> VisibleFields(int32_t viewFlags);

// Width of each data column: the table's width less its edges, the number
// column and (with 12 or more rows) the scroll bar, shared by `count` columns.
int DataColumnWidth(int tableWidth, int edge, int scrollBarWidth, int rowCount, int count,
                    int numberWidth = kNumberColumnWidth);

// Extra list: width of each of the nine data columns for a list `listWidth`
// wide: they share what the number column and the list's edges leave.
int ExtraColumnWidth(int listWidth, int dpi = kDesignDpi);

// Text of a session table cell: column 0 is the number, then the visible fields.
std::string SessionNumberText(const SessionRecord& s);

// The detail panel's texts, from the last session or the no-session defaults.
struct DetailTexts {
    std::string play;          // field 2
    std::string totalPlay;     // field 3
    std::string active;        // field 4
    std::string totalActive;   // field 5
    std::string sessionCount;  // number of the last session
    std::string totalInputs;   // field 7
    std::string inputs;        // field 6
};
DetailTexts DetailTextsOf(const GameLogContent& log);

}  // namespace kibolt
