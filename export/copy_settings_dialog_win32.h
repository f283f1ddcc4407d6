// The copy settings dialog behind the hidden "COPYSETTING" button.
#pragma once
#include <windows.h>

namespace kibolt {

void RunCopySettingsDialog(HINSTANCE instance, HWND owner);

}  // namespace kibolt
