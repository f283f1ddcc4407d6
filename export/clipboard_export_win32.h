// The copy commands of the main window: build the text in the core from what
// the window shows, and put it on the clipboard.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "library/library_state.h"

namespace kibolt {

// Puts CP932 text on the clipboard (CF_TEXT, with its Unicode form for
// programs that read that). False when the clipboard could not be taken.
bool PutTextOnClipboard(HWND owner, const std::string& cp932);

// "Copy" / "ユーザー定義で全部コピー": every session of the current game.
void CopySessions(HWND mainWindow, const LibraryState& state);
// "選択行をコピー": the selected rows (ascending) of the session table.
void CopySelectedRows(HWND mainWindow, const LibraryState& state, const std::vector<int>& selectedRows);

}  // namespace kibolt
