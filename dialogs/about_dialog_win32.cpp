#include "dialogs/about_dialog_win32.h"

#include "resources/resource_ids.h"
#include "win32/window_placement_win32.h"

namespace kibolt {

namespace {

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: CenterOverOwner(dialog); return TRUE;  // the dialog manager puts the focus on OK
    case WM_COMMAND:
        if (LOWORD(wParam) != IDOK) return FALSE;
        EndDialog(dialog, IDOK);
        return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void RunAboutDialog(HINSTANCE instance, HWND owner) {
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProc, 0);
}

}  // namespace kibolt
