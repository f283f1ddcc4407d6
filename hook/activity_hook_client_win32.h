// The program's side of kibolt.dll: loads it from the program's own folder
// and calls its two ordinals. Without the library, arming does nothing and a
// session is recorded without inputs.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

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
    // Ordinal 1: no message is posted after it returns.
    bool Disarm();

private:
    void Load(const std::wstring& folder);

    using ArmFunction = int(__stdcall*)(DWORD, HWND);
    using DisarmFunction = int(__stdcall*)();
    HMODULE module_ = nullptr;
    ArmFunction arm_ = nullptr;
    DisarmFunction disarm_ = nullptr;
};

}  // namespace kibolt
