#include <gtest/gtest.h>

#include <string>

#include "library/decimal.h"
#include "library/sjis.h"

namespace kibolt {
namespace {

constexpr size_t npos = std::string_view::npos;

TEST(Sjis, LeadAndTrailByteRanges) {
    struct Case {
        unsigned char byte;
        bool lead, trail;
    } cases[] = {
        {0x3F, false, false}, {0x40, false, true},  {0x5C, false, true}, {0x7E, false, true}, {0x7F, false, false},
        {0x80, false, true},  {0x81, true, true},   {0x9F, true, true},  {0xA0, false, true}, {0xDF, false, true},
        {0xE0, true, true},   {0xF5, true, true},   {0xF6, true, true},  {0xFA, true, true},  {0xFC, true, true},
        {0xFD, false, false}, {0x2C, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsLeadByte(c.byte), c.lead) << int(c.byte);
        EXPECT_EQ(IsTrailByte(c.byte), c.trail) << int(c.byte);
    }
}

TEST(Sjis, LastBackslashStepsOverDoubleByteCharacters) {
    struct Case {
        std::string text;
        size_t backslash, separator;
        size_t utf16;
    } cases[] = {
        {"", npos, npos, 0},
        {"abc", npos, npos, 3},
        {"C:\\G\\g.exe", 4, 4, 10},
        {"C:\\\x95\x5C", 2, 2, 4},  // 0x95 0x5C is one character
        {"C:\\\x95\x5C\\x", 5, 5, 6},
        {"a/b\\c/d", 3, 5, 7},
        {"\x95", npos, npos, 1},      // a lead byte at the end stands alone
        {"\x95\x20\\", 2, 2, 3},      // a lead byte before a non-trail byte stands alone
        {"\xF6\x5C", npos, npos, 1},  // 0xF6-0xFC lead a character as the system reads them
        {"\xFC\x5C\\", 2, 2, 2},
        {"\xFD\x5C", 1, 1, 2},      // 0xFD never leads
        {"\x81\x81\x5C", 2, 2, 2},  // the second 0x81 is a trail, so 0x5C is single
        {"\x83\x51\x81\x5B\x83\x80", npos, npos, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindLastBackslash(c.text), c.backslash) << testing::PrintToString(c.text);
        EXPECT_EQ(FindLastSeparator(c.text), c.separator) << testing::PrintToString(c.text);
        EXPECT_EQ(Utf16Length(c.text), c.utf16) << testing::PrintToString(c.text);
    }
}

// Name kanji whose codes start with 0xFA-0xFC, as the system converts them.
struct Kanji {
    const char* name;
    std::string bytes;
};
const Kanji kHighKanji[] = {
    {"U+9AD9 (taka)", "\xFB\xFC"}, {"U+FA11 (saki)", "\xFA\xB1"}, {"U+7E8A", "\xFA\x5C"},  // trail byte 0x5C
    {"U+72BE", "\xFB\x5C"},                                                                // trail byte 0x5C
    {"U+5586", "\xFA\x95"},
};

TEST(Sjis, HighKanjiAreOneCharacterEverywhere) {
    for (const Kanji& k : kHighKanji) {
        SCOPED_TRACE(k.name);
        EXPECT_EQ(CharacterLength(k.bytes, 0), 2u);
        EXPECT_TRUE(IsRoundTripCharacter(k.bytes));
        EXPECT_EQ(FindUnconvertible(k.bytes), npos);
        EXPECT_EQ(Utf16Length(k.bytes), 1u);
        EXPECT_EQ(FindLastBackslash("C:\\G\\" + k.bytes), 4u) << "a trail 0x5C is no folder separator";
        EXPECT_EQ(FindLastBackslash(k.bytes + "\\x"), 2u) << "a real backslash after the kanji is one";
    }
}

TEST(Sjis, RoundTripCharacters) {
    struct Case {
        std::string character;
        bool roundTrip;
    } cases[] = {
        {"a", true},         {std::string(1, '\0'), true},
        {"\x80", true},      {"\xA1", true},
        {"\xDF", true},      {"\xA0", false},
        {"\xFD", false},     {"\xFE", false},
        {"\xFF", false},     {"\x81", false},      // a lead byte alone
        {"\x81\x40", true},  {"\x81\xAD", false},  // unassigned
        {"\x82\xA0", true},  {"\x85\x40", false},
        {"\x86\x9F", false}, {"\x87\x5E", false},
        {"\x87\x90", false},  // converts, but back to 0x81 0xE0
        {"\x88\x9E", false}, {"\x88\x9F", true},
        {"\x98\x73", false}, {"\xEA\xA4", true},
        {"\xEA\xA5", false}, {"\xEB\x40", false},
        {"\xED\x40", false},  // converts, but back to 0xFA 0x5C
        {"\xEF\xFC", false}, {"\xF0\x40", true},
        {"\xF9\xFC", true},  {"\xFA\x4A", false},
        {"\xFA\x5B", false}, {"\xFC\x4B", true},
        {"\xFC\x4C", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsRoundTripCharacter(c.character), c.roundTrip) << testing::PrintToString(c.character);

    EXPECT_EQ(FindUnconvertible("ab\x83\x51\xFA\x5C"), npos);
    EXPECT_EQ(FindUnconvertible("ab\x83\x51\xFA"), 4u);  // a lead byte at the end
    EXPECT_EQ(FindUnconvertible("a\x85\x40"
                                "b"),
              1u);
    EXPECT_EQ(FindUnconvertible("a\x81\x20"), 1u);  // a lead byte before a non-trail byte
    EXPECT_EQ(FindUnconvertible("\x81\x40\xFD"), 2u);
}

TEST(Decimal, ParseInt32ReadsLikeAtoiAndSaturates) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"", 0},
        {"0", 0},
        {"523", 523},
        {"007", 7},
        {"+42", 42},
        {"-42", -42},
        {" \t\n\v\f\r17", 17},
        {"12abc", 12},
        {"1 2", 1},
        {"abc", 0},
        {"- 5", 0},
        {"--5", 0},
        {"+-5", 0},
        {"0x10", 0},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-2147483649", -2147483647 - 1},
        {"99999999999999999999999", 2147483647},
        {"-99999999999999999999999", -2147483647 - 1},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseInt32(c.text), c.value) << c.text;
}

TEST(Decimal, FormatIntPrintsSixtyFourBits) {
    EXPECT_EQ(FormatInt(0), "0");
    EXPECT_EQ(FormatInt(-5), "-5");
    EXPECT_EQ(FormatInt(4294967294LL), "4294967294");
    EXPECT_EQ(FormatInt(INT64_MIN), "-9223372036854775808");
}

}  // namespace
}  // namespace kibolt
