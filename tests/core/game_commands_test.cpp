// Registering, editing, moving and deleting games over an in-memory library.
#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "library/game_commands.h"
#include "library/game_log.h"
#include "library/library_state.h"
#include "tests/core/memory_file_system.h"

namespace kibolt {
namespace {

using test::MemoryFileSystem;

const std::string kRoot = "C:\\K";
const std::string kAlpha = "C:\\K\\playing\\Alpha.log";
const std::string kAlphaCleared = "C:\\K\\cleared\\Alpha.log";
const std::string kBeta = "C:\\K\\playing\\Beta.log";
const std::string kAlphaLog =
    "C:\\G\\alpha.exe\r\n"
    "05/06/01-20:15:00,05/06/01-21:45:30,001:30:30,001:30:30,001:10:05,001:10:05,523,523,boss, first try\r\n"
    "05/06/02-20:15:00,05/06/02-20:45:00,000:30:00,002:00:30,000:20:00,001:30:05,10,533,\r\n"
    "=====Comment_Start====\r\nroute A\r\n";
const std::string kBetaLog = "C:\\G\\beta.exe\r\n=====Comment_Start====\r\n";

// playing holds Alpha and Beta, cleared holds nothing, others is missing.
class GameCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs.PutFile(kAlpha, kAlphaLog);
        fs.PutFile(kBeta, kBetaLog);
        fs.AddFolder("C:\\K\\cleared");
    }
    void LoadAlpha() { ASSERT_EQ(state.LoadGame("Alpha"), LoadResult::Loaded); }
    std::string Bytes(const std::string& path) const { return fs.FileBytes(path).value_or("<missing>"); }
    std::set<std::string> Paths() const {
        std::vector<std::string> paths = fs.FilePaths();
        return {paths.begin(), paths.end()};
    }
    // Every file and its bytes, to show that a refused command changed nothing.
    std::vector<std::pair<std::string, std::string>> Snapshot() const {
        std::vector<std::pair<std::string, std::string>> all;
        for (const std::string& path : fs.FilePaths()) all.emplace_back(path, Bytes(path));
        return all;
    }

    MemoryFileSystem fs;
    LibraryState state{fs, kRoot};
};

