// The recorder's named cases: each a way a session was once written twice,
// came back after its deletion, or was lost, once something else had failed.
// The model test (recorder_model_test.cpp) walks through many more orders.
#include "play/session_recorder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "library/game_commands.h"
#include "tests/core/fake_clock.h"
#include "tests/core/memory_file_system.h"
#include "tests/core/recorder_model.h"
#include "tests/core/recorder_print.h"

namespace kibolt {
namespace {

using test::FakeClock;
using test::MemoryFileSystem;
using test::StampOf;
using Kind = RecorderNotice::Kind;
using Op = MemoryFileSystem::Op;

const std::string kRoot = "C:\\K";
const std::string kAlpha = "C:\\K\\playing\\Alpha.log";
const std::string kBeta = "C:\\K\\playing\\Beta.log";
const std::string kCheckpoint = "C:\\K\\kibolt.checkpoint";
const std::string kEmptyLog = "C:\\G\\game.exe\r\n=====Comment_Start====\r\n";

class SessionRecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs.PutFile(kAlpha, kEmptyLog);
        fs.PutFile(kBeta, kEmptyLog);
        fs.AddFolder("C:\\K\\cleared");
        fs.AddFolder("C:\\K\\others");
        fs.fault = [this](Op op, const std::string& path) {
            for (const auto& [failing, target] : faults)
                if (failing == op && FoldAsciiCase(path).rfind(FoldAsciiCase(target), 0) == 0)
                    return FsError::AccessDenied;
            return FsError::None;
        };
        Restart();
    }
    // The program ended by force: a new one starts from the files alone.
    void Restart(std::vector<GameProcess> running = {}) {
        recorder.reset();
        state = std::make_unique<LibraryState>(fs, kRoot);
        recorder = std::make_unique<SessionRecorder>(fs, clock, *state);
        recorder->Start(
            [running](const GameProcess& p) { return std::find(running.begin(), running.end(), p) != running.end(); });
    }
    // A session of `seconds` with `inputs` of the game at logPath, ended by the game's end.
    void Play(const std::string& logPath, int seconds, int inputs = 0) {
        recorder->GameReady(logPath);
        recorder->ProcessesChanged({{7, 7}});
        for (int i = 0; i < inputs; ++i) recorder->Input();
        clock.Advance(seconds);
        recorder->GameEnded();
    }
    std::vector<std::string> Sessions(const std::string& logPath) const {
        std::vector<std::string> lines;
        const std::optional<std::string> bytes = fs.FileBytes(logPath);
        if (!bytes) return lines;
        const GameLogContent log = ParseGameLogFile(*bytes);
        for (const SessionRecord& s : log.sessions) lines.emplace_back(s.Line());
        return lines;
    }
    std::vector<Kind> Told() {
        std::vector<Kind> kinds;
        for (const RecorderNotice& n : recorder->TakeReport().notices) kinds.push_back(n.kind);
        return kinds;
    }
    void RetryLater() {
        clock.Advance(SessionRecorder::kRetryMs / 1000);
        recorder->Tick();
    }

    MemoryFileSystem fs;
    FakeClock clock{StampOf(2026, 12, 10, 20, 0, 0)};
    std::vector<std::pair<Op, std::string>> faults;
    std::unique_ptr<LibraryState> state;
    std::unique_ptr<SessionRecorder> recorder;
};

TEST_F(SessionRecorderTest, TwoSessionsWrittenByOneRetryAreNotAddedAgainByTheNextStart) {
    faults = {{Op::Replace, kAlpha}};
    Play(kAlpha, 60);
    Play(kAlpha, 90);
    EXPECT_EQ(recorder->PendingCount(), 2u);
    // The retry writes both, and the program dies before the checkpoint is rewritten.
    faults = {{Op::Replace, kCheckpoint}, {Op::Remove, kCheckpoint}};
    RetryLater();
    ASSERT_EQ(Sessions(kAlpha).size(), 2u);
    faults.clear();
    Restart();
    EXPECT_EQ(Sessions(kAlpha).size(), 2u) << "not both again (only the last was compared)";
    EXPECT_FALSE(fs.FileBytes(kCheckpoint));
}

