#include "win32/clipboard_win32.h"

#include <cstring>

#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

// Japanese, so that the system converts our CF_TEXT bytes as code page 932
// for any format it synthesises from them (CF_OEMTEXT).
constexpr LCID kClipboardLocale = MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT);

// A zero-filled block holding `size` bytes copied from `data`. Movable, as the
// clipboard requires of the blocks it is given.
UniqueGlobal MakeBlock(const void* data, size_t size, size_t capacity) {
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, capacity));
    if (!block) return block;
    void* target = GlobalLock(block.Get());
    if (!target) return UniqueGlobal();
    if (size) std::memcpy(target, data, size);
    GlobalUnlock(block.Get());
    return block;
}

// Closes the clipboard on every path out.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// The clipboard owns a block once SetClipboardData has taken it; until then it is ours to free.
bool Hand(UINT format, UniqueGlobal& block) {
    if (!SetClipboardData(format, block.Get())) return false;
    block.Release();
    return true;
}

}  // namespace

bool PutTextOnClipboard(HWND owner, const std::string& cp932) {
    // Every block is made before the clipboard is touched, so a failed
    // allocation leaves it as it was.
    UniqueGlobal text = MakeBlock(cp932.data(), cp932.size(), cp932.size() + 1);
    // Converted here rather than left to the system, which would read the
    // bytes in the system's own code page on a non-Japanese Windows.
    const std::wstring wide = Widen(cp932);
    UniqueGlobal unicode = MakeBlock(wide.data(), wide.size() * sizeof(wchar_t), (wide.size() + 1) * sizeof(wchar_t));
    const LCID locale = kClipboardLocale;
    UniqueGlobal localeBlock = MakeBlock(&locale, sizeof locale, sizeof locale);
    if (!text || !unicode || !localeBlock) return false;

    OpenedClipboard clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard()) return false;
    if (!Hand(CF_TEXT, text)) return false;
    // The text itself is there; the other two only help readers of other formats.
    Hand(CF_UNICODETEXT, unicode);
    Hand(CF_LOCALE, localeBlock);
    return true;
}

bool PutDibOnClipboard(HWND owner, const std::vector<unsigned char>& dib) {
    if (dib.empty()) return false;
    UniqueGlobal block = MakeBlock(dib.data(), dib.size(), dib.size());
    if (!block) return false;
    OpenedClipboard clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard()) return false;
    return Hand(CF_DIB, block);
}

}  // namespace kibolt
