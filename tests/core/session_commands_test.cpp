// Column rules, detail texts and the commands that change a game's sessions.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "library/library_state.h"
#include "library/game_commands.h"
#include "library/session_commands.h"
#include "tests/core/memory_file_system.h"
#include "views/session_columns.h"

namespace kibolt {
namespace {

SessionRecord Session(const char* play, const char* active, const char* inputs, const char* comment = "") {
    return SessionRecord(
        SessionFieldTexts{"26/01/01-10:00:00", "26/01/01-11:00:00", play, "", active, "", inputs, "", comment});
}

TEST(VisibleFieldsTest, FollowsBitsZeroToEightOnly) {
    EXPECT_TRUE(VisibleFields(0).empty());
    EXPECT_EQ(VisibleFields(0x1FF).size(), 9u);
    EXPECT_EQ(VisibleFields(-1).size(), 9u) << "bits above 8 are not columns";
    EXPECT_EQ(VisibleFields(0x144), (std::vector<int>{2, 6, 8}));
    EXPECT_EQ(VisibleFields(0x200), std::vector<int>{});
}

TEST(DataColumnWidthTest, SharesTheWidthAndTakesTheScrollBarFromTwelveRows) {
    struct Case {
        int rows, count, expected;
    };
    // table 400 px, edges 2, scroll bar 17: 400 - 4 - 20 = 376 to share
    const Case cases[] = {{0, 9, 41}, {11, 9, 41}, {12, 9, 39}, {100, 2, 179}, {12, 0, 0}, {5, 1, 376}};
    for (const Case& c : cases)
        EXPECT_EQ(DataColumnWidth(400, 2, 17, c.rows, c.count), c.expected) << c.rows << " rows, " << c.count;
    EXPECT_EQ(DataColumnWidth(30, 2, 17, 12, 4), -2) << "truncates toward zero like the C division";
}

TEST(DpiScalingTest, FixedPixelSizesFollowTheDpi) {
    const struct {
        int pixels, dpi, expected;
    } cases[] = {{20, 96, 20}, {20, 144, 30}, {20, 120, 25}, {24, 144, 36}, {1, 144, 2}, {20, 192, 40}};
    for (const auto& c : cases) EXPECT_EQ(ScaleToDpi(c.pixels, c.dpi), c.expected) << c.pixels << " at " << c.dpi;
    // The number column: the designed width, or the text's with its padding where that is wider.
    EXPECT_EQ(NumberColumnWidth(96, 0), 20);
    EXPECT_EQ(NumberColumnWidth(96, 8), 20) << "one digit fits the designed width";
    EXPECT_EQ(NumberColumnWidth(96, 16), 28) << "two digits and the list's margins do not";
    EXPECT_EQ(NumberColumnWidth(96, 40), 52);
    EXPECT_EQ(NumberColumnWidth(144, 0), 30);
    EXPECT_EQ(NumberColumnWidth(144, 60), 78);
    EXPECT_EQ(DataColumnWidth(600, 3, 25, 12, 9, 30), (600 - 6 - 30 - 25) / 9);
    EXPECT_EQ(ExtraColumnWidth(500, 144), (500 - 36) / 9);
    EXPECT_EQ(ExtraColumnWidth(500), (500 - 24) / 9);
}

TEST(DetailTextsTest, LastSessionOrDefaults) {
    GameLogContent log;
    DetailTexts none = DetailTextsOf(log);
    EXPECT_EQ(none.play, "000:00:00");
    EXPECT_EQ(none.sessionCount, "0");
    EXPECT_EQ(none.totalInputs, "0");
    log.sessions = {Session("000:01:00", "000:00:30", "5"), Session("000:02:00", "000:01:00", "7")};
    log.sessions[1].SetField(kTotalPlay, "stored as is");
    log.sessions[1].number = 2;
    DetailTexts last = DetailTextsOf(log);
    EXPECT_EQ(last.play, "000:02:00");
    EXPECT_EQ(last.totalPlay, "stored as is");
    EXPECT_EQ(last.inputs, "7");
    EXPECT_EQ(last.sessionCount, "2");
}

TEST(RemoveSessionsTest, RemovesExactlyTheRowsAndRebuildsTheTotals) {
    GameLogContent log;
    log.sessions = {Session("000:10:00", "000:05:00", "1", "a"), Session("000:20:00", "000:10:00", "2", "b"),
                    Session("000:30:00", "000:15:00", "x", "c"), Session("000:40:00", "000:20:00", "4", "d")};
    RemoveSessions(log, {3, 0, 0, 7, -1});
    ASSERT_EQ(log.sessions.size(), 2u);
    EXPECT_EQ(log.sessions[0].Field(kComment), "b");
    EXPECT_EQ(log.sessions[0].Field(kTotalPlay), "000:20:00") << "the new first session is its own base";
    EXPECT_EQ(log.sessions[0].Field(kTotalInputs), "2");
    EXPECT_EQ(log.sessions[1].Field(kTotalPlay), "000:50:00");
    EXPECT_EQ(log.sessions[1].Field(kTotalActive), "000:25:00");
    EXPECT_EQ(log.sessions[1].Field(kTotalInputs), "2") << "a count that is no number adds 0";
}

class SessionCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs_.AddFolder("C:\\K\\playing");
        fs_.AddFolder("C:\\K\\cleared");
        GameLogContent log;
        log.commandLine = "C:\\G\\g.exe";
        log.sessions = {Session("000:10:00", "000:05:00", "1"), Session("000:20:00", "000:10:00", "2")};
        RecomputeTotals(log.sessions);
        fs_.PutFile("C:\\K\\playing\\Game.log", SerializeGameLog(log));
    }
    test::MemoryFileSystem fs_;
    LibraryState state_{fs_, "C:\\K"};
};

