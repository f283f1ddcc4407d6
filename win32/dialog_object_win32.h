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

}  // namespace kibolt
