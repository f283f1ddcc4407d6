#include <gtest/gtest.h>

#include "gamepad/pad_presses.h"

namespace kibolt {
namespace {

constexpr uint16_t kA = 0x1000, kB = 0x2000, kStart = 0x0010, kLeftThumb = 0x0040, kRightThumb = 0x0080,
                   kDpadUp = 0x0001, kLeftShoulder = 0x0100;

PadState Pad(uint16_t buttons, uint8_t left = 0, uint8_t right = 0) { return {true, buttons, left, right}; }
const PadState kGone{};

TEST(PadPressesTest, EachButtonTriggerOrStickClickGoingDownIsOneInput) {
    const struct {
        const char* what;
        std::vector<PadState> states;
        int presses;
    } cases[] = {
        {"nothing held", {Pad(0), Pad(0), Pad(0)}, 0},
        {"A pressed and held", {Pad(0), Pad(kA), Pad(kA), Pad(kA)}, 1},
        {"A pressed twice", {Pad(0), Pad(kA), Pad(0), Pad(kA)}, 2},
        {"two buttons at once", {Pad(0), Pad(kA | kB)}, 2},
        {"one released while another goes down", {Pad(kA), Pad(kB)}, 1},
        {"the pad, start and a shoulder", {Pad(0), Pad(kDpadUp), Pad(kDpadUp | kStart), Pad(kLeftShoulder)}, 3},
        {"stick clicks", {Pad(0), Pad(kLeftThumb), Pad(kLeftThumb | kRightThumb), Pad(0)}, 2},
        {"bits that are no buttons", {Pad(0), Pad(0x0C00)}, 0},
        {"a trigger past its threshold", {Pad(0, 0), Pad(0, 10), Pad(0, 31), Pad(0, 255), Pad(0, 200)}, 1},
        {"a trigger at the threshold is not pressed", {Pad(0, 0, 0), Pad(0, 0, kTriggerThreshold)}, 0},
        {"a trigger pressed again", {Pad(0, 0, 255), Pad(0, 0, 5), Pad(0, 0, 255)}, 1},
        {"both triggers", {Pad(0), Pad(0, 100, 100)}, 2},
        {"held while plugged in", {kGone, Pad(kA, 255), Pad(kA, 255)}, 0},
        {"pressed after plugging in", {kGone, Pad(0), Pad(kA)}, 1},
        {"unplugged and back, held", {Pad(kA), kGone, Pad(kA)}, 0},
    };
    for (const auto& c : cases) {
        int presses = 0;
        for (size_t i = 1; i < c.states.size(); ++i) presses += PressesBetween(c.states[i - 1], c.states[i]);
        EXPECT_EQ(presses, c.presses) << c.what;
    }
}

TEST(PadPressesTest, HidButtonsCountWhenTheyGoDown) {
    const struct {
        const char* what;
        std::vector<std::vector<uint16_t>> reports;
        int presses;
    } cases[] = {
        {"no button", {{}, {}, {}}, 0},
        {"one held over reports", {{1}, {1}, {1}}, 1},
        {"pressed, released, pressed", {{3}, {}, {3}}, 2},
        {"another added", {{1}, {1, 2}, {2}}, 2},
        {"a usage twice in one report", {{5, 5}}, 1},
        {"reports in another order", {{2, 1}, {1, 2}}, 2},
    };
    for (const auto& c : cases) {
        HidButtons buttons;
        int presses = 0;
        for (const auto& report : c.reports) presses += buttons.Report(report);
        EXPECT_EQ(presses, c.presses) << c.what;
    }
}

}  // namespace
}  // namespace kibolt
