// The library at a glance: one summary row per game of the three category
// folders, a total row, the orders a column header sets, and the clipboard
// text. Reads logs, never writes them.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/file_system.h"
#include "library/game_log.h"
#include "library/library_paths.h"

namespace kibolt {

enum class SummaryColumn { Title = 0, Category, Sessions, TotalPlay, TotalActive, TotalInputs, First, Last };
inline constexpr int kSummaryColumnCount = 8;
inline constexpr std::array<std::string_view, kSummaryColumnCount> kSummaryHeaders = {
    "タイトル", "分類", "プレイ回数", "累計プレイ時間", "累計アクティブ時間", "累計キー", "初回", "最終"};
inline constexpr std::string_view kSummaryTotalTitle = "合計";

// A game's sessions read as the chart reads them (ReadSessionSpan): a line
// whose times cannot be read is left out of every value and only counted.
struct GameSummary {
    std::string title;
    Category category = Category::Playing;
    bool readable = true;  // false: the log could not be read; only title and category are shown
    int64_t sessions = 0;
    int64_t leftOut = 0;  // session lines left out
    int64_t playSeconds = 0;
    int64_t activeSeconds = 0;
    int64_t inputs = 0;
    std::string first;  // start of the earliest session, as the log writes it
    std::string last;   // end of the latest one (its start when the end cannot be read)
};

GameSummary SummarizeGame(std::string title, Category category, const GameLogContent& log);
GameSummary UnreadableGame(std::string title, Category category);

// Every game of PLAYING, CLEARED and OTHERS, each log read once; a log that
// cannot be read is listed by its title and stops nothing.
std::vector<GameSummary> ReadLibrarySummary(FileSystem& fs, std::string_view root);

// "合計": the rows above it added up column by column (sessions, lines left
// out, both durations, inputs); logs that could not be read add nothing.
GameSummary SummaryTotal(const std::vector<GameSummary>& games);

// The texts of a row's eight columns; the total row has no category and no
// dates. Left-out lines follow the count: "3（除外 2）".
std::array<std::string, kSummaryColumnCount> SummaryCells(const GameSummary& game, bool isTotal = false);

struct SummaryOrder {
    SummaryColumn column = SummaryColumn::Title;
    bool descending = false;
};
// A click on a header: that column ascending, or the same column reversed.
SummaryOrder NextOrder(SummaryOrder current, SummaryColumn clicked);
// Titles as the game list sorts them, numbers and durations by value, dates by
// time (unreadable ones first); ties by title, then category.
void SortSummaries(std::vector<GameSummary>& games, SummaryOrder order);

// Header line, the games in the given order, "合計" last; tab separated, CR LF line ends.
std::string SummaryTableText(const std::vector<GameSummary>& games);

}  // namespace kibolt
