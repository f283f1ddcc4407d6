// The game list, the session table with its detail panel, and the extra
// list, driven with real clicks and keys over the real resources.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/game_log.h"
#include "app/tests/main_window_fixture.h"
#include "tests/win32/session_log_maker.h"
#include "views/session_columns.h"

namespace kibolt {
namespace {

class ViewsTest : public MainWindowTest {
protected:
    int ColumnCount() const {
        HWND header = reinterpret_cast<HWND>(SendMessageW(Table(), LVM_GETHEADER, 0, 0));
        return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    }
    int ColumnWidth(int column) const { return static_cast<int>(SendMessageW(Table(), LVM_GETCOLUMNWIDTH, column, 0)); }
    std::string Cell(int row, int column) const { return ListViewGetCell(Table(), row, column); }
    std::vector<int> SelectedRows() const { return dialog_->SessionTable().SelectedRows(); }
};

TEST_F(ViewsTest, ClickingAGameShowsItsSessionsAndLastValues) {
    library_.WriteFile("playing\\Alpha.log", test::MakeLogBytes(3, "C:\\G\\a.exe", "first line\n"));
    library_.WriteFile("playing\\Beta.log", test::MakeLogBytes(0));
    Open();
    ClickGame("Alpha");
    EXPECT_EQ(Text(IDC_DETAIL_TITLE), "Alpha");
    ASSERT_EQ(RowCount(), 3);
    EXPECT_EQ(Cell(0, 0), "1");
    EXPECT_EQ(Cell(2, 0), "3");
    EXPECT_EQ(Cell(2, 1), "26/01/03-10:00:00");
    EXPECT_EQ(Cell(2, 9), "note 3");
    EXPECT_EQ(Text(IDC_DETAIL_PLAY), "000:01:42");  // play time of the last session
    EXPECT_EQ(Text(IDC_DETAIL_ACTIVE), "000:00:52");
    EXPECT_EQ(Text(IDC_DETAIL_INPUTS), "12");
    EXPECT_EQ(Text(IDC_DETAIL_SESSION_COUNT), "3");
    EXPECT_EQ(Text(IDC_DETAIL_TOTAL_PLAY), "000:05:03");
    EXPECT_EQ(Text(IDC_DETAIL_TOTAL_ACTIVE), "000:02:33");
    EXPECT_EQ(Text(IDC_DETAIL_TOTAL_INPUTS), "33");
    EXPECT_EQ(Text(IDC_GAME_COMMENT), "first line\n");

    ClickGame("Beta");
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(ColumnCount(), 10);
    for (int id : {IDC_DETAIL_PLAY, IDC_DETAIL_TOTAL_PLAY, IDC_DETAIL_ACTIVE, IDC_DETAIL_TOTAL_ACTIVE})
        EXPECT_EQ(Text(id), "000:00:00") << id;
    for (int id : {IDC_DETAIL_SESSION_COUNT, IDC_DETAIL_TOTAL_INPUTS, IDC_DETAIL_INPUTS})
        EXPECT_EQ(Text(id), "0") << id;
}

TEST_F(ViewsTest, ClickOnEmptySpaceKeepsTheGameButStoresItsComment) {
    library_.WriteFile("playing\\Alpha.log", test::MakeLogBytes(1));
    Open();
    ClickGame("Alpha");
    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "typed 表示");
    RECT client{};
    GetClientRect(Item(IDC_GAME_LIST), &client);
    ClickAt(Item(IDC_GAME_LIST), {10, client.bottom - 10});
    EXPECT_EQ(dialog_->State()->Current().title, "Alpha");
    EXPECT_EQ(LogOnDisk("playing\\Alpha.log").comment, "typed 表示");
}

// An editor (or a second PC syncing the folder) adds a session line while the
// game is shown; the comment saved afterwards keeps that session.
TEST_F(ViewsTest, ALogEditedOnDiskKeepsTheEditWhenTheCommentIsSaved) {
    library_.WriteFile("playing\\Alpha.log", test::MakeLogBytes(2));
    library_.WriteFile("playing\\Beta.log", test::MakeLogBytes(0));
    Open();
    ClickGame("Alpha");
    std::string bytes = library_.ReadFile("playing\\Alpha.log");
    bytes.insert(
        bytes.find("=====Comment_Start===="),
        "26/02/01-10:00:00,26/02/01-10:10:00,000:10:00,000:10:00,000:05:00,000:05:00,4,4,added in an editor\r\n");
    library_.WriteFile("playing\\Alpha.log", bytes);

    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "typed in Kibolt");
    ClickGame("Beta");
    const GameLogContent disk = LogOnDisk("playing\\Alpha.log");
    ASSERT_EQ(disk.sessions.size(), 3u);
    EXPECT_EQ(disk.sessions[2].Field(kComment), "added in an editor");
    EXPECT_EQ(disk.comment, "typed in Kibolt");
}

