#include "gamepad/gamepad_win32.h"

#include <process.h>
#include <xinput.h>

namespace kibolt {

namespace {

constexpr DWORD kPollMs = 10;
// While no game is in front only the front window is looked at, less often.
constexpr DWORD kBehindPollMs = 100;
// A controller that is not there is asked again only this often while the
// game is in front: the question is slow on some systems.
constexpr DWORD kAbsentRetryMs = 1000;
constexpr USHORT kGenericDesktopPage = 0x01;
constexpr USHORT kJoystickUsage = 0x04;
constexpr USHORT kGamepadUsage = 0x05;
constexpr USHORT kButtonPage = 0x09;
constexpr int kHidInputReport = 0;        // HidP_Input
constexpr LONG kHidSuccess = 0x00110000;  // HIDP_STATUS_SUCCESS

HMODULE LoadSystemLibrary(const wchar_t* name) { return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32); }

}  // namespace

GamepadWatcher::GamepadWatcher() {
    // The newest XInput first; none of them is imported, so a system without one starts as well.
    for (const wchar_t* name : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
        xinput_ = LoadSystemLibrary(name);
        if (!xinput_) continue;
        getState_ =
            reinterpret_cast<GetStateFunction>(reinterpret_cast<void*>(GetProcAddress(xinput_, "XInputGetState")));
        if (getState_) break;
        FreeLibrary(xinput_);
        xinput_ = nullptr;
    }
    hid_ = LoadSystemLibrary(L"hid.dll");
    if (hid_) {
        getUsages_ =
            reinterpret_cast<GetUsagesFunction>(reinterpret_cast<void*>(GetProcAddress(hid_, "HidP_GetUsages")));
        maxUsages_ = reinterpret_cast<MaxUsagesFunction>(
            reinterpret_cast<void*>(GetProcAddress(hid_, "HidP_MaxUsageListLength")));
    }
}

GamepadWatcher::~GamepadWatcher() {
    Stop();
    if (xinput_) FreeLibrary(xinput_);
    if (hid_) FreeLibrary(hid_);
}

void GamepadWatcher::Start(GamepadHost host) {
    Stop();
    host_ = std::move(host);
    if (getUsages_ && maxUsages_) {
        const RAWINPUTDEVICE wanted[] = {
            {kGenericDesktopPage, kJoystickUsage, RIDEV_INPUTSINK, host_.window},
            {kGenericDesktopPage, kGamepadUsage, RIDEV_INPUTSINK, host_.window},
        };
        rawInput_ = RegisterRawInputDevices(wanted, 2, sizeof wanted[0]);
    }
    if (!getState_) return;
    stop_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (stop_) thread_.Reset(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Poll, this, 0, nullptr)));
}

void GamepadWatcher::Stop() {
    if (thread_) {
        SetEvent(stop_.Get());
        WaitForSingleObject(thread_.Get(), INFINITE);
        thread_.Reset();
    }
    stop_.Reset();
    if (rawInput_) {
        const RAWINPUTDEVICE removed[] = {
            {kGenericDesktopPage, kJoystickUsage, RIDEV_REMOVE, nullptr},
            {kGenericDesktopPage, kGamepadUsage, RIDEV_REMOVE, nullptr},
        };
        RegisterRawInputDevices(removed, 2, sizeof removed[0]);
        rawInput_ = false;
    }
    devices_.clear();
}

unsigned __stdcall GamepadWatcher::Poll(void* self) {
    static_cast<GamepadWatcher*>(self)->RunPoll();
    return 0;
}

bool GamepadWatcher::GameInFront() const {
    const HWND front = GetForegroundWindow();
    DWORD processId = 0;
    if (!front || !GetWindowThreadProcessId(front, &processId)) return false;
    return host_.isGameProcess && host_.isGameProcess(processId);
}

void GamepadWatcher::Report(int presses) const {
    for (int i = 0; i < presses; ++i) PostMessageW(host_.window, host_.inputMessage, 0, 0);
}

