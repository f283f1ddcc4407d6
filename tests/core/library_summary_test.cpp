#include "history/library_summary.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>
#include <vector>

#include "history/play_chart.h"
#include "tests/core/history_expected.h"
#include "tests/core/memory_file_system.h"

namespace kibolt {
namespace {

const char* kRoot = "C:\\K";

class LibrarySummaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"playing", "cleared", "others"}) fs_.AddFolder(std::string(kRoot) + "\\" + folder);
    }
    void Put(const std::string& relative, const std::string& bytes) {
        fs_.PutFile(std::string(kRoot) + "\\" + relative, bytes);
    }
    std::vector<GameSummary> Read() { return ReadLibrarySummary(fs_, kRoot); }
    static std::vector<std::string> Titles(const std::vector<GameSummary>& games) {
        std::vector<std::string> titles;
        for (const GameSummary& g : games) titles.push_back(g.title);
        return titles;
    }

    test::MemoryFileSystem fs_;
};

// A log of n sessions of one hour each (active half an hour, ten inputs), on consecutive days from `firstDay`.
std::string HoursLog(int n, int firstDay = 1) {
    std::string text = "C:\\G\\g.exe\r\n";
    for (int i = 0; i < n; ++i) {
        char line[160];
        std::snprintf(line, sizeof line,
                      "26/03/%02d-10:00:00,26/03/%02d-11:00:00,001:00:00,%03d:00:00,000:30:00,%03d:%02d:00,10,%d,\r\n",
                      firstDay + i, firstDay + i, i + 1, (i + 1) / 2, (i + 1) % 2 * 30, 10 * (i + 1));
        text += line;
    }
    return text + "=====Comment_Start====\r\n";
}

TEST_F(LibrarySummaryTest, RowsOfGamesWithAndWithoutSessions) {
    Put("playing\\Chart.log", test::kChartGameLog);
    Put("cleared\\Empty.log", "C:\\G\\e.exe\r\n=====Comment_Start====\r\n");
    std::vector<GameSummary> games = Read();
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(SummaryCells(games[0]),
              (std::array<std::string, kSummaryColumnCount>{"Chart", "PLAYING", "4", "005:00:00", "003:15:00", "25",
                                                            "26/12/01-20:00:00", "27/01/05-11:00:00"}));
    EXPECT_EQ(SummaryCells(games[1]), (std::array<std::string, kSummaryColumnCount>{
                                          "Empty", "CLEARED", "0", "000:00:00", "000:00:00", "0", "", ""}));
}

TEST_F(LibrarySummaryTest, ALogThatCannotBeReadIsListedWithEmptyValuesAndStopsNothing) {
    Put("playing\\A.log", HoursLog(1));
    Put("playing\\Locked.log", HoursLog(2));
    Put("others\\Z.log", HoursLog(3));
    const std::string locked = std::string(kRoot) + "\\playing\\Locked.log";
    fs_.unreadable.insert(locked);
    const std::string before = *fs_.FileBytes(locked);
    std::vector<GameSummary> games = Read();
    ASSERT_EQ(Titles(games), (std::vector<std::string>{"A", "Locked", "Z"}));
    EXPECT_FALSE(games[1].readable);
    EXPECT_EQ(SummaryCells(games[1]),
              (std::array<std::string, kSummaryColumnCount>{"Locked", "PLAYING", "", "", "", "", "", ""}));
    EXPECT_EQ(SummaryCells(SummaryTotal(games))[2], "4") << "the unreadable log adds nothing";
    EXPECT_EQ(*fs_.FileBytes(locked), before);
}

