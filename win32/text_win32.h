// The one place where text crosses into the system: CP932 bytes inside the
// program, UTF-16 at every Windows call, whatever the system's ANSI code page.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace kibolt {

inline constexpr UINT kTextCodePage = 932;

std::wstring Widen(std::string_view cp932);
// Into code page 932; characters that other systems write in another form
// (the wave dash, the minus sign, ...) become the code page's own.
std::string Narrow(std::wstring_view utf16);

// The first character (a surrogate pair whole) that code page 932 cannot hold,
// even in its own form; empty when every one converts.
std::wstring FirstCharacterOutsideCp932(std::wstring_view utf16);
std::wstring FirstCharacterOutsideCp932(HWND window);  // of the window's text
// "U+301C" or "U+1F600" for a character.
std::string CharacterCodeText(std::wstring_view character);

std::string GetWindowTextCp932(HWND window);
void SetWindowTextCp932(HWND window, std::string_view text);
std::string GetDlgItemTextCp932(HWND dialog, int id);
void SetDlgItemTextCp932(HWND dialog, int id, std::string_view text);
int MessageBoxCp932(HWND owner, std::string_view text, std::string_view caption, UINT type);
// A message that names a character code page 932 cannot hold: before + character + after.
int MessageBoxNaming(HWND owner, std::string_view before, std::wstring_view character, std::string_view after,
                     std::string_view caption, UINT type);

// List view rows and cells.
int ListViewInsertRow(HWND list, int index, std::string_view text);
void ListViewSetCell(HWND list, int row, int column, std::string_view text);
std::string ListViewGetCell(HWND list, int row, int column);
void ListViewInsertColumn(HWND list, int index, std::string_view header, int width, int format);
std::string ListViewColumnHeader(HWND list, int index);

// Tab items.
void TabInsertItem(HWND tab, int index, std::string_view text, LPARAM data);
std::string TabItemText(HWND tab, int index);

}  // namespace kibolt
