// The session table's fixed pixel sizes follow the window's DPI. ./test runs
// these tests once more in a wine prefix set to 144 DPI (KIBOLT_TEST_DPI=144);
// in the other runs the display is at 96 DPI.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/tests/main_window_fixture.h"
#include "history/stats_window_win32.h"
#include "tests/win32/session_log_maker.h"
#include "views/session_columns.h"
#include "win32/dpi_win32.h"

namespace kibolt {
namespace {

int ExpectedDpi() {
    const char* dpi = std::getenv("KIBOLT_TEST_DPI");
    return dpi && *dpi ? std::atoi(dpi) : USER_DEFAULT_SCREEN_DPI;
}

class DpiTest : public MainWindowTest {
protected:
    std::vector<int> ColumnWidths() const {
        HWND header = reinterpret_cast<HWND>(SendMessageW(Table(), LVM_GETHEADER, 0, 0));
        std::vector<int> widths;
        for (int i = 0, n = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)); i < n; ++i)
            widths.push_back(static_cast<int>(SendMessageW(Table(), LVM_GETCOLUMNWIDTH, i, 0)));
        return widths;
    }
    // Opens the main window, its thread in the given DPI awareness, and
    // returns the column widths with each game shown in turn.
    std::vector<std::vector<int>> WidthsOf(const std::vector<std::string>& games, DPI_AWARENESS_CONTEXT awareness,
                                           int& dpi) {
        const DPI_AWARENESS_CONTEXT before = SetThreadDpiAwarenessContext(awareness);
        Open();
        SetThreadDpiAwarenessContext(before);
        std::vector<std::vector<int>> widths;
        if (HasFatalFailure()) return widths;
        dpi = WindowDpi(window_);
        for (const std::string& game : games) {
            // Picked as a click does: clicks reach a window drawn for another DPI at other places.
            dialog_->SelectGame(RowIndexOf(game));
            EXPECT_EQ(dialog_->State()->Current().title, game);
            widths.push_back(ColumnWidths());
        }
        dialog_.reset();
        window_ = nullptr;
        return widths;
    }
};

// Whole: at least as wide as the list view itself makes the column for its
// numbers (LVSCW_AUTOSIZE), which is where it stops cutting them to "…".
TEST_F(DpiTest, TheNumberColumnShowsTheLongestNumberWhole) {
    const struct {
        const char* game;
        int sessions;
    } games[] = {{"Big", 10000}, {"Tens", 63}, {"Small", 3}};
    for (const auto& g : games)
        library_.WriteFile(std::string("playing\\") + g.game + ".log", test::MakeLogBytes(g.sessions));
    Open();
    const int dpi = WindowDpi(window_);
    EXPECT_EQ(dpi, ExpectedDpi());
    std::vector<int> laidOut;
    for (const auto& g : games) {
        ClickGame(g.game);
        EXPECT_EQ(ListViewGetCell(Table(), g.sessions - 1, 0), std::to_string(g.sessions));
        laidOut.push_back(static_cast<int>(SendMessageW(Table(), LVM_GETCOLUMNWIDTH, 0, 0)));
    }
    // A game with few sessions has the designed width, scaled.
    EXPECT_EQ(laidOut[2], ScaleToDpi(kNumberColumnWidth, dpi));
    // Sized by the list last: from here on the width is taken for the user's.
    for (size_t i = 0; i < laidOut.size(); ++i) {
        ClickGame(games[i].game);
        SendMessageW(Table(), LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
        EXPECT_GE(laidOut[i], SendMessageW(Table(), LVM_GETCOLUMNWIDTH, 0, 0)) << games[i].game;
    }
}

// The same window drawn by the system at 96 DPI (a thread unaware of DPI)
// and at the display's DPI.
TEST_F(DpiTest, ColumnWidthsScaleWithTheDpi) {
    library_.WriteFile("playing\\Big.log", test::MakeLogBytes(10000));
    library_.WriteFile("playing\\Small.log", test::MakeLogBytes(3));
    int unawareDpi = 0, dpi = 0;
    const auto at96 = WidthsOf({"Small", "Big"}, DPI_AWARENESS_CONTEXT_UNAWARE, unawareDpi);
    ASSERT_FALSE(HasFatalFailure());
    const auto scaled = WidthsOf({"Small", "Big"}, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, dpi);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(unawareDpi, USER_DEFAULT_SCREEN_DPI);
    EXPECT_EQ(dpi, ExpectedDpi());
    ASSERT_EQ(at96.size(), 2u);
    ASSERT_EQ(scaled.size(), 2u);
    // The number column's fixed width scales exactly.
    ASSERT_FALSE(at96[0].empty());
    EXPECT_EQ(at96[0][0], kNumberColumnWidth);
    EXPECT_EQ(scaled[0][0], ScaleToDpi(kNumberColumnWidth, dpi));
    // The rest follow the dialog's size and the font, which the system
    // scales and rounds each on its own: the DPI's ratio within a tenth.
    for (size_t game = 0; game < 2; ++game) {
        ASSERT_EQ(scaled[game].size(), at96[game].size());
        ASSERT_GT(at96[game].size(), 1u);
        for (size_t i = 0; i < at96[game].size(); ++i) {
            const double expected = at96[game][i] * dpi / 96.0;
            EXPECT_NEAR(scaled[game][i], expected, expected / 10 + 1)
                << "game " << game << ", column " << i << " at 96 DPI " << at96[game][i];
        }
    }
}

// Moving to a display of another DPI: the system sends WM_DPICHANGED with
// the new DPI and a suggested window rectangle. A width the user dragged
// keeps its size on screen, and is still the user's when the window closes.
TEST_F(DpiTest, AMoveToAnotherDpiScalesTheWidthsTheUserGave) {
    library_.WriteFile("playing\\Game.log", test::MakeLogBytes(3));
    Open();
    ClickGame("Game");
    const int dpi = WindowDpi(window_);
    HWND table = Table();
    SendMessageW(table, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(200, 0));
    RECT before{};
    GetWindowRect(window_, &before);
    auto moveTo = [&](int newDpi, RECT suggested) {
        SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));
    };
    auto columnIs = [&](int width) {
        return PumpUntil([&] { return SendMessageW(table, LVM_GETCOLUMNWIDTH, 2, 0) == width; }, 3000, window_);
    };

    moveTo(dpi * 2, {before.left, before.top, before.left + (before.right - before.left) * 2,
                     before.top + (before.bottom - before.top) * 2});
    EXPECT_TRUE(columnIs(400)) << SendMessageW(table, LVM_GETCOLUMNWIDTH, 2, 0);
    moveTo(dpi, before);
    EXPECT_TRUE(columnIs(200)) << SendMessageW(table, LVM_GETCOLUMNWIDTH, 2, 0);

    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    dialog_.reset();
    Open();
    ClickGame("Game");
    EXPECT_EQ(SendMessageW(Table(), LVM_GETCOLUMNWIDTH, 2, 0), 200) << "kept as the user's width";
}

