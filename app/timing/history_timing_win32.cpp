// Times the chart and statistics windows with big data under wine: the chart
// of a 100 000-session game opened and drawn, its period switched, and the
// statistics of 1 000 games of 1 000 sessions each read and listed.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <utility>

#include "app/main_dialog_win32.h"
#include "app/timing/timing_win32.h"
#include "win32/text_win32.h"
#include "library/file_system_win32.h"
#include "library/game_log.h"
#include "library/time_text.h"
#include "resources/resource_ids.h"

namespace {

using kibolt::timing::DrainMessages;
using kibolt::timing::Milliseconds;

using namespace kibolt;

// `sessions` sessions, `perDay` a day from 2000-01-01 on, each an hour or so.
std::string BigLog(int sessions, int perDay) {
    GameLogContent log;
    log.commandLine = "C:\\Games\\Big\\big.exe";
    SessionFieldTexts f;
    int64_t total = 0;
    for (int i = 0; i < sessions; ++i) {
        const int day = i / perDay, slot = i % perDay;
        const int year = 2000 + day / 365, dayOfYear = day % 365;
        const int month = 1 + dayOfYear / 31 % 12, dayOfMonth = 1 + dayOfYear % 28;
        const int hour = slot * 24 / perDay, length = 1800 + (i * 7919) % 3600;
        f[kStart] = FormatDateTime({year, month, dayOfMonth, hour, 0, 0});
        f[kEnd] = FormatDateTime({year, month, dayOfMonth, hour + length / 3600, length / 60 % 60, length % 60});
        f[kPlay] = FormatDuration(length);
        f[kActive] = FormatDuration(length * 3 / 4);
        total += length;
        f[kTotalPlay] = FormatLongDuration(total);
        f[kTotalActive] = FormatLongDuration(total * 3 / 4);
        f[kInputs] = "120";
        f[kTotalInputs] = std::to_string(120LL * (i + 1));
        f[kComment] = i % 5 ? "" : "note";
        AppendSession(log, f);
    }
    return SerializeGameLog(log);
}

void RemoveLibrary(Win32FileSystem& fs, const std::string& root) {
    for (const char* folder : {"playing", "cleared", "others"}) {
        std::vector<std::string> names;
        fs.ListFolder(root + "\\" + folder, names);
        for (const std::string& name : names) fs.RemoveFile(root + "\\" + folder + "\\" + name);
        RemoveDirectoryW(Widen(root + "\\" + folder).c_str());
    }
    DeleteFileW(Widen(root + "\\kibolt.ini").c_str());
    RemoveDirectoryW(Widen(root).c_str());
}

std::string MakeRoot(const char* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::string root = Narrow(temp) + name + std::to_string(GetCurrentProcessId());
    CreateDirectoryW(Widen(root).c_str(), nullptr);
    for (const char* folder : {"playing", "cleared", "others"})
        CreateDirectoryW(Widen(root + "\\" + folder).c_str(), nullptr);
    return root;
}

void TimeChart(Win32FileSystem& fs) {
    const std::string root = MakeRoot("kibolt-chart-timing-");
    fs.WriteNewFile(root + "\\playing\\big.log", BigLog(100000, 10));
    MainDialog dialog(GetModuleHandleW(nullptr), fs, Widen("\"" + root + "\\kibolt.exe\""), Widen(root));
    HWND window = dialog.Create();
    ShowWindow(window, SW_SHOW);
    DrainMessages();
    dialog.SelectGame(0);
    DrainMessages();

    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    SendMessageW(window, WM_COMMAND, IDM_CHART, 0);
    RedrawWindow(dialog.Chart().Window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    QueryPerformanceCounter(&end);
    std::printf("chart of %zu sessions opened and drawn (months): %8.1f ms\n",
                dialog.State()->Current().log.sessions.size(), Milliseconds(start, end));
    DrainMessages();
    const std::pair<int, const char*> periods[] = {
        {IDC_CHART_DAY, "days"}, {IDC_CHART_WEEK, "weeks"}, {IDC_CHART_YEAR, "years"}, {IDC_CHART_MONTH, "months"}};
    for (const auto& [id, name] : periods) {
        HWND button = GetDlgItem(dialog.Chart().Window(), id);
        QueryPerformanceCounter(&start);
        SendMessageW(button, BM_CLICK, 0, 0);
        RedrawWindow(dialog.Chart().Window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        QueryPerformanceCounter(&end);
        std::printf("period switched to %-6s (%5zu bars): %8.1f ms\n", name, dialog.Chart().Area()->Table().rows.size(),
                    Milliseconds(start, end));
        DrainMessages();
    }
    SendMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    DrainMessages();
    RemoveLibrary(fs, root);
}

void TimeStats(Win32FileSystem& fs) {
    const std::string root = MakeRoot("kibolt-stats-timing-");
    const std::string log = BigLog(1000, 2);
    const char* folders[] = {"playing", "cleared", "others"};
    for (int i = 0; i < 1000; ++i)
        fs.WriteNewFile(root + "\\" + folders[i % 3] + "\\game " + std::to_string(i) + ".log", log);
    MainDialog dialog(GetModuleHandleW(nullptr), fs, Widen("\"" + root + "\\kibolt.exe\""), Widen(root));
    HWND window = dialog.Create();
    ShowWindow(window, SW_SHOW);
    DrainMessages();

    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    SendMessageW(window, WM_COMMAND, IDM_STATS, 0);
    RedrawWindow(dialog.Stats().Window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    QueryPerformanceCounter(&end);
    std::printf("statistics of %zu games of 1000 sessions read and shown: %8.1f ms\n", dialog.Stats().Games().size(),
                Milliseconds(start, end));
    DrainMessages();
    QueryPerformanceCounter(&start);
    dialog.Stats().Reload();
    RedrawWindow(dialog.Stats().Window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    QueryPerformanceCounter(&end);
    std::printf("statistics read again:                                   %8.1f ms\n", Milliseconds(start, end));
    DrainMessages();
    SendMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    DrainMessages();
    RemoveLibrary(fs, root);
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    Win32FileSystem fs;
    TimeChart(fs);
    TimeStats(fs);
    return 0;
}
