// Starts a game and waits for it on a worker thread. The worker touches no
// program state: it launches the process, waits until it takes input, arms
// the activity hook, waits for the end, disarms, and reports each step to the
// main window with a posted message. Everything else happens on the main thread.
#pragma once
#include <windows.h>

#include <string>

#include "win32/handles_win32.h"

namespace kibolt {

class ActivityHookLibrary;

// Posted to the main window by the worker.
inline constexpr UINT kGameReadyMessage = WM_APP + 10;   // the game takes input (or the wait ran out)
inline constexpr UINT kGameEndedMessage = WM_APP + 11;   // the game's process has ended
inline constexpr UINT kGameFailedMessage = WM_APP + 12;  // wParam: the system's error code from the launch
inline constexpr UINT kGameArmedMessage = WM_APP + 13;   // the hook reports the game's inputs from now on

class GameLauncher {
public:
    explicit GameLauncher(ActivityHookLibrary& hook) : hook_(hook) {}
    ~GameLauncher() { Stop(); }
    GameLauncher(const GameLauncher&) = delete;
    GameLauncher& operator=(const GameLauncher&) = delete;

    // Starts the worker for this command line; false when one is running
    // (one game at a time) or the thread could not be started.
    bool Start(HWND window, const std::string& commandLine, const std::string& workingDirectory);
    // True from Start until the main window has taken the end or failure report.
    bool Running() const { return worker_.Valid(); }
    // The end or failure report has been handled: the worker has finished.
    void Finished();
    // Stops waiting for the game (which goes on running), disarms the hook and
    // joins the worker; no report is posted after it returns.
    void Stop();

private:
    static unsigned __stdcall Worker(void* self);
    void Run();

    ActivityHookLibrary& hook_;
    HWND window_ = nullptr;
    std::wstring commandLine_;
    std::wstring workingDirectory_;
    UniqueHandle worker_;
    UniqueHandle stop_;
};

}  // namespace kibolt
