// The context menus of the game list (IDR_GAME_MENU) and the session table (IDR_SESSION_MENU).
#pragma once
#include <windows.h>

namespace kibolt {

// Shows the first popup of a menu resource with its top left corner at `at`
// (screen coordinates). The chosen command reaches owner as WM_COMMAND, as
// from the main menu. Nothing is shown when the resource cannot be loaded.
void ShowContextMenu(HINSTANCE instance, HWND owner, int menuResource, POINT at);

}  // namespace kibolt