TEST_F(SessionCommandsTest, NothingIsWrittenWithoutAGame) {
    EXPECT_FALSE(SaveGameComment(state_, "text").changed);
    DeleteSessions(state_, {0});
    EXPECT_FALSE(SetSessionComment(state_, 0, "text").changed);
    EXPECT_EQ(fs_.FilePaths(), std::vector<std::string>{"C:\\K\\playing\\Game.log"});
}

TEST_F(SessionCommandsTest, CommentIsWrittenOnlyWhenChangedAndOnlyToTheGamesOwnLog) {
    ASSERT_EQ(state_.LoadGame("Game"), LoadResult::Loaded);
    const std::string before = *fs_.FileBytes("C:\\K\\playing\\Game.log");
    EXPECT_FALSE(SaveGameComment(state_, "").changed);
    state_.SetCategory(Category::Cleared);  // another tab shown
    EXPECT_TRUE(SaveGameComment(state_, "line\r\nnext").changed);
    EXPECT_FALSE(fs_.FileBytes("C:\\K\\cleared\\Game.log"));
    std::string after = *fs_.FileBytes("C:\\K\\playing\\Game.log");
    EXPECT_NE(after, before);
    EXPECT_EQ(ParseGameLogFile(after).comment, "line\r\nnext");
}

TEST_F(SessionCommandsTest, DeleteRewritesReloadsAndRenumbers) {
    ASSERT_EQ(state_.LoadGame("Game"), LoadResult::Loaded);
    DeleteSessions(state_, {0});
    ASSERT_EQ(state_.Current().log.sessions.size(), 1u);
    EXPECT_EQ(state_.Current().log.sessions[0].number, 1);
    EXPECT_EQ(ParseGameLogFile(*fs_.FileBytes("C:\\K\\playing\\Game.log")).sessions[0].Field(kTotalPlay), "000:20:00");
}

