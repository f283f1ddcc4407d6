#include "gamepad/pad_presses.h"

#include <algorithm>
#include <bit>

namespace kibolt {

namespace {

bool Pressed(uint8_t trigger) { return trigger > kTriggerThreshold; }

}  // namespace

int PressesBetween(const PadState& before, const PadState& now) {
    if (!now.connected || !before.connected) return 0;
    int presses = std::popcount(static_cast<unsigned>(now.buttons & ~before.buttons & kPadButtonBits));
    if (Pressed(now.leftTrigger) && !Pressed(before.leftTrigger)) ++presses;
    if (Pressed(now.rightTrigger) && !Pressed(before.rightTrigger)) ++presses;
    return presses;
}

int HidButtons::Report(std::vector<uint16_t> down) {
    std::sort(down.begin(), down.end());
    down.erase(std::unique(down.begin(), down.end()), down.end());
    int presses = 0;
    for (uint16_t usage : down)
        if (!std::binary_search(down_.begin(), down_.end(), usage)) ++presses;
    down_ = std::move(down);
    return presses;
}

}  // namespace kibolt
