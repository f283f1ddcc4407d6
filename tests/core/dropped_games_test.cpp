#include <gtest/gtest.h>

#include "drop/dropped_games.h"

namespace kibolt {
namespace {

#define SJIS_HYOU "\x95\x5C"  // 表

TEST(DroppedGamesTest, KindsOfDroppedFiles) {
    const struct {
        const char* path;
        DroppedKind kind;
    } cases[] = {
        {"C:\\Games\\Foo\\foo.exe", DroppedKind::Program},
        {"C:\\Games\\Foo\\FOO.EXE", DroppedKind::Program},
        {"C:\\Games\\Foo\\start.bat", DroppedKind::Script},
        {"C:\\Games\\Foo\\start.CMD", DroppedKind::Script},
        {"C:\\Users\\Pat\\Desktop\\Foo.lnk", DroppedKind::Shortcut},
        {"C:\\Users\\Pat\\Desktop\\Foo.url", DroppedKind::InternetShortcut},
        {"C:\\Games\\Foo\\readme.txt", DroppedKind::Other},
        {"C:\\Games\\Foo.exe\\data", DroppedKind::Other},  // a folder named like a program
        {"C:\\Games\\" SJIS_HYOU ".exe", DroppedKind::Program},
        {"C:\\Games\\exe", DroppedKind::Other},
    };
    for (const auto& c : cases) EXPECT_EQ(KindOfDroppedFile(c.path), c.kind) << c.path;
}

TEST(DroppedGamesTest, CommandLinesReadBackAsTheProgramAndItsArguments) {
    EXPECT_EQ(CommandLineOf("C:\\Games\\Foo\\foo.exe", ""), "C:\\Games\\Foo\\foo.exe");
    EXPECT_EQ(CommandLineOf("C:\\My Games\\Foo\\foo.exe", ""), "\"C:\\My Games\\Foo\\foo.exe\"");
    EXPECT_EQ(CommandLineOf("C:\\My Games\\foo.exe", " -window  "), "\"C:\\My Games\\foo.exe\" -window");
    EXPECT_EQ(CommandLineOf("C:\\G\\foo.exe", "-a\r\n-b"), "C:\\G\\foo.exe -a  -b");  // one line of the log
    EXPECT_EQ(ProgramPathFromCommandLine(CommandLineOf("C:\\My Games\\x.exe game.exe", "-x"), "C:\\"),
              "C:\\My Games\\x.exe game.exe");
}

TEST(DroppedGamesTest, TitleFromTheVersionStringsElseTheFileName) {
    const struct {
        const char* product;
        const char* description;
        const char* path;
        const char* title;
    } cases[] = {
        {"Foo Quest", "Foo Quest Launcher", "C:\\G\\fq.exe", "Foo Quest"},
        {"", "Foo Quest Launcher", "C:\\G\\fq.exe", "Foo Quest Launcher"},
        {"  ", " Foo ", "C:\\G\\fq.exe", "Foo"},
        {"", "", "C:\\G\\Foo Quest.exe", "Foo Quest"},
        {"", "", "C:\\G\\start.game.bat", "start.game"},
        {"", "", "C:\\G\\" SJIS_HYOU ".exe", SJIS_HYOU},
        {SJIS_HYOU "\x8E\xA6", "", "C:\\G\\x.exe", SJIS_HYOU "\x8E\xA6"},  // 表示
        {"Foo\0", "", "C:\\G\\x.exe", "Foo"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TitleOfProgram({c.product, c.description}, c.path), c.title) << c.path << " " << c.product;
    // Cut as a typed title is, never inside a double-byte character.
    std::string doubled;
    for (int i = 0; i < 200; ++i) doubled += SJIS_HYOU;
    const std::string cut = TitleOfProgram({"a" + doubled, ""}, "C:\\G\\x.exe");
    EXPECT_EQ(cut, "a" + doubled.substr(0, 254));
}

TEST(DroppedGamesTest, TheSummaryTellsWhatWasRegisteredAndWhyTheRestWasNot) {
    using Problem = DropOutcome::Problem;
    DropOutcome ok{"foo.exe", "Foo", Problem::None, {}, {}};
    DropOutcome taken{"bar.exe", "Bar", Problem::Entry, {}, {}};
    taken.entry.problem = GameEntryProblem::TitleExists;
    DropOutcome foreign{"baz.lnk", "", Problem::ForeignCharacter, "「\x81\x45」(U+1F600)", {}};
    DropOutcome web{"Store Game.url", "", Problem::InternetShortcut, {}, {}};
    DropOutcome text{"readme.txt", "", Problem::NotAGame, {}, {}};

    const std::string all = DropSummary({ok, taken, foreign, web, text});
    EXPECT_EQ(
        all,
        "登録したゲーム:\r\n  Foo\r\n\r\n登録しなかったファイル:\r\n"
        "  bar.exe（Bar）: 同じタイトルのゲームがあります\r\n"
        "  baz.lnk: シフトJIS（コードページ932）にない文字「\x81\x45」(U+1F600)が含まれています\r\n"
        "  Store Game.url: インターネットショートカットは追跡できません。ストアの起動オプションを使ってください\r\n"
        "  readme.txt: プログラム（.exe）、バッチファイル、ショートカットではありません");
    EXPECT_EQ(DropSummary({ok}), "登録したゲーム:\r\n  Foo");
    EXPECT_EQ(DropSummary({}), "登録できるファイルがありませんでした。");
    for (GameEntryProblem problem : {GameEntryProblem::UnusableTitle, GameEntryProblem::PathTooLong,
                                     GameEntryProblem::CannotWrite, GameEntryProblem::EmptyTitle}) {
        taken.entry.problem = problem;
        const std::string text = DropSummary({taken});
        EXPECT_EQ(text.find("登録したゲーム"), std::string::npos);
        EXPECT_GT(text.size(), std::string("登録しなかったファイル:\r\n  bar.exe（Bar）: ").size()) << text;
    }
}

}  // namespace
}  // namespace kibolt
