#include "play/game_launcher_win32.h"

#include <process.h>

#include "hook/activity_hook_client_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

constexpr DWORD kInputIdleLimitMs = 10000;
constexpr DWORD kInputIdleSliceMs = 100;  // how soon a stop is noticed during that wait

}  // namespace

bool GameLauncher::Start(HWND window, const std::string& commandLine, const std::string& workingDirectory) {
    if (Running()) return false;
    window_ = window;
    commandLine_ = Widen(commandLine);
    workingDirectory_ = Widen(workingDirectory);
    stop_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_) return false;
    worker_.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Worker, this, 0, nullptr)));
    return Running();
}

unsigned __stdcall GameLauncher::Worker(void* self) {
    static_cast<GameLauncher*>(self)->Run();
    return 0;
}

void GameLauncher::Run() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring line = commandLine_;  // CreateProcessW may write into it
    BOOL created = !line.empty() &&
                   CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                                  workingDirectory_.empty() ? nullptr : workingDirectory_.c_str(), &startup, &info);
    if (!created) {
        DWORD error = line.empty() ? ERROR_FILE_NOT_FOUND : GetLastError();
        PostMessageW(window_, kGameFailedMessage, error, 0);
        return;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);

    bool ready = false;
    for (DWORD waited = 0; waited < kInputIdleLimitMs; waited += kInputIdleSliceMs) {
        DWORD result = WaitForInputIdle(process.Get(), kInputIdleSliceMs);
        if (result == 0) {
            ready = true;
            break;
        }
        if (result != WAIT_TIMEOUT || WaitForSingleObject(stop_.Get(), 0) == WAIT_OBJECT_0) break;
    }
    if (WaitForSingleObject(stop_.Get(), 0) == WAIT_OBJECT_0) return;
    // The session starts now; the report goes ahead of the hook's first notification.
    PostMessageW(window_, kGameReadyMessage, 0, 0);
    if (ready && hook_.Arm(info.dwThreadId, window_)) PostMessageW(window_, kGameArmedMessage, 0, 0);

    HANDLE waits[] = {process.Get(), stop_.Get()};
    DWORD which = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    hook_.Disarm();
    if (which == WAIT_OBJECT_0) PostMessageW(window_, kGameEndedMessage, 0, 0);
}

void GameLauncher::Finished() {
    if (!Running()) return;
    WaitForSingleObject(worker_.Get(), INFINITE);  // it posted its last report and is ending
    worker_.Reset();
    stop_.Reset();
}

void GameLauncher::Stop() {
    if (!Running()) return;
    SetEvent(stop_.Get());
    Finished();
}

}  // namespace kibolt
