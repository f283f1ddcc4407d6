#include "play/game_launcher_win32.h"

#include <process.h>

#include <algorithm>

#include "hook/activity_hook_client_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

constexpr DWORD kInputIdleLimitMs = 10000;
constexpr DWORD kInputIdleSliceMs = 100;  // how soon a stop or the launcher's exit is noticed during that wait

// Completion keys on the port: the job's messages, and the stop request.
constexpr ULONG_PTR kJobKey = 1;
constexpr ULONG_PTR kStopKey = 2;

class Locked {
public:
    explicit Locked(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~Locked() { ReleaseSRWLockExclusive(&lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    SRWLOCK& lock_;
};

bool HasEnded(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

}  // namespace

uint64_t ProcessCreationTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || !GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

namespace {

// The process behind the handle is that process of the game and still runs.
bool IsRunningGameProcess(HANDLE process, const GameProcess& game) {
    return process && game.created != 0 && WaitForSingleObject(process, 0) == WAIT_TIMEOUT &&
           ProcessCreationTime(process) == game.created;
}

}  // namespace

bool IsRunningGameProcess(const GameProcess& game) {
    const UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, game.id));
    return IsRunningGameProcess(process.Get(), game);
}

bool GameLauncher::Start(HWND window, const std::string& commandLine, const std::string& workingDirectory) {
    if (Running()) return false;
    commandLine_ = Widen(commandLine);
    workingDirectory_ = Widen(workingDirectory);
    following_ = false;
    return StartWorker(window);
}

bool GameLauncher::Follow(HWND window, const std::vector<GameProcess>& processes) {
    if (Running()) return false;
    follow_ = processes;
    following_ = true;
    return StartWorker(window);
}

bool GameLauncher::StartWorker(HWND window) {
    window_ = window;
    {
        Locked lock(processesLock_);
        processes_.clear();
    }
    stop_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stop_) return false;
    // Without a job (a system that refuses one) the launched process alone is followed, as it always was.
    job_.Reset(CreateJobObjectW(nullptr, nullptr));
    port_.Reset(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    if (job_ && port_) {
        JOBOBJECT_ASSOCIATE_COMPLETION_PORT link{};
        link.CompletionKey = reinterpret_cast<void*>(kJobKey);
        link.CompletionPort = port_.Get();
        if (!SetInformationJobObject(job_.Get(), JobObjectAssociateCompletionPortInformation, &link, sizeof link))
            job_.Reset();
    } else {
        job_.Reset();
    }
    // No breakaway is allowed and nothing is killed when the job closes: the
    // game goes on when the program ends, as it always did.
    worker_.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Worker, this, 0, nullptr)));
    return Running();
}

unsigned __stdcall GameLauncher::Worker(void* self) {
    static_cast<GameLauncher*>(self)->Run();
    return 0;
}

void GameLauncher::Run() {
    if (following_)
        RunFollow();
    else
        RunLaunch();
}

bool GameLauncher::Stopping() const { return WaitForSingleObject(stop_.Get(), 0) == WAIT_OBJECT_0; }

void GameLauncher::RunLaunch() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring line = commandLine_;  // CreateProcessW may write into it
    // Suspended until it is in the job, so nothing it starts escapes it.
    BOOL created =
        !line.empty() &&
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS | CREATE_SUSPENDED, nullptr,
                       workingDirectory_.empty() ? nullptr : workingDirectory_.c_str(), &startup, &info);
    if (!created) {
        DWORD error = line.empty() ? ERROR_FILE_NOT_FOUND : GetLastError();
        PostMessageW(window_, kGameFailedMessage, error, 0);
        return;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    if (job_ && !AssignProcessToJobObject(job_.Get(), process.Get())) job_.Reset();
    AddProcess(info.dwProcessId, process.Get());
    ResumeThread(thread.Get());

    for (DWORD waited = 0; waited < kInputIdleLimitMs; waited += kInputIdleSliceMs) {
        DWORD result = WaitForInputIdle(process.Get(), kInputIdleSliceMs);
        // Ready, or a launcher that has handed over to the real game: go on at once.
        if (result == 0 || HasEnded(process.Get())) break;
        // A console program (cmd.exe running a .bat, "start") never becomes
        // ready: the wait fails at once, and what it starts is the game.
        if (result != WAIT_TIMEOUT || Stopping()) break;
    }
    if (Stopping()) return;
    // The session starts now; the report goes ahead of the hook's first notification.
    PostMessageW(window_, kGameReadyMessage, 0, 0);
    // Armed however the wait ended: inputs count only while a window of the
    // game's processes is in front, so a game not yet ready costs nothing.
    Arm();

    bool ended;
    if (job_) {
        ended = WatchJob();
    } else {
        std::vector<UniqueHandle> processes;
        processes.emplace_back(process.Release());
        ended = WatchProcesses(processes);
    }
    hook_.Disarm();
    if (ended) PostMessageW(window_, kGameEndedMessage, 0, 0);
}

