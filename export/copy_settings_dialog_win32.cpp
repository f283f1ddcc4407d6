#include "export/copy_settings_dialog_win32.h"

namespace kibolt {

void RunCopySettingsDialog(HINSTANCE, HWND) {}

}  // namespace kibolt
