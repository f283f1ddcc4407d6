// The cost of looking for games started outside Kibolt, as the program looks
// every 2 s while no game is played: about 300 processes running (made up
// with suspended copies of this program), 200 registered games in a library
// of logs, none of them running. Prints the processor time of the first look
// (a snapshot, every program's path read) and of the looks after it over a
// minute (the windows' owners, and the snapshot once a minute), ours and the
// wine server's, against the target of 1 % of one core.
//   kibolt_watch_timing.exe [processes] [looks]
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "detect/game_watch_win32.h"
#include "library/file_system_win32.h"
#include "library/game_log.h"
#include "library/library_paths.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace {

using namespace kibolt;

constexpr DWORD kLookMs = 2000;  // as the main window's timer
constexpr int kGames = 200;

double CpuMs() {
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

int ProcessCount() {
    const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
        ++count;
    return count;
}

// Under wine the system's side of a snapshot runs in the wine server, a
// Linux process of its own: its processor time is read from Linux's /proc
// (drive Z: is the Linux root). The folder of that process, or empty when
// there is none (on Windows).
std::string WineServerStat() {
    WIN32_FIND_DATAW found{};
    const UniqueFind find(FindFirstFileW(L"Z:\\proc\\*", &found));
    if (!find || find.Get() == INVALID_HANDLE_VALUE) return {};
    do {
        const std::wstring name = found.cFileName;
        if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        const std::string folder = "Z:\\proc\\" + Narrow(name);
        FILE* comm = _wfopen(Widen(folder + "\\comm").c_str(), L"rb");
        if (!comm) continue;
        char text[64] = {};
        std::fread(text, 1, sizeof text - 1, comm);
        std::fclose(comm);
        if (std::string(text).rfind("wineserver", 0) == 0) return folder + "\\stat";
    } while (FindNextFileW(find.Get(), &found));
    return {};
}

// Processor milliseconds of the process whose /proc stat file this is; -1 when unknown.
double LinuxCpuMs(const std::string& stat) {
    if (stat.empty()) return -1;
    FILE* file = _wfopen(Widen(stat).c_str(), L"rb");
    if (!file) return -1;
    char text[1024] = {};
    std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    const char* after = std::strrchr(text, ')');  // the name may hold blanks
    if (!after) return -1;
    unsigned long long utime = 0, stime = 0;
    // Fields after the name: state, then 10 numbers, then utime and stime.
    if (std::sscanf(after + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2) return -1;
    return static_cast<double>(utime + stime) * 10.0;  // clock ticks of 10 ms
}

std::wstring ThisProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wstring(argv[1]) == L"--stand-in") {
        Sleep(INFINITE);  // never resumed: it only has to be listed
        return 0;
    }
    const int wanted = argc > 1 ? _wtoi(argv[1]) : 300;
    const int looks = argc > 2 ? _wtoi(argv[2]) : 30;

    // The stand-ins end with this program: they are in a job that kills them when it closes.
    UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    const std::wstring self = ThisProgram();
    const int running = ProcessCount();
    std::vector<UniqueHandle> standIns;
    for (int i = running; i < wanted; ++i) {
        std::wstring line = L"\"" + self + L"\" --stand-in";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                            &info)) {
            std::printf("could not start more than %d processes\n", i - running);
            break;
        }
        AssignProcessToJobObject(job.Get(), info.hProcess);
        CloseHandle(info.hThread);
        standIns.emplace_back(info.hProcess);
    }

    // A library of registered games, none of which runs.
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::string root = Narrow(temp) + "kibolt-watch-timing";
    Win32FileSystem fs;
    CreateDirectoryW(Widen(root).c_str(), nullptr);
    for (int c = 0; c < kCategoryCount; ++c)
        CreateDirectoryW(Widen(CategoryFolderPath(root, static_cast<Category>(c))).c_str(), nullptr);
    for (int i = 0; i < kGames; ++i) {
        GameLogContent log;
        log.commandLine = "\"D:\\Games\\Game " + std::to_string(i) + "\\bin\\game" + std::to_string(i) + ".exe\" -x";
        const std::string title = "Game " + std::to_string(i);
        WriteFileAtomically(fs, *LogPath(root, static_cast<Category>(i % kCategoryCount), title),
                            SerializeGameLog(log));
    }
    WatchedGameList games;
    games.Refresh(fs, root, SystemSharedFolders(root));

    GameWatcher watcher;
    const int processes = ProcessCount();
    double cpu = CpuMs();
    LARGE_INTEGER frequency{}, start{}, end{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    bool found = watcher.Look(games).has_value();
    QueryPerformanceCounter(&end);
    const double firstCpu = CpuMs() - cpu;
    const double firstWall = static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;

    const std::string server = WineServerStat();
    const double serverBefore = LinuxCpuMs(server);
    cpu = CpuMs();
    double slowest = 0, wall = 0;
    for (int i = 0; i < looks; ++i) {
        Sleep(kLookMs);
        QueryPerformanceCounter(&start);
        found = watcher.Look(games).has_value() || found;
        QueryPerformanceCounter(&end);
        const double ms = static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart;
        wall += ms;
        slowest = std::max(slowest, ms);
    }
    const double lookCpu = (CpuMs() - cpu) / looks;
    const double serverAfter = LinuxCpuMs(server);
    const double serverCpu = serverBefore >= 0 && serverAfter >= 0 ? (serverAfter - serverBefore) / looks : 0;
    const double lookWall = wall / looks;
    // Both sides of each look, ours and the wine server's.
    const double share = (lookCpu + serverCpu) / kLookMs * 100.0;

    // The snapshot alone, for comparison.
    QueryPerformanceCounter(&start);
    for (int i = 0; i < looks; ++i) ProcessCount();
    QueryPerformanceCounter(&end);
    const double snapshotWall =
        static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart / looks;

    std::printf("processes running:         %d\n", processes);
    std::printf("registered games:          %d%s\n", kGames, found ? " (one was found running: wrong)" : "");
    std::printf("first look:                %.1f ms processor, %.1f ms wall (a snapshot, every program's path read)\n",
                firstCpu, firstWall);
    std::printf("snapshots taken:           %llu in %d looks after the first\n",
                static_cast<unsigned long long>(watcher.Snapshots() - 1), looks);
    std::printf(
        "each later look:           %.2f ms processor, %.2f ms wall on average over %d looks, slowest %.1f ms\n",
        lookCpu, lookWall, looks, slowest);
    if (!server.empty())
        std::printf("the wine server's part:    %.2f ms processor a look (the system's side of the snapshot)\n",
                    serverCpu);
    std::printf("the process snapshot alone: %.2f ms wall\n", snapshotWall);
    std::printf("share of one core at 2 s:  %.3f %% of processor time (target at most 1 %%): %s\n", share,
                share <= 1.0 ? "met" : "NOT met");
    for (int c = 0; c < kCategoryCount; ++c) {
        const std::string folder = CategoryFolderPath(root, static_cast<Category>(c));
        std::vector<std::string> names;
        fs.ListFolder(folder, names);
        for (const std::string& name : names) DeleteFileW(Widen(folder + "\\" + name).c_str());
        RemoveDirectoryW(Widen(folder).c_str());
    }
    RemoveDirectoryW(Widen(root).c_str());
    return share <= 1.0 && !found ? 0 : 1;
}
