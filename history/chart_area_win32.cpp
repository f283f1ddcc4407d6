#include "history/chart_area_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string_view>

#include "win32/dpi_win32.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kPlayColour = RGB(140, 185, 235);
constexpr COLORREF kActiveColour = RGB(35, 95, 175);
constexpr COLORREF kGridColour = RGB(225, 225, 225);
constexpr COLORREF kAxisColour = RGB(90, 90, 90);
constexpr COLORREF kTextColour = RGB(30, 30, 30);
constexpr COLORREF kWarningColour = RGB(170, 30, 30);
constexpr UINT_PTR kTipId = 1;

void Fill(HDC dc, int left, int top, int right, int bottom, const UniqueBrush& brush) {
    if (right <= left || bottom <= top) return;
    RECT r{left, top, right, bottom};
    FillRect(dc, &r, brush.Get());
}

SIZE TextSize(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void Text(HDC dc, int x, int y, const std::wstring& text, COLORREF colour) {
    SetTextColor(dc, colour);
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

}  // namespace

bool ChartArea::Register(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kChartAreaClass, &existing)) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kChartAreaClass;
    return RegisterClassExW(&windowClass) != 0;
}

ChartArea* ChartArea::Of(HWND window) { return reinterpret_cast<ChartArea*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

LRESULT CALLBACK ChartArea::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* area = new ChartArea;
        area->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(area));
    }
    ChartArea* area = Of(window);
    if (!area) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete area;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return area->Handle(message, wParam, lParam);
}

LRESULT ChartArea::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        tool.hwnd = window_;
        tool.uId = kTipId;
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);  // several lines
        return 0;
    }
    case WM_DESTROY:
        if (tooltip_) DestroyWindow(tooltip_);
        tooltip_ = nullptr;
        buffer_.Reset();
        return 0;
    case WM_ERASEBKGND: return 1;  // the back buffer covers everything
    case WM_SIZE:
    case WM_DPICHANGED_AFTERPARENT:
    case WM_SETTINGCHANGE:
        dirty_ = true;
        HideTip();
        InvalidateRect(window_, nullptr, FALSE);
        return 0;
    case WM_PAINT: OnPaint(); return 0;
    case WM_MOUSEMOVE: OnMouseMove({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}); return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        HideTip();
        return 0;
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void ChartArea::SetTable(ChartTable table) {
    table_ = std::move(table);
    dirty_ = true;
    HideTip();
    InvalidateRect(window_, nullptr, FALSE);
}

