// The DPI a window is shown at, and the system's sizes at that DPI: fixed
// pixel sizes are designed at 96 DPI and scaled to the window's.
#pragma once
#include <windows.h>

namespace kibolt {

// The window's DPI (it follows the monitor it is on); 96 when unknown.
int WindowDpi(HWND window);
// GetSystemMetrics as at `dpi`.
int SystemMetricForDpi(int index, int dpi);

// For a window moving to a display of another DPI (WM_DPICHANGED carries the
// new one): the dialog manager scales the window and its controls, not the
// columns of a list view nor sizes the program keeps.
// Each column keeps its size on screen.
void ScaleListColumns(HWND list, int fromDpi, int toDpi);
SIZE ScaleSize(SIZE size, int fromDpi, int toDpi);
// The DPI in WM_DPICHANGED's wParam.
inline int DpiOfDpiChanged(WPARAM wParam) { return LOWORD(wParam); }

// Dialog units to pixels of this dialog.
RECT DialogRect(HWND dialog, int left, int top, int right, int bottom);

// The smallest size a resizable dialog keeps (WM_GETMINMAXINFO), the same on
// screen after the dialog moves to a display of another DPI.
class SmallestSize {
public:
    // A client area of cx by cy dialog units and the dialog's frame.
    void Take(HWND dialog, int cx, int cy);
    void DpiChanged(int dpi);
    void Apply(MINMAXINFO& info) const;
    int Dpi() const { return dpi_; }  // the DPI the size is at

private:
    SIZE size_{};
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
};

}  // namespace kibolt
