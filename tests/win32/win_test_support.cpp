#include "tests/win32/win_test_support.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/file_system_win32.h"
#include "win32/handles_win32.h"
#include "win32/message_loop_win32.h"
#include "win32/text_win32.h"

namespace kibolt::test {

namespace {

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW data{};
    const UniqueFind find(FindFirstFileW((dir + L"\\*").c_str(), &data));
    if (find) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring path = dir + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find.Get(), &data));
    }
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

namespace {

// A new empty folder in the temp directory, for one library.
std::wstring NewTempFolder() {
    static int counter = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring base = temp;
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    std::wstring dir =
        base + L"\\kibolt-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    RemoveTree(dir);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

}  // namespace

TempLibrary::TempLibrary(bool withFolders) : top_(NewTempFolder()), wideRoot_(top_), root_(Narrow(top_)) {
    if (withFolders)
        for (const char* folder : {"playing", "cleared", "others"}) MakeFolder(folder);
}

TempLibrary::TempLibrary(std::wstring_view parentName) : top_(NewTempFolder()) {
    const std::wstring parent = top_ + L"\\" + std::wstring(parentName);
    CreateDirectoryW(parent.c_str(), nullptr);
    wideRoot_ = parent + L"\\kibolt";
    CreateDirectoryW(wideRoot_.c_str(), nullptr);
    root_ = Narrow(wideRoot_);
    for (const char* folder : {"playing", "cleared", "others"}) MakeFolder(folder);
}

TempLibrary::~TempLibrary() { RemoveTree(top_); }

std::wstring TempLibrary::WidePath(const std::string& relative) const { return wideRoot_ + L"\\" + Widen(relative); }

void TempLibrary::MakeFolder(const std::string& relative) const {
    CreateDirectoryW(WidePath(relative).c_str(), nullptr);
}

void TempLibrary::WriteFile(const std::string& relative, const std::string& bytes) const {
    UniqueFile file(CreateFileW(WidePath(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD wrote = 0;
    if (!file || !::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) ||
        wrote != bytes.size())
        ADD_FAILURE() << "could not write " << relative;
}

std::string TempLibrary::ReadFile(const std::string& relative) const {
    UniqueFile file(CreateFileW(WidePath(relative).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (!file) return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    return bytes;
}

bool TempLibrary::Exists(const std::string& relative) const {
    return GetFileAttributesW(WidePath(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

TempLibrary::Stamp TempLibrary::StampOf(const std::string& relative) const {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(WidePath(relative).c_str(), GetFileExInfoStandard, &data)) return {};
    return {true, (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
            (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime};
}

bool TempLibrary::WaitForFile(const std::string& relative, const std::function<bool(const std::string&)>& holds,
                              DWORD timeoutMs, std::optional<Stamp> seen) const {
    return PumpUntil(
        [&] {
            const Stamp now = StampOf(relative);
            if (seen && *seen == now) return false;  // the bytes read last did not hold
            seen = now;
            return holds(ReadFile(relative));
        },
        timeoutMs);
}

namespace {

// Handles one message; false when it was WM_QUIT (left in `message`).
bool DispatchOne(MSG& message, HWND dialog) {
    if (message.message == WM_QUIT) return false;
    if (dialog && IsWindow(dialog)) {
        DispatchThreadMessage(message);  // as in the program's loop
    } else {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, HWND dialog) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!DispatchOne(message, dialog)) {
                PostQuitMessage(static_cast<int>(message.wParam));  // leave it for the caller
                return done();
            }
            if (done()) return true;
        }
        if (done()) return true;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 50)),
                                  QS_ALLINPUT);
    }
}

// PumpUntil empties the queue before it looks at the clock.
void DispatchQueued(HWND dialog) {
    PumpUntil([] { return false; }, 0, dialog);
}

namespace {

// Tags the mouse move that ends a flush; it moves the pointer by nothing.
constexpr ULONG_PTR kFlushMarkerTag = 0x4B69626F;
constexpr UINT kFlushMarkerSeen = WM_APP + 7;
InputFlush* g_inputFlush = nullptr;

}  // namespace

InputFlush::InputFlush() {
    static const bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KiboltTestInputFlush";
        return RegisterClassW(&windowClass) != 0;
    }();
    (void)registered;
    window_ = CreateWindowW(L"KiboltTestInputFlush", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    g_inputFlush = this;
    hook_ = SetWindowsHookExW(WH_MOUSE_LL, HookProc, GetModuleHandleW(nullptr), 0);
}

InputFlush::~InputFlush() {
    if (hook_) UnhookWindowsHookEx(hook_);
    g_inputFlush = nullptr;
    if (window_) DestroyWindow(window_);
}

bool InputFlush::Flush(HWND dialog, DWORD timeoutMs) {
    markerSeen_ = false;
    INPUT marker{};
    marker.type = INPUT_MOUSE;
    marker.mi.dwFlags = MOUSEEVENTF_MOVE;
    marker.mi.dwExtraInfo = kFlushMarkerTag;
    SendInput(1, &marker, sizeof marker);
    // Earlier hooks posted for the earlier inputs before passing the marker on,
    // so their messages are handled before the marker's.
    return PumpUntil([&] { return markerSeen_; }, timeoutMs, dialog);
}

LRESULT CALLBACK InputFlush::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == WM_MOUSEMOVE && g_inputFlush &&
        reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->dwExtraInfo == kFlushMarkerTag)
        PostMessageW(g_inputFlush->window_, kFlushMarkerSeen, 0, 0);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK InputFlush::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kFlushMarkerSeen) {
        if (auto* self = reinterpret_cast<InputFlush*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            self->markerSeen_ = true;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int PumpUntilQuit(DWORD timeoutMs, HWND dialog) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            if (!DispatchOne(message, dialog)) return static_cast<int>(message.wParam);
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return -1;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}

namespace {

void SendClick(HWND window, POINT client, bool right) {
    ClientToScreen(window, &client);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    // Every event carries the point: wine otherwise may take a button at the
    // place of the click before (and make a double click of the two).
    const DWORD buttons[3] = {0, static_cast<DWORD>(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
                              static_cast<DWORD>(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)};
    INPUT inputs[3] = {};
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = static_cast<LONG>(((client.x - left) * 65535LL) / (width - 1));
        inputs[i].mi.dy = static_cast<LONG>(((client.y - top) * 65535LL) / (height - 1));
        inputs[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | buttons[i];
    }
    SendInput(3, inputs, sizeof(INPUT));
}

}  // namespace

void MoveMouseTo(HWND window, POINT client) {
    ClientToScreen(window, &client);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(((client.x - left) * 65535LL) / (width - 1));
    input.mi.dy = static_cast<LONG>(((client.y - top) * 65535LL) / (height - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    SendInput(1, &input, sizeof(INPUT));
}

void ClickClient(HWND window, POINT client, bool right) {
    SetDoubleClickTime(kTestDoubleClickMs);  // a double click is only ever made on purpose
    SendClick(window, client, right);
}

void DoubleClickClient(HWND window, POINT client) {
    // Stays in force until the next single click, so the double click is seen when it is read.
    SetDoubleClickTime(500);
    SendClick(window, client, false);
    SendClick(window, client, false);
}

void PressKey(WORD virtualKey) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

namespace {

void SendKey(WORD virtualKey, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof(INPUT));
}

}  // namespace

void KeyDown(WORD virtualKey) { SendKey(virtualKey, 0); }
void KeyUp(WORD virtualKey) { SendKey(virtualKey, KEYEVENTF_KEYUP); }

bool BringToFront(HWND window) {
    // Input already queued for our windows (a click on one of them) would
    // otherwise activate its window again once dispatched, after the switch.
    DispatchQueued();
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    return PumpUntil([&] { return GetForegroundWindow() == window; }, 3000);
}

std::string WindowsPathFromEnv(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return {};
    std::string path = value;
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
        for (char& c : path)
            if (c == '/') c = '\\';
    }
    return path;
}

namespace {

// A visible dialog with an owner, of that caption (any when null) and owner (any when null).
bool IsOwnedDialog(HWND window, const std::string* caption, HWND owner) {
    HWND windowOwner = GetWindow(window, GW_OWNER);
    if (!IsWindowVisible(window) || !windowOwner || (owner && windowOwner != owner)) return false;
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) != L"#32770") return false;
    return !caption || GetWindowTextCp932(window) == *caption;
}

HWND FindOwnedDialog(const std::string* caption, HWND owner) {
    return FindThreadWindow(GetCurrentThreadId(), [&](HWND window) { return IsOwnedDialog(window, caption, owner); });
}

}  // namespace

namespace {

struct WindowSearch {
    const std::function<bool(HWND)>* match;
    HWND found = nullptr;
};

BOOL CALLBACK TakeFirstMatch(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    if (!(*search->match)(window)) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND FindThreadWindow(DWORD threadId, const std::function<bool(HWND)>& match) {
    WindowSearch search{&match};
    EnumThreadWindows(threadId, TakeFirstMatch, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopLevelWindow(const std::function<bool(HWND)>& match) {
    WindowSearch search{&match};
    EnumWindows(TakeFirstMatch, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDialog(const std::string& caption) { return FindOwnedDialog(&caption, nullptr); }

HWND FindDialogOwnedBy(HWND owner) { return FindOwnedDialog(nullptr, owner); }

HWND FindMenu() {
    return FindThreadWindow(GetCurrentThreadId(), [](HWND window) {
        wchar_t className[16] = {};
        GetClassNameW(window, className, 16);
        return IsWindowVisible(window) && std::wstring(className) == L"#32768";
    });
}

HWND FindMessageBox(DWORD threadId, HWND owner) {
    return FindThreadWindow(threadId, [owner](HWND window) {
        return IsOwnedDialog(window, nullptr, owner) && GetDlgItem(window, kMessageBoxText);
    });
}

std::string DismissMessageBox(HWND box) {
    std::string text = GetWindowTextCp932(GetDlgItem(box, kMessageBoxText));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
}

namespace {

// The live probes by their timer, which is all a thread timer's callback is given.
std::map<UINT_PTR, TickProbe*>& LiveProbes() {
    static std::map<UINT_PTR, TickProbe*> probes;
    return probes;
}

}  // namespace

TickProbe::TickProbe(std::function<void()> probe) : probe_(std::move(probe)) {
    timer_ = SetTimer(nullptr, 0, 10, Tick);
    EXPECT_NE(timer_, 0u) << "no timer for the probe";
    if (timer_) LiveProbes()[timer_] = this;
}

TickProbe::~TickProbe() {
    if (!timer_) return;
    KillTimer(nullptr, timer_);
    LiveProbes().erase(timer_);
}

void CALLBACK TickProbe::Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    auto found = LiveProbes().find(timer);
    if (found == LiveProbes().end()) return;
    TickProbe* self = found->second;
    if (self->busy_) return;
    self->busy_ = true;
    self->probe_();
    self->busy_ = false;
}

void ModalScript::Run(const std::function<void()>& open, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    {
        TickProbe probe([this, deadline] { Tick(deadline); });
        open();
    }
    EXPECT_FALSE(timedOut_) << "stopped at step " << next_;
}

void ModalScript::Tick(ULONGLONG deadline) {
    if (GetTickCount64() > deadline) {
        timedOut_ = true;
        EndMenu();
        // Every owned dialog: the search goes on past each one.
        FindThreadWindow(GetCurrentThreadId(), [](HWND window) {
            if (IsOwnedDialog(window, nullptr, nullptr)) EndDialog(window, IDCANCEL);
            return false;
        });
        return;
    }
    if (Finished()) return;
    if (steps_[next_]()) ++next_;
}

ModalScript::Step WaitForDialog(const std::string& caption, HWND& dialog) {
    return [caption, &dialog] { return (dialog = FindDialog(caption)) != nullptr; };
}

ModalScript::Step WaitForDialogOwnedBy(const HWND& owner, HWND& dialog) {
    return [&owner, &dialog] { return (dialog = FindDialogOwnedBy(owner)) != nullptr; };
}

ModalScript::Step WaitUntilClosed(const HWND& window) {
    return [&window] { return !IsWindow(window); };
}

ModalScript::Step Do(std::function<void()> action) {
    return [action = std::move(action)] {
        action();
        return true;
    };
}

ModalScript::Step AnswerMessageBox(std::vector<std::string>& texts, std::string caption) {
    return [&texts, caption] {
        HWND box = FindDialog(caption);
        if (!box) return false;
        texts.push_back(DismissMessageBox(box));
        return true;
    };
}

void PostKey(HWND target, WORD key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

void PostKeyToFocus(WORD key) { PostKey(GetFocus(), key); }

void PrintTo(const MenuItem& item, std::ostream* os) { *os << item.command << " " << item.text; }

std::vector<MenuItem> ItemsOf(HMENU menu) {
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
        items.push_back({static_cast<int>(GetMenuItemID(menu, i)), Narrow(text)});
    }
    return items;
}

void ChooseFromMenu(ModalScript& script, MenuSeen& seen, int choose) {
    auto menuWindow = std::make_shared<HWND>(nullptr);
    script.Then([menuWindow, &seen] {
        if (!(*menuWindow = FindMenu())) return false;
        seen.items = ItemsOf(reinterpret_cast<HMENU>(SendMessageW(*menuWindow, MN_GETHMENU, 0, 0)));
        GetWindowRect(*menuWindow, &seen.rect);
        return true;
    });
    script.Then([menuWindow, choose] {
        if (choose < 0) {
            PostKey(*menuWindow, VK_ESCAPE);
            return true;
        }
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(*menuWindow, MN_GETHMENU, 0, 0));
        if (GetMenuState(menu, choose, MF_BYPOSITION) & MF_HILITE) {
            PostKey(*menuWindow, VK_RETURN);
            return true;
        }
        PostKey(*menuWindow, VK_DOWN);
        return false;
    });
}

HWND FindSampleGame() { return FindWindowW(L"KiboltSampleGame", nullptr); }

void CloseSampleGame() {
    HWND game = FindSampleGame();
    if (!game) return;
    PostMessageW(game, WM_CLOSE, 0, 0);
    PumpUntil([] { return FindSampleGame() == nullptr; }, 5000);
}

int SampleGameInputs(HWND game) {
    wchar_t title[64] = {};
    GetWindowTextW(game, title, 64);
    return std::wcslen(title) > 12 ? _wtoi(title + 12) : 0;
}

bool OpenClipboardSoon() {
    return PumpUntil([] { return OpenClipboard(nullptr) != FALSE; }, 3000);
}

std::optional<std::string> ClipboardBytes(UINT format) {
    if (!OpenClipboardSoon()) {
        ADD_FAILURE() << "clipboard not opened";
        return std::nullopt;
    }
    std::optional<std::string> result;
    if (HANDLE block = GetClipboardData(format)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(block))) {
            const size_t size = GlobalSize(block);
            const size_t length = strnlen(bytes, size);
            if (length < size) result.emplace(bytes, length);
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return result;
}

std::optional<std::wstring> ClipboardUnicode() {
    if (!OpenClipboardSoon()) return std::nullopt;
    std::optional<std::wstring> result;
    if (HANDLE block = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(block))) {
            result.emplace(wide, wcsnlen(wide, GlobalSize(block) / sizeof(wchar_t)));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return result;
}

}  // namespace kibolt::test
