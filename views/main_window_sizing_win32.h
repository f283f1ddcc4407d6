// The main window's size and place, the controls that follow it and the
// session table's column widths: the window grows from the dialog's own size,
// its controls follow the layout table (views/main_window_layout.h), and the
// size, place and the column widths the user chose come back at the next start.
#pragma once
#include <windows.h>

#include <array>
#include <utility>
#include <vector>

#include "library/game_log.h"
#include "library/settings.h"
#include "views/session_columns.h"
#include "views/session_table_win32.h"

namespace kibolt {

class MainWindowSizing {
public:
    explicit MainWindowSizing(SessionListView& table) : table_(table) {}

    // Once the dialog is made: its size is the smallest the window takes, and
    // its controls' places are where they start.
    void Remember(HWND window);
    // The size, place and column widths of the last run.
    void Restore(const WindowSettings& saved);
    WindowSettings Now();
    // How to show the new window: maximised when it was left so.
    int ShowCommandFor(int requested) const;
    void LimitTracking(MINMAXINFO& info) const;
    // The window is on a display of another DPI now.
    void DpiChanged(int dpi);

    // The tabs and every control that follows the window, then the table's columns.
    void Layout(HWND tab, const std::vector<SessionRecord>& sessions);
    // The table shows these fields now.
    void SetColumns(const std::vector<int>& fields, const std::vector<SessionRecord>& sessions);
    // The table shows other sessions: longer session numbers than it was laid
    // out for widen "回" (unless the user sized it).
    void SessionsShown(const std::vector<SessionRecord>& sessions);

private:
    void ScaleTo(int dpi);
    // Notes the widths the user gave columns since the program last laid them out.
    void CaptureColumnWidths();
    // Widths of "回" and the given fields' columns: the user's, the rest sharing what is left.
    std::vector<int> ColumnWidths(const std::vector<int>& fields, const std::vector<SessionRecord>& sessions) const;
    void FitColumns(const std::vector<SessionRecord>& sessions);

    SessionListView& table_;
    HWND window_ = nullptr;
    SIZE minimumSize_{};                                   // the dialog's own size: the window is never smaller
    RECT startClient_{};                                   // the client area at that size
    std::vector<std::pair<int, RECT>> startPlaces_;        // the controls that follow the window, there
    int dpi_ = USER_DEFAULT_SCREEN_DPI;                    // the DPI those and the user's column widths are at
    std::array<int, kSessionColumnCount> columnWidths_{};  // widths the user gave; 0: laid out here
    std::vector<int> laidOutWidths_;                       // what the program last gave the shown columns
    bool startMaximized_ = false;
};

}  // namespace kibolt
