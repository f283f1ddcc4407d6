// The chart window ("グラフ") and the statistics window ("統計"), opened by
// their commands over a throw-away library, read back through their
// controls and the clipboard.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "history/chart_area_win32.h"
#include "tests/core/history_expected.h"
#include "app/tests/main_window_fixture.h"
#include "tests/win32/session_log_maker.h"
#include "win32/handles_win32.h"

namespace kibolt {
namespace {

using test::ClipboardBytes;
using test::ClipboardUnicode;
using test::OpenClipboardSoon;

void EmptyTheClipboard() {
    ASSERT_TRUE(OpenClipboardSoon());
    EmptyClipboard();
    CloseClipboard();
}

class ChartTest : public MainWindowTest {
protected:
    ChartWindow& Chart() { return dialog_->Chart(); }
    HWND ChartItem(int id) { return GetDlgItem(Chart().Window(), id); }
    void OpenChartOf(const std::string& title) {
        ClickGame(title);
        Command(IDM_CHART);
        ASSERT_TRUE(Chart().IsOpen());
        DispatchQueued();
    }
    // A click on a button of the chart window as the button takes it.
    void ClickChartButton(int id) {
        SendMessageW(ChartItem(id), BM_CLICK, 0, 0);
        test::DispatchQueued(Chart().Window());
    }
    std::optional<std::string> CopiedData() {
        EmptyTheClipboard();
        ClickChartButton(IDC_CHART_COPY_DATA);
        return ClipboardBytes(CF_TEXT);
    }
    void WriteChartGame() { library_.WriteFile("playing\\Chart.log", test::kChartGameLog); }
};

TEST_F(ChartTest, OpensWithItsControlsCentredOverTheMainWindow) {
    WriteChartGame();
    Open();
    OpenChartOf("Chart");
    HWND chart = Chart().Window();
    EXPECT_EQ(GetWindowTextCp932(chart), "グラフ - Chart");
    struct Control {
        int id;
        const char* text;
    };
    for (const Control& c :
         {Control{IDC_CHART_DAY, "日"}, Control{IDC_CHART_WEEK, "週"}, Control{IDC_CHART_MONTH, "月"},
          Control{IDC_CHART_YEAR, "年"}, Control{IDC_CHART_COPY_DATA, "データをコピー"},
          Control{IDC_CHART_COPY_IMAGE, "画像をコピー"}}) {
        ASSERT_NE(ChartItem(c.id), nullptr) << c.id;
        EXPECT_EQ(GetWindowTextCp932(ChartItem(c.id)), c.text);
        EXPECT_TRUE(IsWindowVisible(ChartItem(c.id))) << c.id;
    }
    for (int id : {IDC_CHART_DAY, IDC_CHART_WEEK, IDC_CHART_YEAR})
        EXPECT_EQ(SendMessageW(ChartItem(id), BM_GETCHECK, 0, 0), BST_UNCHECKED) << id;
    EXPECT_EQ(SendMessageW(ChartItem(IDC_CHART_MONTH), BM_GETCHECK, 0, 0), BST_CHECKED);
    ASSERT_NE(Chart().Area(), nullptr);

    RECT main{}, own{};
    GetWindowRect(window_, &main);
    GetWindowRect(chart, &own);
    EXPECT_NEAR((own.left + own.right) / 2, (main.left + main.right) / 2, 2);
    EXPECT_EQ(GetWindow(chart, GW_OWNER), nullptr) << "the main window may come in front of it";

    // The chart area fills what the buttons leave, also after a resize.
    auto areaSize = [&] {
        RECT r{};
        GetClientRect(ChartItem(IDC_CHART_AREA), &r);
        return SIZE{r.right, r.bottom};
    };
    const SIZE before = areaSize();
    SetWindowPos(chart, nullptr, 0, 0, own.right - own.left + 100, own.bottom - own.top + 60,
                 SWP_NOMOVE | SWP_NOZORDER);
    test::DispatchQueued(chart);
    EXPECT_EQ(areaSize().cx, before.cx + 100);
    EXPECT_EQ(areaSize().cy, before.cy + 60);
    RECT client{}, button{};
    GetClientRect(chart, &client);
    GetWindowRect(ChartItem(IDC_CHART_COPY_IMAGE), &button);
    MapWindowPoints(nullptr, chart, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_GT(button.right, client.right - 30) << "the buttons keep to the right edge";
}

TEST_F(ChartTest, WithoutACurrentGameTheCommandDoesNothing) {
    WriteChartGame();
    Open();
    Command(IDM_CHART);
    DispatchQueued();
    EXPECT_FALSE(Chart().IsOpen());
}

TEST_F(ChartTest, ASecondCommandBringsTheOpenWindowToTheCurrentGame) {
    WriteChartGame();
    library_.WriteFile("playing\\Other.log", test::MakeLogBytes(2));
    Open();
    OpenChartOf("Chart");
    HWND first = Chart().Window();
    ASSERT_TRUE(test::BringToFront(window_));
    OpenChartOf("Other");
    EXPECT_EQ(Chart().Window(), first);
    EXPECT_EQ(GetWindowTextCp932(first), "グラフ - Other");
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == first; }, 3000, first));
    EXPECT_EQ(CopiedData(), test::kChartHeader + "2026/01\t000:03:21\t000:01:41\t2\r\n");
}

