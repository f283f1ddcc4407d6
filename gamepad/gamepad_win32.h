// Controller buttons counted as inputs of the game in front. XInput
// controllers are read from Kibolt's own process on a thread of their own
// (XInput needs no focus, nothing is injected into the game); other HID
// gamepads and joysticks arrive as raw input at the main window, which is
// registered to receive it in the background. Each press is reported as the
// hook reports a key press: the input message posted to the main window.
// With no controller, or no XInput on the system, nothing is reported.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "gamepad/pad_presses.h"
#include "win32/handles_win32.h"

namespace kibolt {

// What the watcher needs of the program around it.
struct GamepadHost {
    HWND window = nullptr;  // gets the input messages; the raw input goes to it too
    UINT inputMessage = 0;  // the hook's "one input" message
    // True when the process belongs to the game being played. Called on the
    // polling thread as well as on the main thread.
    std::function<bool(DWORD processId)> isGameProcess;
};

class GamepadWatcher {
public:
    GamepadWatcher();
    ~GamepadWatcher();
    GamepadWatcher(const GamepadWatcher&) = delete;
    GamepadWatcher& operator=(const GamepadWatcher&) = delete;

    // For the main window's life (main thread): presses count whenever a
    // window of the game being played is in front.
    void Start(GamepadHost host);
    void Stop();
    bool Running() const { return thread_.Valid(); }

    // The main window's WM_INPUT (main thread): reports the presses of a HID
    // controller; XInput controllers, also seen here, are counted by the poll.
    void OnRawInput(HRAWINPUT input);

private:
    static unsigned __stdcall Poll(void* self);
    void RunPoll();
    bool GameInFront() const;
    void Report(int presses) const;
    // The buttons down in a HID report; false when it is not a controller to count here.
    bool ButtonsOf(HANDLE device, const RAWHID& hid, std::vector<uint16_t>& down);

    using GetStateFunction = DWORD(WINAPI*)(DWORD, void*);
    using GetUsagesFunction = LONG(WINAPI*)(int, USHORT, USHORT, USHORT*, ULONG*, void*, char*, ULONG);
    using MaxUsagesFunction = ULONG(WINAPI*)(int, USHORT, void*);

    GamepadHost host_;
    HMODULE xinput_ = nullptr;
    GetStateFunction getState_ = nullptr;
    HMODULE hid_ = nullptr;
    GetUsagesFunction getUsages_ = nullptr;
    MaxUsagesFunction maxUsages_ = nullptr;
    UniqueHandle thread_;
    UniqueHandle stop_;
    bool rawInput_ = false;

    struct HidDevice {
        bool counted = false;  // a HID controller not also seen by XInput
        std::vector<unsigned char> preparsed;
        HidButtons buttons;
    };
    std::map<HANDLE, HidDevice> devices_;
};

}  // namespace kibolt
