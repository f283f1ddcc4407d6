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

// Puts CP932 text on the clipboard (CF_TEXT, with its Unicode form for
// programs that read that). False when the clipboard could not be taken.
bool PutTextOnClipboard(HWND owner, const std::string& cp932);
// Puts a packed DIB (header, then pixels) on the clipboard as CF_DIB.
bool PutDibOnClipboard(HWND owner, const std::vector<unsigned char>& dib);

// "Copy" / "ユーザー定義で全部コピー": every session of the current game.
void CopySessions(HWND owner, const LibraryState& state, const CopyHeaderValues& header, int32_t copySettings);
// "選択行をコピー": the selected rows (ascending) of the session table.
void CopySelectedRows(HWND owner, const LibraryState& state, const std::vector<int>& selectedRows,
                      int32_t copySettings);

}  // namespace kibolt