TEST_F(ChartTest, ThePeriodButtonsChangeTheCopiedData) {
    WriteChartGame();
    Open();
    OpenChartOf("Chart");
    EXPECT_EQ(CopiedData(), test::kChartByMonth);
    EXPECT_EQ(ClipboardUnicode(), Widen(test::kChartByMonth)) << "the same formats as the other copies";
    ClickChartButton(IDC_CHART_DAY);
    EXPECT_EQ(SendMessageW(ChartItem(IDC_CHART_MONTH), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(CopiedData(), test::ChartByDay());
    ClickChartButton(IDC_CHART_YEAR);
    EXPECT_EQ(CopiedData(), test::kChartByYear);
    ClickChartButton(IDC_CHART_WEEK);
    std::optional<std::string> weeks = CopiedData();
    ASSERT_TRUE(weeks);
    EXPECT_EQ(weeks->substr(0, test::kChartHeader.size() + 34),
              test::kChartHeader + "2026/11/30\t004:00:00\t002:30:00\t3\r\n");
}

TEST_F(ChartTest, CopyImageLeavesABitmapOfTheChartsSize) {
    WriteChartGame();
    Open();
    OpenChartOf("Chart");
    EmptyTheClipboard();
    ClickChartButton(IDC_CHART_COPY_IMAGE);
    RECT area{};
    GetClientRect(ChartItem(IDC_CHART_AREA), &area);
    ASSERT_TRUE(OpenClipboardSoon());
    HANDLE block = GetClipboardData(CF_DIB);
    ASSERT_NE(block, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(block));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, area.right);
    EXPECT_EQ(std::abs(header->biHeight), area.bottom);
    ASSERT_EQ(header->biBitCount, 32);
    ASSERT_GE(GlobalSize(block), sizeof *header + static_cast<size_t>(area.right) * area.bottom * 4);
    // Something besides the white background is drawn: bars, axes, text.
    const auto* pixels = reinterpret_cast<const uint32_t*>(header + 1);
    size_t coloured = 0;
    for (LONG i = 0; i < area.right * area.bottom; ++i) coloured += (pixels[i] & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_GT(coloured, static_cast<size_t>(area.right * area.bottom / 50));
    GlobalUnlock(block);
    CloseClipboard();
}

TEST_F(ChartTest, DeletingASessionWhileTheChartIsOpenRedrawsIt) {
    WriteChartGame();
    Open();
    OpenChartOf("Chart");
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED;
    SendMessageW(Item(IDC_SESSION_TABLE), LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&item));
    Command(IDM_DELETE_SESSIONS);
    EXPECT_EQ(CopiedData(), test::kChartHeader + "2026/12\t004:00:00\t002:30:00\t3\r\n");
}

TEST_F(ChartTest, EscClosesTheChartAndLeavesTheMainWindow) {
    WriteChartGame();
    Open();
    OpenChartOf("Chart");
    HWND chart = Chart().Window();
    ASSERT_TRUE(test::BringToFront(chart));
    test::PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return !Chart().IsOpen(); }, 3000, chart));
    EXPECT_FALSE(IsWindow(chart));
    EXPECT_TRUE(IsWindow(window_));
    // And opens again.
    Command(IDM_CHART);
    EXPECT_TRUE(Chart().IsOpen());
}

