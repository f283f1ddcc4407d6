// The object behind a dialog: handed to the dialog as WM_INITDIALOG's lParam
// and kept in its DWLP_USER slot for every later message.
#pragma once
#include <windows.h>

namespace kibolt {

// Null for the few messages that come before WM_INITDIALOG.
template <typename T>
T* DialogObject(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return reinterpret_cast<T*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// The dialog procedure of a dialog whose object T comes as the create call's
// lParam. T gets its dialog in `window_` at WM_INITDIALOG and loses it at
// WM_NCDESTROY, after its OnWindowGone() if it has one; every message between
// goes to T::HandleMessage, whose return is the procedure's (a message's own
// result goes in DWLP_MSGRESULT, as in any dialog procedure). T makes this its
// friend, so both stay private.
template <typename T>
INT_PTR CALLBACK DialogProcOf(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    T* self = DialogObject<T>(dialog, message, lParam);
    if (!self) return FALSE;
    if (message == WM_INITDIALOG) self->window_ = dialog;
    if (message == WM_NCDESTROY) {
        if constexpr (requires { self->OnWindowGone(); }) self->OnWindowGone();
        self->window_ = nullptr;
        return FALSE;
    }
    return self->HandleMessage(message, wParam, lParam);
}

// The dialog a window belongs to (itself or its top-level parent), null when
// that is no dialog: where the dialog manager takes a message's keys.
inline HWND DialogOf(HWND window) {
    if (!window) return nullptr;
    HWND root = GetAncestor(window, GA_ROOT);
    wchar_t name[16] = {};
    if (!root || !GetClassNameW(root, name, 16)) return nullptr;
    return lstrcmpW(name, L"#32770") == 0 ? root : nullptr;
}

}  // namespace kibolt
