#include "views/session_table_win32.h"

#include "views/session_columns.h"
#include "win32/dpi_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

void SessionListView::SetColumns(const std::vector<int>& fields, int dataWidth) {
    std::vector<int> widths(fields.size() + 1, dataWidth);
    widths[0] = NumberColumnWidthFor(sessions_);
    SetColumns(fields, widths);
}

void SessionListView::SetColumns(const std::vector<int>& fields, const std::vector<int>& widths) {
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    while (SendMessageW(list_, LVM_DELETECOLUMN, 0, 0)) {}
    ListViewInsertColumn(list_, 0, kNumberHeader, widths.at(0), LVCFMT_LEFT);
    int position = 1;
    for (int field : fields) {
        ListViewInsertColumn(list_, position, kFieldHeaders[field], widths.at(static_cast<size_t>(position)),
                             LVCFMT_LEFT);
        ++position;
    }
    fields_ = fields;
    columnsMade_ = true;
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

int SessionListView::NumberColumnWidthFor(const std::vector<SessionRecord>* sessions) const {
    int textWidth = 0;
    if (sessions && !sessions->empty()) {
        // Numbers run 1, 2, 3 ... : the last is the longest.
        const std::wstring text = Widen(SessionNumberText(sessions->back()));
        textWidth =
            static_cast<int>(SendMessageW(list_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    return NumberColumnWidth(WindowDpi(list_), textWidth);
}

void SessionListView::FitNumberColumn() {
    if (columnsMade_) SendMessageW(list_, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(NumberColumnWidthFor(sessions_), 0));
}

void SessionListView::SetDataColumnWidth(int width) {
    for (size_t column = 1; column <= fields_.size(); ++column)
        SendMessageW(list_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(width, 0));
}

void SessionListView::SetColumnWidths(const std::vector<int>& widths) {
    // Drawn once, not once a column: a game change or a resize stays quick.
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    for (size_t column = 0; column < widths.size() && column <= fields_.size(); ++column)
        if (SendMessageW(list_, LVM_GETCOLUMNWIDTH, column, 0) != widths[column])
            SendMessageW(list_, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(widths[column], 0));
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

std::vector<int> SessionListView::ColumnWidths() const {
    std::vector<int> widths;
    if (!columnsMade_) return widths;
    for (size_t column = 0; column <= fields_.size(); ++column)
        widths.push_back(static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, column, 0)));
    return widths;
}

void SessionListView::Show(const std::vector<SessionRecord>* sessions) {
    sessions_ = sessions;
    // Rebuilt rows carry no selection or focus.
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
    SendMessageW(list_, LVM_SETITEMCOUNT, sessions ? sessions->size() : 0, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

int SessionListView::RowCount() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<int> SessionListView::SelectedRows() const {
    std::vector<int> rows;
    int row = -1;
    while ((row = static_cast<int>(
                SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(row), MAKELPARAM(LVNI_SELECTED, 0)))) != -1)
        rows.push_back(row);
    return rows;
}

std::string SessionListView::CellText(int row, int column) const {
    if (!sessions_ || row < 0 || static_cast<size_t>(row) >= sessions_->size()) return {};
    const SessionRecord& session = (*sessions_)[static_cast<size_t>(row)];
    if (column == 0) return SessionNumberText(session);
    if (column < 1 || static_cast<size_t>(column) > fields_.size()) return {};
    return std::string(session.Field(fields_[static_cast<size_t>(column) - 1]));
}

void SessionListView::OnGetDispInfo(NMLVDISPINFOW& info) {
    if (!(info.item.mask & LVIF_TEXT) || !info.item.pszText || info.item.cchTextMax <= 0) return;
    buffer_ = Widen(CellText(info.item.iItem, info.item.iSubItem));
    size_t length = std::min(buffer_.size(), static_cast<size_t>(info.item.cchTextMax - 1));
    buffer_.copy(info.item.pszText, length);
    info.item.pszText[length] = L'\0';
}

}  // namespace kibolt
