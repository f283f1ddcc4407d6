#include "history/library_summary.h"

#include <algorithm>

#include "history/play_chart.h"
#include "library/decimal.h"
#include "library/library_state.h"
#include "library/time_text.h"

namespace kibolt {

namespace {

int CompareTitles(const std::string& a, const std::string& b) {
    const int folded = FoldAsciiCase(a).compare(FoldAsciiCase(b));
    return folded ? folded : a.compare(b);
}

template <typename T>
int Compare(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Unreadable dates and empty values sort before every real one.
int64_t DateKey(const std::string& text) {
    const std::optional<LocalTime> t = ParseDateTime(text);
    if (!t) return INT64_MIN;
    return ((((static_cast<int64_t>(t->year) * 12 + t->month) * 31 + t->day) * 24 + t->hour) * 60 + t->minute) * 60 +
           t->second;
}

int64_t ValueKey(const GameSummary& g, SummaryColumn column) {
    if (!g.readable) return INT64_MIN;
    switch (column) {
    case SummaryColumn::Sessions: return g.sessions;
    case SummaryColumn::TotalPlay: return g.playSeconds;
    case SummaryColumn::TotalActive: return g.activeSeconds;
    case SummaryColumn::TotalInputs: return g.inputs;
    case SummaryColumn::First: return DateKey(g.first);
    case SummaryColumn::Last: return DateKey(g.last);
    default: return 0;
    }
}

int CompareBy(const GameSummary& a, const GameSummary& b, SummaryColumn column) {
    switch (column) {
    case SummaryColumn::Title: return CompareTitles(a.title, b.title);
    case SummaryColumn::Category: return Compare(static_cast<int>(a.category), static_cast<int>(b.category));
    default: return Compare(ValueKey(a, column), ValueKey(b, column));
    }
}

}  // namespace

GameSummary SummarizeGame(std::string title, Category category, const GameLogContent& log) {
    GameSummary g;
    g.title = std::move(title);
    g.category = category;
    const SessionRecord* first = nullptr;
    const SessionRecord* last = nullptr;
    int64_t firstStart = 0, lastEnd = 0;
    bool lastSpread = false;
    for (const SessionRecord& s : log.sessions) {
        const std::optional<SessionSpan> span = ReadSessionSpan(s);
        if (!span) {
            ++g.leftOut;
            continue;
        }
        ++g.sessions;
        g.playSeconds += span->play;
        g.activeSeconds += span->active;
        g.inputs += span->inputs;
        // By time, not by line: a log's lines need not be in order. Ties go to the later line.
        if (!first || span->start < firstStart) {
            first = &s;
            firstStart = span->start;
        }
        if (!last || span->end >= lastEnd) {
            last = &s;
            lastEnd = span->end;
            lastSpread = span->spread;
        }
    }
    if (first) g.first = first->Field(kStart);
    if (last) g.last = last->Field(lastSpread ? kEnd : kStart);
    return g;
}

GameSummary UnreadableGame(std::string title, Category category) {
    GameSummary g;
    g.title = std::move(title);
    g.category = category;
    g.readable = false;
    return g;
}

std::vector<GameSummary> ReadLibrarySummary(FileSystem& fs, std::string_view root) {
    std::vector<GameSummary> games;
    for (int c = 0; c < kCategoryCount; ++c) {
        const auto category = static_cast<Category>(c);
        std::vector<std::string> names;
        if (fs.ListFolder(CategoryFolderPath(root, category), names) != FsError::None) continue;
        for (std::string& title : TitlesFromListing(names)) {
            GameLogContent log;
            const std::optional<std::string> path = LogPath(root, category, title);
            if (!path || ReadLogFile(fs, *path, log) != FsError::None) {
                games.push_back(UnreadableGame(std::move(title), category));
                continue;
            }
            games.push_back(SummarizeGame(std::move(title), category, log));
        }
    }
    return games;
}

GameSummary SummaryTotal(const std::vector<GameSummary>& games) {
    GameSummary total;
    total.title = kSummaryTotalTitle;
    for (const GameSummary& g : games) {
        if (!g.readable) continue;
        total.sessions += g.sessions;
        total.leftOut += g.leftOut;
        total.playSeconds += g.playSeconds;
        total.activeSeconds += g.activeSeconds;
        total.inputs += g.inputs;
    }
    return total;
}

std::array<std::string, kSummaryColumnCount> SummaryCells(const GameSummary& g, bool isTotal) {
    if (!g.readable) return {g.title, CategoryTabText(g.category), "", "", "", "", "", ""};
    std::string count = FormatInt(g.sessions);
    if (g.leftOut > 0) count += "（除外 " + FormatInt(g.leftOut) + "）";
    return {g.title,
            isTotal ? "" : CategoryTabText(g.category),
            std::move(count),
            FormatLongDuration(g.playSeconds),
            FormatLongDuration(g.activeSeconds),
            FormatInt(g.inputs),
            isTotal ? "" : g.first,
            isTotal ? "" : g.last};
}

SummaryOrder NextOrder(SummaryOrder current, SummaryColumn clicked) {
    if (current.column == clicked) return {clicked, !current.descending};
    return {clicked, false};
}

void SortSummaries(std::vector<GameSummary>& games, SummaryOrder order) {
    std::stable_sort(games.begin(), games.end(), [order](const GameSummary& a, const GameSummary& b) {
        int c = CompareBy(a, b, order.column);
        if (order.descending) c = -c;
        if (c) return c < 0;
        if (int t = CompareTitles(a.title, b.title)) return t < 0;
        return a.category < b.category;
    });
}

std::string SummaryTableText(const std::vector<GameSummary>& games) {
    std::string text;
    auto line = [&text](const std::array<std::string, kSummaryColumnCount>& cells) {
        for (int i = 0; i < kSummaryColumnCount; ++i) {
            if (i) text += '\t';
            text += cells[static_cast<size_t>(i)];
        }
        text += "\r\n";
    };
    std::array<std::string, kSummaryColumnCount> header;
    for (int i = 0; i < kSummaryColumnCount; ++i)
        header[static_cast<size_t>(i)] = kSummaryHeaders[static_cast<size_t>(i)];
    line(header);
    for (const GameSummary& g : games) line(SummaryCells(g));
    line(SummaryCells(SummaryTotal(games), true));
    return text;
}

}  // namespace kibolt
