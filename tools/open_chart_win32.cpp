// For ./run's screenshot: gives the running Kibolt the "グラフ" command (its
// current game's chart) and prints where the chart window lies on the screen,
// "left top width height", once it is drawn. Exit code 1 when either window
// does not show up.
#include <windows.h>

#include <cstdio>
#include <string>

#include "resources/resource_ids.h"

namespace {

HWND FindChart() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND window, LPARAM result) -> BOOL {
            wchar_t title[64] = {};
            GetWindowTextW(window, title, 64);
            if (IsWindowVisible(window) && std::wstring(title).rfind(L"グラフ - ", 0) == 0) {
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

template <typename F>
HWND WaitFor(F find) {
    for (int i = 0; i < 100; ++i) {
        if (HWND window = find()) return window;
        Sleep(100);
    }
    return nullptr;
}

}  // namespace

int main() {
    HWND main = WaitFor([] { return FindWindowW(L"#32770", L"Kibolt"); });
    if (!main) return 1;
    PostMessageW(main, WM_COMMAND, IDM_CHART, 0);
    HWND chart = WaitFor(FindChart);
    if (!chart) return 1;
    // Drawn once the chart window has handled what it was sent.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(chart, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
    RedrawWindow(chart, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT rect{};
    GetWindowRect(chart, &rect);
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return 0;
}
