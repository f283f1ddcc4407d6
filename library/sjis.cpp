#include "library/sjis.h"

#include <cstdint>

namespace kibolt {

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

size_t CharacterLength(std::string_view text, size_t i) {
    return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                   IsTrailByte(static_cast<unsigned char>(text[i + 1]))
               ? 2
               : 1;
}

namespace {

// Calls f(position) for every single-byte character, stepping over pairs.
template <typename F>
void ForEachSingleByte(std::string_view text, F f) {
    for (size_t i = 0; i < text.size(); i += CharacterLength(text, i))
        if (CharacterLength(text, i) == 1) f(i);
}

struct TrailRange {
    uint8_t first, last;
};
struct LeadRow {
    uint8_t firstLead, lastLead;
    TrailRange trails[7];  // unused entries are {0, 0}
};

// The pairs the code page converts both ways, as measured with
// MultiByteToWideChar and WideCharToMultiByte (no best fit). Lead bytes not
// listed (0x85, 0x86, 0xEB-0xEF) have no such pair.
constexpr LeadRow kRoundTripPairs[] = {
    {0x81, 0x81, {{0x40, 0x7E}, {0x80, 0xAC}, {0xB8, 0xBF}, {0xC8, 0xCE}, {0xDA, 0xE8}, {0xF0, 0xF7}, {0xFC, 0xFC}}},
    {0x82, 0x82, {{0x4F, 0x58}, {0x60, 0x79}, {0x81, 0x9A}, {0x9F, 0xF1}}},
    {0x83, 0x83, {{0x40, 0x7E}, {0x80, 0x96}, {0x9F, 0xB6}, {0xBF, 0xD6}}},
    {0x84, 0x84, {{0x40, 0x60}, {0x70, 0x7E}, {0x80, 0x91}, {0x9F, 0xBE}}},
    {0x87, 0x87, {{0x40, 0x5D}, {0x5F, 0x75}, {0x7E, 0x7E}, {0x80, 0x8F}, {0x93, 0x94}, {0x98, 0x99}}},
    {0x88, 0x88, {{0x9F, 0xFC}}},
    {0x89, 0x97, {{0x40, 0x7E}, {0x80, 0xFC}}},
    {0x98, 0x98, {{0x40, 0x72}, {0x9F, 0xFC}}},
    {0x99, 0x9F, {{0x40, 0x7E}, {0x80, 0xFC}}},
    {0xE0, 0xE9, {{0x40, 0x7E}, {0x80, 0xFC}}},
    {0xEA, 0xEA, {{0x40, 0x7E}, {0x80, 0xA4}}},
    {0xF0, 0xF9, {{0x40, 0x7E}, {0x80, 0xFC}}},  // user-defined characters
    {0xFA, 0xFA, {{0x40, 0x49}, {0x55, 0x57}, {0x5C, 0x7E}, {0x80, 0xFC}}},
    {0xFB, 0xFB, {{0x40, 0x7E}, {0x80, 0xFC}}},
    {0xFC, 0xFC, {{0x40, 0x4B}}},
};

bool IsRoundTripPair(unsigned char lead, unsigned char trail) {
    for (const LeadRow& row : kRoundTripPairs) {
        if (lead < row.firstLead || lead > row.lastLead) continue;
        for (const TrailRange& r : row.trails)
            if (r.first != 0 && trail >= r.first && trail <= r.last) return true;
        return false;
    }
    return false;
}

}  // namespace

bool IsRoundTripCharacter(std::string_view character) {
    if (character.size() == 2)
        return CharacterLength(character, 0) == 2 &&
               IsRoundTripPair(static_cast<unsigned char>(character[0]), static_cast<unsigned char>(character[1]));
    if (character.size() != 1) return false;
    const auto b = static_cast<unsigned char>(character[0]);
    return !IsLeadByte(b) && b != 0xA0 && b < 0xFD;
}

size_t FindUnconvertible(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const size_t length = CharacterLength(text, i);
        if (!IsRoundTripCharacter(text.substr(i, length))) return i;
        i += length;
    }
    return std::string_view::npos;
}

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
