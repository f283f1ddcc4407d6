#include <gtest/gtest.h>

#include "library/library_state.h"
#include "tests/core/memory_file_system.h"

namespace kibolt {
namespace {

using test::MemoryFileSystem;

const std::string kRoot = "C:\\K";
const std::string kAlphaPlaying = "C:\\K\\playing\\Alpha.log";
const std::string kAlphaCleared = "C:\\K\\cleared\\Alpha.log";
const std::string kAlphaLog =
    "C:\\G\\alpha.exe\r\n"
    "05/06/01-20:15:00,05/06/01-21:45:30,001:30:30,001:30:30,001:10:05,001:10:05,523,523,\r\n"
    "=====Comment_Start====\r\nroute A\r\n";
const std::string kOtherAlphaLog = "C:\\G\\other.exe\r\n=====Comment_Start====\r\n";

// The change the program makes when the comment field is stored.
LogEdit SetComment(std::string comment) {
    return [comment](GameLogContent& log) { return log.comment = comment, true; };
}

// playing holds Alpha and Beta, cleared holds another game titled Alpha, others is missing.
class LibraryStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs.PutFile(kAlphaPlaying, kAlphaLog);
        fs.PutFile("C:\\K\\playing\\Beta.log", "C:\\G\\beta.exe\r\n=====Comment_Start====\r\n");
        fs.PutFile("C:\\K\\playing\\notes.txt", "x");
        fs.PutFile(kAlphaCleared, kOtherAlphaLog);
    }

    MemoryFileSystem fs;
    LibraryState state{fs, kRoot};
};

TEST_F(LibraryStateTest, ListsLogsOfAFolderAndNothingForAMissingOne) {
    EXPECT_EQ(state.ListGames(Category::Playing), (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(state.ListGames(Category::Cleared), std::vector<std::string>{"Alpha"});
    EXPECT_TRUE(state.ListGames(Category::Others).empty());
}

TEST_F(LibraryStateTest, LoadsFromTheCurrentCategory) {
    state.SetCategory(Category::Cleared);
    ASSERT_EQ(state.LoadGame("Alpha"), LoadResult::Loaded);
    EXPECT_EQ(state.Current().title, "Alpha");
    EXPECT_EQ(state.Current().logPath, kAlphaCleared);
    EXPECT_EQ(state.Current().category, Category::Cleared);
    EXPECT_EQ(state.Current().log.commandLine, "C:\\G\\other.exe");
}

TEST_F(LibraryStateTest, FailedLoadKeepsThePreviousGameWhole) {
    fs.PutFile("C:\\K\\playing\\Locked.log", kOtherAlphaLog);
    fs.unreadable.insert("C:\\K\\playing\\Locked.log");
    const struct {
        std::string title;
        Category category;
        LoadResult result;
    } cases[] = {
        {"Missing", Category::Playing, LoadResult::CannotOpen},
        {"Locked", Category::Playing, LoadResult::CannotOpen},
        {"Alpha", Category::Others, LoadResult::CannotOpen},
        {std::string(300, 'x'), Category::Playing, LoadResult::BadPath},
        {"", Category::Playing, LoadResult::BadPath},  // even with a file named ".log"
    };
    fs.PutFile("C:\\K\\playing\\.log", kOtherAlphaLog);
    ASSERT_EQ(state.LoadGame("Alpha", Category::Playing), LoadResult::Loaded);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title.substr(0, 10));
        EXPECT_EQ(state.LoadGame(c.title, c.category), c.result);
        const GameRecord& g = state.Current();
        EXPECT_EQ(g.title, "Alpha");
        EXPECT_EQ(g.logPath, kAlphaPlaying);
        EXPECT_EQ(g.category, Category::Playing);
        EXPECT_EQ(SerializeGameLog(g.log), kAlphaLog);
    }
    // And it is still written to its own log.
    ASSERT_TRUE(state.ChangeLog(SetComment("kept\n")).Ok());
    EXPECT_NE(fs.FileBytes(kAlphaPlaying)->find("kept"), std::string::npos);
}