TEST_F(SessionRecorderTest, TwoSplitsWithinOneSecondAreTwoSessions) {
    recorder->GameReady(kAlpha);
    recorder->Split("first");
    recorder->Split("second");
    faults = {{Op::Replace, kAlpha}};  // the end's write fails; the retry writes it
    recorder->GameEnded();
    faults.clear();
    RetryLater();
    const std::vector<std::string> lines = Sessions(kAlpha);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].substr(lines[0].rfind(',') + 1), "first");
    EXPECT_EQ(lines[1].substr(lines[1].rfind(',') + 1), "second");
}

// The table shows the log as it is on disk, and its rows can be changed only
// once nothing of it waits: a comment then cannot make the waiting session
// look new, and a deletion cannot be undone by the retry.
TEST_F(SessionRecorderTest, AWaitingSessionIsNotShownAndItsLogIsNotChangedUntilItIsWritten) {
    Play(kAlpha, 60);
    ASSERT_EQ(state->LoadGame("Alpha"), LoadResult::Loaded);
    faults = {{Op::Replace, kAlpha}};
    Play(kAlpha, 90);
    EXPECT_EQ(state->Current().log.sessions.size(), 1u) << "the waiting session is not a row";
    (void)Told();

    EXPECT_FALSE(recorder->CommentSession(0, "boss").changed);
    EXPECT_FALSE(recorder->DeleteSessions({0}).changed);
    EXPECT_EQ(Told(), (std::vector{Kind::EditRefused, Kind::EditRefused}));
    faults.clear();
    EXPECT_TRUE(recorder->CommentSession(1, "boss").Ok()) << "written first, then commented";
    EXPECT_TRUE(recorder->DeleteSessions({1}).Ok());
    RetryLater();
    Restart();
    ASSERT_EQ(Sessions(kAlpha).size(), 1u) << "the deleted session does not come back";
    EXPECT_NE(Sessions(kAlpha)[0].find("000:01:00"), std::string::npos);
}

TEST_F(SessionRecorderTest, ACheckpointThatCannotBeMarkedDoesNotRecordTheSessionTwice) {
    recorder->GameReady(kAlpha);
    recorder->ProcessesChanged({{7, 7}});
    clock.Advance(600);
    recorder->Tick();  // the checkpoint holds the open session at ten minutes
    faults = {{Op::Replace, kCheckpoint}, {Op::Remove, kCheckpoint}};
    clock.Advance(1200);
    recorder->GameEnded();
    ASSERT_EQ(Sessions(kAlpha).size(), 1u) << "the log is written all the same";
    EXPECT_EQ(Told(), (std::vector{Kind::CheckpointFailed})) << "told once";
    recorder->Close();
    EXPECT_TRUE(Told().empty()) << "close tried again, and says nothing new";
    faults.clear();
    Restart();
    ASSERT_EQ(Sessions(kAlpha).size(), 1u) << "not again, cut at the old checkpoint";
    EXPECT_NE(Sessions(kAlpha)[0].find("000:30:00"), std::string::npos);
}

TEST_F(SessionRecorderTest, StartUpResumesTheRunningGameAndKeepsTheOtherWaitingSessions) {
    faults = {{Op::Replace, kBeta}};
    Play(kBeta, 60);
    recorder->GameReady(kAlpha);
    recorder->ProcessesChanged({{9, 9}});
    clock.Advance(30);
    recorder->Tick();
    Restart({{9, 9}});
    EXPECT_TRUE(recorder->IsOpen());
    EXPECT_EQ(recorder->PendingCount(), 1u) << "Beta's session still waits";
    faults.clear();
    RetryLater();
    EXPECT_EQ(Sessions(kBeta).size(), 1u);
    recorder->GameEnded();
    EXPECT_EQ(Sessions(kAlpha).size(), 1u);
}

