// Characters that Japanese text from other systems (web pages, other
// platforms' input methods) writes with a Unicode form of its own, where code
// page 932 has the same character under another form. Japanese Windows input
// turns them into the code page 932 character; so does every conversion of
// this program into code page 932.
#pragma once
#include <array>

namespace kibolt {

struct Cp932Form {
    char16_t from;        // the form other systems use
    char16_t to;          // the form code page 932 converts
    unsigned short sjis;  // its code page 932 bytes, lead byte high
};

inline constexpr std::array<Cp932Form, 6> kCp932Forms = {{
    {u'\u301C', u'\uFF5E', 0x8160},  // WAVE DASH -> FULLWIDTH TILDE
    {u'\u2016', u'\u2225', 0x8161},  // DOUBLE VERTICAL LINE -> PARALLEL TO
    {u'\u2212', u'\uFF0D', 0x817C},  // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    {u'\u00A2', u'\uFFE0', 0x8191},  // CENT SIGN -> FULLWIDTH CENT SIGN
    {u'\u00A3', u'\uFFE1', 0x8192},  // POUND SIGN -> FULLWIDTH POUND SIGN
    {u'\u00AC', u'\uFFE2', 0x81CA},  // NOT SIGN -> FULLWIDTH NOT SIGN
}};

// The form code page 932 converts for c: c itself unless it is one of the above.
char16_t Cp932FormOf(char16_t c);

}  // namespace kibolt
