#include "win32/dpi_win32.h"

#include <commctrl.h>

namespace kibolt {

int WindowDpi(HWND window) {
    const UINT dpi = window ? GetDpiForWindow(window) : 0;
    return dpi ? static_cast<int>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

int SystemMetricForDpi(int index, int dpi) { return GetSystemMetricsForDpi(index, static_cast<UINT>(dpi)); }

void ScaleListColumns(HWND list, int fromDpi, int toDpi) {
    if (!list || fromDpi <= 0 || toDpi <= 0 || fromDpi == toDpi) return;
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
        SendMessageW(list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(MulDiv(width, toDpi, fromDpi), 0));
    }
}

SIZE ScaleSize(SIZE size, int fromDpi, int toDpi) {
    if (fromDpi <= 0 || toDpi <= 0) return size;
    return {MulDiv(size.cx, toDpi, fromDpi), MulDiv(size.cy, toDpi, fromDpi)};
}

RECT DialogRect(HWND dialog, int left, int top, int right, int bottom) {
    RECT r{left, top, right, bottom};
    MapDialogRect(dialog, &r);
    return r;
}

void SmallestSize::Take(HWND dialog, int cx, int cy) {
    RECT frame = DialogRect(dialog, 0, 0, cx, cy);
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
    size_ = {frame.right - frame.left, frame.bottom - frame.top};
    dpi_ = WindowDpi(dialog);
}

void SmallestSize::DpiChanged(int dpi) {
    size_ = ScaleSize(size_, dpi_, dpi);
    dpi_ = dpi;
}

void SmallestSize::Apply(MINMAXINFO& info) const {
    if (size_.cx) info.ptMinTrackSize = {size_.cx, size_.cy};  // unknown while the dialog is being made
}

}  // namespace kibolt