TEST_F(ViewsTest, TheHighlightIsTheGameWhicheverKeyMovesIt) {
    library_.WriteFile("playing\\A.log", test::MakeLogBytes(1));
    library_.WriteFile("playing\\B.log", test::MakeLogBytes(2));
    library_.WriteFile("playing\\C.log", test::MakeLogBytes(3));
    Open();
    ClickGame("A");
    HWND list = Item(IDC_GAME_LIST);
    EXPECT_EQ(dialog_->GameList().SelectedRow(), 0);
    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "typed for A");
    ASSERT_TRUE(test::BringToFront(window_));
    SetFocus(list);
    const struct {
        WORD key;
        const char* game;
        int rows;
    } steps[] = {{VK_DOWN, "B", 2}, {VK_END, "C", 3}, {VK_UP, "B", 2}, {VK_HOME, "A", 1}};
    for (const auto& step : steps) {
        test::PressKey(step.key);
        EXPECT_TRUE(PumpUntil([&] { return dialog_->State()->Current().title == step.game; }, 3000, window_))
            << step.game;
        EXPECT_EQ(RowCount(), step.rows) << step.game;
        EXPECT_EQ(Text(IDC_DETAIL_TITLE), step.game);
    }
    EXPECT_EQ(LogOnDisk("playing\\A.log").comment, "typed for A") << "saved before B was loaded";
    EXPECT_EQ(Text(IDC_GAME_COMMENT), "typed for A");

    // A log that cannot be read: the highlight goes back to the game shown.
    DeleteFileW(Widen(library_.Path("playing\\B.log")).c_str());
    test::PressKey(VK_DOWN);
    WaitUntilInputHandled();
    EXPECT_EQ(dialog_->State()->Current().title, "A");
    EXPECT_EQ(dialog_->GameList().SelectedRow(), 0);
}

TEST_F(ViewsTest, AGameWhoseLogCannotBeReadLeavesTheShownGameWhole) {
    library_.WriteFile("playing\\A.log", test::MakeLogBytes(2));
    library_.WriteFile("playing\\B.log", test::MakeLogBytes(5));
    Open();
    ClickGame("A");
    DeleteFileW(Widen(library_.Path("playing\\B.log")).c_str());  // gone after the listing
    ClickGameRow(RowIndexOf("B"));
    EXPECT_EQ(dialog_->State()->Current().title, "A");
    EXPECT_EQ(dialog_->State()->Current().log.sessions.size(), 2u);
    EXPECT_EQ(Text(IDC_DETAIL_TITLE), "A");
    EXPECT_FALSE(library_.Exists("playing\\B.log"));
}

TEST_F(ViewsTest, ALongTitleIsReadWhole) {
    std::string title(150, 'x');
    title += "表";
    library_.WriteFile("playing\\" + title + ".log", test::MakeLogBytes(1));
    Open();
    ClickGame(title);
    EXPECT_EQ(Text(IDC_DETAIL_TITLE), title);
}

struct ColumnCase {
    const char* ini;
    std::vector<std::string> headers;
};

class ColumnLayoutTest : public ViewsTest, public testing::WithParamInterface<ColumnCase> {};

