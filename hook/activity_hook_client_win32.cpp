#include "hook/activity_hook_client_win32.h"

#include <string>

#include "win32/text_win32.h"

namespace kibolt {

namespace {

// The folder of the running executable, without a trailing backslash.
std::wstring ProgramFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // truncated: try a larger buffer
    }
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring{} : path.substr(0, slash);
}

}  // namespace

ActivityHookLibrary::ActivityHookLibrary() { Load(ProgramFolder()); }

ActivityHookLibrary::ActivityHookLibrary(std::string_view folder) {
    std::wstring wide = Widen(folder);
    while (!wide.empty() && (wide.back() == L'\\' || wide.back() == L'/')) wide.pop_back();
    Load(wide);
}

ActivityHookLibrary::~ActivityHookLibrary() {
    if (!module_) return;
    if (disarm_) disarm_();  // the library's thread must be gone before it is unloaded
    FreeLibrary(module_);
}

void ActivityHookLibrary::Load(const std::wstring& folder) {
    // Only ever a full path: a library of the same name in the current
    // directory or on PATH must not be picked up.
    if (folder.empty()) return;
    std::wstring path = folder + L"\\kibolt.dll";
    module_ = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module_ && GetLastError() == ERROR_INVALID_PARAMETER)  // a system without those search flags
        module_ = LoadLibraryW(path.c_str());
    if (!module_) return;
    disarm_ = reinterpret_cast<DisarmFunction>(reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(1))));
    armProcesses_ =
        reinterpret_cast<ArmProcessesFunction>(reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(3))));
    setProcesses_ =
        reinterpret_cast<SetProcessesFunction>(reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(4))));
    if (!disarm_ || !armProcesses_ || !setProcesses_) {
        FreeLibrary(module_);
        module_ = nullptr;
        disarm_ = nullptr;
        armProcesses_ = nullptr;
        setProcesses_ = nullptr;
    }
}

bool ActivityHookLibrary::ArmGameProcesses(const std::vector<DWORD>& processIds, HWND window) {
    if (!armProcesses_) return false;
    return armProcesses_(processIds.data(), static_cast<DWORD>(processIds.size()), window) != 0;
}

bool ActivityHookLibrary::SetGameProcesses(const std::vector<DWORD>& processIds) {
    return setProcesses_ && setProcesses_(processIds.data(), static_cast<DWORD>(processIds.size())) != 0;
}

bool ActivityHookLibrary::Disarm() { return disarm_ && disarm_() != 0; }

}  // namespace kibolt