// Lines whose times cannot be read count nowhere, exactly as in the chart;
// the row says how many were left out and "合計" adds the rows up.
TEST_F(LibrarySummaryTest, SessionsAreReadAsTheChartReadsThem) {
    const std::string damaged =
        "C:\\G\\d.exe\r\n"
        "xx\r\n"
        "26/03/01-10:00:00,26/03/01-11:00:00,001:00:00,001:00:00,000:40:00,000:40:00,7,7,\r\n"
        "26/13/01-10:00:00,26/03/02-11:00:00,005:00:00,006:00:00,005:00:00,005:40:00,50,57,bad month\r\n"
        "26/03/05-09:00:00,broken,000:30:00,xx,000:10:00,,3,yy,end unreadable\r\n"
        "=====Comment_Start====\r\n";
    Put("playing\\Damaged.log", damaged);
    Put("others\\Fine.log", HoursLog(2));
    std::vector<GameSummary> games = Read();
    ASSERT_EQ(Titles(games), (std::vector<std::string>{"Damaged", "Fine"}));
    EXPECT_EQ(SummaryCells(games[0]), (std::array<std::string, kSummaryColumnCount>{
                                          "Damaged", "PLAYING", "2（除外 2）", "001:30:00", "000:50:00", "10",
                                          "26/03/01-10:00:00", "26/03/05-09:00:00"}));
    EXPECT_EQ(SummaryCells(SummaryTotal(games), true),
              (std::array<std::string, kSummaryColumnCount>{"合計", "", "4（除外 2）", "003:30:00", "001:50:00", "30",
                                                            "", ""}));

    // The chart of the same log: the same sessions, times and lines left out.
    const ChartTable chart = BuildChartTable(ReadSessionSpans(ParseGameLogFile(damaged).sessions), PeriodKind::Year);
    int64_t sessions = 0, play = 0, active = 0;
    for (const PeriodRow& row : chart.rows) {
        sessions += row.sessions;
        play += row.play;
        active += row.active;
    }
    EXPECT_EQ(sessions, games[0].sessions);
    EXPECT_EQ(play, games[0].playSeconds);
    EXPECT_EQ(active, games[0].activeSeconds);
    EXPECT_EQ(chart.leftOut, games[0].leftOut);
}

TEST_F(LibrarySummaryTest, AMissingFolderIsNoError) {
    test::MemoryFileSystem bare;
    bare.PutFile(std::string(kRoot) + "\\others\\Only.log", HoursLog(1));
    EXPECT_EQ(Titles(ReadLibrarySummary(bare, kRoot)), (std::vector<std::string>{"Only"}));
}

TEST_F(LibrarySummaryTest, TheTotalSumsCountsDurationsAndInputs) {
    Put("playing\\A.log", HoursLog(3));  // 3 h, 1:30 active, 30 inputs
    Put("cleared\\B.log", HoursLog(1));  // 1 h, 0:30, 10
    Put("others\\C.log", "C:\\G\\c.exe\r\n=====Comment_Start====\r\n");
    EXPECT_EQ(SummaryCells(SummaryTotal(Read()), true),
              (std::array<std::string, kSummaryColumnCount>{"合計", "", "4", "004:00:00", "002:00:00", "40", "", ""}));
    EXPECT_EQ(SummaryCells(SummaryTotal({}), true),
              (std::array<std::string, kSummaryColumnCount>{"合計", "", "0", "000:00:00", "000:00:00", "0", "", ""}));
}

TEST_F(LibrarySummaryTest, CopiedTableHasTheHeaderTheShownOrderAndTheTotalLast) {
    Put("playing\\Chart.log", test::kChartGameLog);
    Put("others\\Empty.log", "C:\\G\\e.exe\r\n=====Comment_Start====\r\n");
    std::vector<GameSummary> games = Read();
    SortSummaries(games, {SummaryColumn::Sessions, false});
    EXPECT_EQ(SummaryTableText(games),
              "タイトル\t分類\tプレイ回数\t累計プレイ時間\t累計アクティブ時間\t累計キー\t初回\t最終\r\n"
              "Empty\tOTHERS\t0\t000:00:00\t000:00:00\t0\t\t\r\n"
              "Chart\tPLAYING\t4\t005:00:00\t003:15:00\t25\t26/12/01-20:00:00\t27/01/05-11:00:00\r\n"
              "合計\t\t4\t005:00:00\t003:15:00\t25\t\t\r\n");
}