TEST_P(ColumnLayoutTest, HeadersFollowTheViewFlagsInFieldOrder) {
    library_.WriteFile("kibolt.ini", GetParam().ini);
    library_.WriteFile("playing\\A.log", test::MakeLogBytes(2));
    Open();
    ClickGame("A");
    const auto& headers = GetParam().headers;
    ASSERT_EQ(ColumnCount(), static_cast<int>(headers.size()));
    for (size_t i = 0; i < headers.size(); ++i) EXPECT_EQ(ListViewColumnHeader(Table(), i), headers[i]);
    EXPECT_EQ(ColumnWidth(0), kNumberColumnWidth);
    // Cells follow the same compacted order.
    std::vector<int> fields = VisibleFields(dialog_->State()->ViewFlags());
    for (size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(Cell(1, static_cast<int>(i) + 1), dialog_->State()->Current().log.sessions[1].Field(fields[i]));
}

INSTANTIATE_TEST_SUITE_P(Views, ColumnLayoutTest,
                         testing::Values(ColumnCase{"[view]\r\nflag=0\r\n", {"回"}},
                                         ColumnCase{"[view]\r\nflag=511\r\n",
                                                    {"回", "開始", "終了", "プレイ", "累計", "プレイ_", "累計_", "キー",
                                                     "累計キー", "コメント"}},
                                         ColumnCase{"[view]\r\nflag=324\r\n", {"回", "プレイ", "キー", "コメント"}}));

TEST_F(ViewsTest, ScrollBarAllowanceStartsAtTwelveRows) {
    library_.WriteFile("playing\\Eleven.log", test::MakeLogBytes(11));
    library_.WriteFile("playing\\Twelve.log", test::MakeLogBytes(12));
    Open();
    RECT rect{};
    GetWindowRect(Table(), &rect);
    const int width = rect.right - rect.left, edge = GetSystemMetrics(SM_CXEDGE);
    const int scroll = GetSystemMetrics(SM_CXVSCROLL);

    ClickGame("Eleven");
    // "回" as wide as "11" needs, at least its designed 20 pixels; the rest share what is left.
    const int number = ColumnWidth(0);
    EXPECT_GE(number, 20);
    ClickCheckBox(IDC_VIEW_COMMENT);  // 8 columns left
    EXPECT_EQ(ColumnWidth(1), (width - 2 * edge - number) / 8);
    ClickGame("Twelve");
    EXPECT_EQ(ColumnWidth(0), number);
    EXPECT_EQ(ColumnWidth(1), (width - 2 * edge - number) / 8) << "loading another game keeps the widths";
    ClickCheckBox(IDC_VIEW_COMMENT);  // 9 columns again
    EXPECT_EQ(ColumnWidth(1), (width - 2 * edge - number - scroll) / 9);
    EXPECT_EQ(RowCount(), 12) << "toggling keeps the rows";
    EXPECT_EQ(dialog_->State()->ViewFlags(), 262143);
}

TEST_F(ViewsTest, DeleteKeyRemovesTheSelectedSessionsAndRecomputesTotals) {
    library_.WriteFile("playing\\A.log", test::MakeLogBytes(5));
    Open();
    ClickGame("A");
    SelectRows({3, 1});
    ASSERT_EQ(SelectedRows(), (std::vector<int>{1, 3}));
    test::PressKey(VK_DELETE);
    ASSERT_TRUE(PumpUntil([&] { return RowCount() == 3; }, 3000, window_));
    GameLogContent disk = LogOnDisk("playing\\A.log");
    ASSERT_EQ(disk.sessions.size(), 3u);
    EXPECT_EQ(disk.sessions[0].Field(kComment), "note 1");
    EXPECT_EQ(disk.sessions[1].Field(kComment), "note 3");
    EXPECT_EQ(disk.sessions[2].Field(kComment), "note 5");
    EXPECT_EQ(disk.sessions[2].Field(kTotalPlay), "000:05:06");  // 100 + 102 + 104 seconds
    EXPECT_EQ(disk.sessions[2].Field(kTotalInputs), "36");
    EXPECT_EQ(Cell(2, 0), "3") << "numbers close up";
    EXPECT_EQ(Text(IDC_DETAIL_SESSION_COUNT), "3");
    EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(ViewsTest, DeletingTheFirstSessionMakesTheNextOneTheBase) {
    library_.WriteFile("playing\\A.log", test::MakeLogBytes(3));
    Open();
    ClickGame("A");
    SelectRows({0});
    test::PressKey(VK_DELETE);
    ASSERT_TRUE(PumpUntil([&] { return RowCount() == 2; }, 3000, window_));
    GameLogContent disk = LogOnDisk("playing\\A.log");
    EXPECT_EQ(disk.sessions[0].Field(kTotalPlay), disk.sessions[0].Field(kPlay));
    EXPECT_EQ(disk.sessions[0].Field(kTotalActive), disk.sessions[0].Field(kActive));
    EXPECT_EQ(disk.sessions[0].Field(kTotalInputs), "11");
}

TEST_F(ViewsTest, DeleteWithoutSelectionOnlyRewritesTheTotals) {
    GameLogContent log = test::MakeSessions(2);
    log.sessions[1].SetField(kTotalPlay, "999:00:00");  // a stored total that does not add up
    library_.WriteFile("playing\\A.log", SerializeGameLog(log));
    Open();
    ClickGame("A");
    SetFocus(Table());
    test::PressKey(VK_DELETE);
    ASSERT_TRUE(PumpUntil([&] { return Text(IDC_DETAIL_TOTAL_PLAY) == "000:03:21"; }, 3000, window_));
    EXPECT_EQ(LogOnDisk("playing\\A.log").sessions.size(), 2u);
}

TEST_F(ViewsTest, DeleteBeforeAnyGameWritesNothing) {
    Open();
    PostMessageW(window_, WM_COMMAND, IDM_DELETE_SESSIONS, 0);
    DispatchQueued();
    EXPECT_FALSE(library_.Exists("playing\\.log"));
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    EXPECT_FALSE(library_.Exists("playing\\.log"));
}

TEST_F(ViewsTest, UndoPutsTheDeletedSessionsBackFromKeysOrMenu) {
    const std::string original = test::MakeLogBytes(5, "C:\\G\\a.exe", "notes\n");
    library_.WriteFile("playing\\Alpha.log", original);
    Open();
    Pick("Alpha");
    const std::string total = Text(IDC_DETAIL_TOTAL_PLAY);

    // Nothing deleted yet: the menu item is there, greyed.
    {
        test::ModalScript script;
        test::MenuSeen seen;
        UINT state = 0;
        script.Then([&] {
            HWND menu = test::FindMenu();
            if (!menu) return false;
            state = GetMenuState(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)),
                                 IDM_UNDO_SESSION_DELETION, MF_BYCOMMAND);
            return true;
        });
        test::ChooseFromMenu(script, seen, -1);
        RunInput(script, [&] { Click(Table(), EmptyPoint(Table()), true); });
        EXPECT_TRUE(state & MF_GRAYED);
    }

    // Delete key, then Ctrl+Z in the table.
    SelectRows({1, 3});
    test::PressKey(VK_DELETE);
    WaitUntilInputHandled();
    ASSERT_EQ(LogOnDisk("playing\\Alpha.log").sessions.size(), 3u);
    EXPECT_NE(Text(IDC_DETAIL_TOTAL_PLAY), total);
    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "typed meanwhile");
    test::KeyDown(VK_CONTROL);
    test::PressKey('Z');
    test::KeyUp(VK_CONTROL);
    WaitUntilInputHandled();
    GameLogContent back = LogOnDisk("playing\\Alpha.log");
    ASSERT_EQ(back.sessions.size(), 5u);
    EXPECT_EQ(back.sessions[1].Field(kComment), "note 2");
    EXPECT_EQ(back.sessions[3].Field(kComment), "note 4");
    EXPECT_EQ(back.comment, "typed meanwhile") << "the typed comment is saved, not thrown away";
    EXPECT_EQ(RowCount(), 5);
    EXPECT_EQ(Text(IDC_DETAIL_TOTAL_PLAY), total) << "totals back";
    EXPECT_EQ(Text(IDC_GAME_COMMENT), "typed meanwhile");

    // The context menu's last item does the same.
    SelectRows({0});
    test::PressKey(VK_DELETE);
    WaitUntilInputHandled();
    ASSERT_EQ(LogOnDisk("playing\\Alpha.log").sessions.size(), 4u);
    test::ModalScript script;
    test::MenuSeen seen;
    test::ChooseFromMenu(script, seen, 4);  // "元に戻す"
    RunInput(script, [&] { Click(Table(), EmptyPoint(Table()), true); });
    EXPECT_EQ(seen.items, kSessionMenu);
    const GameLogContent restored = LogOnDisk("playing\\Alpha.log");
    const GameLogContent want = ParseGameLogFile(original);
    ASSERT_EQ(restored.sessions.size(), want.sessions.size());
    for (size_t i = 0; i < want.sessions.size(); ++i)
        EXPECT_EQ(SessionLine(restored.sessions[i]), SessionLine(want.sessions[i])) << i;
}