// WM_DPICHANGED as the system sends it, the window staying where it is.
void MoveToDpi(HWND window, int dpi) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&rect));
}

std::vector<int> ListColumnWidths(HWND list) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    std::vector<int> widths;
    for (int i = 0, n = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)); i < n; ++i)
        widths.push_back(static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0)));
    return widths;
}

std::vector<int> Doubled(std::vector<int> widths) {
    for (int& w : widths) w *= 2;
    return widths;
}

// The extra list's "回" column is a fixed pixel size, which the dialog
// manager does not scale: it keeps its size on screen.
TEST_F(DpiTest, TheExtraListsNumberColumnFollowsAMoveToAnotherDpi) {
    library_.WriteFile("playing\\Game.log", test::MakeLogBytes(3));
    Open();
    ClickGame("Game");
    const int dpi = WindowDpi(window_);
    HWND extra = nullptr, list = nullptr;
    int before = 0, moved = 0, back = 0;
    test::ModalScript script;
    script.Then([&] { return (extra = test::FindDialogOwnedBy(window_)) != nullptr; });
    script.Then(test::Do([&] {
        list = GetDlgItem(extra, IDC_SESSION_TABLE);
        before = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
        MoveToDpi(extra, dpi * 2);
    }));
    script.Then(test::Do([&] {
        moved = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
        MoveToDpi(extra, dpi);
    }));
    script.Then(test::Do([&] {
        back = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
        PostMessageW(extra, WM_COMMAND, IDCANCEL, 0);
    }));
    script.Run([&] { SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_EXTRA, BN_CLICKED), 0); });
    ASSERT_TRUE(script.Finished());
    EXPECT_EQ(dialog_->OpenExtraList(), nullptr) << "closed";
    EXPECT_EQ(before, ScaleToDpi(kNumberColumnWidth, dpi));
    EXPECT_EQ(moved, before * 2);
    EXPECT_EQ(back, before);
}

// "統計" lays its columns out in dialog units once: moved to another DPI they,
// and the smallest size of the window, keep their size on screen.
TEST_F(DpiTest, TheStatisticsColumnsAndSmallestSizeFollowAMoveToAnotherDpi) {
    library_.WriteFile("playing\\Game.log", test::MakeLogBytes(3));
    Open();
    SendMessageW(window_, WM_COMMAND, IDM_STATS, 0);
    StatsWindow& stats = dialog_->Stats();
    ASSERT_TRUE(stats.IsOpen());
    const int dpi = WindowDpi(stats.Window());
    auto smallest = [&] {
        MINMAXINFO info{};
        SendMessageW(stats.Window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        return info.ptMinTrackSize;
    };
    const std::vector<int> before = ListColumnWidths(stats.List());
    const POINT smallestBefore = smallest();
    ASSERT_GT(smallestBefore.x, 0);

    MoveToDpi(stats.Window(), dpi * 2);
    EXPECT_EQ(ListColumnWidths(stats.List()), Doubled(before));
    EXPECT_EQ(smallest().x, smallestBefore.x * 2);
    EXPECT_EQ(smallest().y, smallestBefore.y * 2);

    MoveToDpi(stats.Window(), dpi);
    EXPECT_EQ(ListColumnWidths(stats.List()), before);
    EXPECT_EQ(smallest().x, smallestBefore.x);
}

}  // namespace
}  // namespace kibolt
