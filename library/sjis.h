// Code page 932 (Shift-JIS) byte rules. Text is held as CP932 bytes everywhere;
// these helpers step over double-byte characters so that a 0x5C trail byte is
// never mistaken for a backslash.
#pragma once
#include <cstddef>
#include <string_view>

namespace kibolt {

// 0x81-0x9F or 0xE0-0xF5 followed by 0x40-0x7E or 0x80-0xFC is one character.
bool IsLeadByte(unsigned char b);
bool IsTrailByte(unsigned char b);

// Position of the last single-byte 0x5C, or npos.
size_t FindLastBackslash(std::string_view text);

// Position of the last single-byte '\' or '/', or npos (path separators).
size_t FindLastSeparator(std::string_view text);

// Number of UTF-16 code units the text becomes (each double-byte character is one).
size_t Utf16Length(std::string_view text);

}  // namespace kibolt
