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

}  // namespace kibolt