TEST_F(SessionRecorderTest, AGameWhoseLogIsGoneHoldsUpOnlyItsOwnSessions) {
    faults = {{Op::Replace, kAlpha}};
    Play(kAlpha, 60);
    ASSERT_EQ(state->LoadGame("Alpha"), LoadResult::Loaded);
    EXPECT_FALSE(recorder->ReadyToChange(kAlpha)) << "no move, rename or delete while it waits";
    EXPECT_EQ(MoveGame(*state, fs, Category::Cleared).problem, MoveProblem::None) << "unless asked: the shell asks";
    // Moved to the other tab all the same (as Explorer could): the waiting session follows it at the next start.
    Play(kBeta, 30);
    EXPECT_EQ(Sessions(kBeta).size(), 1u) << "Beta is not held up by Alpha";
    recorder->GameReady(kBeta);
    recorder->ProcessesChanged({{5, 5}});
    clock.Advance(45);
    recorder->Tick();
    faults.clear();
    Restart({{5, 5}});
    EXPECT_TRUE(recorder->IsOpen()) << "the whole checkpoint is not refused";
    EXPECT_EQ(recorder->PendingCount(), 0u) << "Alpha's session follows its log to the other tab";
    EXPECT_EQ(Sessions("C:\\K\\cleared\\Alpha.log").size(), 1u);
}

TEST_F(SessionRecorderTest, ALogGoneForGoodKeepsItsSessionWaitingAndTheRestGoesOn) {
    faults = {{Op::Replace, kAlpha}};
    Play(kAlpha, 60);
    ASSERT_EQ(fs.Rename(kAlpha, "C:\\K\\playing\\Renamed.log"), FsError::None);
    faults.clear();
    Play(kBeta, 30);
    Restart();
    EXPECT_EQ(Told(), (std::vector{Kind::Kept}));
    EXPECT_EQ(recorder->PendingCount(), 1u);
    EXPECT_EQ(Sessions(kBeta).size(), 1u);
    EXPECT_FALSE(fs.FileBytes(kAlpha)) << "a log that is gone is never made anew";
}

TEST_F(SessionRecorderTest, ATabInASplitCommentKeepsTheCheckpointReadable) {
    faults = {{Op::Replace, kAlpha}};
    recorder->GameReady(kAlpha);
    clock.Advance(60);
    recorder->Split("boss\tsecond try");
    Restart();
    EXPECT_EQ(Told(), (std::vector{Kind::Kept})) << "not refused as damaged";
    faults.clear();
    RetryLater();
    ASSERT_EQ(Sessions(kAlpha).size(), 1u);
    EXPECT_NE(Sessions(kAlpha)[0].find("boss\tsecond try"), std::string::npos);
}

TEST_F(SessionRecorderTest, ACheckpointThatCannotBeReadIsKeptAndReadLater) {
    recorder->GameReady(kAlpha);
    recorder->ProcessesChanged({{7, 7}});
    recorder->Input();
    clock.Advance(120);
    recorder->Tick();
    const std::optional<std::string> left = fs.FileBytes(kCheckpoint);
    ASSERT_TRUE(left);
    faults = {{Op::Read, kCheckpoint}};  // a scanner holds it at start-up
    Restart();
    EXPECT_EQ(Told(), (std::vector{Kind::CheckpointUnreadable}));
    EXPECT_EQ(fs.FileBytes(kCheckpoint), left) << "kept, not deleted as damaged";
    EXPECT_FALSE(recorder->ReadyToChange(kAlpha)) << "it may hold sessions of any log";
    recorder->Tick();
    EXPECT_EQ(fs.FileBytes(kCheckpoint), left);
    faults.clear();
    recorder->Tick();
    EXPECT_EQ(Sessions(kAlpha).size(), 1u) << "recorded up to the checkpoint once it can be read";
    EXPECT_FALSE(fs.FileBytes(kCheckpoint));
}

