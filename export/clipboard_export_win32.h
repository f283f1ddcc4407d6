// The copy commands: build the text in the core from the values the main
// window hands over, and put it on the clipboard.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "export/clipboard_text.h"
#include "library/library_state.h"

namespace kibolt {

// "Copy" / "ユーザー定義で全部コピー": every session of the current game.
void CopySessions(HWND owner, const LibraryState& state, const CopyHeaderValues& header, int32_t copySettings);
// "選択行をコピー": the selected rows (ascending) of the session table.
void CopySelectedRows(HWND owner, const LibraryState& state, const std::vector<int>& selectedRows,
                      int32_t copySettings);

}  // namespace kibolt
