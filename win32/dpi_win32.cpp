#include "win32/dpi_win32.h"

namespace kibolt {

int WindowDpi(HWND window) {
    const UINT dpi = window ? GetDpiForWindow(window) : 0;
    return dpi ? static_cast<int>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

int SystemMetricForDpi(int index, int dpi) { return GetSystemMetricsForDpi(index, static_cast<UINT>(dpi)); }

}  // namespace kibolt
