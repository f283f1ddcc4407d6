// Times what a user waits for in the main window with big logs: a click that
// loads a game (table and panel drawn) and a display check box toggled.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "app/main_dialog_win32.h"
#include "app/timing/timing_win32.h"
#include "library/file_system_win32.h"
#include "library/game_log.h"
#include "library/time_text.h"
#include "resources/resource_ids.h"
#include "win32/text_win32.h"

namespace {

using kibolt::timing::DrainMessages;
using kibolt::timing::Milliseconds;

using namespace kibolt;

std::string BigLog(int sessions) {
    GameLogContent log;
    log.commandLine = "C:\\Games\\Big\\big.exe";
    log.comment = "timing\n";
    std::array<std::string, kSessionFieldCount> f;
    for (int i = 0; i < sessions; ++i) {
        f[kStart] = FormatDateTime({2020 + i / 100000, 1 + i % 12, 1 + i % 28, 20, 15, 0});
        f[kEnd] = FormatDateTime({2020 + i / 100000, 1 + i % 12, 1 + i % 28, 21, 45, 30});
        f[kPlay] = FormatDuration(5430);
        f[kActive] = FormatDuration(4205);
        f[kInputs] = "523";
        f[kTotalPlay] = FormatDuration(5430 * (i % 300 + 1));
        f[kTotalActive] = FormatDuration(4205 * (i % 300 + 1));
        f[kTotalInputs] = std::to_string(523 * (i + 1));
        f[kComment] = i % 3 ? "" : "boss, second try";
        AppendSession(log, f);
    }
    return SerializeGameLog(log);
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::string root = Narrow(temp) + "kibolt-timing-" + std::to_string(GetCurrentProcessId());
    Win32FileSystem fs;
    CreateDirectoryW(Widen(root).c_str(), nullptr);
    CreateDirectoryW(Widen(root + "\\playing").c_str(), nullptr);
    const int sizes[] = {100, 10000, 100000};
    for (int n : sizes) fs.WriteNewFile(root + "\\playing\\g" + std::to_string(n) + ".log", BigLog(n));

    MainDialog dialog(GetModuleHandleW(nullptr), fs, Widen("\"" + root + "\\kibolt.exe\""), Widen(root));
    HWND window = dialog.Create();
    ShowWindow(window, SW_SHOW);
    DrainMessages();

    HWND list = GetDlgItem(window, IDC_GAME_LIST);
    int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        std::string title = ListViewGetCell(list, row, 0);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        dialog.SelectGame(row);
        UpdateWindow(window);  // the table and panel drawn
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        QueryPerformanceCounter(&end);
        std::printf("click on %-8s (%zu sessions): %8.1f ms\n", title.c_str(),
                    dialog.State()->Current().log.sessions.size(), Milliseconds(start, end));
        DrainMessages();
    }
    // Toggle "開始時間" off and on with the biggest game shown.
    for (int pass = 0; pass < 2; ++pass) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        SendMessageW(GetDlgItem(window, IDC_VIEW_START), BM_CLICK, 0, 0);
        RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        QueryPerformanceCounter(&end);
        std::printf("toggle a display check box (%zu sessions): %8.1f ms\n",
                    dialog.State()->Current().log.sessions.size(), Milliseconds(start, end));
        DrainMessages();
    }
    DestroyWindow(window);
    for (int n : sizes) fs.RemoveFile(root + "\\playing\\g" + std::to_string(n) + ".log");
    RemoveDirectoryW(Widen(root + "\\playing").c_str());
    RemoveDirectoryW(Widen(root).c_str());
    return 0;
}
