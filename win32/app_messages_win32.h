// Every WM_APP message number of the program, in one list so a new one takes
// a free number. Only other threads post these: work the window's own thread
// defers goes through PostedWork, without a number.
#pragma once
#include <windows.h>

namespace kibolt {

// The game launcher's worker thread, to the window that started the game.
inline constexpr UINT kGameReadyMessage = WM_APP + 10;      // the game takes input (or the wait ended otherwise)
inline constexpr UINT kGameEndedMessage = WM_APP + 11;      // the game's last process has ended
inline constexpr UINT kGameFailedMessage = WM_APP + 12;     // wParam: the system's error code from the launch
inline constexpr UINT kGameArmedMessage = WM_APP + 13;      // the hook reports the game's inputs from now on
inline constexpr UINT kGameProcessesMessage = WM_APP + 14;  // a process of the game started or ended

// The hook library's reports (inputs, the game's window in front or behind)
// are registered messages: see hook/activity_messages.h.

}  // namespace kibolt
