// The "統計" window: a modeless, resizable window listing every game of the
// library with its sessions, totals and first and last play, a total row,
// sorting by any column, and a copy of the table.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "history/library_summary.h"
#include "library/file_system.h"
#include "win32/dialog_object_win32.h"
#include "win32/dpi_win32.h"

namespace kibolt {

// What the window needs of the program around it.
struct StatsHost {
    FileSystem* fs = nullptr;
    std::string root;
    std::function<bool()> busy;                                  // a game is being played
    std::function<void(Category, const std::string&)> showGame;  // make it the current game
};

class StatsWindow {
public:
    explicit StatsWindow(HINSTANCE instance) : instance_(instance) {}
    ~StatsWindow() { Close(); }
    StatsWindow(const StatsWindow&) = delete;
    StatsWindow& operator=(const StatsWindow&) = delete;

    // Opens the window centred over `over` (reading every log), or brings the
    // open one to the front. False when the window could not be made.
    bool Show(HWND over, StatsHost host);
    // Reads every log again (a game recorded, registered, moved, renamed or deleted).
    void Reload();
    void Close() {
        if (window_) DestroyWindow(window_);
    }

    bool IsOpen() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    HWND List() const { return list_; }
    // The games in the shown order (the total row follows them).
    const std::vector<GameSummary>& Games() const { return games_; }
    SummaryOrder Order() const { return order_; }
    std::string CellText(int row, int column) const;

private:
    friend INT_PTR CALLBACK DialogProcOf<StatsWindow>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnWindowGone() { list_ = nullptr; }
    INT_PTR OnNotify(const NMHDR& header);
    void LayOut();
    void Sort();
    void ShowSortArrow();
    void OnDoubleClick(int row);

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    StatsHost host_;
    std::vector<GameSummary> games_;
    GameSummary total_;
    SummaryOrder order_;
    SmallestSize smallest_;  // its DPI is the one the columns are at
    std::wstring buffer_;    // text handed to the list, valid until the next request
};

}  // namespace kibolt
