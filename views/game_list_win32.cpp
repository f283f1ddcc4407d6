#include "views/game_list_win32.h"

#include <commctrl.h>

#include "library/library_paths.h"
#include "win32/dpi_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

int ColumnWidthOf(HWND list) {
    RECT rect{};
    GetWindowRect(list, &rect);
    return (rect.right - rect.left) - 2 * SystemMetricForDpi(SM_CXEDGE, WindowDpi(list));
}

}  // namespace

void GameListView::SetUpColumn() { ListViewInsertColumn(list_, 0, "名前", ColumnWidthOf(list_), LVCFMT_LEFT); }

void GameListView::FitColumn() { SendMessageW(list_, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(ColumnWidthOf(list_), 0)); }

void GameListView::Fill(const std::vector<std::string>& titles) {
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    int row = 0;
    for (const std::string& title : titles) ListViewInsertRow(list_, row++, title);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

int GameListView::RowCount() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }

std::string GameListView::Title(int row) const { return ListViewGetCell(list_, row, 0); }

int GameListView::RowOf(const std::string& title) const {
    const std::string wanted = FoldAsciiCase(title);
    const int count = RowCount();
    for (int row = 0; row < count; ++row)
        if (FoldAsciiCase(Title(row)) == wanted) return row;
    return -1;
}

int GameListView::SelectedRow() const {
    return static_cast<int>(
        SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

void GameListView::Select(int row) {
    LVITEMW clear{};
    clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (row < 0) {
        SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
        return;
    }
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace kibolt
