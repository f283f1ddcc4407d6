#include "history/stats_window_win32.h"

#include "win32/dialog_object_win32.h"
#include "win32/dpi_win32.h"
#include "win32/text_win32.h"
#include "win32/window_placement_win32.h"
#include "resources/resource_ids.h"
#include "win32/clipboard_win32.h"

namespace kibolt {

namespace {

// Column widths in dialog units: the title widest, the count with room for the
// lines left out, dates wide enough for their text.
constexpr int kColumnWidths[kSummaryColumnCount] = {102, 42, 50, 58, 66, 44, 70, 70};

}  // namespace

bool StatsWindow::Show(HWND over, StatsHost host) {
    host_ = std::move(host);
    if (!window_) {
        // Not owned: the main window comes in front of it on a double click.
        if (!CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_STATS), nullptr, DialogProcOf<StatsWindow>,
                                reinterpret_cast<LPARAM>(this)))
            return false;
        CenterOver(window_, over);
        ShowWindow(window_, SW_SHOW);
        Reload();
    }
    if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
    SetForegroundWindow(window_);
    return true;
}

void StatsWindow::Reload() {
    if (!window_ || !host_.fs) return;
    games_ = ReadLibrarySummary(*host_.fs, host_.root);
    total_ = SummaryTotal(games_);
    Sort();
}

void StatsWindow::Sort() {
    SortSummaries(games_, order_);
    ShowSortArrow();
    // The rows are drawn on demand from games_: one count and a redraw.
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED;  // a selected row would now be another game
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    SendMessageW(list_, LVM_SETITEMCOUNT, games_.size() + 1, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void StatsWindow::ShowSortArrow() {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    for (int i = 0; i < kSummaryColumnCount; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (i == static_cast<int>(order_.column)) item.fmt |= order_.descending ? HDF_SORTDOWN : HDF_SORTUP;
        SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

std::string StatsWindow::CellText(int row, int column) const {
    if (row < 0 || column < 0 || column >= kSummaryColumnCount) return {};
    const size_t index = static_cast<size_t>(row);
    if (index < games_.size()) return SummaryCells(games_[index])[static_cast<size_t>(column)];
    if (index == games_.size()) return SummaryCells(total_, true)[static_cast<size_t>(column)];
    return {};
}

INT_PTR StatsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return TRUE;
    case WM_SIZE: LayOut(); return TRUE;
    case WM_DPICHANGED:
        ScaleListColumns(list_, smallest_.Dpi(), DpiOfDpiChanged(wParam));
        smallest_.DpiChanged(DpiOfDpiChanged(wParam));
        return FALSE;  // the dialog manager moves and scales the window
    case WM_GETMINMAXINFO: smallest_.Apply(*reinterpret_cast<MINMAXINFO*>(lParam)); return TRUE;
    case WM_NOTIFY: {
        const INT_PTR result = OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(window_);  // Esc and the close box
        } else if (LOWORD(wParam) == IDC_STATS_COPY && HIWORD(wParam) == BN_CLICKED) {
            PutTextOnClipboard(window_, SummaryTableText(games_));
        }
        return TRUE;
    default: return FALSE;
    }
}

void StatsWindow::OnInitDialog() {
    list_ = GetDlgItem(window_, IDC_STATS_LIST);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    for (int i = 0; i < kSummaryColumnCount; ++i) {
        const bool number =
            i >= static_cast<int>(SummaryColumn::Sessions) && i <= static_cast<int>(SummaryColumn::TotalInputs);
        ListViewInsertColumn(list_, i, kSummaryHeaders[static_cast<size_t>(i)],
                             DialogRect(window_, 0, 0, kColumnWidths[i], 0).right, number ? LVCFMT_RIGHT : LVCFMT_LEFT);
    }
    smallest_.Take(window_, 200, 100);
    LayOut();
}

void StatsWindow::LayOut() {
    if (!list_) return;
    RECT client{};
    GetClientRect(window_, &client);
    const RECT unit = DialogRect(window_, 7, 14, 50, 4);  // margin, button height, button width, gap
    const int margin = unit.left, buttonHeight = unit.top, buttonWidth = unit.right;
    const int buttonTop = client.bottom - margin - buttonHeight;
    SetWindowPos(GetDlgItem(window_, IDC_STATS_COPY), nullptr, client.right - margin - buttonWidth, buttonTop,
                 buttonWidth, buttonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(list_, nullptr, 0, 0, client.right, std::max<LONG>(1, buttonTop - unit.bottom),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR StatsWindow::OnNotify(const NMHDR& header) {
    if (header.hwndFrom != list_) return 0;
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        auto& info = *reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header));
        if (info.item.mask & LVIF_TEXT) {
            buffer_ = Widen(CellText(info.item.iItem, info.item.iSubItem));
            info.item.pszText = buffer_.data();
        }
        return 0;
    }
    case LVN_COLUMNCLICK: {
        const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
        if (column < 0 || column >= kSummaryColumnCount) return 0;
        order_ = NextOrder(order_, static_cast<SummaryColumn>(column));
        Sort();
        return 0;
    }
    case NM_DBLCLK: OnDoubleClick(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem); return 0;
    default: return 0;
    }
}

void StatsWindow::OnDoubleClick(int row) {
    if (row < 0 || static_cast<size_t>(row) >= games_.size()) return;  // "合計" and empty space
    if (host_.busy && host_.busy()) return;
    if (host_.showGame)
        host_.showGame(games_[static_cast<size_t>(row)].category, games_[static_cast<size_t>(row)].title);
}

}  // namespace kibolt