TEST(FieldTextTest, CutsAtACharacterAndKeepsLogLinesWhole) {
    const std::string kanji = "\x95\x5C";  // 表: its second byte is a backslash
    const struct {
        std::string typed;
        std::string comment;
    } cases[] = {
        {std::string(300, 'a'), std::string(255, 'a')},
        {std::string(254, 'a') + kanji, std::string(254, 'a')},  // the pair would be split: both go
        {std::string(253, 'a') + kanji + "b", std::string(253, 'a') + kanji},
        {std::string(254, 'a') + "\xB1\xB2", std::string(254, 'a') + "\xB1"},  // half-width kana are single
        {"boss, first try", "boss, first try"},
        {"line1\r\nline2\x1A"
         "end",
         "line1  line2 end"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(OneLineFieldText(c.typed), c.comment) << c.typed;
    EXPECT_EQ(TitleFieldText(std::string(254, 'a') + kanji), std::string(254, 'a'));
    EXPECT_EQ(TitleFieldText("a\nb"), "a\nb") << "a title is checked, not mended";
    EXPECT_EQ(CutAtCharacter("\x95", 1), "\x95") << "a lone lead byte is one byte";
}

TEST(FieldTextTest, SaveNowTimeCommentKeepsItsFieldLimit) {
    const std::string kanji = "\x95\x5C";
    const struct {
        std::string typed;
        std::string comment;
    } cases[] = {
        {std::string(127, 'a'), std::string(127, 'a')},
        {std::string(200, 'a'), std::string(127, 'a')},
        {std::string(126, 'a') + kanji, std::string(126, 'a')},  // the pair would be split: both go
        {std::string(125, 'a') + kanji + "b", std::string(125, 'a') + kanji},
        {"boss\r\nsecond", "boss  second"},
    };
    for (const auto& c : cases) EXPECT_EQ(NowCommentFieldText(c.typed), c.comment) << c.typed;
}

struct EntryCase {
    std::string path, title;
    GameEntryProblem problem;
    TitleProblem titleProblem = TitleProblem::None;
};

TEST_F(GameCommandsTest, RegisterRefusesBadEntriesInOrderAndChangesNothing) {
    LoadAlpha();
    fs.AddFolder("C:\\K\\playing\\Folder.log");
    const EntryCase cases[] = {
        {"", "", GameEntryProblem::EmptyPath},
        {"", "New", GameEntryProblem::EmptyPath},
        {"C:\\G\\new.exe", "", GameEntryProblem::EmptyTitle},
        {"C:\\G\\new.exe", "a:b", GameEntryProblem::UnusableTitle, TitleProblem::ReservedCharacter},
        {"C:\\G\\new.exe", "CON", GameEntryProblem::UnusableTitle, TitleProblem::DeviceName},
        {"C:\\G\\new.exe", "end.", GameEntryProblem::UnusableTitle, TitleProblem::TrailingSpaceOrDot},
        {"C:\\G\\new.exe", std::string(250, 'x'), GameEntryProblem::PathTooLong},
        {"C:\\G\\new.exe", "Beta", GameEntryProblem::TitleExists},
        {"C:\\G\\new.exe", "beta", GameEntryProblem::TitleExists},    // one file on Windows
        {"C:\\G\\new.exe", "Folder", GameEntryProblem::TitleExists},  // any entry of that name blocks a new log
    };
    const auto before = Snapshot();
    for (const EntryCase& c : cases) {
        GameEntryResult result = RegisterGame(state, fs, c.path, c.title);
        EXPECT_EQ(result.problem, c.problem) << c.title;
        EXPECT_EQ(result.titleProblem, c.titleProblem) << c.title;
    }
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(state.Current().title, "Alpha");
    EXPECT_EQ(state.Current().log.sessions.size(), 2u);
}

TEST_F(GameCommandsTest, RegisterWritesTheNewLogAndMakesTheEmptyGameCurrent) {
    LoadAlpha();
    state.SetCategory(Category::Cleared);  // Alpha also exists in playing: only the shown folder counts
    const std::string path = "C:\\Games\\100%\\%s%d.exe -x";
    GameEntryResult result = RegisterGame(state, fs, path, "Alpha");
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.to, kAlphaCleared);
    EXPECT_EQ(Bytes(kAlphaCleared), path + "\r\n=====Comment_Start====\r\n");
    EXPECT_EQ(Bytes(kAlpha), kAlphaLog);
    EXPECT_EQ(Paths(), (std::set<std::string>{kAlpha, kBeta, kAlphaCleared})) << "no temporary file is left";

    const GameRecord& game = state.Current();
    EXPECT_EQ(game.title, "Alpha");
    EXPECT_EQ(game.logPath, kAlphaCleared);
    EXPECT_EQ(game.category, Category::Cleared);
    EXPECT_EQ(game.log.commandLine, path);
    EXPECT_EQ(game.log.workingDirectory, "C:\\Games\\100%");
    EXPECT_TRUE(game.log.sessions.empty());
    EXPECT_TRUE(game.log.comment.empty());

    // The next write goes to the new log and carries nothing of the game shown before.
    ASSERT_TRUE(state.ChangeLog([](GameLogContent& log) { return log.comment = "new", true; }).Ok());
    EXPECT_EQ(Bytes(kAlphaCleared), path + "\r\n=====Comment_Start====\r\nnew");
    EXPECT_EQ(Bytes(kAlpha), kAlphaLog);
}

TEST_F(GameCommandsTest, RegisterThatCannotWriteKeepsTheShownGame) {
    LoadAlpha();
    state.SetCategory(Category::Others);  // no such folder
    GameEntryResult missing = RegisterGame(state, fs, "C:\\G\\n.exe", "New");
    EXPECT_EQ(missing.problem, GameEntryProblem::CannotWrite);
    EXPECT_EQ(missing.writeError, FsError::NotFound);

    state.SetCategory(Category::Playing);
    fs.failWriteAfter = 3;
    GameEntryResult full = RegisterGame(state, fs, "C:\\G\\n.exe", "New");
    EXPECT_EQ(full.problem, GameEntryProblem::CannotWrite);
    EXPECT_EQ(full.writeError, FsError::DiskFull);
    fs.failWriteAfter.reset();
    EXPECT_EQ(Paths(), (std::set<std::string>{kAlpha, kBeta})) << "neither a partial log nor its temporary file";
    EXPECT_EQ(state.Current().title, "Alpha");
    EXPECT_EQ(state.Current().log.commandLine, "C:\\G\\alpha.exe");
}

TEST_F(GameCommandsTest, UpdateWithTheSameTitleRewritesTheCommandLineOnly) {
    LoadAlpha();
    GameEntryResult result = UpdateGame(state, fs, "D:\\new\\alpha.exe", "Alpha");
    ASSERT_TRUE(result.Ok());
    EXPECT_FALSE(result.Moved());
    std::string expected = kAlphaLog;
    expected.replace(0, std::string("C:\\G\\alpha.exe").size(), "D:\\new\\alpha.exe");
    EXPECT_EQ(Bytes(kAlpha), expected);
    EXPECT_EQ(Paths(), (std::set<std::string>{kAlpha, kBeta}));
    EXPECT_EQ(state.Current().log.commandLine, "D:\\new\\alpha.exe");
    EXPECT_EQ(state.Current().log.workingDirectory, "D:\\new");
    EXPECT_EQ(state.Current().log.sessions.size(), 2u);
}

TEST_F(GameCommandsTest, UpdateRenamesWithinTheGamesOwnFolderWhateverTabIsShown) {
    LoadAlpha();
    state.SetCategory(Category::Cleared);
    GameEntryResult result = UpdateGame(state, fs, "C:\\G\\alpha.exe", "Gamma");
    ASSERT_TRUE(result.Ok());
    EXPECT_TRUE(result.Moved());
    EXPECT_EQ(result.from, kAlpha);
    EXPECT_EQ(result.to, "C:\\K\\playing\\Gamma.log");
    EXPECT_EQ(Bytes("C:\\K\\playing\\Gamma.log"), kAlphaLog);
    EXPECT_FALSE(fs.FileBytes(kAlpha));
    EXPECT_FALSE(fs.FileBytes("C:\\K\\cleared\\Gamma.log"));
    EXPECT_EQ(state.Current().title, "Gamma");
    EXPECT_EQ(state.Current().logPath, "C:\\K\\playing\\Gamma.log");
    EXPECT_EQ(state.Current().category, Category::Playing);
    EXPECT_EQ(state.Current().log.sessions[1].number, 2);
}

TEST_F(GameCommandsTest, UpdateWritesTheNewLogBeforeRemovingTheOld) {
    LoadAlpha();
    fs.removeError = FsError::AccessDenied;  // the old log cannot go: the game is not lost for it
    ASSERT_TRUE(UpdateGame(state, fs, "C:\\G\\alpha.exe", "Gamma").Ok());
    EXPECT_EQ(Bytes("C:\\K\\playing\\Gamma.log"), kAlphaLog);
    EXPECT_EQ(Bytes(kAlpha), kAlphaLog);
    EXPECT_EQ(state.Current().logPath, "C:\\K\\playing\\Gamma.log");
}

TEST_F(GameCommandsTest, UpdateNeverOverwritesAnotherGame) {
    LoadAlpha();
    const auto before = Snapshot();
    for (const char* title : {"Beta", "BETA"}) {
        GameEntryResult result = UpdateGame(state, fs, "C:\\G\\alpha.exe", title);
        EXPECT_EQ(result.problem, GameEntryProblem::TitleExists) << title;
    }
    EXPECT_EQ(UpdateGame(state, fs, "", "Alpha").problem, GameEntryProblem::EmptyPath);
    EXPECT_EQ(UpdateGame(state, fs, "x", "a|b").problem, GameEntryProblem::UnusableTitle);
    EXPECT_EQ(UpdateGame(state, fs, "x", std::string(250, 'x')).problem, GameEntryProblem::PathTooLong);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(state.Current().title, "Alpha");
    EXPECT_EQ(state.Current().log.commandLine, "C:\\G\\alpha.exe");
}

TEST_F(GameCommandsTest, UpdateThatCannotWriteLeavesTheOldLogAndTheGame) {
    LoadAlpha();
    const auto before = Snapshot();
    // A new title goes through a new file and a rename, the same title through a replace.
    const struct {
        const char* title;
        std::function<void()> fail;
    } cases[] = {
        {"Gamma", [&] { fs.failWriteAfter = 10; }},
        {"Gamma", [&] { fs.moveError = FsError::AccessDenied; }},
        {"Alpha", [&] { fs.failWriteAfter = 10; }},
        {"Alpha", [&] { fs.replaceError = FsError::AccessDenied; }},
    };
    for (const auto& c : cases) {
        c.fail();
        GameEntryResult result = UpdateGame(state, fs, "C:\\G\\changed.exe", c.title);
        fs.failWriteAfter.reset();
        fs.moveError = fs.replaceError = FsError::None;
        EXPECT_EQ(result.problem, GameEntryProblem::CannotWrite) << c.title;
        EXPECT_EQ(Snapshot(), before) << c.title;
        EXPECT_EQ(state.Current().title, "Alpha");
        EXPECT_EQ(state.Current().log.commandLine, "C:\\G\\alpha.exe");
    }
}

TEST_F(GameCommandsTest, UpdateToAnotherCaseKeepsTheOneLog) {
    LoadAlpha();
    GameEntryResult result = UpdateGame(state, fs, "C:\\G\\alpha.exe", "ALPHA");
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(Paths(), (std::set<std::string>{"C:\\K\\playing\\ALPHA.log", kBeta}));
    EXPECT_EQ(Bytes("C:\\K\\playing\\ALPHA.log"), kAlphaLog);
    EXPECT_EQ(state.Current().title, "ALPHA");
    EXPECT_EQ(state.Current().log.sessions.size(), 2u);
}

TEST_F(GameCommandsTest, UpdateWithoutAGameRegistersOne) {
    state.SetCategory(Category::Cleared);
    EXPECT_EQ(UpdateGame(state, fs, "C:\\G\\n.exe", "Beta").problem, GameEntryProblem::None)
        << "Beta lies in playing only";
    EXPECT_EQ(Bytes("C:\\K\\cleared\\Beta.log"), NewGameLogBytes("C:\\G\\n.exe"));
    EXPECT_EQ(Bytes(kBeta), kBetaLog);
}

TEST_F(GameCommandsTest, MoveTakesTheLogAlongAndLaterWritesFollowIt) {
    LoadAlpha();
    MoveResult result = MoveGame(state, fs, Category::Cleared);
    ASSERT_EQ(result.problem, MoveProblem::None);
    EXPECT_EQ(result.from, kAlpha);
    EXPECT_EQ(result.to, kAlphaCleared);
    EXPECT_EQ(Bytes(kAlphaCleared), kAlphaLog);
    EXPECT_FALSE(fs.FileBytes(kAlpha));
    EXPECT_EQ(state.Current().logPath, kAlphaCleared);
    EXPECT_EQ(state.Current().category, Category::Cleared);
    EXPECT_EQ(state.Current().log.sessions.size(), 2u);

    ASSERT_TRUE(state.ChangeLog([](GameLogContent& log) { return log.comment = "after the move", true; }).Ok());
    EXPECT_FALSE(fs.FileBytes(kAlpha)) << "the old log is not made again";
    EXPECT_EQ(ParseGameLogFile(Bytes(kAlphaCleared)).comment, "after the move");
}

TEST_F(GameCommandsTest, MoveRefusesClashesAndChangesNothingOnFailure) {
    fs.PutFile(kAlphaCleared, kBetaLog);
    const struct {
        Category target;
        MoveProblem problem;
    } cases[] = {
        {Category::Cleared, MoveProblem::TitleExists},
        {Category::Playing, MoveProblem::TitleExists},  // its own folder
        {Category::Others, MoveProblem::CannotMove},    // no such folder
    };
    EXPECT_EQ(MoveGame(state, fs, Category::Cleared).problem, MoveProblem::NoGame);
    LoadAlpha();
    const auto before = Snapshot();
    for (const auto& c : cases) EXPECT_EQ(MoveGame(state, fs, c.target).problem, c.problem);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(state.Current().logPath, kAlpha);
    EXPECT_EQ(state.Current().category, Category::Playing);
}

TEST_F(GameCommandsTest, MoveOfATitleTooLongForTheTargetIsRefused) {
    fs.AddFolder("C:\\K\\others");
    // "others" is one letter shorter than "playing": the longest title there does not fit in playing.
    std::string title(259 - std::string("C:\\K\\others\\.log.kbtmp").size(), 't');
    ASSERT_TRUE(LogPath(kRoot, Category::Others, title));
    fs.PutFile("C:\\K\\others\\" + title + ".log", kBetaLog);
    state.SetCategory(Category::Others);
    ASSERT_EQ(state.LoadGame(title), LoadResult::Loaded);
    EXPECT_EQ(MoveGame(state, fs, Category::Playing).problem, MoveProblem::PathTooLong);
    EXPECT_TRUE(fs.FileBytes("C:\\K\\others\\" + title + ".log"));
}

TEST_F(GameCommandsTest, DeleteRecyclesTheLogAndLeavesNoGameToWriteItBack) {
    EXPECT_EQ(DeleteGame(state, fs).problem, DeleteProblem::NoGame);
    EXPECT_EQ(Paths(), (std::set<std::string>{kAlpha, kBeta}));

    LoadAlpha();
    DeleteResult deleted = DeleteGame(state, fs);
    EXPECT_TRUE(deleted.Ok());
    EXPECT_EQ(deleted.path, kAlpha);
    EXPECT_FALSE(fs.FileBytes(kAlpha));
    EXPECT_EQ(fs.recycled, std::vector<std::string>{kAlphaLog}) << "in the Recycle Bin, whole";
    EXPECT_FALSE(state.HasGame());
    EXPECT_TRUE(state.Current().logPath.empty());
    EXPECT_TRUE(state.Current().log.sessions.empty());
    EXPECT_FALSE(state.ChangeLog([](GameLogContent& log) { return log.comment = "late edit", true; }).changed);
    EXPECT_EQ(Paths(), std::set<std::string>{kBeta});
}

TEST_F(GameCommandsTest, ALogTheRecycleBinCannotTakeStaysWithItsGame) {
    for (FsError error : {FsError::NoRecycleBin, FsError::AccessDenied, FsError::Other}) {
        LoadAlpha();
        fs.recycleError = error;
        DeleteResult result = DeleteGame(state, fs);
        EXPECT_EQ(result.problem, DeleteProblem::CannotRecycle);
        EXPECT_EQ(result.error, error);
        EXPECT_EQ(result.path, kAlpha);
        EXPECT_EQ(Bytes(kAlpha), kAlphaLog) << "never destroyed for good instead";
        EXPECT_TRUE(fs.recycled.empty());
        EXPECT_EQ(state.Current().title, "Alpha") << "a log that stays keeps its game";
    }
}

TEST_F(GameCommandsTest, DeletingALogAlreadyGoneStillClearsTheGame) {
    LoadAlpha();
    ASSERT_EQ(fs.RemoveFile(kAlpha), FsError::None);
    EXPECT_TRUE(DeleteGame(state, fs).Ok());
    EXPECT_FALSE(state.HasGame());
}

}  // namespace
}  // namespace kibolt