TEST_F(LibraryStateTest, WriteAfterATabSwitchGoesToTheGamesOwnLog) {
    ASSERT_EQ(state.LoadGame("Alpha"), LoadResult::Loaded);
    const std::vector<std::string> filesBefore = fs.FilePaths();
    for (Category shown : {Category::Cleared, Category::Others}) {
        SCOPED_TRACE(CategoryFolderName(shown));
        state.SetCategory(shown);
        const std::string comment = std::string("written while ") + CategoryFolderName(shown) + " shown\n";
        ASSERT_TRUE(state.ChangeLog(SetComment(comment)).Ok());

        EXPECT_EQ(fs.FileBytes(kAlphaPlaying), SerializeGameLog(state.Current().log));
        EXPECT_EQ(fs.FileBytes(kAlphaCleared), kOtherAlphaLog);
        EXPECT_EQ(fs.FilePaths(), filesBefore);

        // A reload reads the game's own log too.
        ASSERT_EQ(state.Reload(), LoadResult::Loaded);
        EXPECT_EQ(state.Current().log.comment, std::string("written while ") + CategoryFolderName(shown) + " shown\n");
        EXPECT_EQ(state.Current().category, Category::Playing);
    }
}

TEST_F(LibraryStateTest, ReloadRenumbersSessionsFromTheFile) {
    ASSERT_EQ(state.LoadGame("Alpha"), LoadResult::Loaded);
    ASSERT_TRUE(state
                    .ChangeLog([](GameLogContent& log) {
                        AppendSession(log, {"05/06/02-19:00:00", "05/06/02-19:40:00", "000:40:00", "002:10:30",
                                            "000:35:10", "001:45:15", "210", "733", "boss, second try"});
                        return true;
                    })
                    .Ok());
    ASSERT_EQ(state.Reload(), LoadResult::Loaded);
    std::vector<std::pair<int, std::string>> read;
    for (const SessionRecord& s : state.Current().log.sessions) read.emplace_back(s.number, s.Field(kComment));
    EXPECT_EQ(read, (std::vector<std::pair<int, std::string>>{{1, ""}, {2, "boss, second try"}}));
}

TEST_F(LibraryStateTest, FailedReloadKeepsMemory) {
    ASSERT_EQ(state.LoadGame("Alpha"), LoadResult::Loaded);
    state.Current().log.comment = "unsaved\n";
    fs.unreadable.insert(kAlphaPlaying);
    EXPECT_EQ(state.Reload(), LoadResult::CannotOpen);
    EXPECT_EQ(state.Current().log.comment, "unsaved\n");
}

TEST_F(LibraryStateTest, FailedWriteKeepsTheLogAndTheChangeInMemory) {
    ASSERT_EQ(state.LoadGame("Alpha"), LoadResult::Loaded);
    fs.failWriteAfter = 10;
    EXPECT_EQ(state.ChangeLog(SetComment("unsaved\n")).writeError, FsError::DiskFull);
    EXPECT_EQ(fs.FileBytes(kAlphaPlaying), kAlphaLog);
    EXPECT_EQ(state.Current().log.comment, "unsaved\n");
}

TEST_F(LibraryStateTest, ALargeLogIsSavedInBoundedPiecesAndWhole) {
    ASSERT_EQ(state.LoadGame("Alpha"), LoadResult::Loaded);
    const SessionFieldTexts session = state.Current().log.sessions[0].Fields();
    const LogEdit addSessions = [&](GameLogContent& log) {
        while (log.sessions.size() < 30000) AppendSession(log, session);  // about 2.7 MB
        return true;
    };
    GameLogContent grown = state.Current().log;
    addSessions(grown);
    const std::string expected = SerializeGameLog(grown);
    ASSERT_GT(expected.size(), 2 * kLogPieceBytes);

    ASSERT_TRUE(state.ChangeLog(addSessions).Ok());
    EXPECT_EQ(fs.FileBytes(kAlphaPlaying), expected);
    EXPECT_LE(fs.largestPieceWritten, kLogPieceBytes + 200);
    EXPECT_FALSE(fs.Exists(kAlphaPlaying + kTempSuffix));

    // Failing in the second piece leaves the old file as it was.
    const std::string before = *fs.FileBytes(kAlphaPlaying);
    fs.failWriteAfter = kLogPieceBytes + 10;
    EXPECT_EQ(state.ChangeLog([&](GameLogContent& log) { return AppendSession(log, session), true; }).writeError,
              FsError::DiskFull);
    EXPECT_EQ(fs.FileBytes(kAlphaPlaying), before);
    EXPECT_EQ(fs.FilePaths().size(), 4u);  // no temporary file left
}

TEST_F(LibraryStateTest, NothingIsWrittenWithoutAGame) {
    const std::vector<std::string> filesBefore = fs.FilePaths();
    EXPECT_FALSE(state.HasGame());
    EXPECT_FALSE(state.ChangeLog(SetComment("late edit\n")).changed);
    EXPECT_EQ(fs.FilePaths(), filesBefore);
    EXPECT_EQ(fs.FileBytes(kAlphaPlaying), kAlphaLog);
    EXPECT_EQ(state.Reload(), LoadResult::BadPath);
}

}  // namespace
}  // namespace kibolt
