#include "export/copy_settings_dialog_win32.h"

#include "app/main_dialog_win32.h"
#include "app/window_placement_win32.h"

namespace kibolt {

namespace {

constexpr int kCopySettingsDialog = 208;
// Check boxes of the dialog beyond the eighteen copy bits.
constexpr int kExtraCheckBoxes[] = {1040, 1041, 1059, 1063};

// The dialog shows nothing of the current settings and changes none: every
// box starts unchecked and both buttons only close it.
INT_PTR CALLBACK CopySettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        CenterOverOwner(dialog);
        for (int id : kCopyCheckBoxes) CheckDlgButton(dialog, id, BST_UNCHECKED);
        for (int id : kExtraCheckBoxes) CheckDlgButton(dialog, id, BST_UNCHECKED);
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
    DialogBoxParamW(instance, MAKEINTRESOURCEW(kCopySettingsDialog), owner, CopySettingsProc, 0);
}

}  // namespace kibolt
