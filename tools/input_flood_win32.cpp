// Input flood timing: plays the sample game from a real kibolt.exe and sends
// it a key press every millisecond (as a macro tool would), while measuring
// how fast Kibolt's main window answers and how often the checkpoint and the
// progress file are written. At the end the game is closed and the recorded
// inputs are compared with those sent. tools/input-flood.sh runs it.
//   input_flood.exe <folder with kibolt.exe and playing\Flood.log> [seconds] [presses per second]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "resources/resource_ids.h"
#include "win32/handles_win32.h"

namespace {

constexpr UINT kStartGameCommand = 32787;  // the menu command that starts the current game

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Found {
    DWORD processId;
    HWND window;
};

HWND MainWindowOf(DWORD processId) {
    Found found{processId, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* f = reinterpret_cast<Found*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t title[32] = {};
            GetWindowTextW(window, title, 32);
            if (owner == f->processId && IsWindowVisible(window) && !GetWindow(window, GW_OWNER) &&
                std::wcscmp(title, L"Kibolt") == 0) {
                f->window = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.window;
}

template <typename F>
bool WaitFor(F done, double timeoutMs) {
    const double until = NowMs() + timeoutMs;
    while (!done()) {
        if (NowMs() > until) return false;
        Sleep(10);
    }
    return true;
}

bool BringToFront(HWND window) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        // A click-free way in: a no-op key press lets this process set the foreground.
        keybd_event(VK_SHIFT, 0, 0, 0);
        keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
        SetForegroundWindow(window);
        if (WaitFor([&] { return GetForegroundWindow() == window; }, 250)) return true;
    }
    return false;
}

void Click(HWND window, POINT at) {
    ClientToScreen(window, &at);
    SetCursorPos(at.x, at.y);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1] = inputs[0];
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

int GameInputs(HWND game) {
    wchar_t title[64] = {};
    GetWindowTextW(game, title, 64);
    return std::wcslen(title) > 12 ? _wtoi(title + 12) : 0;
}

std::wstring ReadText(const std::wstring& path) {
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const kibolt::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return L"";
    std::string bytes(1 << 20, '\0');
    DWORD read = 0;
    ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return std::wstring(bytes.begin(), bytes.end());  // ASCII is all that is read from it
}

// The session lines of a log (lines with eight commas before the comment).
std::vector<std::wstring> SessionLines(const std::wstring& log) {
    std::vector<std::wstring> lines;
    size_t at = 0;
    while (at < log.size()) {
        size_t end = log.find(L'\n', at);
        if (end == std::wstring::npos) end = log.size();
        std::wstring line = log.substr(at, end - at);
        if (std::count(line.begin(), line.end(), L',') >= 8 && line.find(L"=====") == std::wstring::npos)
            lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

std::wstring Field(const std::wstring& line, int index) {
    size_t at = 0;
    for (int i = 0; i < index; ++i) at = line.find(L',', at) + 1;
    return line.substr(at, line.find(L',', at) - at);
}

ULONGLONG WriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: input_flood <library folder> [seconds] [presses per second]\n");
        return 2;
    }
    const std::wstring folder = argv[1];
    const double seconds = argc > 2 ? _wtof(argv[2]) : 60.0;
    const double rate = argc > 3 ? _wtof(argv[3]) : 1000.0;
    const std::wstring logPath = folder + L"\\playing\\Flood.log";
    const std::wstring checkpointPath = folder + L"\\kibolt.checkpoint";
    const std::wstring progressPath = folder + L"\\kibolt.tmp";
    const size_t sessionsBefore = SessionLines(ReadText(logPath)).size();

    std::wstring program = folder + L"\\kibolt.exe";
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &info)) {
        std::fprintf(stderr, "kibolt.exe did not start\n");
        return 1;
    }
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = MainWindowOf(info.dwProcessId)) != nullptr; }, 20000)) {
        std::fprintf(stderr, "no main window\n");
        return 1;
    }

    // Load the first game with a click on its row, then start it from the menu command.
    HWND list = GetDlgItem(main, IDC_GAME_LIST);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    RECT headerRect{};
    if (header && IsWindowVisible(header)) GetClientRect(header, &headerRect);
    HWND game = nullptr;
    for (int attempt = 0; attempt < 5 && !game; ++attempt) {
        BringToFront(main);
        Click(list, {20, headerRect.bottom + 8});
        Sleep(200);
        PostMessageW(main, WM_COMMAND, kStartGameCommand, 0);
        WaitFor([&] { return (game = FindWindowW(L"KiboltSampleGame", nullptr)) != nullptr; }, 3000);
    }
    if (!game || !WaitFor([&] { return WriteTime(checkpointPath) != 0; }, 10000)) {
        std::fprintf(stderr, "the game did not start from Kibolt\n");
        return 1;
    }
    Sleep(500);  // the hook is armed right after the session starts
    if (!BringToFront(game)) std::fprintf(stderr, "warning: the game is not in front\n");

    // How fast the main window answers: a message sent to it every 10 ms.
    std::atomic<bool> flooding{true};
    std::vector<double> answers;
    int checkpointWrites = 0, progressWrites = 0;
    double longestCheckpointGapMs = 0;
    std::thread probe([&] {
        ULONGLONG lastCheckpoint = WriteTime(checkpointPath), lastProgress = WriteTime(progressPath);
        double lastCheckpointAt = NowMs();
        while (flooding) {
            const double t0 = NowMs();
            DWORD_PTR result = 0;
            SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            answers.push_back(NowMs() - t0);
            const ULONGLONG c = WriteTime(checkpointPath), p = WriteTime(progressPath);
            if (c != lastCheckpoint) {
                ++checkpointWrites;
                lastCheckpoint = c;
                longestCheckpointGapMs = std::max(longestCheckpointGapMs, NowMs() - lastCheckpointAt);
                lastCheckpointAt = NowMs();
            }
            if (p != lastProgress) {
                ++progressWrites;
                lastProgress = p;
            }
            Sleep(10);
        }
    });

    long long sent = 0;
    const double start = NowMs();
    for (;;) {
        const double elapsed = NowMs() - start;
        if (elapsed >= seconds * 1000.0) break;
        const long long due = static_cast<long long>(elapsed * rate / 1000.0);
        // Sending is slow under wine: the pace is kept as well as it goes, the length exactly.
        while (sent < due && NowMs() - start < seconds * 1000.0) {
            INPUT inputs[2] = {};
            inputs[0].type = INPUT_KEYBOARD;
            inputs[0].ki.wVk = 'A';
            inputs[1] = inputs[0];
            inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(2, inputs, sizeof(INPUT));
            ++sent;
        }
        Sleep(1);
    }
    const double floodMs = NowMs() - start;
    // Until the game has seen every press (or stopped seeing more).
    int seen = -1;
    WaitFor(
        [&] {
            const int now = GameInputs(game);
            if (now == seen) return true;
            seen = now;
            Sleep(500);
            return false;
        },
        30000);
    flooding = false;
    probe.join();

    PostMessageW(game, WM_CLOSE, 0, 0);
    std::wstring recorded = L"?";
    if (WaitFor([&] { return SessionLines(ReadText(logPath)).size() > sessionsBefore; }, 20000))
        recorded = Field(SessionLines(ReadText(logPath)).back(), 6);
    PostMessageW(main, WM_CLOSE, 0, 0);
    HANDLE process = info.hProcess;
    WaitForSingleObject(process, 10000);

    std::sort(answers.begin(), answers.end());
    const double p99 = answers.empty() ? 0 : answers[answers.size() * 99 / 100];
    const double worst = answers.empty() ? 0 : answers.back();
    const long long slow = std::count_if(answers.begin(), answers.end(), [](double ms) { return ms > 100.0; });
    std::printf("flood: %lld key presses in %.1f s (%.0f per second asked, %.0f sent)\n", sent, floodMs / 1000.0, rate,
                sent * 1000.0 / floodMs);
    std::printf("counted: the game saw %d, Kibolt recorded %ls\n", seen, recorded.c_str());
    std::printf("main window answers: %zu probes, 99th percentile %.1f ms, worst %.1f ms, %lld over 100 ms\n",
                answers.size(), p99, worst, slow);
    std::printf("checkpoint writes (each flushed): %d, longest gap %.1f s; kibolt.tmp writes (no flush): %d\n",
                checkpointWrites, longestCheckpointGapMs / 1000.0, progressWrites);
    return 0;
}
