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
