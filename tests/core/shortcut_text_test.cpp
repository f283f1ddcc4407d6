#include <gtest/gtest.h>

#include "launch/shortcut_text.h"
#include "launch/start_options.h"

namespace kibolt {
namespace {

#define SJIS_HYOU "\x95\x5C"  // 表

TEST(ShortcutTextTest, NamesTakenInTurnNeverTheSame) {
    const struct {
        const char* title;
        int number;
        const char* name;
    } cases[] = {
        {"Portal", 1, "Portal.lnk"},       {"Portal", 2, "Portal (2).lnk"},           {"Portal", 3, "Portal (3).lnk"},
        {"Portal", 10, "Portal (10).lnk"}, {"Half Life 2", 2, "Half Life 2 (2).lnk"}, {SJIS_HYOU, 1, SJIS_HYOU ".lnk"},
        {"Game.exe", 1, "Game.exe.lnk"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShortcutFileName(c.title, c.number), c.name);
}

TEST(ShortcutTextTest, ArgumentsStartTheGameOfThatTitle) {
    EXPECT_EQ(ShortcutArguments("Half Life"), "--play \"Half Life\"");
    for (const char* title : {"Half Life", "Portal", SJIS_HYOU, "\x83\x5C " SJIS_HYOU, "a  b.", "100%"}) {
        StartOptions options = ParseStartOptions("\"C:\\Games\\kibolt.exe\" " + ShortcutArguments(title));
        EXPECT_EQ(options.kind, StartOptions::Kind::Play) << title;
        EXPECT_EQ(options.title, title);
        EXPECT_FALSE(options.gameCommandLine);
    }
    EXPECT_NE(ShortcutDescription("Portal").find("Portal"), std::string::npos);
}

}  // namespace
}  // namespace kibolt
