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
        {0x3F, false, false}, {0x40, false, true}, {0x5C, false, true}, {0x7E, false, true},
        {0x7F, false, false}, {0x80, false, true}, {0x81, true, true},  {0x9F, true, true},
        {0xA0, false, true},  {0xDF, false, true}, {0xE0, true, true},  {0xF5, true, true},
        {0xF6, false, true},  {0xFC, false, true}, {0xFD, false, false}, {0x2C, false, false},
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
        {"C:\\\x95\x5C", 2, 2, 4},           // 0x95 0x5C is one character
        {"C:\\\x95\x5C\\x", 5, 5, 6},
        {"a/b\\c/d", 3, 5, 7},
        {"\x95", npos, npos, 1},              // a lead byte at the end stands alone
        {"\x95\x20\\", 2, 2, 3},              // a lead byte before a non-trail byte stands alone
        {"\xF6\x5C", 1, 1, 2},                // 0xF6 is not a lead byte
        {"\x81\x81\x5C", 2, 2, 2},            // the second 0x81 is a trail, so 0x5C is single
        {"\x83\x51\x81\x5B\x83\x80", npos, npos, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindLastBackslash(c.text), c.backslash) << testing::PrintToString(c.text);
        EXPECT_EQ(FindLastSeparator(c.text), c.separator) << testing::PrintToString(c.text);
        EXPECT_EQ(Utf16Length(c.text), c.utf16) << testing::PrintToString(c.text);
    }
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
