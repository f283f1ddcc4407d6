#include "export/clipboard_export_win32.h"

namespace kibolt {

bool PutTextOnClipboard(HWND, const std::string&) { return false; }
void CopySessions(HWND, const LibraryState&) {}
void CopySelectedRows(HWND, const LibraryState&, const std::vector<int>&) {}

}  // namespace kibolt
