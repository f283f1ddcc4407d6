#include "export/clipboard_export_win32.h"

#include "export/clipboard_text.h"
#include "win32/clipboard_win32.h"

namespace kibolt {

void CopySessions(HWND owner, const LibraryState& state, const CopyHeaderValues& header, int32_t copySettings) {
    const GameRecord& game = state.Current();
    if (game.log.sessions.empty()) return;  // the clipboard stays as it was
    std::optional<std::string> text = CopySessionsText(game.title, game.log, header, state.ViewFlags(), copySettings);
    if (text) PutTextOnClipboard(owner, *text);
}

void CopySelectedRows(HWND owner, const LibraryState& state, const std::vector<int>& selectedRows,
                      int32_t copySettings) {
    // Also with no row selected: the clipboard then holds an empty text.
    PutTextOnClipboard(owner, CopySelectedRowsText(state.Current().log, selectedRows, state.ViewFlags(), copySettings));
}

}  // namespace kibolt
