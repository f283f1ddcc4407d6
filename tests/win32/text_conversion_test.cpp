// The one conversion module between code page 932 and UTF-16, whatever the
// system's code page, and the other systems' forms of Japanese characters.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "win32/text_win32.h"

namespace kibolt {
namespace {

TEST(TextModuleTest, ConvertsCodePage932WhateverTheSystemCodePage) {
    const std::string text = "表示テスト ソ\\";
    std::wstring wide = Widen(text);
    EXPECT_EQ(wide, L"\u8868\u793a\u30c6\u30b9\u30c8 \u30bd\\");
    EXPECT_EQ(Narrow(wide), text);
}

TEST(TextModuleTest, OtherSystemsFormsOfJapaneseCharactersConvert) {
    const struct {
        const wchar_t* typed;
        const char* bytes;
    } cases[] = {
        {L"\u301C", "\x81\x60"}, {L"\uFF5E", "\x81\x60"}, {L"\u2016", "\x81\x61"}, {L"\u2212", "\x81\x7C"},
        {L"\u00A2", "\x81\x91"}, {L"\u00A3", "\x81\x92"}, {L"\u00AC", "\x81\xCA"},
        {L"a\u301Cb\u2212c", "a\x81\x60" "b\x81\x7C" "c"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Narrow(c.typed), c.bytes) << Narrow(c.typed);
        EXPECT_EQ(FirstCharacterOutsideCp932(c.typed), L"");
    }
    EXPECT_EQ(FirstCharacterOutsideCp932(L"ok \u2665 \U0001F600"), L"\u2665");
    EXPECT_EQ(FirstCharacterOutsideCp932(L"ok \U0001F600"), L"\U0001F600") << "a surrogate pair whole";
    EXPECT_EQ(FirstCharacterOutsideCp932(L"caf\u00E9"), L"\u00E9") << "no look-alike instead";
    EXPECT_EQ(CharacterCodeText(L"\u301C"), "U+301C");
    EXPECT_EQ(CharacterCodeText(L"\U0001F600"), "U+1F600");
}

}  // namespace
}  // namespace kibolt