TEST_F(SessionCommandsTest, SetSessionCommentChecksTheRow) {
    ASSERT_EQ(state_.LoadGame("Game"), LoadResult::Loaded);
    EXPECT_FALSE(SetSessionComment(state_, 2, "x").changed);
    EXPECT_FALSE(SetSessionComment(state_, -1, "x").changed);
    EXPECT_TRUE(SetSessionComment(state_, 1, "boss, again").changed);
    EXPECT_EQ(ParseGameLogFile(*fs_.FileBytes("C:\\K\\playing\\Game.log")).sessions[1].Field(kComment), "boss, again");
    EXPECT_EQ(state_.Current().log.sessions[1].Field(kComment), "boss, again");
}

// Comments that reading would take for the marker line or cut at 0x1A: after
// the rewrite and the reload every session and the whole comment are there.
TEST_F(SessionCommandsTest, NoCommentLosesASessionOrTheCommentAfterIt) {
    const std::string marker(kCommentMarker);
    ASSERT_EQ(state_.LoadGame("Game"), LoadResult::Loaded);
    EXPECT_TRUE(SetSessionComment(state_, 0, "x" + marker).changed);
    EXPECT_TRUE(SaveGameComment(state_,
                                "before\x1A"
                                "after")
                    .changed);
    ASSERT_EQ(state_.LoadGame("Game"), LoadResult::Loaded);
    const GameLogContent& log = state_.Current().log;
    ASSERT_EQ(log.sessions.size(), 2u);
    EXPECT_EQ(log.sessions[0].Field(kComment), "x" + marker + " ");
    EXPECT_EQ(log.sessions[1].Field(kTotalPlay), "000:30:00");
    EXPECT_EQ(log.comment, "before after");
    EXPECT_FALSE(SaveGameComment(state_,
                                 "before\x1A"
                                 "after")
                     .changed)
        << "the same text as kept: nothing to write";
}

// The log is changed on disk between the load and the command (an editor, a
// second PC syncing the folder): each command applies to what the disk holds.
class ChangedOnDiskTest : public SessionCommandsTest {
protected:
    void SetUp() override {
        SessionCommandsTest::SetUp();
        ASSERT_EQ(state_.LoadGame("Game"), LoadResult::Loaded);
        // Another program appends a session and changes the comment.
        GameLogContent log = ParseGameLogFile(*fs_.FileBytes(kPath));
        log.sessions.push_back(Session("000:30:00", "000:15:00", "3", "added elsewhere"));
        RecomputeTotals(log.sessions);
        log.comment = "edited elsewhere";
        fs_.PutFile(kPath, SerializeGameLog(log));
    }
    GameLogContent OnDisk() const { return ParseGameLogFile(*fs_.FileBytes(kPath)); }
    const std::string kPath = "C:\\K\\playing\\Game.log";
};

TEST_F(ChangedOnDiskTest, CommentEditReplacesTheCommentNowThereAndKeepsTheAddedSession) {
    const LogChange change = SaveGameComment(state_, "mine");
    EXPECT_TRUE(change.Ok());
    EXPECT_TRUE(change.reloaded);
    const GameLogContent disk = OnDisk();
    ASSERT_EQ(disk.sessions.size(), 3u);
    EXPECT_EQ(disk.sessions[2].Field(kComment), "added elsewhere");
    EXPECT_EQ(disk.comment, "mine");
    EXPECT_EQ(state_.Current().log.sessions.size(), 3u) << "memory shows what the log holds now";
    // Written by us: the next command needs no reload.
    EXPECT_FALSE(SaveGameComment(state_, "again").reloaded);
}

TEST_F(ChangedOnDiskTest, SessionCommentGoesToTheSameLine) {
    // Another program also puts a session in front of the shown ones.
    GameLogContent log = OnDisk();
    log.sessions.insert(log.sessions.begin(), Session("000:01:00", "000:01:00", "9", "first elsewhere"));
    fs_.PutFile(kPath, SerializeGameLog(log));

    const LogChange change = SetSessionComment(state_, 1, "boss");  // the second session shown
    EXPECT_TRUE(change.Ok() && change.reloaded && change.changed);
    const GameLogContent disk = OnDisk();
    ASSERT_EQ(disk.sessions.size(), 4u);
    EXPECT_EQ(disk.sessions[0].Field(kComment), "first elsewhere");
    EXPECT_EQ(disk.sessions[2].Field(kComment), "boss");
    EXPECT_EQ(disk.sessions[2].Field(kPlay), "000:20:00");
    EXPECT_EQ(disk.comment, "edited elsewhere");
}

