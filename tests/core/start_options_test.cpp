#include <gtest/gtest.h>

#include "launch/start_options.h"

namespace kibolt {
namespace {

#define SJIS_HYOU "\x95\x5C"  // 表: its trail byte is '\'
#define SJIS_SO "\x83\x5C"    // ソ

using Kind = StartOptions::Kind;

struct Case {
    const char* line;
    Kind kind;
    const char* title;
    const char* gameCommandLine;  // null: none
};

TEST(StartOptionsTest, ReadsTheCommandLine) {
    const Case cases[] = {
        {"\"C:\\K\\kibolt.exe\"", Kind::Open, "", nullptr},
        {"C:\\K\\kibolt.exe   ", Kind::Open, "", nullptr},
        {"kibolt", Kind::Open, "", nullptr},
        // Quoted and unquoted titles.
        {"\"C:\\K\\kibolt.exe\" --play \"Half Life\"", Kind::Play, "Half Life", nullptr},
        {"\"C:\\K\\kibolt.exe\" --play Portal", Kind::Play, "Portal", nullptr},
        {"\"C:\\K\\kibolt.exe\"\t--play\tPortal\t", Kind::Play, "Portal", nullptr},
        {"\"C:\\K\\kibolt.exe\" --play Half\" \"Life", Kind::Play, "Half Life", nullptr},
        {"C:\\Program Files\\K\\kibolt.exe --play \"A B\"", Kind::Play, "A B", nullptr},
        {"\"C:\\K\\kibolt.exe\" --play \"say \\\"hi\\\"\"", Kind::Play, "say \"hi\"", nullptr},
        {"\"C:\\K\\kibolt.exe\" --play a\\\\b", Kind::Play, "a\\\\b", nullptr},
        // A double-byte character whose trail byte is 0x5C before the closing quote.
        {"\"C:\\K\\kibolt.exe\" --play \"" SJIS_HYOU "\"", Kind::Play, SJIS_HYOU, nullptr},
        {"\"C:\\K\\kibolt.exe\" --play \"" SJIS_SO " " SJIS_HYOU "\" -- x.exe", Kind::Play, SJIS_SO " " SJIS_HYOU,
         "x.exe"},
        {"\"C:\\K\\kibolt.exe\" --play " SJIS_HYOU, Kind::Play, SJIS_HYOU, nullptr},
        // "--" and a command line with quotes and blanks, taken unchanged.
        {"\"C:\\K\\kibolt.exe\" --play \"Game\" -- \"C:\\Games\\My Game\\game.exe\" -w \"a b\"  -x", Kind::Play, "Game",
         "\"C:\\Games\\My Game\\game.exe\" -w \"a b\"  -x"},
        {"\"C:\\K\\kibolt.exe\" --play Game --    C:\\g.exe --play x -- y", Kind::Play, "Game",
         "C:\\g.exe --play x -- y"},
        {"\"C:\\K\\kibolt.exe\" --play Game -- \"C:\\a\\\"", Kind::Play, "Game", "\"C:\\a\\\""},
        {"\"C:\\K\\kibolt.exe\" --play Game -- g.exe\r\n-x\x1A", Kind::Play, "Game", "g.exe  -x "},
        // Malformed: no title, an unknown option, "--" without a title or a command line.
        {"\"C:\\K\\kibolt.exe\" --play", Kind::Malformed, "", nullptr},
        {"\"C:\\K\\kibolt.exe\" --play   ", Kind::Malformed, "", nullptr},
        {"\"C:\\K\\kibolt.exe\" --play \"\"", Kind::Malformed, "", nullptr},
        {"\"C:\\K\\kibolt.exe\" --start Game", Kind::Malformed, "", nullptr},
        {"\"C:\\K\\kibolt.exe\" Game", Kind::Malformed, "", nullptr},
        {"\"C:\\K\\kibolt.exe\" --PLAY Game", Kind::Malformed, "", nullptr},
        {"\"C:\\K\\kibolt.exe\" --play Game extra", Kind::Malformed, "", nullptr},
        {"\"C:\\K\\kibolt.exe\" --play A --play B", Kind::Malformed, "", nullptr},
        {"\"C:\\K\\kibolt.exe\" -- game.exe", Kind::Malformed, "", nullptr},
        {"\"C:\\K\\kibolt.exe\" --play Game --", Kind::Malformed, "", nullptr},
        {"\"C:\\K\\kibolt.exe\" --play Game --  \t", Kind::Malformed, "", nullptr},
        {"\"C:\\K\\kibolt.exe\" --play Game \"--\" x.exe", Kind::Malformed, "", nullptr},
    };
    for (const Case& c : cases) {
        StartOptions options = ParseStartOptions(c.line);
        EXPECT_EQ(options.kind, c.kind) << c.line;
        if (c.kind != Kind::Play) continue;
        EXPECT_EQ(options.title, c.title) << c.line;
        if (c.gameCommandLine)
            EXPECT_EQ(options.gameCommandLine, std::optional<std::string>(c.gameCommandLine)) << c.line;
        else
            EXPECT_FALSE(options.gameCommandLine.has_value()) << c.line;
    }
}

}  // namespace
}  // namespace kibolt
