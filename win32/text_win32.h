// The one place where text crosses into the system: CP932 bytes inside the
// program, UTF-16 at every Windows call, whatever the system's ANSI code page.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace kibolt {

inline constexpr UINT kTextCodePage = 932;

std::wstring Widen(std::string_view cp932);
std::string Narrow(std::wstring_view utf16);

std::string GetWindowTextCp932(HWND window);
void SetWindowTextCp932(HWND window, std::string_view text);
std::string GetDlgItemTextCp932(HWND dialog, int id);
void SetDlgItemTextCp932(HWND dialog, int id, std::string_view text);
int MessageBoxCp932(HWND owner, std::string_view text, std::string_view caption, UINT type);

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