void GamepadWatcher::RunPoll() {
    PadState last[XUSER_MAX_COUNT]{};
    DWORD absentSince[XUSER_MAX_COUNT]{};
    bool asked[XUSER_MAX_COUNT]{};
    bool inFront = false;
    while (WaitForSingleObject(stop_.Get(), inFront ? kPollMs : kBehindPollMs) == WAIT_TIMEOUT) {
        inFront = GameInFront();
        if (!inFront) {
            // Taken as unplugged: what is held when the game comes to the front counts nothing then.
            for (DWORD user = 0; user < XUSER_MAX_COUNT; ++user) last[user] = {}, asked[user] = false;
            continue;
        }
        const DWORD now = GetTickCount();
        for (DWORD user = 0; user < XUSER_MAX_COUNT; ++user) {
            if (asked[user] && !last[user].connected && now - absentSince[user] < kAbsentRetryMs) continue;
            XINPUT_STATE state{};
            PadState pad;
            if (getState_(user, &state) == ERROR_SUCCESS) {
                pad = {true, state.Gamepad.wButtons, state.Gamepad.bLeftTrigger, state.Gamepad.bRightTrigger};
            } else {
                absentSince[user] = now;
            }
            asked[user] = true;
            Report(PressesBetween(last[user], pad));
            last[user] = pad;
        }
    }
}

bool GamepadWatcher::ButtonsOf(HANDLE device, const RAWHID& hid, std::vector<uint16_t>& down) {
    auto found = devices_.find(device);
    if (found == devices_.end()) {
        HidDevice added;
        UINT size = 0;
        GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, nullptr, &size);
        std::wstring name(size, L'\0');
        if (size && GetRawInputDeviceInfoW(device, RIDI_DEVICENAME, name.data(), &size) != static_cast<UINT>(-1)) {
            // An XInput controller shows here as well ("IG_" in its name): the poll counts it.
            for (wchar_t& c : name) c = static_cast<wchar_t>(towupper(c));
            added.counted = name.find(L"IG_") == std::wstring::npos;
        }
        size = 0;
        GetRawInputDeviceInfoW(device, RIDI_PREPARSEDDATA, nullptr, &size);
        added.preparsed.resize(size);
        if (!size ||
            GetRawInputDeviceInfoW(device, RIDI_PREPARSEDDATA, added.preparsed.data(), &size) == static_cast<UINT>(-1))
            added.counted = false;
        found = devices_.emplace(device, std::move(added)).first;
    }
    HidDevice& known = found->second;
    if (!known.counted) return false;
    void* preparsed = known.preparsed.data();
    const ULONG most = maxUsages_(kHidInputReport, kButtonPage, preparsed);
    std::vector<USHORT> usages(most ? most : 1);
    const BYTE* report = hid.bRawData;
    for (DWORD i = 0; i < hid.dwCount; ++i, report += hid.dwSizeHid) {
        ULONG count = static_cast<ULONG>(usages.size());
        if (getUsages_(kHidInputReport, kButtonPage, 0, usages.data(), &count, preparsed,
                       reinterpret_cast<char*>(const_cast<BYTE*>(report)), hid.dwSizeHid) != kHidSuccess)
            continue;
        down.insert(down.end(), usages.begin(), usages.begin() + count);
    }
    return true;
}

void GamepadWatcher::OnRawInput(HRAWINPUT input) {
    if (!rawInput_) return;
    UINT size = 0;
    if (GetRawInputData(input, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0 || size == 0) return;
    std::vector<unsigned char> bytes(size);
    if (GetRawInputData(input, RID_INPUT, bytes.data(), &size, sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1)) return;
    const auto& raw = *reinterpret_cast<const RAWINPUT*>(bytes.data());
    if (raw.header.dwType != RIM_TYPEHID) return;
    std::vector<uint16_t> down;
    if (!ButtonsOf(raw.header.hDevice, raw.data.hid, down)) return;
    // Every report moves the held buttons on, so that one held while the game was behind counts nothing later.
    const int presses = devices_[raw.header.hDevice].buttons.Report(std::move(down));
    if (GameInFront()) Report(presses);
}

}  // namespace kibolt
