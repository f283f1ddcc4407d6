#include "library/sjis.h"

namespace kibolt {

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xF5); }

bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

namespace {

// Calls f(position) for every single-byte character, stepping over pairs.
template <typename F>
void ForEachSingleByte(std::string_view text, F f) {
    for (size_t i = 0; i < text.size(); ++i) {
        auto b = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(b) && i + 1 < text.size() && IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
            ++i;
            continue;
        }
        f(i);
    }
}

}  // namespace

size_t FindLastBackslash(std::string_view text) {
    size_t found = std::string_view::npos;
    ForEachSingleByte(text, [&](size_t i) {
        if (text[i] == '\\') found = i;
    });
    return found;
}

size_t FindLastSeparator(std::string_view text) {
    size_t found = std::string_view::npos;
    ForEachSingleByte(text, [&](size_t i) {
        if (text[i] == '\\' || text[i] == '/') found = i;
    });
    return found;
}

size_t Utf16Length(std::string_view text) {
    size_t singles = 0;
    ForEachSingleByte(text, [&](size_t) { ++singles; });
    // Every byte not counted as a single belongs to a pair: one unit per pair.
    return singles + (text.size() - singles) / 2;
}

}  // namespace kibolt
