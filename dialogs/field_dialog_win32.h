// The shape of the small modal dialogs that edit one value in one edit field:
// they open centred over their owner showing the value; OK takes the field's
// text as a value or refuses it (the dialog then stays open); Cancel and the
// close box give nothing.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "win32/dialog_object_win32.h"
#include "win32/text_win32.h"
#include "win32/window_placement_win32.h"

namespace kibolt {

template <typename Value>
class FieldDialog {
public:
    // The value of the field's text, or nothing when the text is refused
    // (the function has then told the user why).
    using Take = std::function<std::optional<Value>(HWND dialog, HWND field, const std::string& text)>;

    FieldDialog(int field, std::string shown, Take take, int limit = 0)
        : field_(field), shown_(std::move(shown)), take_(std::move(take)), limit_(limit) {}

    std::optional<Value> Run(HINSTANCE instance, HWND owner, int dialog) {
        DialogBoxParamW(instance, MAKEINTRESOURCEW(dialog), owner, DialogProcOf<FieldDialog>,
                        reinterpret_cast<LPARAM>(this));
        return std::move(taken_);
    }

private:
    friend INT_PTR CALLBACK DialogProcOf<FieldDialog>(HWND, UINT, WPARAM, LPARAM);

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM) {
        switch (message) {
        case WM_INITDIALOG:
            CenterOverOwner(window_);
            SetDlgItemTextCp932(window_, field_, shown_);
            if (limit_ > 0) SendDlgItemMessageW(window_, field_, EM_LIMITTEXT, limit_, 0);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                taken_ = take_(window_, GetDlgItem(window_, field_), GetDlgItemTextCp932(window_, field_));
                if (taken_) EndDialog(window_, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(window_, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default: return FALSE;
        }
    }

    HWND window_ = nullptr;
    int field_;
    std::string shown_;
    Take take_;
    int limit_;  // in characters; 0 for the edit's own
    std::optional<Value> taken_;
};

}  // namespace kibolt
