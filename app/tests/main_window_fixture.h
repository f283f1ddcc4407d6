// A main window made from the real resources over a throw-away library.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_dialog_win32.h"
#include "library/file_system_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/win_test_support.h"
#include "win32/text_win32.h"

namespace kibolt {

using test::PumpUntil;
using test::PumpUntilQuit;
using test::TempLibrary;

class MainWindowTest : public testing::Test {
protected:
    // Lets the window handle what is queued, through the dialog manager.
    void DispatchQueued() { test::DispatchQueued(window_); }
    std::string Text(int id) const { return GetWindowTextCp932(Item(id)); }
    void Open() {
        dialog_ = std::make_unique<MainDialog>(GetModuleHandleW(nullptr), fs_, library_.CommandLine(), "C:\\");
        window_ = dialog_->Create();
        ASSERT_NE(window_, nullptr);
        ShowWindow(window_, SW_SHOW);
        DispatchQueued();  // the first paint included
    }
    void TearDown() override {
        dialog_.reset();
        MSG message;  // drop a quit message left by a close
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    HWND Item(int id) const { return GetDlgItem(window_, id); }
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    std::vector<std::string> ListedGames() const {
        std::vector<std::string> titles;
        HWND list = Item(IDC_GAME_LIST);
        int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) titles.push_back(ListViewGetCell(list, i, 0));
        return titles;
    }
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
        PumpUntil([&] { return dialog_->State()->CurrentCategory() == static_cast<Category>(index); }, 2000,
                  window_);
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
        ClickListAt(list, {rect.left + 4, (rect.top + rect.bottom) / 2}, right);
    }
    // A real click at a point of a list; waits until the list has seen the button go up.
    void ClickListAt(HWND list, POINT at, bool right = false) {
        ASSERT_TRUE(test::BringToFront(window_));
        bool seen = false;
        test::ClickClient(list, at, right);
        // The click is handled once the input queue is empty again.
        PumpUntil([&] { return seen = !GetQueueStatus(QS_INPUT); }, 3000, window_);
        DispatchQueued();
        ASSERT_TRUE(seen);
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
    // Loads a listed game by a real click on its row. Wine now and then drops a
    // synthesized click; clicking the same row again does no harm, so it is repeated.
    void ClickGame(const std::string& title) {
        int row = RowIndexOf(title);
        ASSERT_GE(row, 0) << title;
        for (int attempt = 0; attempt < 3; ++attempt) {
            ClickGameRow(row);
            if (PumpUntil([&] { return dialog_->State()->Current().title == title; }, 1500, window_)) return;
        }
        FAIL() << "the click on " << title << " loaded nothing";
    }

    TempLibrary library_;
    Win32FileSystem fs_;
    std::unique_ptr<MainDialog> dialog_;
    HWND window_ = nullptr;
};


}  // namespace kibolt
