// kibolt.dll: tells Kibolt's main window about inputs to the running game
// and about the game gaining or losing the foreground.
//
// Nothing is loaded into the game's process (libraries injected into games
// through thread or global hooks are what anti-cheat systems flag). The hooks
// run on a thread of this library inside Kibolt's own process: low-level
// keyboard and mouse hooks for inputs, and a foreground event hook plus a
// periodic check of the foreground window, since not every system (Wine)
// delivers the foreground event.
//
// Every input of the desktop passes through the hook procedures, so they only
// compare and post. No key or button identity is kept: only which keys are
// down, to tell a press from an auto-repeat, and that is dropped on disarm.
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "hook/activity_messages.h"
#include "win32/handles_win32.h"

namespace {

// How often the foreground window is checked besides the event hook.
constexpr DWORD kForegroundPollMs = 250;

HINSTANCE g_module = nullptr;

// Serialises arm and disarm between callers; never taken by the hook thread.
SRWLOCK g_controlLock = SRWLOCK_INIT;

// The running hook thread, if any. Written only under g_controlLock; the
// detach path reads them when no other thread of the process runs this code.
kibolt::UniqueHandle g_thread;
kibolt::UniqueHandle g_stopEvent;

// Set by disarm before the thread is told to stop, so nothing is posted
// while it winds down.
std::atomic<bool> g_stopping{false};

// The game's processes: the launched one and every one it started. Written
// by arm and by KiboltSetGameProcesses, read by the hook thread at each
// foreground check; the hook callbacks only ever take it shared.
constexpr DWORD kMaxGameProcesses = 256;
SRWLOCK g_processLock = SRWLOCK_INIT;
DWORD g_processIds[kMaxGameProcesses] = {};
DWORD g_processCount = 0;

void SetProcesses(const DWORD* ids, DWORD count) {
    if (count > kMaxGameProcesses) count = kMaxGameProcesses;
    AcquireSRWLockExclusive(&g_processLock);
    for (DWORD i = 0; i < count; ++i) g_processIds[i] = ids[i];
    g_processCount = count;
    ReleaseSRWLockExclusive(&g_processLock);
}

bool IsGameProcess(DWORD processId) {
    if (processId == 0) return false;
    bool found = false;
    AcquireSRWLockShared(&g_processLock);
    for (DWORD i = 0; i < g_processCount && !found; ++i) found = g_processIds[i] == processId;
    ReleaseSRWLockShared(&g_processLock);
    return found;
}

// What the hook thread works with. Filled before the thread starts and then
// touched only by that thread (every hook callback runs on it).
struct Session {
    HWND window = nullptr;
    UINT inputMessage = 0;
    UINT activeMessage = 0;
    UINT inactiveMessage = 0;
    bool gameInFront = false;
    std::uint32_t keysDown[256 / 32] = {};  // down state by virtual key, to skip auto-repeats
    bool hooked = false;                    // result of the thread's set-up, read after ready
};
Session g_session;

void Post(UINT message) {
    if (!g_stopping.load(std::memory_order_relaxed)) PostMessageW(g_session.window, message, 0, 0);
}

bool ForegroundIsGame() {
    DWORD processId = 0;
    HWND front = GetForegroundWindow();
    if (front) GetWindowThreadProcessId(front, &processId);
    return IsGameProcess(processId);
}

// Reports a change of the game's foreground state; returns the current state.
bool UpdateForeground() {
    bool inFront = ForegroundIsGame();
    if (inFront != g_session.gameInFront) {
        g_session.gameInFront = inFront;
        Post(inFront ? g_session.activeMessage : g_session.inactiveMessage);
    }
    return inFront;
}

// Counts one press if the game is in front. The foreground state is brought
// up to date first, so an activation is always reported before its inputs.
void CountPress() {
    if (UpdateForeground()) Post(g_session.inputMessage);
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const DWORD index = key->vkCode & 0xFF;
        std::uint32_t& word = g_session.keysDown[index / 32];
        const std::uint32_t bit = std::uint32_t{1} << (index % 32);
        if (key->flags & LLKHF_UP) {
            word &= ~bit;
        } else if (!(word & bit)) {  // a key already down is repeating
            word |= bit;
            CountPress();
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        switch (wParam) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN: CountPress(); break;
        default: break;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK ForegroundEventProc(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) { UpdateForeground(); }

struct ThreadStart {
    HANDLE ready;  // set once the hooks are in place (or failed to be)
};

void RunHooks(HANDLE ready);

DWORD WINAPI HookThread(void* parameter) {
    HANDLE ready = static_cast<ThreadStart*>(parameter)->ready;
    // The thread keeps the library loaded while it runs, so an unload can't
    // pull the code from under it; it drops that reference as it ends.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&HookThread), &self);

    RunHooks(ready);
    if (self) FreeLibraryAndExitThread(self, 0);
    return 0;
}

// Sets the hooks, reports through `ready` whether they are in place, and
// handles their calls until the stop event. The hooks are removed on return.
void RunHooks(HANDLE ready) {
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);  // the queue the hooks are called through
    const kibolt::UniqueHook keyboard(SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardProc, g_module, 0));
    const kibolt::UniqueHook mouse(SetWindowsHookExW(WH_MOUSE_LL, MouseProc, g_module, 0));
    // Optional: where the event is not delivered the periodic check covers it.
    const kibolt::UniqueWinEventHook foreground(SetWinEventHook(
        EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, ForegroundEventProc, 0, 0, WINEVENT_OUTOFCONTEXT));
    g_session.hooked = keyboard && mouse;
    const HANDLE stop = g_stopEvent.Get();
    SetEvent(ready);  // the starter's ThreadStart is gone after this

    if (g_session.hooked) {
        UpdateForeground();
        ULONGLONG nextCheck = GetTickCount64() + kForegroundPollMs;
        for (;;) {
            ULONGLONG now = GetTickCount64();
            if (now >= nextCheck) {
                UpdateForeground();
                nextCheck = now + kForegroundPollMs;
            }
            DWORD wait = MsgWaitForMultipleObjectsEx(1, &stop, static_cast<DWORD>(nextCheck - now), QS_ALLINPUT,
                                                     MWMO_INPUTAVAILABLE);
            if (wait == WAIT_OBJECT_0 || wait == WAIT_FAILED) break;
            // Hook calls arrive as sent messages and are handled inside PeekMessage.
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        }
    }
}

// Stops and joins the hook thread; the caller holds g_controlLock.
void StopLocked() {
    if (!g_thread) return;
    g_stopping.store(true);
    SetEvent(g_stopEvent.Get());
    WaitForSingleObject(g_thread.Get(), INFINITE);
    g_thread.Reset();
    g_stopEvent.Reset();
    g_session = Session{};
    SetProcesses(nullptr, 0);
}

DWORD ProcessOfThread(DWORD threadId) {
    const kibolt::UniqueHandle thread(OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, threadId));
    return thread ? GetProcessIdOfThread(thread.Get()) : 0;
}

