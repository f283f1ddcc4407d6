// The one conversion module between code page 932 and UTF-16, whatever the
// system's code page, and the other systems' forms of Japanese characters.
#include <windows.h>

#include <optional>
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
        {L"\u301C", "\x81\x60"},
        {L"\uFF5E", "\x81\x60"},
        {L"\u2016", "\x81\x61"},
        {L"\u2212", "\x81\x7C"},
        {L"\u00A2", "\x81\x91"},
        {L"\u00A3", "\x81\x92"},
        {L"\u00AC", "\x81\xCA"},
        {L"a\u301Cb\u2212c",
         "a\x81\x60"
         "b\x81\x7C"
         "c"},
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

// Names and paths: only an exact form, each character converting back to itself.
TEST(TextModuleTest, AnExactFormOrNone) {
    const struct {
        const wchar_t* text;
        const char* exact;  // null: none
        const wchar_t* first;
    } cases[] = {
        {L"\u8868\\game.log", "\x95\x5C\\game.log", L""},
        {L"\uFF5E", "\x81\x60", L""},
        {L"caf\u00E9.log", nullptr, L"\u00E9"},       // not "cafe.log"
        {L"a\u301Cb", nullptr, L"\u301C"},            // its other form is another name
        {L"\u00C5ngstr\u00F6m", nullptr, L"\u00C5"},  // not the Angstrom sign
        {L"x\U0001F600", nullptr, L"\U0001F600"},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> exact = NarrowExact(c.text);
        EXPECT_EQ(exact.has_value(), c.exact != nullptr) << Narrow(c.text);
        if (exact && c.exact) {
            EXPECT_EQ(*exact, c.exact);
        }
        EXPECT_EQ(FirstInexactCharacter(c.text), c.first) << Narrow(c.text);
    }
}

TEST(TextModuleTest, PathsUnderTheLibraryFolderAreItsExactPath) {
    const std::wstring folder = L"C:\\Users\\Jos\u00E9\\\u00C5\\kibolt";
    const std::string inside = UseLibraryFolder(folder);
    EXPECT_EQ(inside, "C:\\Users\\Jos?\\?\\kibolt");
    const struct {
        std::string path;
        std::wstring system;
    } cases[] = {
        {inside, folder},
        {inside + "\\playing\\\x95\x5C.log", folder + L"\\playing\\\u8868.log"},
        {inside + "2\\x.log", L"C:\\Users\\Jos?\\?\\kibolt2\\x.log"},  // another folder: names none
        {"C:\\Users\\Jose\\x.log", L"C:\\Users\\Jose\\x.log"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WidenPath(c.path), c.system) << c.path;
        if (c.path.rfind(inside, 0) == 0 && c.path.find("kibolt2") == std::string::npos) {
            EXPECT_EQ(NarrowPath(c.system), c.path);
        }
    }
    EXPECT_EQ(NarrowPath(L"D:\\caf\u00E9\\x"), "D:\\caf?\\x") << "never a look-alike";
    // A folder the code page names exactly is its own path.
    EXPECT_EQ(UseLibraryFolder(L"C:\\K"), "C:\\K");
    EXPECT_EQ(WidenPath("C:\\K\\playing"), L"C:\\K\\playing");
}

}  // namespace
}  // namespace kibolt