// Two sessions with the same line: the comment goes to the row it was given
// for, not to the first like it.
TEST_F(SessionCommandsTest, SessionCommentGoesToItsRowWhenAnotherRowIsTheSame) {
    GameLogContent log = ParseGameLogFile(*fs_.FileBytes("C:\\K\\playing\\Game.log"));
    log.sessions.push_back(log.sessions[1]);
    fs_.PutFile("C:\\K\\playing\\Game.log", SerializeGameLog(log));
    ASSERT_EQ(state_.LoadGame("Game"), LoadResult::Loaded);
    ASSERT_EQ(state_.Current().log.sessions[1].Line(), state_.Current().log.sessions[2].Line());
    EXPECT_TRUE(SetSessionComment(state_, 2, "the third").changed);
    EXPECT_EQ(state_.Current().log.sessions[1].Field(kComment), "");
    EXPECT_EQ(state_.Current().log.sessions[2].Field(kComment), "the third");
    DeleteSessions(state_, {1});
    ASSERT_EQ(state_.Current().log.sessions.size(), 2u);
    EXPECT_EQ(state_.Current().log.sessions[1].Field(kComment), "the third");
}

TEST_F(ChangedOnDiskTest, DeletionRemovesTheSameLinesWhereStillThere) {
    // Another program removes the first session shown; we delete both shown.
    GameLogContent log = OnDisk();
    log.sessions.erase(log.sessions.begin());
    fs_.PutFile(kPath, SerializeGameLog(log));

    const LogChange change = DeleteSessions(state_, {0, 1});
    EXPECT_TRUE(change.Ok() && change.reloaded);
    const GameLogContent disk = OnDisk();
    ASSERT_EQ(disk.sessions.size(), 1u);
    EXPECT_EQ(disk.sessions[0].Field(kComment), "added elsewhere");
    EXPECT_EQ(disk.sessions[0].Field(kTotalPlay), "000:30:00") << "totals rebuilt on what is left";
    EXPECT_EQ(state_.Current().log.sessions.size(), 1u);
}

TEST_F(ChangedOnDiskTest, ALogThatCannotBeReadAgainIsNotWritten) {
    const std::string before = *fs_.FileBytes(kPath);
    fs_.unreadable.insert(kPath);
    LogChange change = SaveGameComment(state_, "mine");
    EXPECT_EQ(change.readError, FsError::AccessDenied);
    EXPECT_FALSE(change.changed);
    change = DeleteSessions(state_, {0});
    EXPECT_EQ(change.readError, FsError::AccessDenied);
    EXPECT_EQ(*fs_.FileBytes(kPath), before);
    EXPECT_EQ(state_.Current().log.sessions.size(), 2u) << "memory as it was";

    // A log removed by another program is not made again.
    fs_.unreadable.clear();
    ASSERT_EQ(fs_.RemoveFile(kPath), FsError::None);
    EXPECT_EQ(SetSessionComment(state_, 0, "x").readError, FsError::NotFound);
    EXPECT_FALSE(fs_.FileBytes(kPath));
}

class SessionUndoTest : public ::testing::Test {
protected:
    static constexpr const char* kGame = "C:\\K\\playing\\Game.log";
    static constexpr const char* kOther = "C:\\K\\playing\\Other.log";
    void SetUp() override {
        fs_.AddFolder("C:\\K\\playing");
        fs_.AddFolder("C:\\K\\cleared");
        GameLogContent log;
        log.commandLine = "C:\\G\\g.exe";
        log.comment = "notes";
        for (int i = 1; i <= 5; ++i) {
            const std::string minutes = "000:0" + std::to_string(i) + ":00";
            log.sessions.push_back(
                Session(minutes.c_str(), "000:00:10", std::to_string(i).c_str(), ("s" + std::to_string(i)).c_str()));
        }
        RecomputeTotals(log.sessions);
        original_ = SerializeGameLog(log);
        fs_.PutFile(kGame, original_);
        fs_.PutFile(kOther, original_);
        ASSERT_EQ(state_.LoadGame("Game"), LoadResult::Loaded);
    }
    std::vector<std::string> Comments() const {
        std::vector<std::string> out;
        for (const SessionRecord& s : state_.Current().log.sessions) out.emplace_back(s.Field(kComment));
        return out;
    }
    test::MemoryFileSystem fs_;
    LibraryState state_{fs_, "C:\\K"};
    std::string original_;
};

