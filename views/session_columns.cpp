#include "views/session_columns.h"

#include "library/decimal.h"

namespace kibolt {

std::vector<int> VisibleFields(int32_t viewFlags) {
    std::vector<int> fields;
    for (int k = 0; k < kSessionFieldCount; ++k)
        if (viewFlags & (int32_t{1} << k)) fields.push_back(k);
    return fields;
}

int DataColumnWidth(int tableWidth, int edge, int scrollBarWidth, int rowCount, int count) {
    if (count <= 0) return 0;
    int scroll = rowCount >= kRowsWithScrollBar ? scrollBarWidth : 0;
    return (tableWidth - 2 * edge - kNumberColumnWidth - scroll) / count;
}

int ExtraColumnWidth(int listWidth, int divisor) { return (listWidth - 24) / divisor; }

std::string SessionNumberText(const SessionRecord& s) { return FormatInt(s.number); }

DetailTexts DetailTextsOf(const GameLogContent& log) {
    if (log.sessions.empty()) return {"000:00:00", "000:00:00", "000:00:00", "000:00:00", "0", "0", "0"};
    const SessionRecord& last = log.sessions.back();
    auto f = [&](int k) { return std::string(last.Field(k)); };
    return {f(kPlay), f(kTotalPlay), f(kActive), f(kTotalActive), SessionNumberText(last), f(kTotalInputs),
            f(kInputs)};
}

}  // namespace kibolt
