#include "win32/text_win32.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "library/cp932_forms.h"
#include "win32/handles_win32.h"

namespace kibolt {

std::wstring Widen(std::string_view cp932) {
    if (cp932.empty()) return {};
    int n = MultiByteToWideChar(kTextCodePage, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(kTextCodePage, 0, cp932.data(), static_cast<int>(cp932.size()), out.data(), n);
    return out;
}

namespace {

// The text with the forms of other systems replaced by code page 932's own.
std::wstring InCp932Forms(std::wstring_view utf16) {
    std::wstring text(utf16);
    for (wchar_t& c : text) c = static_cast<wchar_t>(Cp932FormOf(static_cast<char16_t>(c)));
    return text;
}

}  // namespace

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const std::wstring text = InCp932Forms(utf16);
    int n =
        WideCharToMultiByte(kTextCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(kTextCodePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

namespace {

// Where a character (a surrogate pair whole) starting at i ends.
size_t CharacterEnd(std::wstring_view utf16, size_t i) {
    return IS_HIGH_SURROGATE(utf16[i]) && i + 1 < utf16.size() && IS_LOW_SURROGATE(utf16[i + 1]) ? i + 2 : i + 1;
}

// The text's code page 932 bytes when every character converts and converts
// back to itself: no best fit, no default character, no other form.
std::optional<std::string> ExactBytes(std::wstring_view utf16) {
    if (utf16.empty()) return std::string();
    const int size = static_cast<int>(utf16.size());
    BOOL replaced = FALSE;
    const int n =
        WideCharToMultiByte(kTextCodePage, WC_NO_BEST_FIT_CHARS, utf16.data(), size, nullptr, 0, nullptr, &replaced);
    if (n <= 0 || replaced) return std::nullopt;
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(kTextCodePage, WC_NO_BEST_FIT_CHARS, utf16.data(), size, bytes.data(), n, nullptr, &replaced);
    if (replaced || Widen(bytes) != utf16) return std::nullopt;
    return bytes;
}

// Each character exactly, or '?' where it has no exact form.
std::string NarrowWithStandIns(std::wstring_view utf16) {
    if (std::optional<std::string> exact = ExactBytes(utf16)) return *exact;
    std::string out;
    for (size_t i = 0, end; i < utf16.size(); i = end) {
        end = CharacterEnd(utf16, i);
        const std::optional<std::string> character = ExactBytes(utf16.substr(i, end - i));
        out += character ? *character : "?";
    }
    return out;
}

// The library folder, exact and as known inside; set once at start-up.
struct LibraryFolder {
    std::wstring exact;
    std::string inside;
};
LibraryFolder g_libraryFolder;

// Where `path` goes on after the folder `prefix` it starts with; npos when it does not start with it.
template <class Char>
size_t AfterFolder(std::basic_string_view<Char> path, std::basic_string_view<Char> prefix) {
    if (prefix.empty() || path.substr(0, prefix.size()) != prefix) return std::basic_string_view<Char>::npos;
    if (path.size() == prefix.size() || prefix.back() == '\\' || path[prefix.size()] == '\\' ||
        path[prefix.size()] == '/')
        return prefix.size();
    return std::basic_string_view<Char>::npos;
}

// A message's text: a path under the library folder's stand-in shows the folder itself.
std::wstring ShownText(std::string_view cp932) {
    std::wstring text = Widen(cp932);
    const LibraryFolder& folder = g_libraryFolder;
    if (folder.inside.find('?') == std::string::npos) return text;
    const std::wstring standIn = Widen(folder.inside);
    for (size_t at = text.find(standIn); at != std::wstring::npos; at = text.find(standIn, at + folder.exact.size()))
        text.replace(at, standIn.size(), folder.exact);
    return text;
}

}  // namespace

std::optional<std::string> NarrowExact(std::wstring_view utf16) { return ExactBytes(utf16); }

std::wstring FirstInexactCharacter(std::wstring_view utf16) {
    if (ExactBytes(utf16)) return {};
    for (size_t i = 0, end; i < utf16.size(); i = end) {
        end = CharacterEnd(utf16, i);
        if (!ExactBytes(utf16.substr(i, end - i))) return std::wstring(utf16.substr(i, end - i));
    }
    return {};
}

std::string UseLibraryFolder(std::wstring_view folder) {
    g_libraryFolder = {std::wstring(folder), NarrowWithStandIns(folder)};
    return g_libraryFolder.inside;
}

std::wstring WidenPath(std::string_view cp932) {
    const LibraryFolder& folder = g_libraryFolder;
    const size_t rest = AfterFolder(cp932, std::string_view(folder.inside));
    if (rest == std::string_view::npos) return Widen(cp932);
    return folder.exact + Widen(cp932.substr(rest));
}

std::string NarrowPath(std::wstring_view utf16) {
    const LibraryFolder& folder = g_libraryFolder;
    const size_t rest = AfterFolder(utf16, std::wstring_view(folder.exact));
    if (rest == std::wstring_view::npos) return NarrowWithStandIns(utf16);
    return folder.inside + NarrowWithStandIns(utf16.substr(rest));
}

std::u16string_view AsUtf16(std::wstring_view text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

std::wstring ToWide(std::u16string_view text) { return {reinterpret_cast<const wchar_t*>(text.data()), text.size()}; }

std::wstring FirstCharacterOutsideCp932(std::wstring_view utf16) {
    for (size_t i = 0; i < utf16.size();) {
        size_t length = 1;
        if (IS_HIGH_SURROGATE(utf16[i]) && i + 1 < utf16.size() && IS_LOW_SURROGATE(utf16[i + 1])) length = 2;
        const std::wstring character(utf16.substr(i, length));
        const std::wstring form = InCp932Forms(character);
        char bytes[8];
        BOOL replaced = FALSE;
        // No best fit: a look-alike put in its place is not the character either.
        const int n = WideCharToMultiByte(kTextCodePage, WC_NO_BEST_FIT_CHARS, form.data(),
                                          static_cast<int>(form.size()), bytes, sizeof bytes, nullptr, &replaced);
        if (n <= 0 || replaced) return character;
        i += length;
    }
    return {};
}

std::wstring FirstCharacterOutsideCp932(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return FirstCharacterOutsideCp932(text);
}

std::string CharacterCodeText(std::wstring_view character) {
    unsigned long code = character.empty() ? 0 : character[0];
    if (character.size() == 2) code = 0x10000 + ((code - 0xD800) << 10) + (character[1] - 0xDC00);
    char text[16];
    std::snprintf(text, sizeof text, "U+%04lX", code);
    return text;
}

std::string GetWindowTextCp932(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return Narrow(text);
}

void SetWindowTextCp932(HWND window, std::string_view text) { SetWindowTextW(window, Widen(text).c_str()); }

std::string GetDlgItemTextCp932(HWND dialog, int id) { return GetWindowTextCp932(GetDlgItem(dialog, id)); }

void SetDlgItemTextCp932(HWND dialog, int id, std::string_view text) {
    SetWindowTextCp932(GetDlgItem(dialog, id), text);
}

int MessageBoxCp932(HWND owner, std::string_view text, std::string_view caption, UINT type) {
    return MessageBoxW(owner, ShownText(text).c_str(), Widen(caption).c_str(), type);
}

int MessageBoxNaming(HWND owner, std::string_view before, std::wstring_view character, std::string_view after,
                     std::string_view caption, UINT type) {
    const std::wstring text = ShownText(before) + std::wstring(character) + ShownText(after);
    return MessageBoxW(owner, text.c_str(), Widen(caption).c_str(), type);
}

int ListViewInsertRow(HWND list, int index, std::string_view text) {
    std::wstring wide = Widen(text);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = wide.data();
    return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

std::string ListViewGetCell(HWND list, int row, int column) {
    // LVM_GETITEMTEXT truncates silently, so grow until the text fits.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        auto got = static_cast<size_t>(
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (got + 1 < buffer.size()) return Narrow(std::wstring_view(buffer.data(), got));
        buffer.resize(buffer.size() * 4);
    }
}

void ListViewInsertColumn(HWND list, int index, std::string_view header, int width, int format) {
    std::wstring wide = Widen(header);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = wide.data();
    column.iSubItem = index;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

std::string ListViewColumnHeader(HWND list, int index) {
    wchar_t buffer[256] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = buffer;
    column.cchTextMax = 256;
    if (!SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column))) return {};
    return Narrow(buffer);
}

void TabInsertItem(HWND tab, int index, std::string_view text, LPARAM data) {
    std::wstring wide = Widen(text);
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = wide.data();
    item.lParam = data;
    SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

std::string TabItemText(HWND tab, int index) {
    wchar_t buffer[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 64;
    SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return Narrow(buffer);
}

std::string SystemErrorText(DWORD code) {
    UniqueLocal buffer;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(buffer.Put()), 0, nullptr);
    const auto* text = static_cast<const wchar_t*>(buffer.Get());
    std::wstring message = length && text ? std::wstring(text, length) : L"";
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    if (!message.empty()) return Narrow(message);
    // An HRESULT reads best in hexadecimal, a Win32 error as the number the documentation lists.
    char number[16];
    if (code > 0xFFFF)
        std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(code));
    else
        std::snprintf(number, sizeof number, "%u", static_cast<unsigned>(code));
    return std::string("error ") + number;
}

}  // namespace kibolt
