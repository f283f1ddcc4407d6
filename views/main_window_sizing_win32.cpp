#include "views/main_window_sizing_win32.h"

#include <algorithm>

#include "library/placement.h"
#include "resources/resource_ids.h"
#include "views/main_window_layout.h"
#include "win32/dpi_win32.h"

namespace kibolt {

namespace {

RECT ClientRectOf(HWND control, HWND parent) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Place(HWND control, int left, int top, int width, int height) {
    SetWindowPos(control, nullptr, left, top, std::max(width, 0), std::max(height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
}

Box WorkAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return {monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom};
}

// The column's slot in the stored widths: "回" is 0, field k is k + 1.
size_t SlotOf(const std::vector<int>& fields, size_t column) {
    return column == 0 ? 0 : static_cast<size_t>(fields[column - 1]) + 1;
}

}  // namespace

int MainWindowSizing::ShowCommandFor(int requested) const {
    const bool plain = requested == SW_SHOWNORMAL || requested == SW_SHOW || requested == SW_SHOWDEFAULT;
    return startMaximized_ && plain ? SW_SHOWMAXIMIZED : requested;
}

void MainWindowSizing::LimitTracking(MINMAXINFO& info) const {
    // Never smaller than the dialog was made (unknown while it is being made).
    if (minimumSize_.cx > 0) info.ptMinTrackSize = {minimumSize_.cx, minimumSize_.cy};
}

void MainWindowSizing::Remember(HWND window) {
    window_ = window;
    RECT rect{};
    GetWindowRect(window_, &rect);
    minimumSize_ = {rect.right - rect.left, rect.bottom - rect.top};
    GetClientRect(window_, &startClient_);
    // The controls that move or grow; the tabs span the window (Layout).
    startPlaces_.clear();
    for (const ControlAnchor& anchor : MainWindowAnchors()) {
        const bool moves = anchor.left != Follow::None || anchor.top != Follow::None || anchor.right != Follow::None ||
                           anchor.bottom != Follow::None;
        if (moves && anchor.id != IDC_TAB)
            startPlaces_.emplace_back(anchor.id, ClientRectOf(GetDlgItem(window_, anchor.id), window_));
    }
    dpi_ = WindowDpi(window_);
}

void MainWindowSizing::DpiChanged(int dpi) {
    if (dpi <= 0) dpi = WindowDpi(window_);
    if (dpi == dpi_) return;
    CaptureColumnWidths();  // a width dragged at the old DPI
    ScaleTo(dpi);
}

void MainWindowSizing::ScaleTo(int dpi) {
    const int from = dpi_;
    auto scale = [&](LONG& v) { v = MulDiv(v, dpi, from); };
    scale(minimumSize_.cx);
    scale(minimumSize_.cy);
    auto scaleRect = [&](RECT& r) {
        scale(r.left);
        scale(r.top);
        scale(r.right);
        scale(r.bottom);
    };
    scaleRect(startClient_);
    for (auto& [id, rect] : startPlaces_) scaleRect(rect);
    // Widths the user dragged keep their size on the new display.
    for (int& width : columnWidths_)
        if (width) width = std::clamp(MulDiv(width, dpi, from), 1, kLongestColumnWidth);
    dpi_ = dpi;
}

void MainWindowSizing::Restore(const WindowSettings& saved) {
    columnWidths_ = saved.columnWidths;
    startMaximized_ = saved.maximized;
    if (!saved.placed) return;  // centred, at the dialog's size
    const Box kept = KeepInside({saved.left, saved.top, saved.left + saved.width, saved.top + saved.height},
                                WorkAreaOf(window_), minimumSize_.cx, minimumSize_.cy);
    SetWindowPos(window_, nullptr, kept.left, kept.top, kept.Width(), kept.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

WindowSettings MainWindowSizing::Now() {
    CaptureColumnWidths();
    WindowSettings w;
    w.columnWidths = columnWidths_;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window_, &placement)) {
        // The restored size and place, in work area coordinates: made screen ones.
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& normal = placement.rcNormalPosition;
        w.placed = true;
        w.left = normal.left + monitor.rcWork.left - monitor.rcMonitor.left;
        w.top = normal.top + monitor.rcWork.top - monitor.rcMonitor.top;
        w.width = normal.right - normal.left;
        w.height = normal.bottom - normal.top;
        w.maximized = IsZoomed(window_) != FALSE;
    }
    return w;
}

void MainWindowSizing::Layout(HWND tab, const std::vector<SessionRecord>& sessions) {
    if (IsIconic(window_)) return;
    RECT client{};
    GetClientRect(window_, &client);
    const int dx = client.right - startClient_.right;
    const int dy = client.bottom - startClient_.bottom;
    const int frame = SystemMetricForDpi(SM_CXDLGFRAME, WindowDpi(window_));
    Place(tab, frame, 0, client.right - 2 * frame, client.bottom);
    for (const auto& [id, start] : startPlaces_) {
        const Box box = LaidOut(*MainWindowAnchor(id), {start.left, start.top, start.right, start.bottom}, dx, dy);
        Place(GetDlgItem(window_, id), box.left, box.top, box.Width(), box.Height());
    }
    FitColumns(sessions);
    InvalidateRect(window_, nullptr, TRUE);
}

void MainWindowSizing::CaptureColumnWidths() {
    const std::vector<int>& fields = table_.Fields();
    const std::vector<int> now = table_.ColumnWidths();
    for (size_t column = 0; column < now.size() && column < laidOutWidths_.size(); ++column)
        if (now[column] != laidOutWidths_[column]) columnWidths_[SlotOf(fields, column)] = now[column];
    laidOutWidths_ = now;
}

std::vector<int> MainWindowSizing::ColumnWidths(const std::vector<int>& fields,
                                                const std::vector<SessionRecord>& sessions) const {
    std::vector<int> widths(fields.size() + 1, 0);
    const int dpi = WindowDpi(window_);
    const int edge = SystemMetricForDpi(SM_CXEDGE, dpi);
    // The designed width at the window's DPI, wider for long session numbers.
    const int number = table_.NumberColumnWidthFor(&sessions);
    RECT rect{};
    GetWindowRect(table_.Window(), &rect);
    int free = rect.right - rect.left;
    int automatic = 0;
    for (size_t column = 0; column < widths.size(); ++column) {
        const int chosen = columnWidths_[SlotOf(fields, column)];
        widths[column] = chosen;
        if (column == 0) {
            // "回" stands outside the shared width, as it always has.
            free += number - (chosen ? chosen : number);
            if (!chosen) widths[0] = number;
        } else if (chosen) {
            free -= chosen;
        } else {
            ++automatic;
        }
    }
    const int shared =
        DataColumnWidth(free, edge, SystemMetricForDpi(SM_CXVSCROLL, dpi), table_.RowCount(), automatic, number);
    for (size_t column = 1; column < widths.size(); ++column)
        if (!widths[column]) widths[column] = std::max(shared, 0);
    return widths;
}

void MainWindowSizing::FitColumns(const std::vector<SessionRecord>& sessions) {
    CaptureColumnWidths();
    laidOutWidths_ = ColumnWidths(table_.Fields(), sessions);
    table_.SetColumnWidths(laidOutWidths_);
}

void MainWindowSizing::SetColumns(const std::vector<int>& fields, const std::vector<SessionRecord>& sessions) {
    CaptureColumnWidths();  // of the columns about to go
    laidOutWidths_ = ColumnWidths(fields, sessions);
    table_.SetColumns(fields, laidOutWidths_);
}

void MainWindowSizing::SessionsShown(const std::vector<SessionRecord>& sessions) {
    if (!laidOutWidths_.empty() && !columnWidths_[0] && laidOutWidths_[0] != table_.NumberColumnWidthFor(&sessions))
        FitColumns(sessions);
}

}  // namespace kibolt
