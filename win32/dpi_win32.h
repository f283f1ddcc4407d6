// The DPI a window is shown at, and the system's sizes at that DPI: fixed
// pixel sizes are designed at 96 DPI and scaled to the window's.
#pragma once
#include <windows.h>

namespace kibolt {

// The window's DPI (it follows the monitor it is on); 96 when unknown.
int WindowDpi(HWND window);
// GetSystemMetrics as at `dpi`.
int SystemMetricForDpi(int index, int dpi);

}  // namespace kibolt
