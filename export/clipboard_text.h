// The text that the copy commands put on the clipboard, built from the
// current game's data, the copy check boxes and the view flags. Pure: the
// window layer only gathers the inputs and hands the bytes to the clipboard.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "library/game_log.h"

namespace kibolt {

inline constexpr int kCopyCheckCount = 18;

// The header values, as the detail panel shows them (total play, total active
// and total inputs). Taken whole, so the window layer reads the whole field.
struct CopyHeaderValues {
    std::string totalPlay;
    std::string totalActive;
    std::string totalInputs;
};

// Copy settings from the check boxes in bit order: checked box i sets bit i.
int32_t CopySettingsFromChecks(const std::array<bool, kCopyCheckCount>& checked);

// Text of "copy all": title, header lines, session rows, then the game's
// comment. nullopt when the game has no session: the clipboard stays as it was.
std::optional<std::string> CopySessionsText(std::string_view title, const GameLogContent& game,
                                            const CopyHeaderValues& header, int32_t viewFlags, int32_t copySettings);

// Text of "copy selected rows": the rows only, in ascending order whatever the
// order given; rows outside the sessions are ignored. Empty when none is
// selected, and that empty text still goes on the clipboard.
std::string CopySelectedRowsText(const GameLogContent& game, std::span<const int> selectedRows, int32_t viewFlags,
                                 int32_t copySettings);

}  // namespace kibolt
