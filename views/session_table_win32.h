// A session list view (the main window's table or the extra list) that
// shows the current game's sessions. It is a virtual list: rows are drawn
// from the sessions in memory on demand, so a game with 100 000 sessions
// shows at once.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "library/game_log.h"

namespace kibolt {

class SessionListView {
public:
    void Attach(HWND list) { list_ = list; }
    HWND Window() const { return list_; }

    // Rebuilds the columns: "回" then `fields` in order, each `dataWidth` wide.
    void SetColumns(const std::vector<int>& fields, int dataWidth);
    // widths: "回" first, then one per field.
    void SetColumns(const std::vector<int>& fields, const std::vector<int>& widths);
    // The number column's width for these sessions at the list's DPI: the
    // designed width, or wider where the last number would not show whole.
    int NumberColumnWidthFor(const std::vector<SessionRecord>* sessions) const;
    // Gives the number column that width for the sessions shown.
    void FitNumberColumn();
    void SetDataColumnWidth(int width);
    void SetColumnWidths(const std::vector<int>& widths);  // as SetColumns takes them
    std::vector<int> ColumnWidths() const;                 // of the columns shown
    const std::vector<int>& Fields() const { return fields_; }
    // Shows these sessions (the list keeps the pointer until the next Show);
    // the selection is cleared as when rows are rebuilt.
    void Show(const std::vector<SessionRecord>* sessions);
    int RowCount() const;
    std::vector<int> SelectedRows() const;  // ascending
    std::string CellText(int row, int column) const;

    // LVN_GETDISPINFOW for this list.
    void OnGetDispInfo(NMLVDISPINFOW& info);

private:
    HWND list_ = nullptr;
    std::vector<int> fields_;
    bool columnsMade_ = false;
    const std::vector<SessionRecord>* sessions_ = nullptr;
    std::wstring buffer_;  // text handed to the control, valid until the next request
};

}  // namespace kibolt
