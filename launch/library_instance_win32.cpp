#include "launch/library_instance_win32.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "launch/library_instance_name.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

// What the shared block holds: the main window and the process that owns it,
// so a window handle reused by another program is never taken for ours.
struct WindowRecord {
    uint64_t window;
    uint32_t processId;
};

// The same folder however the command line spelled it: full, long, one case.
std::wstring CanonicalFolder(const std::wstring& root) {
    DWORD length = GetFullPathNameW(root.c_str(), 0, nullptr, nullptr);
    if (length == 0) return root;
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(root.c_str(), length, full.data(), nullptr);
    full.resize(length);
    DWORD longLength = GetLongPathNameW(full.c_str(), nullptr, 0);
    if (longLength != 0) {
        std::wstring longPath(longLength, L'\0');
        longLength = GetLongPathNameW(full.c_str(), longPath.data(), longLength);
        if (longLength != 0 && longLength < longPath.size()) {
            longPath.resize(longLength);
            full = longPath;
        }
    }
    return full;
}

}  // namespace

LibraryInstance::LibraryInstance(const std::wstring& libraryRoot)
    : folder_(CanonicalFolder(libraryRoot)), name_(L"Local\\" + Widen(LibraryInstanceName(AsUtf16(folder_)))) {}

LibraryInstance::~LibraryInstance() {
    Publish(nullptr);
    if (claimed_ && mutex_) ReleaseMutex(mutex_.Get());
}

bool LibraryInstance::Claim() {
    if (claimed_) return true;
    if (!mutex_) {
        mutex_.Reset(CreateMutexW(nullptr, FALSE, name_.c_str()));
        if (!mutex_) {
            // Only where the system has no place for such names does this
            // process run alone. Any other refusal ("access denied": the
            // running Kibolt is elevated and this one is not) means another
            // Kibolt holds the library, and this one cannot reach it.
            const DWORD error = GetLastError();
            refused_ = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
            return claimed_ = !refused_;
        }
    }
    // An abandoned mutex means the Kibolt that held it ended without letting
    // go (killed): the library is free.
    DWORD wait = WaitForSingleObject(mutex_.Get(), 0);
    claimed_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    return claimed_;
}

void LibraryInstance::Publish(HWND window) {
    if (!claimed_) return;
    if (!view_) {
        if (!window) return;
        published_.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(WindowRecord),
                                            (name_ + L".window").c_str()));
        if (!published_) return;
        view_ = MapViewOfFile(published_.Get(), FILE_MAP_WRITE, 0, 0, sizeof(WindowRecord));
        if (!view_) return;
    }
    WindowRecord data{reinterpret_cast<uint64_t>(window), window ? GetCurrentProcessId() : 0};
    std::memcpy(view_, &data, sizeof data);
    if (!window) {
        UnmapViewOfFile(view_);
        view_ = nullptr;
        published_.Reset();
    }
}

HWND LibraryInstance::PublishedWindow() const {
    UniqueHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, (name_ + L".window").c_str()));
    if (!mapping) return nullptr;
    void* view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, sizeof(WindowRecord));
    if (!view) return nullptr;
    WindowRecord data{};
    std::memcpy(&data, view, sizeof data);
    UnmapViewOfFile(view);
    auto window = reinterpret_cast<HWND>(static_cast<uintptr_t>(data.window));
    DWORD owner = 0;
    if (!window || !IsWindow(window) || !GetWindowThreadProcessId(window, &owner) || owner != data.processId)
        return nullptr;
    return window;
}

HWND LibraryInstance::WaitForRunningWindow(DWORD timeoutMs) {
    if (claimed_) return nullptr;
    // Without the mutex there is nothing to wait on: one look, where the system lets this process see the window.
    if (!mutex_) return PublishedWindow();
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND window = PublishedWindow()) return window;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return nullptr;
        // The wait doubles as the pause between looks: it ends at once when
        // the running Kibolt ends, and this process then takes its place.
        DWORD wait = WaitForSingleObject(mutex_.Get(), static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 50)));
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
            claimed_ = true;
            return nullptr;
        }
    }
}

bool HandOverToRunning(HWND window, std::wstring_view commandLine) {
    COPYDATASTRUCT data{};
    data.dwData = kStartRequestTag;
    data.cbData = static_cast<DWORD>(commandLine.size() * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(commandLine.data());
    DWORD_PTR result = kRequestRefused;
    if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000,
                             &result) ||
        result == kRequestRefused)
        return false;
    // Only now, when the running Kibolt said that no game is being played: the
    // right to take the foreground would otherwise take the front from the game.
    if (result == static_cast<DWORD_PTR>(kRequestTakenComeForward)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        // This process was started by the user, so it may pass the right to take the foreground.
        AllowSetForegroundWindow(owner);
        COPYDATASTRUCT forward{};
        forward.dwData = kComeForwardTag;
        SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&forward), SMTO_ABORTIFHUNG, 10000,
                            &result);
    }
    return true;
}

void BringToFront(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    // A modal dialog of the window is what the user must answer first.
    HWND popup = GetLastActivePopup(window);
    SetForegroundWindow(popup && IsWindowVisible(popup) ? popup : window);
}

void FlashTaskbarButton(HWND window) {
    FLASHWINFO flash{};
    flash.cbSize = sizeof flash;
    flash.hwnd = window;
    flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
    FlashWindowEx(&flash);
}

}  // namespace kibolt
