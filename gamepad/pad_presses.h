// What counts as one input on a game controller: a button going down, a
// trigger passing its threshold, a stick pressed in. Moving a stick or
// holding a button counts nothing more. Fed with the states read one after
// another; the same rules for every controller.
#pragma once
#include <cstdint>
#include <vector>

namespace kibolt {

// An XInput controller's state, as XINPUT_GAMEPAD holds it.
struct PadState {
    bool connected = false;
    uint16_t buttons = 0;  // XINPUT_GAMEPAD_* bits: the pad, Start, Back, the stick clicks, shoulders, A B X Y
    uint8_t leftTrigger = 0;
    uint8_t rightTrigger = 0;
};

// XINPUT_GAMEPAD_TRIGGER_THRESHOLD: a trigger further than this is pressed.
inline constexpr uint8_t kTriggerThreshold = 30;
// The button bits XInput defines (the two unused bits 0x0400 and 0x0800 are not buttons).
inline constexpr uint16_t kPadButtonBits = 0xF3FF;

// The presses from one state to the next. A controller just connected counts
// nothing for what it holds already.
int PressesBetween(const PadState& before, const PadState& now);

// The buttons of one HID controller (raw input): the usages down in each
// report; a usage that was not down in the report before is one press.
class HidButtons {
public:
    // Takes the usages down now; the number of them that have gone down since the last report.
    int Report(std::vector<uint16_t> down);

private:
    std::vector<uint16_t> down_;  // sorted
};

}  // namespace kibolt