TEST(LibrarySummaryOrder, ASecondClickReversesAnotherColumnStartsAscending) {
    SummaryOrder o;
    EXPECT_EQ(o.column, SummaryColumn::Title);
    o = NextOrder(o, SummaryColumn::Title);
    EXPECT_TRUE(o.descending);
    o = NextOrder(o, SummaryColumn::TotalPlay);
    EXPECT_EQ(o.column, SummaryColumn::TotalPlay);
    EXPECT_FALSE(o.descending);
    o = NextOrder(o, SummaryColumn::TotalPlay);
    EXPECT_TRUE(o.descending);
}

GameSummary Game(std::string title, Category c, int64_t sessions, int64_t playSeconds, int64_t inputs,
                 std::string first, std::string last) {
    GameSummary g;
    g.title = std::move(title);
    g.category = c;
    g.sessions = sessions;
    g.playSeconds = playSeconds;
    g.inputs = inputs;
    g.first = std::move(first);
    g.last = std::move(last);
    return g;
}

struct OrderCase {
    SummaryOrder order;
    std::vector<std::string> titles;
};

void PrintTo(const OrderCase& c, std::ostream* os) {
    *os << "column " << static_cast<int>(c.order.column) << (c.order.descending ? " descending" : " ascending");
}

class SortOrders : public ::testing::TestWithParam<OrderCase> {};

// Named by their order, so a failure says which ("TotalPlay_Descending").
std::string OrderName(const ::testing::TestParamInfo<OrderCase>& info) {
    static const char* const kColumns[] = {"Title",       "Category",    "Sessions", "TotalPlay",
                                           "TotalActive", "TotalInputs", "First",    "Last"};
    const SummaryOrder& o = info.param.order;
    return std::string(kColumns[static_cast<int>(o.column)]) + (o.descending ? "_Descending" : "_Ascending");
}

TEST_P(SortOrders, ByValueNotByText) {
    std::vector<GameSummary> games = {
        Game("beta", Category::Cleared, 10, 360000, 900, "26/01/02-10:00:00", "26/02/01-10:00:00"),
        Game("Alpha", Category::Others, 9, 359999, 1000, "100/01/01-00:00:00", "100/01/01-01:00:00"),
        Game("gamma", Category::Playing, 0, 0, 0, "", ""),
        UnreadableGame("Delta", Category::Playing),
        Game("alpha", Category::Playing, 2, 3600000, 20, "25/12/31-23:59:59", "26/01/01-00:00:00"),
    };
    SortSummaries(games, GetParam().order);
    std::vector<std::string> titles;
    for (const GameSummary& g : games) titles.push_back(g.title);
    EXPECT_EQ(titles, GetParam().titles);
}

INSTANTIATE_TEST_SUITE_P(LibrarySummary, SortOrders,
                         ::testing::Values(
                             // Titles as the game list: ASCII case folded, ties by bytes.
                             OrderCase{{SummaryColumn::Title, false}, {"Alpha", "alpha", "beta", "Delta", "gamma"}},
                             OrderCase{{SummaryColumn::Title, true}, {"gamma", "Delta", "beta", "alpha", "Alpha"}},
                             OrderCase{{SummaryColumn::Category, false}, {"alpha", "Delta", "gamma", "beta", "Alpha"}},
                             OrderCase{{SummaryColumn::Sessions, false}, {"Delta", "gamma", "alpha", "Alpha", "beta"}},
                             OrderCase{{SummaryColumn::Sessions, true}, {"beta", "Alpha", "alpha", "gamma", "Delta"}},
                             OrderCase{{SummaryColumn::TotalPlay, true}, {"alpha", "beta", "Alpha", "gamma", "Delta"}},
                             OrderCase{{SummaryColumn::TotalInputs, false},
                                       {"Delta", "gamma", "alpha", "beta", "Alpha"}},
                             // Dates by time: 2100 ("100/...") after 2026; none first.
                             OrderCase{{SummaryColumn::First, false}, {"Delta", "gamma", "alpha", "beta", "Alpha"}},
                             OrderCase{{SummaryColumn::Last, true}, {"Alpha", "beta", "alpha", "Delta", "gamma"}}),
                         OrderName);

}  // namespace
}  // namespace kibolt
