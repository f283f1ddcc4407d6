// The main window built from the real resources, driven as a user would.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_dialog_win32.h"
#include "library/file_system_win32.h"
#include "library/game_log.h"
#include "library/settings.h"
#include "resources/resource_ids.h"
#include "views/main_window_layout.h"
#include "app/tests/main_window_fixture.h"
#include "win32/text_win32.h"

namespace kibolt {
namespace {

struct ControlCase {
    int id;
    const wchar_t* className;
    const char* text;
    bool enabled;
    bool visible;
};

TEST_F(MainWindowTest, EveryControlExistsWithItsClassTextAndState) {
    Open();
    const ControlCase cases[] = {
        {IDC_NEW_FILE, L"Button", "NewFile", true, true},
        {IDC_TAB, L"SysTabControl32", "Tab1", true, true},
        {IDC_GAME_COMMENT, L"Edit", "", true, true},
        {IDC_GAME_LIST, L"SysListView32", "List1", true, true},
        {IDC_SESSION_TABLE, L"SysListView32", "List2", true, true},
        {IDC_DETAIL_PLAY, L"Edit", "", true, true},
        {IDC_DETAIL_TITLE, L"Edit", "", true, true},
        {IDC_COPY_SPARE_BIT0, L"Button", "Check1", false, true},
        {IDC_COPY_SPARE_BIT3, L"Button", "Check4", false, true},
        {IDC_COPY_SPARE_BIT6, L"Button", "Check16", false, true},
        {IDC_VIEW_START, L"Button", "開始時間", true, true},
        {IDC_VIEW_PLAY, L"Button", "プレイ時間", true, true},
        {IDC_VIEW_ACTIVE, L"Button", "プレイ時間2", true, true},
        {IDC_VIEW_INPUTS, L"Button", "キー", true, true},
        {IDC_VIEW_TOTAL_INPUTS, L"Button", "累計キー", true, true},
        {IDC_VIEW_COMMENT, L"Button", "コメント", true, true},
        {IDC_SAVE_NOW_TIME, L"Button", "SaveNowTime", true, true},
        {IDC_NOW_COMMENT, L"Edit", "", true, true},
        {IDC_COPY, L"Button", "Copy", true, true},
        {IDC_EXTRA, L"Button", "おまけ", true, true},
        {IDC_COPY_ONLY_COMMENTED, L"Button", "コメントがある", true, true},
        {IDC_COPY_TOTAL_INPUTS, L"Button", "累計キー数", true, true},
        {IDC_COPY_SPARE_BIT17, L"Button", "Check27", true, true},
        {IDC_COPY_SETTING, L"Button", "COPYSETTING", true, false},
        {IDC_PLAY_STATUS, L"Static", "", true, true},
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.id);
        HWND control = Item(c.id);
        ASSERT_NE(control, nullptr);
        wchar_t className[64] = {};
        GetClassNameW(control, className, 64);
        EXPECT_STREQ(className, c.className);
        EXPECT_EQ(GetWindowTextCp932(control), c.text);
        EXPECT_EQ(IsWindowEnabled(control) != FALSE, c.enabled);
        EXPECT_EQ((GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0, c.visible);
    }
    EXPECT_EQ(GetWindowTextCp932(window_), "Kibolt");
    LONG style = GetWindowLongW(window_, GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_TRUE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_TRUE(SendMessageW(Item(IDC_SESSION_TABLE), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_LABELTIP);
    EXPECT_NE(SendMessageW(window_, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window_, WM_GETICON, ICON_SMALL, 0), 0);
    // The first tab stop in template order has the focus.
    EXPECT_EQ(GetFocus(), Item(IDC_NEW_FILE));
    EXPECT_EQ(ListViewColumnHeader(Item(IDC_GAME_LIST), 0), "名前");
}

TEST_F(MainWindowTest, MenuHoldsItsItemsInOrder) {
    Open();
    struct Item {
        int menu;
        int position;
        const char* text;
        UINT command;
    };
    const Item items[] = {
        {0, 0, "新しいゲームを登録", IDM_NEW_GAME},
        {0, 1, "削除", IDM_DELETE_GAME},
        {0, 2, "統計", IDM_STATS},
        {0, 3, "終了", IDM_EXIT},
        {1, 0, "選択ゲームを開始", IDM_START_GAME},
        {1, 1, "選択ファイルをPLAYINGへ", IDM_MOVE_PLAYING},
        {1, 2, "選択ファイルをCLEAREDへ", IDM_MOVE_CLEARED},
        {1, 3, "選択ファイルをOTHERSへ", IDM_MOVE_OTHERS},
        {1, 4, "プロパティ", IDM_PROPERTIES},
        {1, 5, "グラフ", IDM_CHART},
        {1, 6, "ショートカットを作成", IDM_CREATE_SHORTCUT},
        {1, 8, "起動を自動で記録", IDM_AUTO_DETECT},
        {1, 9, "放置時間の設定…", IDM_IDLE_TIME},
        {2, 0, "readmeを開く", IDM_README},
        {2, 1, "バージョン", IDM_ABOUT},
    };
    HMENU menu = GetMenu(window_);
    ASSERT_NE(menu, nullptr);
    const char* titles[] = {"ファイル", "ゲーム", "ヘルプ"};
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    for (int i = 0; i < 3; ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        EXPECT_EQ(Narrow(text), titles[i]);
    }
    for (const Item& item : items) {
        HMENU sub = GetSubMenu(menu, item.menu);
        wchar_t text[64] = {};
        GetMenuStringW(sub, item.position, text, 64, MF_BYPOSITION);
        EXPECT_EQ(Narrow(text), item.text);
        EXPECT_EQ(GetMenuItemID(sub, item.position), item.command);
    }
}

TEST_F(MainWindowTest, CommandsThatNeedAGameAreGreyedUntilOneIsPicked) {
    library_.WriteFile("playing\\Alpha.log", "a.exe\r\n=====Comment_Start====\r\n");
    Open();
    HMENU menu = GetMenu(window_);
    auto greyed = [&](UINT id) {
        for (int popup = 0; popup < 3; ++popup)
            SendMessageW(window_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menu, popup)), popup);
        return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
    };
    const UINT needGame[] = {IDM_START_GAME,  IDM_DELETE_GAME, IDM_MOVE_PLAYING, IDM_MOVE_CLEARED,
                             IDM_MOVE_OTHERS, IDM_PROPERTIES,  IDM_CHART,        IDM_CREATE_SHORTCUT};
    for (UINT id : needGame) EXPECT_TRUE(greyed(id)) << id;
    for (UINT id : {IDM_NEW_GAME, IDM_STATS, IDM_EXIT, IDM_AUTO_DETECT, IDM_IDLE_TIME, IDM_README, IDM_ABOUT})
        EXPECT_FALSE(greyed(id)) << id;
    ClickGame("Alpha");
    for (UINT id : needGame) EXPECT_FALSE(greyed(id)) << id;
}

TEST_F(MainWindowTest, TabsListTheirOwnFolders) {
    library_.WriteFile("playing\\Zeta.log", "z.exe\r\n=====Comment_Start====\r\n");
    library_.WriteFile("playing\\alpha.log", "a.exe\r\n=====Comment_Start====\r\n");
    library_.WriteFile("playing\\表示.log", "b.exe\r\n=====Comment_Start====\r\n");
    library_.WriteFile("playing\\notes.txt", "not a game");
    library_.WriteFile("cleared\\Done.LOG", "d.exe\r\n=====Comment_Start====\r\n");
    Open();
    HWND tab = Item(IDC_TAB);
    ASSERT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(TabItemText(tab, 0), "PLAYING");
    EXPECT_EQ(TabItemText(tab, 1), "CLEARED");
    EXPECT_EQ(TabItemText(tab, 2), "OTHERS");
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(ListedGames(), (std::vector<std::string>{"alpha", "Zeta", "表示"}));

    SelectTab(1);
    EXPECT_EQ(dialog_->State()->CurrentCategory(), Category::Cleared);
    EXPECT_EQ(ListedGames(), (std::vector<std::string>{"Done"}));
    EXPECT_TRUE(IsWindowVisible(Item(IDC_GAME_LIST)));
    EXPECT_EQ(GetFocus(), Item(IDC_GAME_LIST));

    SelectTab(2);
    EXPECT_TRUE(ListedGames().empty());
}

TEST_F(MainWindowTest, CtrlTabSwitchesTheTabsFromAnyControl) {
    library_.WriteFile("playing\\Alpha.log", "a.exe\r\n=====Comment_Start====\r\n");
    library_.WriteFile("cleared\\Done.log", "d.exe\r\n=====Comment_Start====\r\n");
    Open();
    HWND tab = Item(IDC_TAB);
    dialog_->SelectGame(0);
    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "typed");
    ASSERT_TRUE(test::BringToFront(window_));
    SetFocus(Item(IDC_GAME_COMMENT));
    const struct {
        WORD key;
        bool shift;
        int tab;
    } steps[] = {{VK_TAB, false, 1},   {VK_TAB, false, 2},  {VK_TAB, false, 0}, {VK_TAB, true, 2},
                 {VK_PRIOR, false, 1}, {VK_NEXT, false, 2}, {VK_TAB, true, 1}};
    for (const auto& step : steps) {
        test::KeyDown(VK_CONTROL);
        if (step.shift) test::KeyDown(VK_SHIFT);
        test::PressKey(step.key);
        if (step.shift) test::KeyUp(VK_SHIFT);
        test::KeyUp(VK_CONTROL);
        EXPECT_TRUE(PumpUntil([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == step.tab; }, 3000, window_))
            << step.key << " " << step.shift << " to " << step.tab;
        WaitUntilInputHandled();
        EXPECT_EQ(dialog_->State()->CurrentCategory(), static_cast<Category>(step.tab));
    }
    EXPECT_EQ(ListedGames(), std::vector<std::string>{"Done"});
    EXPECT_EQ(ParseGameLogFile(library_.ReadFile("playing\\Alpha.log")).comment, "typed")
        << "leaving a tab stores the comment";
}

TEST_F(MainWindowTest, MissingCategoryFolderListsNothing) {
    library_.WriteFile("playing\\One.log", "o.exe\r\n=====Comment_Start====\r\n");
    RemoveDirectoryW(Widen(library_.Path("others")).c_str());
    Open();
    EXPECT_EQ(ListedGames().size(), 1u);
    SelectTab(2);
    EXPECT_TRUE(ListedGames().empty());
    EXPECT_FALSE(library_.Exists("others"));
}

TEST_F(MainWindowTest, CloseBoxEndsWithTwoAndMenuExitWithOne) {
    Open();
    PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    EXPECT_EQ(PumpUntilQuit(5000, window_), kExitByCancel);
    EXPECT_EQ(dialog_->Window(), nullptr);

    Open();
    PostMessageW(window_, WM_CLOSE, 0, 0);  // as other programs ask a window to close
    EXPECT_EQ(PumpUntilQuit(5000, window_), kExitByCancel);

    Open();
    EXPECT_EQ(CloseWith(IDM_EXIT), kExitByMenu);
}

TEST_F(MainWindowTest, EscapeClosesAndEnterDoesNothing) {
    Open();
    ASSERT_TRUE(test::BringToFront(window_));
    SetFocus(Item(IDC_NEW_FILE));
    // Enter on a push button with no default button must not close the window.
    SetFocus(Item(IDC_NOW_COMMENT));
    test::PressKey(VK_RETURN);
    DispatchQueued();
    EXPECT_TRUE(IsWindow(window_));

    // Enter in the game comment inserts a line break.
    SetFocus(Item(IDC_GAME_COMMENT));
    test::PressKey('A');
    test::PressKey(VK_RETURN);
    test::PressKey('B');
    ASSERT_TRUE(PumpUntil([&] { return GetWindowTextCp932(Item(IDC_GAME_COMMENT)).size() >= 4; }, 3000, window_));
    EXPECT_EQ(GetWindowTextCp932(Item(IDC_GAME_COMMENT)), "a\r\nb");

    test::PressKey(VK_ESCAPE);
    EXPECT_EQ(PumpUntilQuit(5000, window_), kExitByCancel);
    EXPECT_NE(library_.ReadFile("kibolt.ini").find("262143"), std::string::npos);
}

TEST_F(MainWindowTest, FirstStartChecksEveryBoxAndWritesTheDefaults) {
    Open();
    for (int id : kViewCheckBoxes) EXPECT_TRUE(Checked(id)) << id;
    for (int id : kCopyCheckBoxes) {
        bool disabled = id == IDC_COPY_SPARE_BIT0 || id == IDC_COPY_SPARE_BIT3 || id == IDC_COPY_SPARE_BIT6;
        EXPECT_EQ(Checked(id), !disabled) << id;
    }
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    std::string ini = library_.ReadFile("kibolt.ini");
    Settings saved = ReadSettings(ini);
    EXPECT_EQ(saved.viewFlags, 262143);
    EXPECT_EQ(saved.copySettings, 262070);
    // The system's own reader sees the same values.
    wchar_t value[64] = {};
    GetPrivateProfileStringW(L"view", L"flag", L"?", value, 64, Widen(library_.IniPath()).c_str());
    EXPECT_STREQ(value, L"262143");
    GetPrivateProfileStringW(L"copy", L"flag", L"?", value, 64, Widen(library_.IniPath()).c_str());
    EXPECT_STREQ(value, L"262070");
}

struct StoredFlagsCase {
    const char* ini;
    unsigned viewBoxesChecked;  // bit i: view check box i
    unsigned copyBoxesChecked;  // bit i: copy check box i
    const char* viewWritten;
};

class StoredFlagsTest : public MainWindowTest, public testing::WithParamInterface<StoredFlagsCase> {};

TEST_P(StoredFlagsTest, BoxesFollowTheFileAndTheValuesRoundTrip) {
    const StoredFlagsCase& c = GetParam();
    library_.WriteFile("kibolt.ini", c.ini);
    Open();
    for (size_t bit = 0; bit < kViewCheckBoxes.size(); ++bit)
        EXPECT_EQ(Checked(kViewCheckBoxes[bit]), ((c.viewBoxesChecked >> bit) & 1) != 0) << "view bit " << bit;
    for (size_t bit = 0; bit < kCopyCheckBoxes.size(); ++bit)
        EXPECT_EQ(Checked(kCopyCheckBoxes[bit]), ((c.copyBoxesChecked >> bit) & 1) != 0) << "copy bit " << bit;
    EXPECT_EQ(CloseWith(IDM_EXIT), kExitByMenu);
    wchar_t value[64] = {};
    GetPrivateProfileStringW(L"view", L"flag", L"?", value, 64, Widen(library_.IniPath()).c_str());
    EXPECT_EQ(Narrow(value), c.viewWritten);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StoredFlagsTest,
    testing::Values(StoredFlagsCase{"[view]\r\nflag=0\r\n[copy]\r\nflag=0\r\n", 0, 0, "0"},
                    StoredFlagsCase{"[view]\r\nflag=-1\r\n[copy]\r\nflag=-1\r\n", 0x1FF, 0x3FFFF & ~0x49u, "-1"},
                    StoredFlagsCase{"[VIEW]\r\nFLAG=5\r\n[copy]\r\nflag=abc\r\n", 0x5, 0, "5"},
                    StoredFlagsCase{"[view]\r\nflag=99999999999\r\n", 0x1FF, 0x3FFFF & ~0x49u, "2147483647"}));

TEST_F(MainWindowTest, UncheckingAViewBoxKeepsTheHighBits) {
    Open();
    ClickCheckBox(IDC_VIEW_START);
    PumpUntil([&] { return dialog_->State()->ViewFlags() == 262142; }, 2000, window_);
    EXPECT_EQ(dialog_->State()->ViewFlags(), 262142);
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    EXPECT_EQ(ReadSettings(library_.ReadFile("kibolt.ini")).viewFlags, 262142);
}

RECT ClientRectOf(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST_F(MainWindowTest, TheWindowGrowsAndComesBackAsItWasLeft) {
    library_.WriteFile("kibolt.ini", "[view]\r\nflag=5\r\n[copy]\r\nflag=6\r\n");
    Open();
    RECT start{};
    GetWindowRect(window_, &start);
    const RECT table = ClientRectOf(Item(IDC_SESSION_TABLE));
    const RECT comment = ClientRectOf(Item(IDC_GAME_COMMENT));
    const RECT list = ClientRectOf(Item(IDC_GAME_LIST));
    const RECT copy = ClientRectOf(Item(IDC_COPY));
    HWND table0 = Item(IDC_SESSION_TABLE);
    const int autoWidth = static_cast<int>(SendMessageW(table0, LVM_GETCOLUMNWIDTH, 1, 0));

    // Never smaller than the dialog.
    SetWindowPos(window_, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
    DispatchQueued();
    RECT small{};
    GetWindowRect(window_, &small);
    EXPECT_EQ(small.right - small.left, start.right - start.left);
    EXPECT_EQ(small.bottom - small.top, start.bottom - start.top);

    // 300 wider and 150 higher: the table, the list and the comment field grow, the rest stays.
    SetWindowPos(window_, nullptr, 30, 20, start.right - start.left + 300, start.bottom - start.top + 150,
                 SWP_NOZORDER);
    DispatchQueued();
    const RECT grownTable = ClientRectOf(Item(IDC_SESSION_TABLE));
    const RECT grownComment = ClientRectOf(Item(IDC_GAME_COMMENT));
    const RECT grownList = ClientRectOf(Item(IDC_GAME_LIST));
    EXPECT_EQ(grownTable.right - table.right, 300);
    EXPECT_EQ(grownTable.top, table.top);
    EXPECT_EQ(grownComment.right - comment.right, 300);
    EXPECT_EQ(grownComment.bottom - comment.bottom, 150);
    EXPECT_EQ(grownComment.top - comment.top, grownTable.bottom - table.bottom) << "below the table";
    EXPECT_EQ(grownList.bottom - list.bottom, 150);
    EXPECT_EQ(grownList.right, list.right);
    const RECT grownCopy = ClientRectOf(Item(IDC_COPY));
    EXPECT_EQ(grownCopy.left, copy.left);
    EXPECT_EQ(grownCopy.top, copy.top);
    const int grownWidth = static_cast<int>(SendMessageW(table0, LVM_GETCOLUMNWIDTH, 1, 0));
    EXPECT_EQ(grownWidth, autoWidth + 150) << "the two columns share the new width";

    // A column the user widened keeps its width; the other takes what is left.
    SendMessageW(table0, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(260, 0));
    RECT placed{};
    GetWindowRect(window_, &placed);
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    const std::string ini = library_.ReadFile("kibolt.ini");
    EXPECT_EQ(ini.rfind("[view]\r\nflag=5\r\n[copy]\r\nflag=6\r\n[window]\r\n", 0), 0u) << ini;

    dialog_.reset();
    Open();
    RECT back{};
    GetWindowRect(window_, &back);
    EXPECT_EQ(back.left, placed.left);
    EXPECT_EQ(back.top, placed.top);
    EXPECT_EQ(back.right, placed.right);
    EXPECT_EQ(back.bottom, placed.bottom);
    HWND table1 = Item(IDC_SESSION_TABLE);
    EXPECT_EQ(SendMessageW(table1, LVM_GETCOLUMNWIDTH, 2, 0), 260);
    // What the two shared, less the widened one (the division may have left a pixel over).
    EXPECT_NEAR(SendMessageW(table1, LVM_GETCOLUMNWIDTH, 1, 0), grownWidth * 2 - 260, 1);
    EXPECT_EQ(ClientRectOf(table1).right, grownTable.right);
}

// Every control of the window, grown to twice the dialog's size and
// maximised, is where the layout table puts it: a control missing from the
// table has no place and fails here.
TEST_F(MainWindowTest, EveryControlFollowsTheLayoutTableAsTheWindowGrows) {
    Open();
    struct Start {
        HWND control;
        int id;
        RECT rect;
    };
    std::vector<Start> starts;
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (id == 0xFFFF) id = IDC_STATIC;  // a short template's "none"
        starts.push_back({child, id, ClientRectOf(child)});
    }
    ASSERT_GT(starts.size(), 40u) << "the dialog's controls";
    RECT startClient{};
    GetClientRect(window_, &startClient);
    RECT startWindow{};
    GetWindowRect(window_, &startWindow);
    const RECT startBox = ClientRectOf(Item(IDC_COPY_SPARE_BIT17));
    const RECT startComment = ClientRectOf(Item(IDC_GAME_COMMENT));

    auto check = [&](const char* how) {
        SCOPED_TRACE(how);
        RECT client{};
        GetClientRect(window_, &client);
        const int dx = client.right - startClient.right, dy = client.bottom - startClient.bottom;
        EXPECT_GT(dx, 0);
        EXPECT_GT(dy, 0);
        for (const Start& start : starts) {
            const ControlAnchor* anchor = MainWindowAnchor(start.id);
            ASSERT_NE(anchor, nullptr) << "control " << start.id << " is not in the layout table";
            const Box want =
                LaidOut(*anchor, {start.rect.left, start.rect.top, start.rect.right, start.rect.bottom}, dx, dy);
            const RECT now = ClientRectOf(start.control);
            EXPECT_EQ((std::array<LONG, 4>{now.left, now.top, now.right, now.bottom}),
                      (std::array<LONG, 4>{want.left, want.top, want.right, want.bottom}))
                << "control " << start.id;
        }
        // The box beside the comment field keeps its distance from it, at the same height against it.
        const RECT box = ClientRectOf(Item(IDC_COPY_SPARE_BIT17));
        const RECT comment = ClientRectOf(Item(IDC_GAME_COMMENT));
        EXPECT_EQ(comment.left - box.right, startComment.left - startBox.right);
        EXPECT_EQ(box.top - comment.top, startBox.top - startComment.top);
    };
    SetWindowPos(window_, nullptr, 0, 0, 2 * (startWindow.right - startWindow.left),
                 2 * (startWindow.bottom - startWindow.top), SWP_NOZORDER | SWP_NOMOVE);
    DispatchQueued();
    check("twice the size");
    ShowWindow(window_, SW_MAXIMIZE);
    DispatchQueued();
    ASSERT_TRUE(IsZoomed(window_));
    check("maximised");
}

TEST_F(MainWindowTest, AWindowLeftMaximisedStartsMaximised) {
    Open();
    EXPECT_EQ(dialog_->ShowCommandFor(SW_SHOWNORMAL), SW_SHOWNORMAL);
    ShowWindow(window_, SW_MAXIMIZE);
    DispatchQueued();
    RECT grown{};
    GetWindowRect(window_, &grown);
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    dialog_.reset();
    Open();
    EXPECT_EQ(dialog_->ShowCommandFor(SW_SHOWNORMAL), SW_SHOWMAXIMIZED);
    EXPECT_EQ(dialog_->ShowCommandFor(SW_SHOWMINNOACTIVE), SW_SHOWMINNOACTIVE) << "a start asked for otherwise";
    ShowWindow(window_, dialog_->ShowCommandFor(SW_SHOWNORMAL));
    DispatchQueued();
    EXPECT_TRUE(IsZoomed(window_));
    RECT back{};
    GetWindowRect(window_, &back);
    EXPECT_EQ(back.right - back.left, grown.right - grown.left);
    ShowWindow(window_, SW_RESTORE);
    DispatchQueued();
    RECT restored{};
    GetWindowRect(window_, &restored);
    EXPECT_LT(restored.right - restored.left, grown.right - grown.left) << "the size it had before";
}

TEST_F(MainWindowTest, AStoredPlaceOutsideTheScreenIsBroughtBackInside) {
    library_.WriteFile("kibolt.ini", "[window]\r\nleft=5000\r\ntop=-400\r\nwidth=90000\r\nheight=10\r\n");
    Open();
    RECT work{}, rect{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window_, &rect);
    EXPECT_GE(rect.left, work.left);
    EXPECT_GE(rect.top, work.top);
    EXPECT_LE(rect.right, work.right);
    EXPECT_LE(rect.bottom, work.bottom);
    EXPECT_EQ(rect.right - rect.left, work.right - work.left) << "as wide as the screen allows";
    EXPECT_GT(rect.bottom - rect.top, 10) << "no smaller than the dialog";
}

// "放置時間の設定…": the minutes are typed into their dialog, kept in
// kibolt.ini at once and handed to the session's measure; a bad entry is
// named and the dialog stays open for another.
TEST_F(MainWindowTest, IdleMinutesAreSetInTheirDialogAndKept) {
    const std::string kRange = "0 から 120 までの数を入力してください。";
    Open();
    HWND dialog = nullptr;
    std::string shown;
    std::vector<std::string> messages;
    std::vector<bool> openAfterMessage;
    auto type = [&](const std::string& text) {
        return test::Do([&, text] {
            SetWindowTextCp932(GetDlgItem(dialog, IDC_IDLE_MINUTES), text);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
    };
    auto stillOpen = [&] { return test::Do([&] { openAfterMessage.push_back(IsWindowVisible(dialog) != 0); }); };
    test::ModalScript script;
    script.Then(test::WaitForDialog("放置時間の設定", dialog));
    script.Then(test::Do([&] { shown = GetWindowTextCp932(GetDlgItem(dialog, IDC_IDLE_MINUTES)); }));
    for (const char* bad : {"abc", "121", "", "-1"}) {
        script.Then(type(bad));
        script.Then(test::AnswerMessageBox(messages));
        script.Then(stillOpen());
    }
    script.Then(type(" 15 "));  // the command returns once the dialog has closed
    script.Run([&] { Command(IDM_IDLE_TIME); });
    ASSERT_TRUE(script.Finished());
    EXPECT_EQ(shown, "0") << "off by default";
    EXPECT_EQ(messages, std::vector<std::string>(4, kRange));
    EXPECT_EQ(openAfterMessage, std::vector<bool>(4, true));
    EXPECT_EQ(ReadPlaySettings(library_.ReadFile("kibolt.ini")).idleMinutes, 15) << "kept at once";
    EXPECT_EQ(dialog_->Session().IdleLimit(), 15 * 60 * 1000);
    ASSERT_EQ(CloseWith(IDM_EXIT), kExitByMenu);

    // The next start reads it back; Cancel changes nothing.
    Open();
    EXPECT_EQ(dialog_->Session().IdleLimit(), 15 * 60 * 1000);
    test::ModalScript cancel;
    cancel.Then(test::WaitForDialog("放置時間の設定", dialog));
    cancel.Then(test::Do([&] {
        shown = GetWindowTextCp932(GetDlgItem(dialog, IDC_IDLE_MINUTES));
        SetWindowTextCp932(GetDlgItem(dialog, IDC_IDLE_MINUTES), "0");
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    }));
    cancel.Run([&] { Command(IDM_IDLE_TIME); });
    ASSERT_TRUE(cancel.Finished());
    EXPECT_EQ(shown, "15");
    EXPECT_EQ(dialog_->Session().IdleLimit(), 15 * 60 * 1000);
    ASSERT_EQ(CloseWith(IDM_EXIT), kExitByMenu);
    EXPECT_EQ(ReadPlaySettings(library_.ReadFile("kibolt.ini")).idleMinutes, 15);
}

}  // namespace
}  // namespace kibolt
