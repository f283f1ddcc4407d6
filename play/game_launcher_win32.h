// Starts a game and waits for it on a worker thread. The worker touches no
// program state: it launches the process, waits until it takes input (or the
// wait runs out, or cannot be made, as for a console program), arms the
// activity hook, waits for the end, disarms, and reports each step to the
// main window with a posted message. Everything else happens on the main thread.
//
// The game is the launched process and every process it starts, and they
// start: they are kept in a job object of their own, and the game has ended
// when the job has no process left. So a launcher that starts the real game
// and exits at once is followed to the real game's end.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "play/game_process.h"
#include "win32/app_messages_win32.h"  // what the worker posts to the window
#include "win32/handles_win32.h"

namespace kibolt {

class ActivityHookLibrary;

class GameLauncher {
public:
    explicit GameLauncher(ActivityHookLibrary& hook) : hook_(hook) {}
    ~GameLauncher() { Stop(); }
    GameLauncher(const GameLauncher&) = delete;
    GameLauncher& operator=(const GameLauncher&) = delete;

    // Starts the worker for this command line; false when one is running
    // (one game at a time) or the thread could not be started.
    bool Start(HWND window, const std::string& commandLine, const std::string& workingDirectory);
    // Starts the worker following a game that is already running (started
    // before the program was restarted): those of `processes` that still run.
    // Reports as Start does, without a failure report.
    bool Follow(HWND window, const std::vector<GameProcess>& processes);
    // True from Start until the main window has taken the end or failure report.
    bool Running() const { return worker_.Valid(); }
    // The game's processes that run now, as far as the worker has seen them.
    std::vector<GameProcess> Processes() const;
    // The end or failure report has been handled: the worker has finished.
    void Finished();
    // Stops waiting for the game (which goes on running), disarms the hook and
    // joins the worker; no report is posted after it returns.
    void Stop();

private:
    static unsigned __stdcall Worker(void* self);
    bool StartWorker(HWND window);
    void Run();
    void RunLaunch();
    void RunFollow();
    bool Stopping() const;
    void Arm();
    // Waits for the job's last process; false when stopped instead.
    bool WatchJob();
    // Waits for every one of the handles to end; false when stopped instead.
    bool WatchProcesses(std::vector<UniqueHandle>& processes);
    void AddProcess(DWORD id, HANDLE process);
    void RemoveProcess(DWORD id);
    void ProcessesChanged();
    std::vector<DWORD> ProcessIds() const;

    ActivityHookLibrary& hook_;
    HWND window_ = nullptr;
    std::wstring commandLine_;
    std::wstring workingDirectory_;
    std::vector<GameProcess> follow_;
    bool following_ = false;
    UniqueHandle worker_;
    UniqueHandle stop_;
    UniqueHandle job_;
    UniqueHandle port_;  // the job's completion port; the stop request arrives on it too

    mutable SRWLOCK processesLock_ = SRWLOCK_INIT;
    std::vector<GameProcess> processes_;
};

// The creation time of a process, in the system's 100 ns units; 0 when unknown.
uint64_t ProcessCreationTime(HANDLE process);
// A process of the game that still runs: the same id and the same creation
// time (the system may have handed the id to another program since).
bool IsRunningGameProcess(const GameProcess& game);

}  // namespace kibolt
