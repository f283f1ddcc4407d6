// Identifiers of the game dialogs, the comment dialog, the About box and the
// two context menus, shared by their resource script and their code.
#pragma once

#define IDD_ADD_GAME 201
#define IDD_COMMENT 202
#define IDR_GAME_MENU 206
#define IDR_SESSION_MENU 209
#define IDD_GAME_PROPERTIES 210

// Add-game and properties dialogs.
#define IDC_ENTRY_TITLE 1032
#define IDC_ENTRY_PATH 1033
#define IDC_ENTRY_BROWSE 1035

// Comment dialog.
#define IDC_COMMENT_TEXT 1041

// About box: the product line.
#define IDC_ABOUT_PRODUCT 1089