HFONT ChartArea::Font() const {
    auto font = reinterpret_cast<HFONT>(SendMessageW(GetParent(window_), WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void ChartArea::OnPaint() {
    const PaintDc paint(window_);
    HDC dc = paint.Get();
    RECT client{};
    GetClientRect(window_, &client);
    const int width = std::max<LONG>(1, client.right), height = std::max<LONG>(1, client.bottom);
    if (!buffer_ || bufferSize_.cx != width || bufferSize_.cy != height) {
        buffer_.Reset(CreateCompatibleBitmap(dc, width, height));
        bufferSize_ = {width, height};
        dirty_ = true;
    }
    const UniqueMemoryDc memory(CreateCompatibleDC(dc));
    if (buffer_ && memory) {
        const SelectedObject bitmap(memory.Get(), buffer_.Get());
        if (dirty_) Draw(memory.Get(), width, height);
        dirty_ = false;
        BitBlt(dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
    }
}

ChartGeometry ChartArea::LayoutFor(HDC dc, int width, int height) const {
    ChartMeasures measures;
    measures.width = width;
    measures.height = height;
    measures.dpi = WindowDpi(window_);
    measures.textHeight = TextSize(dc, L"0").cy;
    measures.textWidth = [dc](std::string_view text) { return static_cast<int>(TextSize(dc, Widen(text)).cx); };
    return LayOutChart(table_, measures);
}

void ChartArea::Draw(HDC dc, int width, int height) const {
    const SelectedObject font(dc, Font());
    SetBkMode(dc, TRANSPARENT);
    const UniqueBrush background(CreateSolidBrush(kBackground)), play(CreateSolidBrush(kPlayColour)),
        active(CreateSolidBrush(kActiveColour)), grid(CreateSolidBrush(kGridColour)),
        axis(CreateSolidBrush(kAxisColour));
    Fill(dc, 0, 0, width, height, background);
    const ChartGeometry layout = LayoutFor(dc, width, height);
    const int dpi = WindowDpi(window_);
    auto px = [&](int v) { return MulDiv(v, dpi, 96); };
    const int textHeight = TextSize(dc, L"0").cy;
    const ChartBox& plot = layout.plot;
    const int plotWidth = plot.right - plot.left, plotHeight = plot.bottom - plot.top;

    // Legend, and how many sessions could not be placed.
    const int box = std::max(4, textHeight * 2 / 3);
    int x = plot.left;
    const int legendY = layout.legendTop;
    const int boxY = legendY + (textHeight - box) / 2;
    for (const auto& [brush, label] : {std::pair<const UniqueBrush*, const char*>{&play, "プレイ時間"},
                                       std::pair<const UniqueBrush*, const char*>{&active, "アクティブ時間"}}) {
        Fill(dc, x, boxY, x + box, boxY + box, *brush);
        x += box + px(4);
        const std::wstring text = Widen(label);
        Text(dc, x, legendY, text, kTextColour);
        x += TextSize(dc, text).cx + px(16);
    }
    if (table_.leftOut > 0)
        Text(dc, x, legendY, Widen("日時を読めない記録 " + std::to_string(table_.leftOut) + " 件は除外"),
             kWarningColour);

    if (table_.rows.empty()) {
        const std::wstring text = Widen("プレイ記録がありません");
        const SIZE size = TextSize(dc, text);
        Text(dc, plot.left + (plotWidth - size.cx) / 2, plot.top + (plotHeight - size.cy) / 2, text, kTextColour);
        return;
    }

    // Vertical axis: grid lines at round hours, labelled on the left.
    for (int64_t v : layout.grid) {
        const int y = ValueY(layout, v);
        if (v > 0) Fill(dc, plot.left, y, plot.right, y + 1, grid);
    }
    for (const ChartText& label : layout.values)
        Text(dc, label.box.left, label.box.top, Widen(label.text), kTextColour);
    Text(dc, layout.axisTitle.box.left, layout.axisTitle.box.top, Widen(layout.axisTitle.text), kTextColour);

    // Bars: play time, with the active time inside it from the bottom.
    const size_t count = table_.rows.size();
    auto drawBar = [&](int left, int right, int64_t playSeconds, int64_t activeSeconds) {
        Fill(dc, left, ValueY(layout, playSeconds), right, plot.bottom, play);
        Fill(dc, left, ValueY(layout, std::min(activeSeconds, playSeconds)), right, plot.bottom, active);
    };
    if (count <= static_cast<size_t>(plotWidth)) {
        for (size_t i = 0; i < count; ++i) {
            const int left = SlotLeft(i, plot.left, plotWidth, count);
            const int right = SlotLeft(i + 1, plot.left, plotWidth, count);
            const int gap = right - left >= 4 ? std::max(1, (right - left) / 5) : 0;
            drawBar(left + gap / 2, right - (gap - gap / 2), table_.rows[i].play, table_.rows[i].active);
        }
    } else {
        // More periods than pixels: each pixel column shows the tallest of its periods.
        for (int column = plot.left; column < plot.right; ++column) {
            const size_t first = static_cast<size_t>(BarAt(column, plot.left, plotWidth, count));
            const size_t last =
                column + 1 < plot.right ? static_cast<size_t>(BarAt(column + 1, plot.left, plotWidth, count)) : count;
            int64_t most = 0, mostActive = 0;
            for (size_t i = first; i < std::max(last, first + 1); ++i) {
                most = std::max(most, table_.rows[i].play);
                mostActive = std::max(mostActive, std::min(table_.rows[i].active, table_.rows[i].play));
            }
            drawBar(column, column + 1, most, mostActive);
        }
    }

    // Horizontal axis: the period labels the layout had room for.
    Fill(dc, plot.left, plot.top, plot.left + 1, plot.bottom + 1, axis);
    Fill(dc, plot.left, plot.bottom, plot.right, plot.bottom + 1, axis);
    for (const ChartGeometry::Period& period : layout.periods) {
        Fill(dc, period.tick, plot.bottom, period.tick + 1, plot.bottom + px(4), axis);
        Text(dc, period.label.box.left, period.label.box.top, Widen(period.label.text), kTextColour);
    }
}

int ChartArea::BarAtPoint(POINT p) const {
    if (table_.rows.empty()) return -1;
    RECT client{};
    GetClientRect(window_, &client);
    ChartGeometry layout;
    {
        const WindowDc dc(window_);
        const SelectedObject font(dc.Get(), Font());
        layout = LayoutFor(dc.Get(), client.right, client.bottom);
    }
    if (p.y < layout.plot.top || p.y >= layout.plot.bottom) return -1;
    return BarAt(p.x, layout.plot.left, layout.plot.right - layout.plot.left, table_.rows.size());
}

void ChartArea::OnMouseMove(POINT p) {
    if (!tracking_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = window_;
        tracking_ = TrackMouseEvent(&track) != FALSE;
    }
    const int bar = BarAtPoint(p);
    if (bar == hoveredBar_) return;
    hoveredBar_ = bar;
    if (bar < 0) {
        HideTip();
        hoveredBar_ = -1;
        return;
    }
    tipText_ = Widen(PeriodTipText(table_, static_cast<size_t>(bar)));
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = kTipId;
    tool.lpszText = tipText_.data();
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    POINT at{p.x + MulDiv(16, WindowDpi(window_), 96), p.y + MulDiv(16, WindowDpi(window_), 96)};
    ClientToScreen(window_, &at);
    SendMessageW(tooltip_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
    SendMessageW(tooltip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

void ChartArea::HideTip() {
    hoveredBar_ = -1;
    if (!tooltip_) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = kTipId;
    SendMessageW(tooltip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    tipText_.clear();
}

std::string ChartArea::ShownTip() const {
    if (!tooltip_ || !IsWindowVisible(tooltip_)) return {};
    return Narrow(tipText_);
}

std::vector<unsigned char> ChartArea::PackedDib() const {
    RECT client{};
    GetClientRect(window_, &client);
    const int width = std::max<LONG>(1, client.right), height = std::max<LONG>(1, client.bottom);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as most readers of CF_DIB expect
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    void* bits = nullptr;
    const UniqueBitmap bitmap(
        CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) return {};
    const UniqueMemoryDc memory(CreateCompatibleDC(nullptr));
    if (!memory) return {};
    {
        const SelectedObject selected(memory.Get(), bitmap.Get());
        Draw(memory.Get(), width, height);
        GdiFlush();
    }
    std::vector<unsigned char> dib(sizeof header + header.biSizeImage);
    std::memcpy(dib.data(), &header, sizeof header);
    std::memcpy(dib.data() + sizeof header, bits, header.biSizeImage);
    return dib;
}

}  // namespace kibolt