// Starts the hook thread reporting to `window` for the given processes; the
// caller holds g_controlLock and has stopped any earlier arming. 1 or 0.
int ArmLocked(const DWORD* processIds, DWORD count, HWND window) {
    if (count == 0 || !IsWindow(window)) return 0;
    int result = 0;
    SetProcesses(processIds, count);
    g_session.window = window;
    g_session.inputMessage = RegisterWindowMessageW(kibolt::kInputMessageName);
    g_session.activeMessage = RegisterWindowMessageW(kibolt::kActivatedMessageName);
    g_session.inactiveMessage = RegisterWindowMessageW(kibolt::kDeactivatedMessageName);
    // Taken as in front at first, as the recorder does, so a game that is
    // not in front when armed is reported inactive at once.
    g_session.gameInFront = true;
    g_stopping.store(false);

    const kibolt::UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ThreadStart start{ready.Get()};
    g_stopEvent.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (ready && g_stopEvent && g_session.inputMessage && g_session.activeMessage && g_session.inactiveMessage)
        g_thread.Reset(CreateThread(nullptr, 0, HookThread, &start, 0, nullptr));
    if (g_thread) {
        HANDLE waits[2] = {ready.Get(), g_thread.Get()};
        DWORD wait = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (wait == WAIT_OBJECT_0 && g_session.hooked)
            result = 1;
        else
            StopLocked();
    } else {
        g_stopEvent.Reset();
        g_session = Session{};
        SetProcesses(nullptr, 0);
    }
    return result;
}

}  // namespace

// Ordinal 2: starts reporting for the game whose primary thread is given, to
// `window`. A second call replaces the first. Returns 1 on success, else 0
// (and nothing is armed). Kibolt itself arms with ordinal 3; this one stays
// for the library's other callers.
extern "C" int __stdcall KiboltArm(DWORD threadId, HWND window) {
    AcquireSRWLockExclusive(&g_controlLock);
    StopLocked();
    const DWORD processId = ProcessOfThread(threadId);
    const int result = processId != 0 ? ArmLocked(&processId, 1, window) : 0;
    ReleaseSRWLockExclusive(&g_controlLock);
    return result;
}

// Ordinal 3: as ordinal 2, for a game made of several processes (a launcher
// and what it starts): inputs count while a window of any of them is in
// front. A second call, or a call of ordinal 2, replaces the first.
extern "C" int __stdcall KiboltArmGameProcesses(const DWORD* processIds, DWORD count, HWND window) {
    AcquireSRWLockExclusive(&g_controlLock);
    StopLocked();
    const int result = processIds ? ArmLocked(processIds, count, window) : 0;
    ReleaseSRWLockExclusive(&g_controlLock);
    return result;
}

// Ordinal 4: the game's processes now are these (one started or ended).
// Returns 1 when armed, else 0 and nothing changes.
extern "C" int __stdcall KiboltSetGameProcesses(const DWORD* processIds, DWORD count) {
    AcquireSRWLockExclusive(&g_controlLock);
    const int result = g_thread && (processIds || count == 0) ? 1 : 0;
    if (result) SetProcesses(processIds, count);
    ReleaseSRWLockExclusive(&g_controlLock);
    return result;
}

// Ordinal 1: stops reporting. When it returns no further message is posted
// and the hook thread has ended. Harmless when not armed. Returns 1.
extern "C" int __stdcall KiboltDisarm() {
    AcquireSRWLockExclusive(&g_controlLock);
    StopLocked();
    ReleaseSRWLockExclusive(&g_controlLock);
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
    } else if (reason == DLL_PROCESS_DETACH && g_thread) {
        // Only reached at process exit (a running thread holds the library).
        // The loader lock is held: signal, never wait.
        g_stopping.store(true);
        SetEvent(g_stopEvent.Get());
    }
    return TRUE;
}