TEST_F(ViewsTest, TabSwitchKeepsTheGameAndWritesItOnlyToItsOwnFolder) {
    library_.WriteFile("playing\\Same.log", test::MakeLogBytes(2, "C:\\P\\p.exe"));
    const std::string other = test::MakeLogBytes(1, "C:\\C\\c.exe");
    library_.WriteFile("cleared\\Same.log", other);
    Open();
    ClickGame("Same");
    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "edited");
    SelectTab(1);  // leaving stores the comment in the PLAYING log
    EXPECT_EQ(LogOnDisk("playing\\Same.log").comment, "edited");
    EXPECT_EQ(Text(IDC_DETAIL_TITLE), "Same");
    EXPECT_EQ(RowCount(), 2) << "the table keeps the game picked before";
    EXPECT_EQ(SendMessageW(Item(IDC_GAME_LIST), LVM_GETSELECTEDCOUNT, 0, 0), 0);

    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "edited again");
    SetFocus(Table());
    test::PressKey(VK_DELETE);  // a rewrite while CLEARED is shown
    // The typed text goes into the rewrite before the refresh redraws the field.
    ASSERT_TRUE(PumpUntil([&] { return LogOnDisk("playing\\Same.log").comment == "edited again"; }, 3000, window_));
    EXPECT_EQ(Text(IDC_GAME_COMMENT), "edited again");
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    EXPECT_EQ(library_.ReadFile("cleared\\Same.log"), other) << "the other folder's game is untouched";
    EXPECT_EQ(LogOnDisk("playing\\Same.log").sessions.size(), 2u);
}

