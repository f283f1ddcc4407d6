#include "views/session_columns.h"

#include <algorithm>
#include <cstdint>

#include "library/decimal.h"

namespace kibolt {

std::vector<int> VisibleFields(int32_t viewFlags) {
    std::vector<int> fields;
    for (int k = 0; k < kSessionFieldCount; ++k)
        if (viewFlags & (int32_t{1} << k)) fields.push_back(k);
    return fields;
}

int ScaleToDpi(int pixels, int dpi) {
    return static_cast<int>((static_cast<int64_t>(pixels) * dpi + kDesignDpi / 2) / kDesignDpi);
}

int NumberColumnWidth(int dpi, int textWidth) {
    return std::max(ScaleToDpi(kNumberColumnWidth, dpi), textWidth + ScaleToDpi(kCellPadding, dpi));
}

int DataColumnWidth(int tableWidth, int edge, int scrollBarWidth, int rowCount, int count, int numberWidth) {
    if (count <= 0) return 0;
    int scroll = rowCount >= kRowsWithScrollBar ? scrollBarWidth : 0;
    return (tableWidth - 2 * edge - numberWidth - scroll) / count;
}

int ExtraColumnWidth(int listWidth, int dpi) { return (listWidth - ScaleToDpi(24, dpi)) / kSessionFieldCount; }

std::string SessionNumberText(const SessionRecord& s) { return FormatInt(s.number); }

DetailTexts DetailTextsOf(const GameLogContent& log) {
    if (log.sessions.empty()) return {"000:00:00", "000:00:00", "000:00:00", "000:00:00", "0", "0", "0"};
    const SessionRecord& last = log.sessions.back();
    auto f = [&](int k) { return std::string(last.Field(k)); };
    return {f(kPlay), f(kTotalPlay), f(kActive), f(kTotalActive), SessionNumberText(last), f(kTotalInputs), f(kInputs)};
}

}  // namespace kibolt