namespace kibolt {
namespace {

// The log changed on disk after it was loaded: a new command line or title
// goes into the log as it is now, and a log that cannot be read is not written.
TEST_F(GameCommandsTest, PropertiesApplyToTheLogAsItIsOnDiskNow) {
    LoadAlpha();
    const std::string added = "05/06/03-20:00:00,05/06/03-20:10:00,000:10:00,002:10:30,000:10:00,001:40:05,1,534,\r\n";
    const std::string changed =
        kAlphaLog.substr(0, kAlphaLog.find("=====")) + added + "=====Comment_Start====\r\nB\r\n";
    fs.PutFile(kAlpha, changed);
    ASSERT_TRUE(UpdateGame(state, fs, "C:\\G\\alpha2.exe", "Alpha 2").Ok());
    const std::string renamed = "C:\\K\\playing\\Alpha 2.log";
    EXPECT_EQ(Bytes(renamed), "C:\\G\\alpha2.exe" + changed.substr(changed.find("\r\n")));
    EXPECT_EQ(state.Current().log.sessions.size(), 3u);

    fs.PutFile(renamed, "changed again");
    fs.unreadable.insert(renamed);
    const GameEntryResult result = UpdateGame(state, fs, "C:\\G\\alpha3.exe", "Alpha 3");
    EXPECT_EQ(result.problem, GameEntryProblem::CannotRead);
    EXPECT_EQ(result.writeError, FsError::AccessDenied);
    EXPECT_EQ(Bytes(renamed), "changed again");
    EXPECT_FALSE(fs.FileBytes("C:\\K\\playing\\Alpha 3.log"));
}

}  // namespace
}  // namespace kibolt
