#include "library/one_line_text.h"

namespace kibolt {

namespace {

template <typename Char>
std::basic_string<Char> Blanked(std::basic_string_view<Char> text) {
    std::basic_string<Char> line(text);
    for (Char& c : line)
        if (c == Char('\r') || c == Char('\n') || c == Char(0x1A)) c = Char(' ');
    return line;
}

}  // namespace

std::string OneLineText(std::string_view text) { return Blanked(text); }

std::wstring OneLineText(std::wstring_view text) { return Blanked(text); }

}  // namespace kibolt
