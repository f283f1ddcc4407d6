#include "history/chart_window_win32.h"

#include "win32/dialog_object_win32.h"
#include "win32/dpi_win32.h"
#include "win32/text_win32.h"
#include "win32/window_placement_win32.h"
#include "resources/resource_ids.h"
#include "win32/clipboard_win32.h"

namespace kibolt {

namespace {

constexpr int kPeriodButtons[] = {IDC_CHART_DAY, IDC_CHART_WEEK, IDC_CHART_MONTH, IDC_CHART_YEAR};

}  // namespace

ChartWindow::~ChartWindow() { Close(); }

ChartArea* ChartWindow::Area() const { return window_ ? ChartArea::Of(GetDlgItem(window_, IDC_CHART_AREA)) : nullptr; }

bool ChartWindow::Show(HWND over, const std::string& title, const std::string& logPath,
                       const std::vector<SessionRecord>& sessions) {
    title_ = title;
    logPath_ = logPath;
    spans_ = ReadSessionSpans(sessions);
    if (!window_) {
        if (!ChartArea::Register(instance_)) return false;
        // Not owned: the main window may come in front of it.
        if (!CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_CHART), nullptr, DialogProcOf<ChartWindow>,
                                reinterpret_cast<LPARAM>(this)))
            return false;
        CenterOver(window_, over);
        ShowWindow(window_, SW_SHOW);
    }
    SetCaption();
    Redraw();
    if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
    SetForegroundWindow(window_);
    return true;
}

void ChartWindow::Update(const std::vector<SessionRecord>& sessions) {
    if (!window_) return;
    spans_ = ReadSessionSpans(sessions);
    Redraw();
}

void ChartWindow::FollowMove(const std::string& from, const std::string& to, const std::string& title) {
    if (!window_ || logPath_ != from) return;
    logPath_ = to;
    title_ = title;
    SetCaption();
}

void ChartWindow::SetCaption() { SetWindowTextCp932(window_, "グラフ - " + title_); }

void ChartWindow::Redraw() {
    if (ChartArea* area = Area()) area->SetTable(BuildChartTable(spans_, kind_));
}

void ChartWindow::SetKind(PeriodKind kind) {
    kind_ = kind;
    CheckRadioButton(window_, IDC_CHART_DAY, IDC_CHART_YEAR, kPeriodButtons[static_cast<int>(kind)]);
    Redraw();
}

INT_PTR ChartWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(); return TRUE;
    case WM_SIZE: LayOut(); return TRUE;
    case WM_DPICHANGED:
        smallest_.DpiChanged(DpiOfDpiChanged(wParam));
        return FALSE;  // the dialog manager moves and scales the window
    case WM_GETMINMAXINFO: smallest_.Apply(*reinterpret_cast<MINMAXINFO*>(lParam)); return TRUE;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    default: return FALSE;
    }
}

void ChartWindow::OnInitDialog() {
    // The smallest size still shows the buttons side by side and some chart.
    smallest_.Take(window_, 250, 120);
    CheckRadioButton(window_, IDC_CHART_DAY, IDC_CHART_YEAR, IDC_CHART_MONTH);
    kind_ = PeriodKind::Month;
    LayOut();
}

void ChartWindow::LayOut() {
    RECT client{};
    GetClientRect(window_, &client);
    const RECT margin = DialogRect(window_, 7, 5, 64, 14);  // margin, top, button width, button height
    const RECT chartTop = DialogRect(window_, 0, 24, 0, 0);
    const int buttonWidth = margin.right, buttonHeight = margin.bottom;
    int x = client.right - margin.left - buttonWidth;
    for (int id : {IDC_CHART_COPY_IMAGE, IDC_CHART_COPY_DATA}) {
        SetWindowPos(GetDlgItem(window_, id), nullptr, x, margin.top, buttonWidth, buttonHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        x -= buttonWidth + margin.left / 2;
    }
    SetWindowPos(GetDlgItem(window_, IDC_CHART_AREA), nullptr, margin.left, chartTop.top,
                 std::max<LONG>(1, client.right - 2 * margin.left),
                 std::max<LONG>(1, client.bottom - chartTop.top - margin.left), SWP_NOZORDER | SWP_NOACTIVATE);
}

void ChartWindow::OnCommand(int id, int code) {
    switch (id) {
    case IDCANCEL: DestroyWindow(window_); return;  // Esc and the close box
    case IDC_CHART_DAY:
    case IDC_CHART_WEEK:
    case IDC_CHART_MONTH:
    case IDC_CHART_YEAR:
        if (code == BN_CLICKED) SetKind(static_cast<PeriodKind>(id - IDC_CHART_DAY));
        return;
    case IDC_CHART_COPY_DATA:
        if (code == BN_CLICKED && Area()) PutTextOnClipboard(window_, ChartTableText(Area()->Table()));
        return;
    case IDC_CHART_COPY_IMAGE:
        if (code == BN_CLICKED && Area()) PutDibOnClipboard(window_, Area()->PackedDib());
        return;
    default: return;
    }
}

}  // namespace kibolt
