// Code page 932 (Shift-JIS) byte rules, as Windows converts the code page.
// Text is held as CP932 bytes everywhere; these helpers step over double-byte
// characters so that a 0x5C trail byte is never mistaken for a backslash.
#pragma once
#include <cstddef>
#include <string_view>

namespace kibolt {

// 0x81-0x9F or 0xE0-0xFC followed by 0x40-0x7E or 0x80-0xFC is one character.
bool IsLeadByte(unsigned char b);
bool IsTrailByte(unsigned char b);

// Length of the character at text[i]: 2 for a lead byte followed by a trail
// byte, else 1. i must be inside the text.
size_t CharacterLength(std::string_view text, size_t i);

// Position of the last single-byte 0x5C, or npos.
size_t FindLastBackslash(std::string_view text);

// Position of the last single-byte '\' or '/', or npos (path separators).
size_t FindLastSeparator(std::string_view text);

// Number of UTF-16 code units the text becomes (each double-byte character is one).
size_t Utf16Length(std::string_view text);

// True when the code page turns the character (one byte, or a lead and a
// trail byte) into a UTF-16 character and that character back into the same
// bytes. Unassigned pairs, a lead byte without its trail byte, 0xA0 and
// 0xFD-0xFF are not; neither are the duplicate codes that convert back to
// other bytes (such as the second codes of the extension kanji).
bool IsRoundTripCharacter(std::string_view character);

// Position of the first character that is not a round-trip character, or npos.
size_t FindUnconvertible(std::string_view text);

}  // namespace kibolt
