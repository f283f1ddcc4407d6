#include "export/clipboard_text.h"

#include <algorithm>
#include <vector>

namespace kibolt {

namespace {

constexpr int kBitCount = 2;  // header "プレイ回数"
constexpr int kBitTotalPlay = 1;
constexpr int kBitTotalActive = 4;
constexpr int kBitTotalInputs = 5;
constexpr int kBitOnlyCommented = 7;
constexpr int kBitComment = 14;

// A row ends with a line break only while one of view bits 8-16 is set.
constexpr int32_t kLineEndViewBits = 0x1FF00;

constexpr std::string_view kActiveLabelAll = "アクティブなプレイ2";
constexpr std::string_view kActiveLabel = "アクティブなプレイ";

bool Has(int32_t flags, int bit) { return (flags >> bit) & 1; }

// One session's pieces, label directly followed by value, no separator; the
// comment comes last although its bit is 14.
void AppendRow(std::string& out, const SessionRecord& s, int32_t viewFlags, int32_t copy,
               std::string_view activeLabel) {
    struct Piece {
        int bit;
        std::string_view label;
        SessionField field;
    };
    const Piece pieces[] = {
        {8, "開始", kStart},        {9, "終了", kEnd},
        {10, "プレイ", kPlay},      {11, "累計", kTotalPlay},
        {12, activeLabel, kActive}, {13, "アクティブな累計", kTotalActive},
        {15, "キー", kInputs},      {16, "累計キー", kTotalInputs},
    };
    for (const Piece& p : pieces) {
        if (!Has(copy, p.bit)) continue;
        out += p.label;
        out += s.Field(p.field);
    }
    if (Has(copy, kBitComment) && !s.Field(kComment).empty()) {
        out += "コメント";
        out += s.Field(kComment);
    }
    if (viewFlags & kLineEndViewBits) out += "\r\n";
}

void AppendHeader(std::string& out, std::string_view label, std::string_view value) {
    out += label;
    out += value;
    out += "\r\n";
}

}  // namespace

int32_t CopySettingsFromChecks(const std::array<bool, kCopyCheckCount>& checked) {
    int32_t flags = 0;
    for (int bit = 0; bit < kCopyCheckCount; ++bit)
        if (checked[bit]) flags |= int32_t{1} << bit;
    return flags;
}

std::optional<std::string> CopySessionsText(std::string_view title, const GameLogContent& game,
                                            const CopyHeaderValues& header, int32_t viewFlags, int32_t copySettings) {
    if (game.sessions.empty()) return std::nullopt;

    std::string out(title);
    out += "\r\n";
    // The count of sessions, not the last one's number: a session appended in
    // memory has no number until the log is read again.
    if (Has(copySettings, kBitCount)) AppendHeader(out, "プレイ回数", std::to_string(game.sessions.size()));
    if (Has(copySettings, kBitTotalPlay)) AppendHeader(out, "プレイ時間", header.totalPlay);
    if (Has(copySettings, kBitTotalActive)) AppendHeader(out, "アクティブなプレイ時間", header.totalActive);
    if (Has(copySettings, kBitTotalInputs)) AppendHeader(out, "クリック数", header.totalInputs);

    const bool onlyCommented = Has(copySettings, kBitOnlyCommented);
    const std::string_view activeLabel = onlyCommented ? kActiveLabel : kActiveLabelAll;
    for (const SessionRecord& s : game.sessions) {
        // A comment of a single byte counts as none.
        if (onlyCommented && s.Field(kComment).size() <= 1) continue;
        AppendRow(out, s, viewFlags, copySettings, activeLabel);
    }

    if (Has(copySettings, kBitComment)) out += game.comment;
    return out;
}

std::string CopySelectedRowsText(const GameLogContent& game, std::span<const int> selectedRows, int32_t viewFlags,
                                 int32_t copySettings) {
    std::vector<int> rows(selectedRows.begin(), selectedRows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    std::string out;
    for (int row : rows) {
        if (row < 0 || static_cast<size_t>(row) >= game.sessions.size()) continue;
        AppendRow(out, game.sessions[row], viewFlags, copySettings, kActiveLabel);
    }
    return out;
}

}  // namespace kibolt