// A retry that reads a log changed on disk shows what it read, even when
// its write fails: the rows the user picks are those of the disk.
TEST_F(SessionRecorderTest, ARetryThatReadsAChangedLogRefreshesTheTableEvenWhenItsWriteFails) {
    ASSERT_EQ(state->LoadGame("Alpha"), LoadResult::Loaded);
    faults = {{Op::Replace, kAlpha}};
    Play(kAlpha, 60);
    (void)recorder->TakeReport();
    fs.PutFile(kAlpha,
               "C:\\G\\game.exe\r\n26/12/09-10:00:00,26/12/09-11:00:00,001:00:00,001:00:00,000:30:00,"
               "000:30:00,5,5,elsewhere\r\n=====Comment_Start====\r\n");
    RetryLater();
    EXPECT_TRUE(recorder->TakeReport().currentChanged);
    ASSERT_EQ(state->Current().log.sessions.size(), 1u);
    EXPECT_EQ(state->Current().log.sessions[0].Field(kComment), "elsewhere");
}

TEST_F(SessionRecorderTest, FailedEditsAreReportedAndACommentNotWrittenIsNotKept) {
    Play(kAlpha, 60);
    ASSERT_EQ(state->LoadGame("Alpha"), LoadResult::Loaded);
    faults = {{Op::Write, kAlpha}};
    EXPECT_NE(recorder->CommentSession(0, "boss").writeError, FsError::None);
    EXPECT_EQ(state->Current().log.sessions[0].Field(kComment), "") << "not kept in memory";
    EXPECT_NE(recorder->DeleteSessions({0}).writeError, FsError::None);
    EXPECT_EQ(state->Current().log.sessions.size(), 1u);
    faults.clear();
    recorder->Split("");  // nothing open: nothing written, the comment not with it
    EXPECT_EQ(ParseGameLogFile(*fs.FileBytes(kAlpha)).sessions[0].Field(kComment), "");
}

TEST_F(SessionRecorderTest, UndoAndRecordingTellTheStatisticsToReadAgain) {
    Play(kAlpha, 60);
    EXPECT_TRUE(recorder->TakeReport().libraryChanged);
    ASSERT_EQ(state->LoadGame("Alpha"), LoadResult::Loaded);
    recorder->DeleteSessions({0});
    EXPECT_TRUE(recorder->TakeReport().libraryChanged);
    Play(kAlpha, 30);  // playing keeps the undo
    (void)recorder->TakeReport();
    EXPECT_TRUE(recorder->UndoDeletion().Ok());
    EXPECT_TRUE(recorder->TakeReport().libraryChanged);
    EXPECT_EQ(Sessions(kAlpha).size(), 2u);
}

// Windows ending the session: the open session is recorded with the end of
// that moment, and the checkpoint goes only once the log holds it.
TEST_F(SessionRecorderTest, CloseRecordsTheOpenSessionBeforeTheCheckpointGoes) {
    recorder->GameReady(kAlpha);
    recorder->ProcessesChanged({{7, 7}});
    clock.Advance(300);
    recorder->Tick();
    clock.Advance(300);
    faults = {{Op::Replace, kAlpha}};
    recorder->Close();
    EXPECT_TRUE(fs.FileBytes(kCheckpoint)) << "the log could not be written: the checkpoint keeps it";
    faults.clear();
    Restart();
    ASSERT_EQ(Sessions(kAlpha).size(), 1u);
    EXPECT_NE(Sessions(kAlpha)[0].find("26/12/10-20:10:00,000:10:00"), std::string::npos) << "ended at the close";
    EXPECT_FALSE(fs.FileBytes(kCheckpoint));
}

TEST_F(SessionRecorderTest, TheUserIsToldOnceThatASessionWaitsAndOnceThatItIsWritten) {
    faults = {{Op::Replace, kAlpha}};
    Play(kAlpha, 60);
    EXPECT_EQ(Told(), (std::vector{Kind::Waiting}));
    for (int i = 0; i < 5; ++i) RetryLater();
    EXPECT_TRUE(Told().empty()) << "no message at every retry";
    faults.clear();
    RetryLater();
    EXPECT_EQ(Told(), (std::vector{Kind::Written}));
    Play(kAlpha, 60);
    EXPECT_TRUE(Told().empty()) << "a session written at once is not announced";
}

