#include <gtest/gtest.h>

#include <string>

#include "library/one_line_text.h"

namespace kibolt {
namespace {

TEST(OneLineText, BlanksWhatEndsALineAndNothingElse) {
    const struct {
        const char* name;
        std::string text, line;
    } cases[] = {
        {"plain", "C:\\G\\g.exe -w", "C:\\G\\g.exe -w"},
        {"empty", "", ""},
        {"CR LF: a blank each", "a\r\nb", "a  b"},
        {"lone CR", "a\rb", "a b"},
        {"lone LF", "a\nb", "a b"},
        {"end of file byte",
         "a\x1A"
         "b",
         "a b"},
        {"a run keeps its length",
         "a\r\n\r\n\x1A"
         "b",
         "a     b"},
        {"trailing ones stay as blanks", "a\r\n", "a  "},
        {"only breaks", "\n\n", "  "},
        {"TAB and other controls stay",
         "a\tb\x0B\x0C"
         "c\x1B",
         "a\tb\x0B\x0C"
         "c\x1B"},
        {"trail byte 0x5C stays", "\x95\x5C\\", "\x95\x5C\\"},
        // A lead byte can't take one of them as its trail byte: each is a break.
        {"lead byte before LF", "\x82\n", "\x82 "},
        {"lead byte before CR", "\x95\r\n", "\x95  "},
        {"lead byte before 0x1A", "\xE0\x1A", "\xE0 "},
        {"kanji around a break", "\x8A\xBF\r\n\x8E\x9A", "\x8A\xBF  \x8E\x9A"},
    };
    for (const auto& c : cases) EXPECT_EQ(OneLineText(c.text), c.line) << c.name;
}

TEST(OneLineText, Utf16AsCp932) {
    const struct {
        const char* name;
        std::wstring text, line;
    } cases[] = {
        {"breaks", L"g.exe\r\n-x\x1A", L"g.exe  -x "},
        {"kanji and a surrogate pair stay", L"\x6F22\xD83C\xDFAE\t", L"\x6F22\xD83C\xDFAE\t"},
        {"other line separators stay",
         L"a\x2028"
         L"b\x85",
         L"a\x2028"
         L"b\x85"},
        {"empty", L"", L""},
    };
    for (const auto& c : cases) EXPECT_TRUE(OneLineText(c.text) == c.line) << c.name;
}

}  // namespace
}  // namespace kibolt