TEST_F(ChartTest, HoveringOverABarShowsItsPeriodInATooltip) {
    WriteChartGame();
    Open();
    OpenChartOf("Chart");
    HWND chart = Chart().Window();
    ASSERT_TRUE(test::BringToFront(chart));
    ChartArea* area = Chart().Area();
    RECT client{};
    GetClientRect(area->Window(), &client);
    // The middle of the first bar ("2026/12"), found through the area's own hit test.
    const int y = client.bottom * 2 / 3;
    int first = -1, last = -1;
    for (int x = 0; x < client.right; ++x)
        if (area->BarAtPoint({x, y}) == 0) {
            if (first < 0) first = x;
            last = x;
        }
    ASSERT_GE(first, 0);
    test::MoveMouseTo(area->Window(), {(first + last) / 2, y});
    EXPECT_TRUE(PumpUntil([&] { return !area->ShownTip().empty(); }, 3000, chart));
    EXPECT_EQ(area->ShownTip(), PeriodTipText(area->Table(), 0));
    EXPECT_EQ(area->ShownTip().substr(0, 7), "2026/12");
    test::MoveMouseTo(area->Window(), {(first + last) / 2, 1});  // above the bars
    EXPECT_TRUE(PumpUntil([&] { return area->ShownTip().empty(); }, 3000, chart));
}

// ---- "統計" -------------------------------------------------------------------

