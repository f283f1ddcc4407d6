// A main window made from the real resources over a throw-away library.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_dialog_win32.h"
#include "library/game_log.h"
#include "library/file_system_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/win_test_support.h"
#include "win32/text_win32.h"

namespace kibolt {

using test::PumpUntil;
using test::PumpUntilQuit;
using test::TempLibrary;

// What the two context menus hold, in order.
inline const std::vector<test::MenuItem> kGameMenu = {
    {IDM_START_GAME, "ゲーム開始"},  {IDM_NEW_GAME, "新しいゲームを登録"},
    {IDM_MOVE_PLAYING, "playingへ"}, {IDM_MOVE_CLEARED, "clearedへ"},
    {IDM_MOVE_OTHERS, "othersへ"},   {IDM_PROPERTIES, "プロパティ"},
    {IDM_CHART, "グラフ"},           {IDM_CREATE_SHORTCUT, "ショートカットを作成"},
    {IDM_DELETE_GAME, "削除"},
};
inline const std::vector<test::MenuItem> kSessionMenu = {
    {IDM_COPY_SELECTED, "選択行をコピー"},     {IDM_COPY_ALL, "ユーザー定義で全部コピー"},
    {IDM_COMMENT_SESSION, "コメントを付ける"}, {IDM_DELETE_SESSIONS, "選択行削除"},
    {IDM_UNDO_SESSION_DELETION, "元に戻す"},
};

class MainWindowTest : public testing::Test {
protected:
    MainWindowTest() = default;
    // Over a library inside a folder of that name.
    explicit MainWindowTest(std::wstring_view parentName) : library_(parentName) {}
    // Lets the window handle what is queued, through the dialog manager.
    void DispatchQueued() { test::DispatchQueued(window_); }
    std::string Text(int id) const { return GetWindowTextCp932(Item(id)); }
    void Open() {
        dialog_ = std::make_unique<MainDialog>(GetModuleHandleW(nullptr), fs_, library_.WideCommandLine(), L"C:\\");
        window_ = dialog_->Create();
        ASSERT_NE(window_, nullptr);
        ShowWindow(window_, SW_SHOW);
        DispatchQueued();  // the first paint included
    }
    void TearDown() override {
        dialog_.reset();
        MSG message;  // drop a quit message left by a close
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {}
    }
    HWND Item(int id) const { return GetDlgItem(window_, id); }
    HWND Table() const { return Item(IDC_SESSION_TABLE); }
    int RowCount() const { return static_cast<int>(SendMessageW(Table(), LVM_GETITEMCOUNT, 0, 0)); }
    GameLogContent LogOnDisk(const std::string& relative) const {
        return ParseGameLogFile(library_.ReadFile(relative));
    }
    // The folders a file at `relative` in the library's folder lies in.
    void MakeFoldersFor(const std::string& relative) const {
        for (size_t slash = relative.find('\\'); slash != std::string::npos; slash = relative.find('\\', slash + 1))
            library_.MakeFolder(relative.substr(0, slash));
    }
    // A copy of the program at `program` at `relative` in the library's folder; its path.
    std::string CopyProgram(const std::string& program, const std::string& relative) const {
        const std::string path = library_.Path(relative);
        MakeFoldersFor(relative);
        EXPECT_TRUE(CopyFileW(Widen(program).c_str(), Widen(path).c_str(), FALSE)) << path;
        return path;
    }
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::vector<std::string> ListedGames() const {
        std::vector<std::string> titles;
        HWND list = Item(IDC_GAME_LIST);
        int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) titles.push_back(ListViewGetCell(list, i, 0));
        return titles;
    }
    // A command as the menus give it; returns when any modal loop it opened has ended.
    void Command(int id) { SendMessageW(window_, WM_COMMAND, id, 0); }
    // Closes with the close box's command and returns the exit code.
    int CloseWith(int command) {
        PostMessageW(window_, WM_COMMAND, command, 0);
        return PumpUntilQuit(5000, window_);
    }
    void SelectTab(int index) {
        // The tab control moves its selection and sends its own notifications.
        HWND tab = Item(IDC_TAB);
        SendMessageW(tab, TCM_SETCURFOCUS, index, 0);
        ASSERT_TRUE(PumpUntil([&] { return SendMessageW(tab, TCM_GETCURSEL, 0, 0) == index; }, 5000, window_));
        PumpUntil([&] { return dialog_->State()->CurrentCategory() == static_cast<Category>(index); }, 2000, window_);
    }
    // A click on a check box as the button itself takes it (BN_CLICKED from the control).
    void ClickCheckBox(int id) {
        bool before = SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
        SendMessageW(Item(id), BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return (SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED) != before; },
                              3000, window_));
        DispatchQueued();
    }
    // A real click on a row of the game list; waits until it is handled.
    void ClickGameRow(int row, bool right = false) {
        HWND list = Item(IDC_GAME_LIST);
        RECT rect{};
        rect.left = LVIR_LABEL;
        SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        ClickAt(list, {rect.left + 4, (rect.top + rect.bottom) / 2}, right);
    }
    // A real click at a point of a control; waits until the window has taken it.
    void ClickAt(HWND control, POINT at, bool right = false) {
        ASSERT_TRUE(test::BringToFront(window_));
        test::ClickClient(control, at, right);
        ASSERT_TRUE(WaitUntilInputHandled());
    }
    // Waits until the window has handled the real input sent so far: it is
    // taken once the input queue is empty again. False at the deadline.
    bool WaitUntilInputHandled() {
        const bool taken = PumpUntil([] { return !GetQueueStatus(QS_INPUT); }, 3000, window_);
        DispatchQueued();
        return taken;
    }
    // Real input that opens a modal loop: pumps until the script has run, or
    // with `expectModal` false only until the input is handled.
    void RunInput(test::ModalScript& script, const std::function<void()>& input, bool expectModal = true) {
        script.Run([&] {
            ASSERT_TRUE(test::BringToFront(window_));
            input();
            PumpUntil([&] { return (!expectModal || script.Finished()) && !GetQueueStatus(QS_INPUT); }, 15000, window_);
            DispatchQueued();
        });
    }
    // A real click for RunInput, which waits for it; the pointer is moved there
    // first and its move awaited, so the button cannot be taken at the place of
    // the click before.
    void Click(HWND window, POINT at, bool right = false) {
        const POINT screen = ScreenPoint(window, at);
        SetCursorPos(screen.x, screen.y);
        PumpUntil(
            [&] {
                POINT now{};
                GetCursorPos(&now);
                return now.x == screen.x && now.y == screen.y;
            },
            2000, window_);
        test::ClickClient(window, at, right);
    }
    POINT RowPoint(HWND list, int row) const {
        RECT rect{};
        rect.left = LVIR_BOUNDS;
        SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        return {rect.left + 8, (rect.top + rect.bottom) / 2};
    }
    POINT EmptyPoint(HWND list) const {
        RECT client{};
        GetClientRect(list, &client);
        return {10, client.bottom - 10};
    }
    static POINT ScreenPoint(HWND window, POINT client) {
        ClientToScreen(window, &client);
        return client;
    }
    // Loads a listed game as a click on its row does (the click itself is the game list's own test).
    void Pick(const std::string& title) {
        int row = RowIndexOf(title);
        ASSERT_GE(row, 0) << title;
        dialog_->SelectGame(row);
        ASSERT_EQ(dialog_->State()->Current().title, title);
    }
    // Selects session table rows as the control does for clicks; the table's own selection is not under test.
    void SelectRows(const std::vector<int>& rows) {
        for (int row : rows) {
            LVITEMW item{};
            item.stateMask = item.state = LVIS_SELECTED;
            SendMessageW(Table(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
        }
        ASSERT_TRUE(test::BringToFront(window_));
        SetFocus(Table());
        DispatchQueued();
    }
    // Whether the controls that would take the game's log away are disabled, as during play.
    bool PlayLocked() const {
        return !IsWindowEnabled(Item(IDC_GAME_LIST)) && !IsWindowEnabled(Item(IDC_SESSION_TABLE)) &&
               !IsWindowEnabled(Item(IDC_TAB));
    }
    int RowIndexOf(const std::string& title) const {
        std::vector<std::string> titles = ListedGames();
        for (size_t i = 0; i < titles.size(); ++i)
            if (titles[i] == title) return static_cast<int>(i);
        return -1;
    }
    // Loads a listed game by a real click on its row.
    void ClickGame(const std::string& title) {
        int row = RowIndexOf(title);
        ASSERT_GE(row, 0) << title;
        ClickGameRow(row);
        ASSERT_TRUE(PumpUntil([&] { return dialog_->State()->Current().title == title; }, 3000, window_))
            << "the click on " << title << " loaded nothing; the game list's selection is row "
            << SendMessageW(Item(IDC_GAME_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    }

    TempLibrary library_;
    Win32FileSystem fs_;
    std::unique_ptr<MainDialog> dialog_;
    HWND window_ = nullptr;
};

// The main window with the sample game to play, and the flush that waits for
// the inputs the hook reports.
class SampleGameTest : public MainWindowTest {
protected:
    void SetUp() override {
        game_ = test::WindowsPathFromEnv("SAMPLE_GAME_EXE");
        if (game_.empty()) GTEST_SKIP() << "SAMPLE_GAME_EXE is not set";
        flush_ = std::make_unique<test::InputFlush>();  // before the activity hook is armed
        ASSERT_TRUE(flush_->Installed());
    }
    void TearDown() override {
        test::CloseSampleGame();
        MainWindowTest::TearDown();
        flush_.reset();
    }
    // Waits until the main thread has handled everything the hook posted for the inputs sent so far.
    void FlushInputs() { ASSERT_TRUE(flush_->Flush(window_)); }

    std::string game_;
    std::unique_ptr<test::InputFlush> flush_;
};

}  // namespace kibolt
