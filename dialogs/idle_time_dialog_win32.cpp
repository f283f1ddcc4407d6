#include "dialogs/idle_time_dialog_win32.h"

#include "library/decimal.h"
#include "library/settings.h"
#include "resources/resource_ids.h"
#include "win32/dialog_object_win32.h"
#include "win32/text_win32.h"
#include "win32/window_placement_win32.h"

namespace kibolt {

namespace {

constexpr const char* kRangeMessage = "0 から 120 までの数を入力してください。";

struct IdleTimeDialog {
    int32_t minutes;  // shown at the start, the number taken on OK
    bool taken = false;

    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = DialogObject<IdleTimeDialog>(dialog, message, lParam);
        if (!self) return FALSE;
        switch (message) {
        case WM_INITDIALOG:
            CenterOverOwner(dialog);
            SetDlgItemTextCp932(dialog, IDC_IDLE_MINUTES, FormatInt(self->minutes));
            SendDlgItemMessageW(dialog, IDC_IDLE_MINUTES, EM_LIMITTEXT, 16, 0);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                const std::optional<int32_t> minutes = ParseIdleMinutes(GetDlgItemTextCp932(dialog, IDC_IDLE_MINUTES));
                if (!minutes) {
                    MessageBoxCp932(dialog, kRangeMessage, kErrorCaption, MB_OK | MB_ICONWARNING);
                    HWND edit = GetDlgItem(dialog, IDC_IDLE_MINUTES);
                    SetFocus(edit);
                    SendMessageW(edit, EM_SETSEL, 0, -1);
                    return TRUE;
                }
                self->minutes = *minutes;
                self->taken = true;
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default: return FALSE;
        }
    }
};

}  // namespace

std::optional<int32_t> RunIdleTimeDialog(HINSTANCE instance, HWND owner, int32_t minutes) {
    IdleTimeDialog dialog{minutes};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_IDLE_TIME), owner, IdleTimeDialog::Proc,
                    reinterpret_cast<LPARAM>(&dialog));
    if (!dialog.taken) return std::nullopt;
    return dialog.minutes;
}

}  // namespace kibolt
