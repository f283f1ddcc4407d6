// The drawing surface of the chart window: bars of play and active time per
// period, axes and legend, drawn with GDI into a back buffer at the window's
// DPI; a tooltip names the bar under the pointer.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "history/chart_layout.h"
#include "history/play_chart.h"
#include "win32/handles_win32.h"

namespace kibolt {

inline constexpr wchar_t kChartAreaClass[] = L"KiboltChartArea";

class ChartArea {
public:
    // Registers the window class the chart window's resource names (once per process).
    static bool Register(HINSTANCE instance);
    static ChartArea* Of(HWND window);

    HWND Window() const { return window_; }
    void SetTable(ChartTable table);
    const ChartTable& Table() const { return table_; }

    // The chart as drawn, as a packed bottom-up 32-bit DIB (header then pixels).
    std::vector<unsigned char> PackedDib() const;

    // The bar under a point of the client area, -1 for none.
    int BarAtPoint(POINT p) const;
    // Text of the tooltip as shown now (empty when it is hidden).
    std::string ShownTip() const;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnMouseMove(POINT p);
    void HideTip();
    // The parts' places for the font selected into dc.
    ChartGeometry LayoutFor(HDC dc, int width, int height) const;
    void Draw(HDC dc, int width, int height) const;
    HFONT Font() const;

    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    ChartTable table_;
    UniqueBitmap buffer_;  // the back buffer, as big as the client area
    SIZE bufferSize_{};
    bool dirty_ = true;
    int hoveredBar_ = -1;
    bool tracking_ = false;
    std::wstring tipText_;
};

}  // namespace kibolt
