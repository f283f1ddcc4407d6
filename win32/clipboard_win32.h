// Putting text and pictures on the clipboard.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace kibolt {

// Puts CP932 text on the clipboard (CF_TEXT, with its Unicode form for
// programs that read that). False when the clipboard could not be taken.
bool PutTextOnClipboard(HWND owner, const std::string& cp932);
// Puts a packed DIB (header, then pixels) on the clipboard as CF_DIB.
bool PutDibOnClipboard(HWND owner, const std::vector<unsigned char>& dib);

}  // namespace kibolt
