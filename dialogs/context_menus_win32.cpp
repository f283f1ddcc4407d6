#include "dialogs/context_menus_win32.h"

#include "win32/handles_win32.h"

namespace kibolt {

void ShowContextMenu(HINSTANCE instance, HWND owner, int menuResource, POINT at) {
    UniqueMenu menu(LoadMenuW(instance, MAKEINTRESOURCEW(menuResource)));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu.Get(), 0);
    if (!popup) return;
    TrackPopupMenu(popup, TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr);
}

}  // namespace kibolt
