// The main window's keys beyond the dialog manager's: Ctrl+Tab and
// Ctrl+Shift+Tab (and Ctrl+PageDown / Ctrl+PageUp) switch the category tabs
// from wherever the focus is, as in tabbed windows elsewhere.
#include "app/main_dialog_win32.h"

namespace kibolt {

namespace {

// The main window whose keys the filter takes (one per thread).
thread_local MainDialog* keyTarget = nullptr;

}  // namespace

LRESULT CALLBACK MainDialog::KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    // The dialog manager offers every message to this filter before it handles it.
    if (code == MSGF_DIALOGBOX && keyTarget && keyTarget->OnDialogKey(*reinterpret_cast<const MSG*>(lParam)))
        return TRUE;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MainDialog::InstallKeyFilter() {
    keyTarget = this;
    keyFilter_.Reset(SetWindowsHookExW(WH_MSGFILTER, KeyFilter, nullptr, GetCurrentThreadId()));
}

void MainDialog::RemoveKeyFilter() {
    keyFilter_.Reset();
    if (keyTarget == this) keyTarget = nullptr;
}

bool MainDialog::OnDialogKey(const MSG& message) {
    if (message.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0 || !window_) return false;
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) return false;
    int step = 0;
    if (message.wParam == VK_TAB) step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    if (message.wParam == VK_NEXT) step = 1;
    if (message.wParam == VK_PRIOR) step = -1;
    if (step == 0) return false;
    // During play the tabs are locked; the key does nothing then, not even move the focus.
    if (Allowed(Command::SwitchCategory)) SwitchCategoryBy(step);
    return true;
}

void MainDialog::SwitchCategoryBy(int step) {
    const int current = static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0));
    const int next = ((current + step) % kCategoryCount + kCategoryCount) % kCategoryCount;
    // What a click on the tab does: leave, switch, enter.
    OnCategoryLeaving();
    SendMessageW(tab_, TCM_SETCURSEL, static_cast<WPARAM>(next), 0);
    OnCategoryEntered();
}

}  // namespace kibolt