// Sequences the model test once found, shortened; each broke a check then.
TEST(RecorderModelFound, SequencesThatOnceBrokeTheModel) {
    const std::vector<std::vector<uint8_t>> found = {
        // A rename cut by a kill left the checkpoint naming a log that was gone.
        {28,  254, 129, 60, 70,  97,  209, 134, 46, 65, 118, 175, 217, 254, 41,  173, 233, 128, 110, 27, 149,
         194, 107, 164, 81, 110, 159, 144, 74,  1,  20, 214, 228, 253, 223, 190, 133, 195, 246, 101, 247},
        // A comment not written stayed in memory and went to disk with the next session.
        {202, 72, 110, 253, 233, 253, 246, 122, 48,  214, 125, 81, 241,
         124, 3,  94,  38,  174, 80,  235, 189, 237, 25,  120, 181},
        // A game renamed while a checkpoint not yet read named it.
        {26,  239, 161, 125, 154, 15, 177, 132, 229, 127, 66,  63, 149,
         204, 234, 142, 251, 22,  3,  161, 152, 60,  198, 156, 50},
        // A recovered open session taken for a split recorded in the same pass.
        {137, 171, 181, 121, 43,  238, 216, 106, 88,  98,  132, 22,  31,  109, 53,  241, 60,
         77,  127, 166, 28,  225, 68,  64,  168, 91,  104, 223, 109, 212, 161, 24,  32,  245,
         47,  159, 6,   218, 140, 34,  100, 204, 163, 45,  236, 74,  142, 158, 225, 228, 71},
        // A zero-length open session taken for a split of the same second.
        {58,  131, 96, 82, 60,  111, 149, 123, 95, 109, 199, 127, 212, 148, 181, 144, 198, 46,
         211, 19,  25, 35, 244, 230, 78,  41,  26, 57,  26,  174, 189, 3,   223, 5,   97},
        // A session found in its log already was taken out of memory, not out of the
        // checkpoint: commented then, the next start added it again.
        {221, 18,  228, 17,  233, 220, 187, 31,  61, 72,  153, 185, 206, 202, 93,  161, 185,
         106, 203, 64,  233, 253, 238, 179, 114, 18, 220, 248, 44,  189, 137, 155, 119, 101,
         22,  222, 42,  97,  106, 126, 99,  81,  23, 223, 135, 76,  5,   125, 180, 70,  137,
         249, 105, 141, 191, 78,  176, 156, 163, 17, 248, 208, 151, 195, 114, 188, 40,  104},
        // Undo put a session back after the wrong one of three alike, one of them commented since.
        {233, 83,  158, 73,  77,  145, 215, 225, 46, 56,  188, 213, 41,  224, 155, 17, 17,
         177, 37,  206, 253, 166, 255, 201, 58,  85, 214, 192, 161, 193, 117, 143, 5,  118,
         79,  155, 171, 17,  61,  249, 122, 29,  73, 127, 8,   80,  182, 166, 72,  26, 20},
        // The same, two sessions apart.
        {172, 126, 172, 20,  173, 241, 225, 36,  129, 80,  44,  105, 168, 196, 22,  11,  221, 224,
         193, 93,  105, 98,  5,   132, 50,  218, 235, 15,  225, 250, 140, 141, 234, 114, 33,  246,
         230, 15,  118, 203, 144, 252, 208, 197, 113, 118, 49,  205, 150, 178, 103, 243, 134, 202,
         233, 89,  198, 136, 93,  247, 40,  217, 145, 124, 56,  3,   186, 210, 14,  34,  154},
        // Undo put a session back after the wrong one of two alike but for their comments.
        {176, 250, 41,  157, 248, 238, 88, 127, 179, 146, 25, 57,  77,  80, 138, 76,  251, 195, 47,  159, 102,
         129, 81,  254, 26,  223, 5,   39, 246, 225, 230, 64, 178, 66,  59, 52,  208, 232, 45,  33,  229, 12,
         171, 22,  65,  15,  244, 194, 34, 62,  148, 59,  9,  156, 149, 28, 64,  153, 26,  202, 202, 170, 164},
    };
    for (const std::vector<uint8_t>& bytes : found) EXPECT_EQ(test::RunRecorderModel(bytes.data(), bytes.size()), "");
}

}  // namespace
}  // namespace kibolt
