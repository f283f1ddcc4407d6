// The one place where text crosses into the system: CP932 bytes inside the
// program, UTF-16 at every Windows call, whatever the system's ANSI code page.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace kibolt {

inline constexpr UINT kTextCodePage = 932;

std::wstring Widen(std::string_view cp932);
// Into code page 932; characters that other systems write in another form
// (the wave dash, the minus sign, ...) become the code page's own.
std::string Narrow(std::wstring_view utf16);

// The text in code page 932 exactly: every character converts back to
// itself. Nothing when one does not (no look-alike, no other form).
std::optional<std::string> NarrowExact(std::wstring_view utf16);
// The first character (a surrogate pair whole) that has no exact form in code
// page 932; empty when every one has.
std::wstring FirstInexactCharacter(std::wstring_view utf16);

// Paths are code page 932 inside too, but the library folder may hold
// characters the code page cannot. Such a folder is known inside by a
// stand-in: its path with '?' for each of them, which no real path holds.
// A path that starts with the stand-in is, at the system call, the folder's
// exact path followed by the rest; nothing is converted with best fit, and a
// path that cannot be formed exactly names no folder at all.
//
// Makes `folder` the library folder; returns its path as used inside.
std::string UseLibraryFolder(std::wstring_view folder);
// A path for the system call.
std::wstring WidenPath(std::string_view cp932);
// A path from the system as used inside: the library folder's stand-in where
// it starts with that folder, '?' for any other character with no exact form.
std::string NarrowPath(std::wstring_view utf16);
// The system's UTF-16 as the portable core takes it, and back.
std::u16string_view AsUtf16(std::wstring_view text);
std::wstring ToWide(std::u16string_view text);

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
// The system's words for an error code (a Win32 error or an HRESULT), in
// code page 932; its number where the system has none.
std::string SystemErrorText(DWORD code);
// The caption of every message box that reports an error.
inline constexpr char kErrorCaption[] = "error";
// A message that names a character, or a path, code page 932 cannot hold: before + that + after.
int MessageBoxNaming(HWND owner, std::string_view before, std::wstring_view character, std::string_view after,
                     std::string_view caption, UINT type);

// List view rows and cells.
int ListViewInsertRow(HWND list, int index, std::string_view text);
std::string ListViewGetCell(HWND list, int row, int column);
void ListViewInsertColumn(HWND list, int index, std::string_view header, int width, int format);
std::string ListViewColumnHeader(HWND list, int index);

// Tab items.
void TabInsertItem(HWND tab, int index, std::string_view text, LPARAM data);
std::string TabItemText(HWND tab, int index);

}  // namespace kibolt