TEST_F(ViewsTest, ACommentLongerThanAnyBufferIsNotShortened) {
    const std::string comment = std::string(3000, 'c') + "\n";
    const std::string bytes = test::MakeLogBytes(1, "C:\\G\\g.exe", comment);
    library_.WriteFile("playing\\A.log", bytes);
    Open();
    ClickGame("A");
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    EXPECT_EQ(library_.ReadFile("playing\\A.log"), bytes) << "an unchanged comment is not rewritten";
}

TEST_F(ViewsTest, SetSessionCommentRewritesOneSessionAndIgnoresOtherRows) {
    library_.WriteFile("playing\\A.log", test::MakeLogBytes(3));
    Open();
    ClickGame("A");
    dialog_->SetSessionComment(1, "boss, second try");
    EXPECT_EQ(Cell(1, 9), "boss, second try");
    EXPECT_EQ(LogOnDisk("playing\\A.log").sessions[1].Field(kComment), "boss, second try");
    const std::string before = library_.ReadFile("playing\\A.log");
    dialog_->SetSessionComment(3, "nowhere");
    dialog_->SetSessionComment(-1, "nowhere");
    EXPECT_EQ(library_.ReadFile("playing\\A.log"), before);
}

TEST_F(ViewsTest, ExtraListShowsEveryColumnFillsAndFollowsResizes) {
    library_.WriteFile("kibolt.ini", "[view]\r\nflag=0\r\n");
    library_.WriteFile("playing\\A.log", test::MakeLogBytes(4));
    Open();
    ClickGame("A");
    // The extra list runs its own modal loop: the checks run from a script inside it.
    HWND dialog = nullptr;
    bool mainDisabled = false;
    test::ModalScript script;
    script.Then(test::WaitForDialog("ﾀﾞｲｱﾛｸﾞ", dialog));
    script.Then(test::Do([&] {
        HWND list = GetDlgItem(dialog, IDC_SESSION_TABLE);
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 10);
        EXPECT_EQ(ListViewColumnHeader(list, 0), "回");
        EXPECT_EQ(ListViewColumnHeader(list, 9), "コメント");
        EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 4);
        EXPECT_EQ(ListViewGetCell(list, 3, 0), "4");
        EXPECT_EQ(ListViewGetCell(list, 3, 9), "note 4");
        EXPECT_EQ(ListViewGetCell(list, 0, 4), "000:01:40");
        EXPECT_TRUE(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_LABELTIP) << "cut cells";
        // As it opens, the nine data columns share the list's width: none is pushed out of sight.
        RECT listRect{};
        GetWindowRect(list, &listRect);
        const int width = listRect.right - listRect.left;
        int total = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
        for (int column = 1; column <= 9; ++column) {
            const int columnWidth = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
            EXPECT_EQ(columnWidth, (width - 24) / 9) << column;
            total += columnWidth;
        }
        EXPECT_LE(total, width);
        mainDisabled = !IsWindowEnabled(window_);
        SetWindowPos(dialog, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    }));
    script.Then(test::Do([&] {
        HWND list = GetDlgItem(dialog, IDC_SESSION_TABLE);
        RECT client{};
        GetClientRect(dialog, &client);
        RECT outer{};
        GetWindowRect(list, &outer);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&outer), 2);
        EXPECT_EQ(outer.left, 0);
        EXPECT_EQ(outer.top, 0);
        EXPECT_EQ(outer.right, client.right);
        EXPECT_EQ(outer.bottom, client.bottom);
        EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 5, 0), (client.right - 24) / 9);
        EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 20);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);  // as Esc or the close box
    }));
    // Returns when the dialog ends.
    script.Run([&] { SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_EXTRA, BN_CLICKED), 0); });
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(mainDisabled);
    EXPECT_EQ(dialog_->OpenExtraList(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(window_));
}