class StatsTest : public ChartTest {
protected:
    StatsWindow& Stats() { return dialog_->Stats(); }
    HWND StatsList() { return Stats().List(); }
    int StatsRows() { return static_cast<int>(SendMessageW(StatsList(), LVM_GETITEMCOUNT, 0, 0)); }
    std::string StatsCell(int row, int column) { return ListViewGetCell(StatsList(), row, column); }
    void OpenStats() {
        Command(IDM_STATS);
        ASSERT_TRUE(Stats().IsOpen());
        test::DispatchQueued(Stats().Window());
    }
    std::optional<std::string> CopiedStats() {
        EmptyTheClipboard();
        SendMessageW(GetDlgItem(Stats().Window(), IDC_STATS_COPY), BM_CLICK, 0, 0);
        test::DispatchQueued(Stats().Window());
        return ClipboardBytes(CF_TEXT);
    }
    // A real click on a column header of the list.
    void ClickHeader(int column) {
        HWND header = reinterpret_cast<HWND>(SendMessageW(StatsList(), LVM_GETHEADER, 0, 0));
        RECT rect{};
        SendMessageW(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rect));
        ASSERT_TRUE(test::BringToFront(Stats().Window()));
        const SummaryOrder before = Stats().Order();
        test::ClickClient(header, {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
        ASSERT_TRUE(PumpUntil(
            [&] {
                const SummaryOrder now = Stats().Order();
                return now.column != before.column || now.descending != before.descending;
            },
            3000, Stats().Window()));
    }
    // Three games: Chart (4 sessions) in PLAYING, Empty in CLEARED, Two (2 sessions) in OTHERS.
    void WriteLibrary() {
        WriteChartGame();
        library_.WriteFile("cleared\\Empty.log", "C:\\G\\e.exe\r\n=====Comment_Start====\r\n");
        library_.WriteFile("others\\Two.log", test::MakeLogBytes(2));
    }
};

const char* const kStatsHeader =
    "タイトル\t分類\tプレイ回数\t累計プレイ時間\t累計アクティブ時間\t累計キー\t初回\t最終\r\n";
const char* const kChartRow = "Chart\tPLAYING\t4\t005:00:00\t003:15:00\t25\t26/12/01-20:00:00\t27/01/05-11:00:00\r\n";
const char* const kEmptyRow = "Empty\tCLEARED\t0\t000:00:00\t000:00:00\t0\t\t\r\n";
const char* const kTwoRow = "Two\tOTHERS\t2\t000:03:21\t000:01:41\t21\t26/01/01-10:00:00\t26/01/02-10:01:41\r\n";
const char* const kTotalRow = "合計\t\t6\t005:03:21\t003:16:41\t46\t\t\r\n";

TEST_F(StatsTest, OpensWithOneRowPerGameOfEveryFolderAndTheTotalLast) {
    WriteLibrary();
    Open();
    OpenStats();
    EXPECT_EQ(GetWindowTextCp932(Stats().Window()), "統計");
    EXPECT_EQ(GetDlgCtrlID(StatsList()), IDC_STATS_LIST);
    EXPECT_EQ(GetWindowTextCp932(GetDlgItem(Stats().Window(), IDC_STATS_COPY)), "コピー");
    const char* headers[] = {"タイトル",           "分類",     "プレイ回数", "累計プレイ時間",
                             "累計アクティブ時間", "累計キー", "初回",       "最終"};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(ListViewColumnHeader(StatsList(), i), headers[i]);
    ASSERT_EQ(StatsRows(), 4);
    EXPECT_EQ(StatsCell(0, 0), "Chart");
    EXPECT_EQ(StatsCell(1, 1), "CLEARED");
    EXPECT_EQ(StatsCell(2, 7), "26/01/02-10:01:41");
    EXPECT_EQ(StatsCell(3, 0), "合計");
    EXPECT_EQ(StatsCell(3, 2), "6");
    EXPECT_EQ(CopiedStats(), std::string(kStatsHeader) + kChartRow + kEmptyRow + kTwoRow + kTotalRow);

    // The list fills the window above the button, also after a resize.
    RECT client{}, list{};
    SetWindowPos(Stats().Window(), nullptr, 0, 0, 700, 400, SWP_NOMOVE | SWP_NOZORDER);
    test::DispatchQueued(Stats().Window());
    GetClientRect(Stats().Window(), &client);
    GetWindowRect(StatsList(), &list);
    EXPECT_EQ(list.right - list.left, client.right);
}

TEST_F(StatsTest, AHeaderClickSortsByValueASecondReversesTheTotalStaysLast) {
    WriteLibrary();
    Open();
    OpenStats();
    ClickHeader(3);  // "累計プレイ時間"
    EXPECT_EQ(CopiedStats(), std::string(kStatsHeader) + kEmptyRow + kTwoRow + kChartRow + kTotalRow);
    ClickHeader(3);
    EXPECT_EQ(CopiedStats(), std::string(kStatsHeader) + kChartRow + kTwoRow + kEmptyRow + kTotalRow);
    EXPECT_EQ(StatsCell(3, 0), "合計");
    ClickHeader(7);  // "最終": by time, none first
    EXPECT_EQ(CopiedStats(), std::string(kStatsHeader) + kEmptyRow + kTwoRow + kChartRow + kTotalRow);
}

TEST_F(StatsTest, ADoubleClickMakesTheGameCurrentInItsTab) {
    WriteLibrary();
    Open();
    OpenStats();
    ASSERT_EQ(StatsCell(1, 0), "Empty");
    ASSERT_TRUE(test::BringToFront(Stats().Window()));
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    SendMessageW(StatsList(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&rect));
    test::DoubleClickClient(StatsList(), {rect.left + 10, (rect.top + rect.bottom) / 2});
    ASSERT_TRUE(PumpUntil([&] { return dialog_->State()->Current().title == "Empty"; }, 3000, Stats().Window()));
    EXPECT_EQ(SendMessageW(Item(IDC_TAB), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(dialog_->State()->CurrentCategory(), Category::Cleared);
    EXPECT_EQ(Text(IDC_DETAIL_TITLE), "Empty");
    EXPECT_EQ(ListedGames(), std::vector<std::string>{"Empty"});
    EXPECT_EQ(SendMessageW(Item(IDC_GAME_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 0);
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window_; }, 3000, window_));

    // A double click on the total row makes nothing current.
    ASSERT_TRUE(test::BringToFront(Stats().Window()));
    rect = {};
    rect.left = LVIR_BOUNDS;
    SendMessageW(StatsList(), LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&rect));
    test::DoubleClickClient(StatsList(), {rect.left + 10, (rect.top + rect.bottom) / 2});
    ASSERT_TRUE(PumpUntil(
        [&] {
            return SendMessageW(StatsList(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == 3 &&
                   !GetQueueStatus(QS_INPUT);
        },
        3000, Stats().Window()));
    test::DispatchQueued(Stats().Window());
    EXPECT_EQ(dialog_->State()->Current().title, "Empty");
    EXPECT_EQ(dialog_->State()->CurrentCategory(), Category::Cleared);
}

TEST_F(StatsTest, DamagedAndLockedLogsAreListedAndLeftByteForByte) {
    WriteLibrary();
    const std::string damaged = std::string("\x00\x1A\xFF\x81", 4) + "garbage,,,\r\n\r\n\xE0";
    library_.WriteFile("playing\\Damaged.log", damaged);
    library_.WriteFile("playing\\Locked.log", test::MakeLogBytes(3));
    const std::string lockedBytes = library_.ReadFile("playing\\Locked.log");
    // Held open without sharing: it cannot be read while the window reads the library.
    UniqueFile lock(CreateFileW(Widen(library_.Path("playing\\Locked.log")).c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    Open();
    OpenStats();
    ASSERT_EQ(StatsRows(), 6);
    std::vector<std::string> titles;
    for (int row = 0; row < StatsRows(); ++row) titles.push_back(StatsCell(row, 0));
    EXPECT_EQ(titles, (std::vector<std::string>{"Chart", "Damaged", "Empty", "Locked", "Two", "合計"}));
    for (int column = 2; column < 8; ++column) EXPECT_EQ(StatsCell(3, column), "") << column;
    EXPECT_EQ(StatsCell(3, 1), "PLAYING");
    EXPECT_EQ(StatsCell(5, 2), "6") << "the others are summed";
    ClickHeader(2);
    Stats().Close();
    lock.Reset();
    EXPECT_EQ(library_.ReadFile("playing\\Damaged.log"), damaged);
    EXPECT_EQ(library_.ReadFile("playing\\Locked.log"), lockedBytes);
}

TEST_F(StatsTest, MovingOrDeletingAGameWhileOpenReadsTheLibraryAgain) {
    WriteLibrary();
    Open();
    OpenStats();
    ClickGame("Chart");
    Command(IDM_MOVE_OTHERS);
    DispatchQueued();
    ASSERT_EQ(StatsRows(), 4);
    EXPECT_EQ(StatsCell(0, 0), "Chart");
    EXPECT_EQ(StatsCell(0, 1), "OTHERS");
    SelectTab(2);
    ClickGame("Two");
    Command(IDM_DELETE_GAME);
    DispatchQueued();
    EXPECT_EQ(StatsRows(), 3);
    EXPECT_EQ(StatsCell(2, 2), "4");
}

TEST_F(StatsTest, EscClosesTheStatistics) {
    WriteLibrary();
    Open();
    OpenStats();
    HWND stats = Stats().Window();
    ASSERT_TRUE(test::BringToFront(stats));
    test::PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return !Stats().IsOpen(); }, 3000, stats));
    EXPECT_TRUE(IsWindow(window_));
}

}  // namespace
}  // namespace kibolt
