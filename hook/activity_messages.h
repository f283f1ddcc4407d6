// The registered window messages by which kibolt.dll reports the running
// game's activity to the main window. The library, the program and the tests
// all register them from here.
#pragma once

namespace kibolt {

inline constexpr wchar_t kInputMessageName[] = L"kurikkusaretayo";            // a key press or a click
inline constexpr wchar_t kActivatedMessageName[] = L"akutyibuninattayo";      // the game came to the front
inline constexpr wchar_t kDeactivatedMessageName[] = L"hiakutyibuninattayo";  // the game left the front

}  // namespace kibolt
