// The program's side of kibolt.dll: loads it from the program's own folder
// and calls its ordinals. Without the library, arming does nothing and a
// session is recorded without inputs.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace kibolt {

class ActivityHookLibrary {
public:
    // kibolt.dll from the folder of the running executable.
    ActivityHookLibrary();
    // kibolt.dll from the given folder (CP932).
    explicit ActivityHookLibrary(std::string_view folder);
    // Disarms, then unloads.
    ~ActivityHookLibrary();
    ActivityHookLibrary(const ActivityHookLibrary&) = delete;
    ActivityHookLibrary& operator=(const ActivityHookLibrary&) = delete;

    bool Loaded() const { return arm_ != nullptr && disarm_ != nullptr; }
    // Ordinal 2: report inputs and foreground changes of the game whose
    // primary thread is given to `window`. False when nothing was armed.
    bool Arm(DWORD gameThreadId, HWND window);
    // Ordinal 3: the same for a game made of several processes. Replaces an
    // earlier arming; with no process, nothing is armed afterwards.
    bool ArmGameProcesses(const std::vector<DWORD>& processIds, HWND window);
    // Ordinal 4: the armed game's processes are now these.
    bool SetGameProcesses(const std::vector<DWORD>& processIds);
    // Ordinal 1: no message is posted after it returns.
    bool Disarm();

private:
    void Load(const std::wstring& folder);

    using ArmFunction = int(__stdcall*)(DWORD, HWND);
    using DisarmFunction = int(__stdcall*)();
    using ArmProcessesFunction = int(__stdcall*)(const DWORD*, DWORD, HWND);
    using SetProcessesFunction = int(__stdcall*)(const DWORD*, DWORD);
    HMODULE module_ = nullptr;
    ArmFunction arm_ = nullptr;
    DisarmFunction disarm_ = nullptr;
    ArmProcessesFunction armProcesses_ = nullptr;  // absent from an older library
    SetProcessesFunction setProcesses_ = nullptr;
};

}  // namespace kibolt