// Done: the undo put sessions back and the log was written.
bool Undone(LibraryState& state) {
    const LogChange change = UndoSessionDeletion(state);
    return change.changed && change.Ok();
}

TEST_F(SessionUndoTest, PutsTheRemovedSessionsBackInTheirPlacesWithTheTotals) {
    DeleteSessions(state_, {4, 0, 2});
    ASSERT_EQ(Comments(), (std::vector<std::string>{"s2", "s4"}));
    EXPECT_EQ(state_.Current().log.sessions[0].Field(kTotalPlay), "000:02:00");
    ASSERT_TRUE(state_.CanUndoSessionDeletion());

    EXPECT_TRUE(Undone(state_));
    EXPECT_EQ(*fs_.FileBytes(kGame), original_) << "the log is as before, totals included";
    EXPECT_EQ(Comments(), (std::vector<std::string>{"s1", "s2", "s3", "s4", "s5"}));
    EXPECT_EQ(state_.Current().log.sessions[4].number, 5) << "renumbered by the reload";
    EXPECT_FALSE(Undone(state_)) << "one undo per deletion";
    EXPECT_EQ(*fs_.FileBytes(kGame), original_);
}

TEST_F(SessionUndoTest, OnlyTheLastDeletionIsUndone) {
    DeleteSessions(state_, {0});
    DeleteSessions(state_, {1});  // "s3" of the sessions left
    ASSERT_EQ(Comments(), (std::vector<std::string>{"s2", "s4", "s5"}));
    EXPECT_TRUE(Undone(state_));
    EXPECT_EQ(Comments(), (std::vector<std::string>{"s2", "s3", "s4", "s5"}));
    EXPECT_EQ(state_.Current().log.sessions[0].Field(kTotalInputs), "2");
    EXPECT_FALSE(Undone(state_));
}

TEST_F(SessionUndoTest, ADeletionOfNothingKeepsTheUndoBeforeIt) {
    DeleteSessions(state_, {1});
    DeleteSessions(state_, {});
    EXPECT_TRUE(Undone(state_));
    EXPECT_EQ(*fs_.FileBytes(kGame), original_);
}

TEST_F(SessionUndoTest, EndsWithTheNextDeletionOrTheGamesDeletion) {
    const struct {
        const char* what;
        std::function<void(LibraryState&)> change;
    } cases[] = {
        {"game deleted", [this](LibraryState& s) { DeleteGame(s, fs_); }},
        {"another log's deletion",
         [](LibraryState& s) {
             ASSERT_EQ(s.LoadGame("Other"), LoadResult::Loaded);
             DeleteSessions(s, {0});
             ASSERT_EQ(s.LoadGame("Game"), LoadResult::Loaded);
         }},
    };
    for (const auto& c : cases) {
        fs_.PutFile(kGame, original_);
        fs_.PutFile(kOther, original_);
        ASSERT_EQ(state_.LoadGame("Game"), LoadResult::Loaded);
        DeleteSessions(state_, {2});
        c.change(state_);
        const std::optional<std::string> before = fs_.FileBytes(kGame);
        EXPECT_FALSE(Undone(state_)) << c.what;
        EXPECT_EQ(fs_.FileBytes(kGame), before) << c.what;
    }
}

