#include <gtest/gtest.h>

#include "detect/game_match.h"

namespace kibolt {
namespace {

#define SJIS_HYOU "\x95\x5C"  // 表: its second byte is a backslash

TEST(GameMatchTest, PathsInTheFormTheSystemComparesThem) {
    const struct {
        const char* path;
        const char* normal;
    } cases[] = {
        {"C:\\Games\\Foo\\Foo.exe", "c:\\games\\foo\\foo.exe"},
        {"c:/games//foo/./bar/../foo.exe", "c:\\games\\foo\\foo.exe"},
        {"C:\\Games\\Foo\\", "c:\\games\\foo"},
        {"C:\\", "c:"},
        {"C:\\..\\x.exe", "c:\\x.exe"},
        {"\\\\Server\\Share\\G\\g.exe", "\\\\server\\share\\g\\g.exe"},
        {"C:\\" SJIS_HYOU "\\A.exe", "c:\\" SJIS_HYOU "\\a.exe"},  // the trail byte is no separator
        {"C:\\x" SJIS_HYOU "..\\A.exe", "c:\\x" SJIS_HYOU "..\\a.exe"},
        {"x.exe", ""},
        {"..\\x.exe", ""},
        {"\\x.exe", ""},
        {"D:x.exe", ""},
        {"\\\\server", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(NormalPath(c.path), c.normal) << c.path;
}

TEST(GameMatchTest, TheExecutableAsTheLauncherFindsIt) {
    const struct {
        const char* commandLine;
        const char* workingDirectory;
        const char* executable;
    } cases[] = {
        {"C:\\Games\\Foo\\foo.exe", "C:\\Games\\Foo", "c:\\games\\foo\\foo.exe"},
        {"\"C:\\Program Files\\Foo Bar\\foo bar.exe\" -window", "", "c:\\program files\\foo bar\\foo bar.exe"},
        {"C:\\Program Files\\Foo Bar\\foo bar.exe -window", "", "c:\\program files\\foo bar\\foo bar.exe"},
        {"C:\\Games\\Foo\\FOO.EXE -x y.exe", "", "c:\\games\\foo\\foo.exe"},
        {"bin\\game.exe -x", "D:\\Games\\Foo", "d:\\games\\foo\\bin\\game.exe"},
        {"..\\Foo\\game.exe", "D:\\Games\\Bar", "d:\\games\\foo\\game.exe"},
        {"\"game.exe\"", "D:\\Games\\Foo\\", "d:\\games\\foo\\game.exe"},
        {"game.exe", "", ""},  // no folder to take it from
        {"steam://rungameid/10", "", ""},
        {"", "C:\\Games", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GameExecutableOf(c.commandLine, c.workingDirectory), c.executable) << c.commandLine;
}

const SharedFolders kShared{"c:\\windows",
                            {"c:\\users\\pat", "c:\\users\\pat\\desktop", "c:\\users\\pat\\documents", "d:\\kibolt"}};

TEST(GameMatchTest, TheFolderRuleOnlyWhereTheFolderIsTheGamesOwn) {
    const struct {
        const char* executable;
        const char* folder;
    } cases[] = {
        {"d:\\games\\foo\\foo.exe", "d:\\games\\foo"},
        {"c:\\program files\\foo\\foo.exe", "c:\\program files\\foo"},
        {"c:\\users\\pat\\desktop\\foo\\foo.exe", "c:\\users\\pat\\desktop\\foo"},
        {"d:\\kibolt\\games\\foo.exe", "d:\\kibolt\\games"},
        // Folders that unrelated programs share: only the executable itself counts.
        {"c:\\windows\\foo.exe", ""},
        {"c:\\windows\\system32\\foo.exe", ""},
        {"c:\\program files\\foo.exe", ""},
        {"e:\\program files (x86)\\foo.exe", ""},
        {"d:\\foo.exe", ""},
        {"\\\\server\\share\\foo.exe", ""},
        {"c:\\users\\pat\\foo.exe", ""},
        {"c:\\users\\pat\\desktop\\foo.exe", ""},
        {"c:\\users\\pat\\documents\\foo.exe", ""},
        {"d:\\kibolt\\foo.exe", ""},
        // Programs that hand over to others.
        {"d:\\tools\\cmd.exe", ""},
        {"c:\\program files (x86)\\steam\\steam.exe", ""},
        {"d:\\apps\\epic\\EpicGamesLauncher.exe", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(GameFolderOf(NormalPath(c.executable), kShared), c.folder) << c.executable;
}

WatchedGame Game(const char* title, const char* commandLine) {
    std::string logPath = "d:\\kibolt\\playing\\";
    logPath.append(title).append(".log");
    return WatchedGameOf(Category::Playing, title, std::move(logPath), commandLine, "", kShared);
}

TEST(GameMatchTest, WhichRunningProgramsBelongToAGame) {
    const struct {
        const char* commandLine;
        const char* process;
        MatchKind kind;
    } cases[] = {
        {"\"D:\\Games\\Foo\\foo.exe\" -x", "d:\\games\\foo\\foo.exe", MatchKind::Exact},
        {"D:\\Games\\Foo\\launcher.exe", "d:\\games\\foo\\bin\\x64\\foo.exe", MatchKind::Folder},
        {"D:\\Games\\Foo\\launcher.exe", "d:\\games\\foo2\\foo.exe", MatchKind::None},
        {"D:\\Games\\Foo\\launcher.exe", "d:\\games\\foo", MatchKind::None},
        {"D:\\Games\\Foo\\launcher.exe", "d:\\games\\other\\foo.exe", MatchKind::None},
        {"C:\\Windows\\notepad.exe", "c:\\windows\\notepad.exe", MatchKind::Exact},
        {"C:\\Windows\\notepad.exe", "c:\\windows\\system32\\calc.exe", MatchKind::None},
        {"D:\\foo.exe", "d:\\games\\bar.exe", MatchKind::None},
        {"C:\\Program Files\\foo.exe", "c:\\program files\\bar\\bar.exe", MatchKind::None},
        {"C:\\Users\\Pat\\Desktop\\foo.exe", "c:\\users\\pat\\desktop\\bar.exe", MatchKind::None},
        {"D:\\Kibolt\\foo.exe", "d:\\kibolt\\kibolt.exe", MatchKind::None},
        {"D:\\Kibolt\\foo.exe", "d:\\kibolt\\foo.exe", MatchKind::Exact},
        // A hand-over program runs for any reason: neither it nor its folder tells the game runs.
        {"C:\\Windows\\System32\\cmd.exe /c D:\\Games\\Foo\\go.bat", "c:\\windows\\system32\\cmd.exe", MatchKind::None},
        {"C:\\Windows\\explorer.exe steam://rungameid/10", "c:\\windows\\explorer.exe", MatchKind::None},
        {"C:\\Windows\\System32\\rundll32.exe x.dll,Run", "c:\\windows\\system32\\rundll32.exe", MatchKind::None},
        {"\"D:\\Steam\\steam.exe\" -applaunch 10", "d:\\steam\\steam.exe", MatchKind::None},
        {"\"D:\\Steam\\steam.exe\" -applaunch 10", "d:\\steam\\steamapps\\common\\x\\x.exe", MatchKind::None},
        // A batch file's own folder holds its game.
        {"D:\\Games\\Foo\\start.bat", "d:\\games\\foo\\foo.exe", MatchKind::Folder},
        {"steam://rungameid/10", "d:\\games\\foo\\foo.exe", MatchKind::None},
        {"D:\\Games\\Foo\\foo.exe", "", MatchKind::None},
    };
    for (const auto& c : cases) EXPECT_EQ(MatchOf(Game("g", c.commandLine), c.process), c.kind) << c.commandLine;
}

TEST(GameMatchTest, TheExactExecutableWinsThenTheGamePlayedLast) {
    const std::vector<WatchedGame> games = {
        Game("Suite", "D:\\Games\\Suite\\menu.exe"),  // its folder holds both
        Game("Chapter 1", "D:\\Games\\Suite\\one\\one.exe"),
        Game("Chapter 1 again", "D:\\Games\\Suite\\one\\one.exe"),
        Game("Other", "E:\\Other\\other.exe"),
    };
    std::vector<int64_t> played = {300, 100, 200, 400};
    auto lastPlayed = [&](size_t game) { return played[game]; };
    const struct {
        std::vector<const char*> running;
        const char* title;  // nullptr: none
        MatchKind kind;
    } cases[] = {
        {{"c:\\windows\\system32\\svchost.exe"}, nullptr, MatchKind::None},
        {{"d:\\games\\suite\\menu.exe"}, "Suite", MatchKind::Exact},
        {{"d:\\games\\suite\\two\\two.exe"}, "Suite", MatchKind::Folder},
        // Exact beats folder, whatever was played last; among the exact ones the one played last.
        {{"d:\\games\\suite\\one\\one.exe"}, "Chapter 1 again", MatchKind::Exact},
        {{"d:\\games\\suite\\one\\one.exe", "e:\\other\\other.exe"}, "Other", MatchKind::Exact},
        {{"d:\\games\\suite\\two\\two.exe", "e:\\other\\other.exe"}, "Other", MatchKind::Exact},
    };
    for (const auto& c : cases) {
        std::vector<RunningProcess> processes;
        for (const char* path : c.running) processes.push_back({static_cast<uint32_t>(processes.size() + 8), 4, path});
        const std::optional<RunningGame> found = FindRunningGame(games, processes, lastPlayed);
        ASSERT_EQ(found.has_value(), c.title != nullptr) << c.running.front();
        if (!found) continue;
        EXPECT_EQ(games[found->game].title, c.title) << c.running.front();
        EXPECT_EQ(found->kind, c.kind) << c.running.front();
    }
    played = {300, 250, 200, 400};
    const std::optional<RunningGame> found =
        FindRunningGame(games, {{8, 4, "d:\\games\\suite\\one\\one.exe"}}, lastPlayed);
    ASSERT_TRUE(found);
    EXPECT_EQ(games[found->game].title, "Chapter 1");
}

TEST(GameMatchTest, WhatTheGameStartedIsFollowedWithIt) {
    const std::vector<WatchedGame> games = {Game("Foo", "D:\\Games\\Foo\\launcher.exe")};
    const std::vector<RunningProcess> processes = {
        {20, 4, "c:\\windows\\explorer.exe", 100},
        {31, 30, "c:\\windows\\system32\\conhost.exe", 530},  // a child of the grandchild, listed first
        {22, 20, "d:\\games\\foo\\launcher.exe", 500},
        {30, 22, "c:\\programdata\\helper\\helper.exe", 520},
        {40, 20, "c:\\windows\\notepad.exe", 600},
        {50, 22, "c:\\tools\\old.exe", 300},  // older than the launcher: its parent was another 22
        {51, 50, "c:\\tools\\older.exe", 310},
        {60, 30, "c:\\tools\\unknown.exe", 0},  // no creation time: taken by its parent id
    };
    const std::optional<RunningGame> found = FindRunningGame(games, processes, [](size_t) { return 0; });
    ASSERT_TRUE(found);
    EXPECT_EQ(found->matched, std::vector<size_t>{2});
    std::vector<size_t> started = found->started;
    std::sort(started.begin(), started.end());
    EXPECT_EQ(started, (std::vector<size_t>{1, 3, 7}));
}

}  // namespace
}  // namespace kibolt

#include "detect/watched_games.h"
#include "tests/core/memory_file_system.h"

namespace kibolt {
namespace {

TEST(WatchedGameListTest, EveryCategorysGamesReadAgainAsTheirLogsChange) {
    test::MemoryFileSystem fs;
    const std::string root = "D:\\Kibolt";
    fs.PutFile(root + "\\playing\\Foo.log", "\"D:\\Games\\Foo\\foo.exe\" -x\r\n[comment]\r\n");
    fs.PutFile(root + "\\cleared\\Bar.log", "bin\\bar.exe\r\n");  // relative: not in a folder of its own
    fs.PutFile(root + "\\others\\Baz.log", "E:\\Baz\\baz.exe");
    fs.PutFile(root + "\\others\\notes.txt", "E:\\Notes\\notes.exe");
    WatchedGameList list;
    list.Refresh(fs, root, kShared);
    auto executables = [&] {
        std::vector<std::string> found;
        for (const WatchedGame& game : list.Games())
            found.push_back(std::string(CategoryFolderName(game.category)) + ":" + game.title + ":" + game.executable);
        return found;
    };
    EXPECT_EQ(executables(), (std::vector<std::string>{"playing:Foo:d:\\games\\foo\\foo.exe",
                                                       "cleared:Bar:", "others:Baz:e:\\baz\\baz.exe"}));
    EXPECT_EQ(list.Games()[0].logPath, root + "\\playing\\Foo.log");

    fs.PutFile(root + "\\playing\\Foo.log", "D:\\Games\\Foo2\\foo.exe\r\n");
    fs.RemoveFile(root + "\\others\\Baz.log");
    list.Refresh(fs, root, kShared);
    EXPECT_EQ(executables(), (std::vector<std::string>{"playing:Foo:d:\\games\\foo2\\foo.exe", "cleared:Bar:"}));
    EXPECT_GT(list.LastWritten(0), list.LastWritten(1));  // written since
}

}  // namespace
}  // namespace kibolt