struct BadLogCase {
    const char* name;
    std::string bytes;
};

std::string Garbage(size_t size) {
    std::string bytes(size, '\0');
    uint32_t x = 12345;
    for (char& c : bytes) {
        x = x * 1103515245 + 12345;
        c = static_cast<char>(x >> 16);
    }
    return bytes;
}

// Damaged logs show what they can, and nothing is written back that the user did not change.
TEST_F(ViewsTest, DamagedLogsShowWhatTheyCanAndStayUntouched) {
    const BadLogCase cases[] = {
        {"empty", ""},
        {"no marker", "C:\\G\\g.exe\r\n26/01/01-10:00:00,26/01/01-11:00:00,001:00:00\r\n"},
        {"one long line", std::string(10 * 1024 * 1024, 'x')},
        {"garbage", Garbage(256 * 1024)},
        {"invalid comment", std::string("C:\\G\\g.exe\r\n=====Comment_Start====\r\n\x81\x20\xFF\x00zz\x85", 43)},
    };
    for (const BadLogCase& c : cases) library_.WriteFile(std::string("playing\\") + c.name + ".log", c.bytes);
    Open();
    for (const BadLogCase& c : cases) {
        SCOPED_TRACE(c.name);
        ClickGame(c.name);
        EXPECT_EQ(Text(IDC_DETAIL_TITLE), c.name);
    }
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    for (const BadLogCase& c : cases)
        EXPECT_TRUE(library_.ReadFile(std::string("playing\\") + c.name + ".log") == c.bytes) << c.name;
}

}  // namespace
}  // namespace kibolt