void GameLauncher::RunFollow() {
    std::vector<UniqueHandle> running;
    bool allInJob = job_.Valid();
    for (const GameProcess& p : follow_) {
        const DWORD access = SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_SET_QUOTA | PROCESS_TERMINATE;
        UniqueHandle process(OpenProcess(access, FALSE, p.id));
        if (!process) process.Reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, p.id));
        if (!IsRunningGameProcess(process.Get(), p)) continue;
        if (allInJob && !AssignProcessToJobObject(job_.Get(), process.Get())) allInJob = false;
        AddProcess(p.id, process.Get());
        running.push_back(std::move(process));
    }
    if (Stopping()) return;
    PostMessageW(window_, kGameReadyMessage, 0, 0);
    bool ended = true;
    if (!running.empty()) {
        Arm();
        // In a job, what the game starts from now on is followed too; where the
        // system does not allow that, the processes known from before are.
        ended = allInJob ? WatchJob() : WatchProcesses(running);
    }
    hook_.Disarm();
    if (ended) PostMessageW(window_, kGameEndedMessage, 0, 0);
}

void GameLauncher::Arm() {
    if (hook_.ArmGameProcesses(ProcessIds(), window_)) PostMessageW(window_, kGameArmedMessage, 0, 0);
}

bool GameLauncher::WatchJob() {
    for (;;) {
        DWORD code = 0;
        ULONG_PTR key = 0;
        OVERLAPPED* overlapped = nullptr;
        if (!GetQueuedCompletionStatus(port_.Get(), &code, &key, &overlapped, INFINITE)) {
            if (!overlapped) return !Stopping();  // the port itself failed: nothing more can be learnt
            continue;
        }
        if (key == kStopKey) return false;
        if (key != kJobKey) continue;
        const DWORD id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(overlapped));
        switch (code) {
        case JOB_OBJECT_MSG_NEW_PROCESS: {
            UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
            AddProcess(id, process.Get());
            break;
        }
        case JOB_OBJECT_MSG_EXIT_PROCESS:
        case JOB_OBJECT_MSG_ABNORMAL_EXIT_PROCESS: RemoveProcess(id); break;
        case JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO: return true;
        default: break;
        }
    }
}

bool GameLauncher::WatchProcesses(std::vector<UniqueHandle>& processes) {
    while (!processes.empty()) {
        std::vector<HANDLE> waits{stop_.Get()};
        for (size_t i = 0; i < processes.size() && waits.size() < MAXIMUM_WAIT_OBJECTS; ++i)
            waits.push_back(processes[i].Get());
        DWORD which = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, INFINITE);
        if (which == WAIT_OBJECT_0) return false;
        if (which <= WAIT_OBJECT_0 || which >= WAIT_OBJECT_0 + waits.size()) return true;  // the wait failed
        const size_t index = which - WAIT_OBJECT_0 - 1;
        RemoveProcess(GetProcessId(processes[index].Get()));
        processes.erase(processes.begin() + static_cast<std::ptrdiff_t>(index));
    }
    return true;
}

void GameLauncher::AddProcess(DWORD id, HANDLE process) {
    {
        Locked lock(processesLock_);
        if (std::any_of(processes_.begin(), processes_.end(), [&](const GameProcess& p) { return p.id == id; })) return;
        processes_.push_back({id, ProcessCreationTime(process)});
    }
    ProcessesChanged();
}

void GameLauncher::RemoveProcess(DWORD id) {
    {
        Locked lock(processesLock_);
        auto gone =
            std::remove_if(processes_.begin(), processes_.end(), [&](const GameProcess& p) { return p.id == id; });
        if (gone == processes_.end()) return;
        processes_.erase(gone, processes_.end());
    }
    ProcessesChanged();
}

void GameLauncher::ProcessesChanged() {
    hook_.SetGameProcesses(ProcessIds());  // does nothing until armed
    PostMessageW(window_, kGameProcessesMessage, 0, 0);
}

std::vector<GameProcess> GameLauncher::Processes() const {
    Locked lock(processesLock_);
    return processes_;
}

std::vector<DWORD> GameLauncher::ProcessIds() const {
    std::vector<DWORD> ids;
    for (const GameProcess& p : Processes()) ids.push_back(p.id);
    return ids;
}

void GameLauncher::Finished() {
    if (!Running()) return;
    WaitForSingleObject(worker_.Get(), INFINITE);  // it posted its last report and is ending
    worker_.Reset();
    stop_.Reset();
    job_.Reset();  // the game's processes go on: nothing kills them with the job
    port_.Reset();
}

void GameLauncher::Stop() {
    if (!Running()) return;
    SetEvent(stop_.Get());
    if (port_) PostQueuedCompletionStatus(port_.Get(), 0, kStopKey, nullptr);
    Finished();
}

}  // namespace kibolt
