#include "dialogs/idle_time_dialog_win32.h"

#include "dialogs/field_dialog_win32.h"
#include "library/decimal.h"
#include "library/settings.h"
#include "resources/resource_ids.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

constexpr const char* kRangeMessage = "0 から 120 までの数を入力してください。";

// Refused text gets a message naming the range, and the field selected for retyping.
std::optional<int32_t> TakeMinutes(HWND dialog, HWND field, const std::string& text) {
    std::optional<int32_t> minutes = ParseIdleMinutes(text);
    if (!minutes) {
        MessageBoxCp932(dialog, kRangeMessage, kErrorCaption, MB_OK | MB_ICONWARNING);
        SetFocus(field);
        SendMessageW(field, EM_SETSEL, 0, -1);
    }
    return minutes;
}

}  // namespace

std::optional<int32_t> RunIdleTimeDialog(HINSTANCE instance, HWND owner, int32_t minutes) {
    FieldDialog<int32_t> dialog(IDC_IDLE_MINUTES, FormatInt(minutes), TakeMinutes, 16);
    return dialog.Run(instance, owner, IDD_IDLE_TIME);
}

}  // namespace kibolt
