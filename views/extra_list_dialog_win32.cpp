#include "views/extra_list_dialog_win32.h"

#include <commctrl.h>

#include "resources/resource_ids.h"
#include "views/session_columns.h"
#include "win32/dialog_object_win32.h"
#include "win32/dpi_win32.h"
#include "win32/window_placement_win32.h"

namespace kibolt {

void ExtraListDialog::Run(HINSTANCE instance, HWND owner, const std::vector<SessionRecord>* sessions,
                          ExtraListDialog** openDialog) {
    ExtraListDialog dialog;
    dialog.initial_ = sessions;
    dialog.openDialog_ = openDialog;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_EXTRA_LIST), owner, DialogProcOf<ExtraListDialog>,
                    reinterpret_cast<LPARAM>(&dialog));
    *openDialog = nullptr;
}

void ExtraListDialog::FillClientArea() {
    RECT client{};
    GetClientRect(window_, &client);
    SetWindowPos(list_.Window(), HWND_BOTTOM, client.left, client.top, client.right - client.left,
                 client.bottom - client.top, SWP_SHOWWINDOW);
}

int ExtraListDialog::ListWidth() const {
    RECT rect{};
    GetWindowRect(list_.Window(), &rect);
    return rect.right - rect.left;
}

INT_PTR ExtraListDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        CenterOverOwner(window_);
        list_.Attach(GetDlgItem(window_, IDC_SESSION_TABLE));
        // A cell cut by its column shows its whole text in a tooltip.
        SendMessageW(list_.Window(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_LABELTIP, LVS_EX_LABELTIP);
        FillClientArea();
        std::vector<int> all;
        for (int k = 0; k < kSessionFieldCount; ++k) all.push_back(k);
        list_.Show(initial_);  // first: "回" is made as wide as their numbers need
        dpi_ = WindowDpi(window_);
        list_.SetColumns(all, ExtraColumnWidth(ListWidth(), dpi_));
        *openDialog_ = this;
        return TRUE;
    }
    case WM_DPICHANGED:
        // "回" keeps its size on screen; the fields are laid out again as the window is moved.
        ScaleListColumns(list_.Window(), dpi_, DpiOfDpiChanged(wParam));
        dpi_ = DpiOfDpiChanged(wParam);
        return FALSE;
    case WM_WINDOWPOSCHANGED:
        if (*openDialog_ == this) {
            FillClientArea();
            list_.SetDataColumnWidth(ExtraColumnWidth(ListWidth(), WindowDpi(window_)));
        }
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->hwndFrom == list_.Window() && header->code == LVN_GETDISPINFOW) {
            list_.OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            *openDialog_ = nullptr;
            EndDialog(window_, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace kibolt
