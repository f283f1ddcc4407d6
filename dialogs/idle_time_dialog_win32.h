// The dialog (IDD_IDLE_TIME) in which the minutes without input after which
// time in front stops counting as active are set.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>

namespace kibolt {

// Shows `minutes` for editing. OK takes a whole number of 0-120; anything else
// gets a message naming the range and the dialog stays open. Cancel and the
// close box give nothing.
std::optional<int32_t> RunIdleTimeDialog(HINSTANCE instance, HWND owner, int32_t minutes);

}  // namespace kibolt
