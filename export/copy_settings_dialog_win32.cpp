#include "export/copy_settings_dialog_win32.h"

#include "resources/resource_ids.h"
#include "win32/window_placement_win32.h"

namespace kibolt {

namespace {

// The dialog shows nothing of the current settings and changes none: every
// box starts unchecked and both buttons only close it.
INT_PTR CALLBACK CopySettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        CenterOverOwner(dialog);
        for (int id : kCopyCheckBoxes) CheckDlgButton(dialog, id, BST_UNCHECKED);
        for (int id : kCopySettingsExtraCheckBoxes) CheckDlgButton(dialog, id, BST_UNCHECKED);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

void RunCopySettingsDialog(HINSTANCE instance, HWND owner) {
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_COPY_SETTINGS), owner, CopySettingsProc, 0);
}

}  // namespace kibolt
