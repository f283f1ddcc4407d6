// The program's side of kibolt.dll: loads it from the program's own folder
// and calls its ordinals 1, 3 and 4 (ordinal 2, arming by one thread, is for
// the library's other callers). Without the library, or with one that lacks
// any of the three, arming does nothing and a session is recorded without
// inputs.
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

    bool Loaded() const { return module_ != nullptr; }
    // Ordinal 3: report inputs and foreground changes of the game, whichever
    // of its processes is in front, to `window`. Replaces an earlier arming;
    // with no process, nothing is armed afterwards. False when nothing was armed.
    bool ArmGameProcesses(const std::vector<DWORD>& processIds, HWND window);
    // Ordinal 4: the armed game's processes are now these.
    bool SetGameProcesses(const std::vector<DWORD>& processIds);
    // Ordinal 1: no message is posted after it returns.
    bool Disarm();

private:
    void Load(const std::wstring& folder);

    using DisarmFunction = int(__stdcall*)();
    using ArmProcessesFunction = int(__stdcall*)(const DWORD*, DWORD, HWND);
    using SetProcessesFunction = int(__stdcall*)(const DWORD*, DWORD);
    HMODULE module_ = nullptr;
    DisarmFunction disarm_ = nullptr;
    ArmProcessesFunction armProcesses_ = nullptr;
    SetProcessesFunction setProcesses_ = nullptr;
};

}  // namespace kibolt