// Until the next deletion: whatever is recorded, commented, moved or renamed in between.
TEST_F(SessionUndoTest, LastsAcrossCommentsNewSessionsOtherGamesAMoveAndARename) {
    DeleteSessions(state_, {3, 4});  // s4 and s5, the last two
    EXPECT_TRUE(SaveGameComment(state_, "typed after").changed);
    EXPECT_TRUE(SetSessionComment(state_, 2, "s3 commented").Ok());
    // A session recorded after the deletion goes after the sessions left.
    ASSERT_TRUE(state_
                    .ChangeLog([](GameLogContent& log) {
                        log.sessions.push_back(Session("000:09:00", "000:00:10", "9", "new"));
                        RecomputeTotals(log.sessions);
                        return true;
                    })
                    .Ok());
    ASSERT_EQ(state_.LoadGame("Other"), LoadResult::Loaded);
    EXPECT_FALSE(state_.CanUndoSessionDeletion()) << "not the game shown";
    EXPECT_FALSE(Undone(state_));
    EXPECT_EQ(*fs_.FileBytes(kOther), original_);
    ASSERT_EQ(state_.LoadGame("Game"), LoadResult::Loaded);
    ASSERT_EQ(MoveGame(state_, fs_, Category::Cleared).problem, MoveProblem::None);
    ASSERT_TRUE(UpdateGame(state_, fs_, "C:\\G\\g.exe", "Renamed").Ok());

    EXPECT_TRUE(Undone(state_));
    GameLogContent back = ParseGameLogFile(*fs_.FileBytes("C:\\K\\cleared\\Renamed.log"));
    ASSERT_EQ(back.sessions.size(), 6u);
    const std::vector<std::string> comments = {"s1", "s2", "s3 commented", "s4", "s5", "new"};
    for (size_t i = 0; i < comments.size(); ++i) EXPECT_EQ(back.sessions[i].Field(kComment), comments[i]);
    EXPECT_EQ(back.sessions[5].Field(kTotalInputs), "24") << "totals recomputed: 1+2+3+4+5+9";
    EXPECT_EQ(back.comment, "typed after") << "the comment is not part of the undo";
}

TEST_F(SessionUndoTest, ALogChangedOnDiskGetsItsSessionsBackByContent) {
    DeleteSessions(state_, {0, 2});  // s1 and s3
    // Another program wrote the log meanwhile: s3 back by itself, a session added at the top.
    GameLogContent log = ParseGameLogFile(original_);
    log.sessions.erase(log.sessions.begin());  // s1 stays deleted there
    log.sessions.insert(log.sessions.begin(), Session("000:07:00", "000:00:10", "7", "elsewhere"));
    RecomputeTotals(log.sessions);
    fs_.PutFile(kGame, SerializeGameLog(log));
    EXPECT_TRUE(Undone(state_));
    EXPECT_EQ(Comments(), (std::vector<std::string>{"s1", "elsewhere", "s2", "s3", "s4", "s5"}))
        << "s1 at the top where it was, s3 not twice";
}

TEST_F(SessionUndoTest, AFailedReadOrWriteKeepsTheUndoForALaterTry) {
    DeleteSessions(state_, {0});
    const std::string deleted = *fs_.FileBytes(kGame);
    fs_.failWriteAfter = 0;
    LogChange change = UndoSessionDeletion(state_);
    EXPECT_NE(change.writeError, FsError::None);
    EXPECT_EQ(*fs_.FileBytes(kGame), deleted);
    EXPECT_EQ(Comments().size(), 4u) << "memory matches the log that stayed";
    fs_.failWriteAfter.reset();

    fs_.PutFile(kGame, deleted);  // changed on disk, so it is read again: and cannot be
    fs_.unreadable.insert(kGame);
    change = UndoSessionDeletion(state_);
    EXPECT_NE(change.readError, FsError::None);
    EXPECT_TRUE(state_.CanUndoSessionDeletion());
    fs_.unreadable.clear();

    EXPECT_TRUE(Undone(state_)) << "still possible after the failures";
    EXPECT_EQ(*fs_.FileBytes(kGame), original_);
}

}  // namespace
}  // namespace kibolt
