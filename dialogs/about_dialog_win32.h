// The About box (IDD_ABOUT): the program's icon, its name and version, OK.
#pragma once
#include <windows.h>

namespace kibolt {

// Only OK (the button or Enter) closes the box; Esc and the close box do not.
void RunAboutDialog(HINSTANCE instance, HWND owner);

}  // namespace kibolt
