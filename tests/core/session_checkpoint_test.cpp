#include "play/session_checkpoint.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "play/session_recorder.h"
#include "tests/core/fake_clock.h"
#include "tests/core/recorder_print.h"
#include "tests/core/memory_file_system.h"

namespace kibolt {
namespace {

using test::FakeClock;
using test::MemoryFileSystem;
using test::StampOf;

const std::string kRoot = "C:\\K";
const std::string kAlpha = "C:\\K\\playing\\Alpha.log";
const std::string kBeta = "C:\\K\\cleared\\表示.log";  // 表 ends in byte 0x5C
const std::string kCheckpoint = "C:\\K\\kibolt.checkpoint";

SessionProgress Evening() {
    // 19:00 to 19:40, with 35:10 active and 210 inputs; saved at 19:40.
    return {kAlpha, StampOf(2005, 6, 2, 19, 0, 0),  2400 * 1000, 2110 * 1000,
            210,    StampOf(2005, 6, 2, 19, 40, 0), 7'000'000};
}

SessionCheckpoint Full() {
    SessionCheckpoint c;
    c.open = Evening();
    c.processes = {{4242, 133'000'000'000'000'000ull}, {77, 133'000'000'000'000'001ull}};
    c.pending = {{kBeta, "05/06/01-20:15:00,05/06/01-21:00:00,000:45:00,,000:45:00,,3,,中断,\tpause", 0},
                 {kAlpha, "05/06/02-18:00:00,05/06/02-18:10:00,000:10:00,,000:05:00,,1,,", 3}};
    c.pending[0].base = std::nullopt;
    return c;
}

TEST(SessionCheckpoint, RoundTrips) {
    SessionCheckpoint pendingOnly;
    pendingOnly.pending = Full().pending;
    for (const SessionCheckpoint& c : {Full(), pendingOnly, SessionCheckpoint{}}) {
        const std::optional<SessionCheckpoint> back = ParseCheckpoint(SerializeCheckpoint(c));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, c);
    }
    EXPECT_EQ(CheckpointFilePath(kRoot), kCheckpoint);
    EXPECT_EQ(CheckpointFilePath("C:\\ゲーム\\表"), "C:\\ゲーム\\表\\kibolt.checkpoint");
}

TEST(SessionCheckpoint, EveryCutAndEveryChangedByteIsRefused) {
    const std::string bytes = SerializeCheckpoint(Full());
    for (size_t n = 0; n < bytes.size(); ++n) EXPECT_FALSE(ParseCheckpoint(bytes.substr(0, n))) << "cut at " << n;
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::string damaged = bytes;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x01);
        EXPECT_FALSE(ParseCheckpoint(damaged)) << "byte " << i;
    }
    EXPECT_FALSE(ParseCheckpoint(bytes + "log x\n"));
}

// Damage that keeps a right checksum: what a faulty writer could produce.
TEST(SessionCheckpoint, BadContentIsRefusedEvenWithARightChecksum) {
    const std::string header = "Kibolt session checkpoint 1\n";
    const std::string session = "log " + kAlpha +
                                "\nstart 1117738800\nplay_ms 2400000\nactive_ms 2110000\ninputs 210\nsaved "
                                "1117741200\nsaved_unbiased_ms 7000000\n";
    ASSERT_TRUE(ParseCheckpoint(SealCheckpoint(header + session)));
    const struct {
        const char* name;
        std::string body;
    } cases[] = {
        {"another header", "Kibolt session checkpoint 3\n" + session},
        {"no header", session},
        {"unknown key", header + session + "colour blue\n"},
        {"a key twice", header + session + "log " + kAlpha + "\n"},
        {"a key missing", header + "log " + kAlpha + "\nstart 1\nplay_ms 2\nactive_ms 1\ninputs 0\nsaved 1\n"},
        {"negative play time",
         header + "log x\nstart 1\nplay_ms -2\nactive_ms 0\ninputs 0\nsaved 1\nsaved_unbiased_ms 1\n"},
        {"more active than play time",
         header + "log x\nstart 1\nplay_ms 2\nactive_ms 3\ninputs 0\nsaved 1\nsaved_unbiased_ms 1\n"},
        {"negative inputs",
         header + "log x\nstart 1\nplay_ms 2\nactive_ms 1\ninputs -1\nsaved 1\nsaved_unbiased_ms 1\n"},
        {"not a number", header + "log x\nstart 1x\nplay_ms 2\nactive_ms 1\ninputs 0\nsaved 1\nsaved_unbiased_ms 1\n"},
        {"a number too large", header + "log x\nstart 1\nplay_ms 2\nactive_ms 1\ninputs 9999999999\nsaved 1\n"
                                        "saved_unbiased_ms 1\n"},
        {"empty log path", header + "log \nstart 1\nplay_ms 2\nactive_ms 1\ninputs 0\nsaved 1\nsaved_unbiased_ms 1\n"},
        {"processes without a session", header + "process 4 5\n"},
        {"process id 0", header + session + "process 0 5\n"},
        {"a pending log without its line", header + "pending_log " + kAlpha + "\n"},
        {"a pending line without its log", header + "pending_line a,b,c\n"},
        {"a line break in a value", header + "pending_log " + kAlpha + "\npending_line a\rb\n"},
        {"a base without its session", header + "pending_base 0\n"},
        {"a base twice", header + "pending_log " + kAlpha + "\npending_line a\npending_base 0\npending_base 1\n"},
        {"a base below -2", header + "pending_log " + kAlpha + "\npending_line a\npending_base -3\n"},
        {"a line without a key", header + session + "\n"},
    };
    for (const auto& c : cases) EXPECT_FALSE(ParseCheckpoint(SealCheckpoint(c.body))) << c.name;
}

TEST(CheckpointSchedule, WritesAtMostEveryFewSecondsAndAtLeastEveryMinute) {
    CheckpointSchedule s;
    EXPECT_TRUE(s.Due(0)) << "nothing written yet";
    s.Written(1000);
    EXPECT_FALSE(s.Due(2000));
    s.Changed();
    EXPECT_FALSE(s.Due(1000 + CheckpointSchedule::kMinIntervalMs - 1)) << "a flood of changes waits";
    EXPECT_TRUE(s.Due(1000 + CheckpointSchedule::kMinIntervalMs));
    s.Written(10000);
    EXPECT_FALSE(s.Due(10000 + CheckpointSchedule::kMaxIntervalMs - 1)) << "nothing changed";
    EXPECT_TRUE(s.Due(10000 + CheckpointSchedule::kMaxIntervalMs)) << "the minute is up";
    EXPECT_TRUE(s.Due(5000)) << "a clock that went back";
}

// A library with Alpha (one session) and Beta; a checkpoint left over by a run that was ended by force.
class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs.PutFile(kAlpha, kAlphaLog);
        fs.PutFile(kBeta, "C:\\G\\beta.exe\r\n=====Comment_Start====\r\n");
        clock.Set(StampOf(2005, 6, 2, 23, 0, 0));
    }
    // Starts a recorder on the library as the program does; what it told.
    std::vector<RecorderNotice> Recover(std::set<uint32_t> running = {}) {
        recorder = std::make_unique<SessionRecorder>(fs, clock, state);
        resumed = recorder->Start([&](const GameProcess& g) { return running.count(g.id) > 0; });
        return recorder->TakeReport().notices;
    }
    static std::vector<RecorderNotice::Kind> Kinds(const std::vector<RecorderNotice>& told) {
        std::vector<RecorderNotice::Kind> kinds;
        for (const RecorderNotice& n : told) kinds.push_back(n.kind);
        return kinds;
    }
    static std::vector<RecorderNotice> Told(RecorderNotice::Kind kind, const std::string& log = kAlpha) {
        return {{kind, log, FsError::None}};
    }

    const std::string kFirstLine =
        "05/06/01-20:15:00,05/06/01-21:45:30,001:30:30,001:30:30,001:10:05,001:10:05,523,523,\r\n";
    const std::string kAlphaLog = "C:\\G\\alpha.exe\r\n" + kFirstLine + "=====Comment_Start====\r\nroute A\r\n";
    const std::string kEveningLine =
        "05/06/02-19:00:00,05/06/02-19:40:00,000:40:00,002:10:30,000:35:10,001:45:15,210,733,\r\n";

    MemoryFileSystem fs;
    FakeClock clock;
    LibraryState state{fs, kRoot};  // no game loaded yet at start-up
    std::unique_ptr<SessionRecorder> recorder;
    std::vector<GameProcess> resumed;
};

TEST_F(RecoveryTest, NoCheckpointDoesNothing) {
    EXPECT_TRUE(Recover().empty());
    EXPECT_EQ(fs.FileBytes(kAlpha), kAlphaLog);
}

TEST_F(RecoveryTest, AGameThatIsGoneIsRecordedUpToTheCheckpoint) {
    SessionCheckpoint c;
    c.open = Evening();
    c.processes = {{4242, 5}};
    fs.PutFile(kCheckpoint, SerializeCheckpoint(c));
    EXPECT_EQ(Recover(), Told(RecorderNotice::Kind::Recorded));
    EXPECT_EQ(fs.FileBytes(kAlpha),
              "C:\\G\\alpha.exe\r\n" + kFirstLine + kEveningLine + "=====Comment_Start====\r\nroute A\r\n");
    EXPECT_FALSE(fs.FileBytes(kCheckpoint));
    // A second start finds nothing more to do.
    EXPECT_TRUE(Recover().empty());
}

TEST_F(RecoveryTest, AGameThatStillRunsIsResumedWithItsRunningProcesses) {
    SessionCheckpoint c;
    c.open = Evening();
    c.processes = {{4242, 5}, {77, 6}};
    fs.PutFile(kCheckpoint, SerializeCheckpoint(c));
    EXPECT_EQ(Recover({77}), Told(RecorderNotice::Kind::Resumed));
    EXPECT_TRUE(recorder->IsOpen());
    EXPECT_EQ(resumed, (std::vector<GameProcess>{{77, 6}}));
    EXPECT_EQ(fs.FileBytes(kAlpha), kAlphaLog) << "nothing is recorded before the game ends";
    EXPECT_TRUE(fs.FileBytes(kCheckpoint)) << "the checkpoint stays until the session is recorded";
}

TEST_F(RecoveryTest, ResumedSessionCountsTheTimeAwayAsPlayNotActive) {
    FakeClock clock(StampOf(2005, 6, 2, 19, 40, 0) - 7000);
    clock.AdvanceMs(7'000'000);  // both clocks where the checkpoint left them
    clock.Advance(20 * 60);      // the program was not running for 20 minutes
    PlaySession session{clock};
    ASSERT_TRUE(session.Resume(Evening()));
    EXPECT_FALSE(session.Resume(Evening())) << "one session at a time";
    for (int i = 0; i < 5; ++i) session.CountInput();
    clock.Advance(10 * 60);
    session.WindowDeactivated();
    clock.Advance(10 * 60);
    const std::optional<FinishedSession> s = session.End();
    ASSERT_TRUE(s);
    const SessionFields f = BuildSessionFields(clock, *s, nullptr, "");
    EXPECT_EQ(f[kStart], "05/06/02-19:00:00");
    EXPECT_EQ(f[kEnd], "05/06/02-20:20:00");
    EXPECT_EQ(f[kPlay], "001:20:00");    // 40 before, 20 away, 20 after
    EXPECT_EQ(f[kActive], "000:45:10");  // 35:10 before, 10 after
    EXPECT_EQ(f[kInputs], "215");
}

TEST_F(RecoveryTest, ACrashAfterTheLogWasWrittenDoesNotRecordTheSessionTwice) {
    // The moment: the log holds the session, the checkpoint still has it pending.
    fs.PutFile(kAlpha, "C:\\G\\alpha.exe\r\n" + kFirstLine + kEveningLine + "=====Comment_Start====\r\nroute A\r\n");
    SessionCheckpoint c;
    c.pending = {PendingFor(clock, FinishedAt(Evening()), "")};
    c.pending[0].base = 0;  // the log held none like it before
    const std::string version2 = SerializeCheckpoint(c);
    // A checkpoint of an earlier version keeps no base: its session is there when it is the log's last.
    std::string version1 = version2.substr(0, version2.rfind("pending_base"));
    version1.replace(version1.find("checkpoint 2"), 12, "checkpoint 1");
    for (const std::string& bytes : {version2, SealCheckpoint(version1)}) {
        fs.PutFile(kCheckpoint, bytes);
        EXPECT_TRUE(Recover().empty());
        EXPECT_EQ(fs.FileBytes(kAlpha),
                  "C:\\G\\alpha.exe\r\n" + kFirstLine + kEveningLine + "=====Comment_Start====\r\nroute A\r\n");
        EXPECT_FALSE(fs.FileBytes(kCheckpoint));
    }
}

TEST_F(RecoveryTest, ACrashBeforeTheLogWasWrittenRecordsThePendingSessionThenResumes) {
    SessionCheckpoint c;
    c.pending = {PendingFor(clock, FinishedAt(Evening()), "boss")};
    c.open = Evening();
    c.open->start = c.open->saved;  // the split's second part
    c.open->playMs = c.open->activeMs = 0;
    c.open->inputCount = 0;
    c.processes = {{9, 1}};
    fs.PutFile(kCheckpoint, SerializeCheckpoint(c));
    EXPECT_EQ(Recover({9}), Told(RecorderNotice::Kind::Resumed));
    EXPECT_NE(fs.FileBytes(kAlpha)->find("05/06/02-19:40:00,000:40:00,002:10:30,000:35:10,001:45:15,210,733,boss\r\n"),
              std::string::npos);
    std::optional<SessionCheckpoint> left = ParseCheckpoint(*fs.FileBytes(kCheckpoint));
    ASSERT_TRUE(left);
    EXPECT_TRUE(left->pending.empty());
    EXPECT_TRUE(left->open);
}

TEST_F(RecoveryTest, ABadCheckpointIsRemovedAndNoLogChanges) {
    SessionCheckpoint outside;
    outside.open = Evening();
    outside.open->logPath = "C:\\Windows\\win.log";
    SessionCheckpoint pendingOutside;
    pendingOutside.pending = {{"C:\\K\\playing\\..\\x.log", "a,b,c,,d,,1,,", std::nullopt}};
    const std::string good = SerializeCheckpoint(Full());
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"truncated", good.substr(0, good.size() / 2)},
        {"empty", ""},
        {"not a checkpoint", "\x82\xa0\x00\xff garbage"},
        {"a log outside the library", SerializeCheckpoint(outside)},
        {"a pending log outside the library", SerializeCheckpoint(pendingOutside)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs.PutFile(kCheckpoint, c.bytes);
        const std::vector<RecorderNotice> told = Recover({4242});
        ASSERT_FALSE(told.empty());
        EXPECT_EQ(told.front().kind, RecorderNotice::Kind::Refused);
        EXPECT_FALSE(fs.FileBytes(kCheckpoint));
        EXPECT_EQ(fs.FileBytes(kAlpha), kAlphaLog);
        EXPECT_FALSE(fs.FileBytes("C:\\Windows\\win.log"));
        EXPECT_FALSE(fs.FileBytes("C:\\K\\playing\\Deleted.log"));
    }
}

TEST_F(RecoveryTest, ALogThatCannotBeWrittenKeepsTheCheckpointForTheNextStart) {
    SessionCheckpoint c;
    c.open = Evening();
    fs.PutFile(kCheckpoint, SerializeCheckpoint(c));
    fs.failWriteAfter = 0;  // disk full, for the checkpoint and for the log
    EXPECT_EQ(Kinds(Recover()), (std::vector{RecorderNotice::Kind::CheckpointFailed, RecorderNotice::Kind::Kept}));
    EXPECT_EQ(fs.FileBytes(kAlpha), kAlphaLog);
    EXPECT_EQ(fs.FileBytes(kCheckpoint), SerializeCheckpoint(c)) << "the old checkpoint stays whole";

    fs.failWriteAfter.reset();
    fs.replaceError = FsError::AccessDenied;  // nothing can be replaced
    EXPECT_EQ(Kinds(Recover()), (std::vector{RecorderNotice::Kind::CheckpointFailed, RecorderNotice::Kind::Kept}));
    EXPECT_EQ(fs.FileBytes(kAlpha), kAlphaLog);

    fs.replaceError = FsError::None;  // space again: the next start records it, once
    EXPECT_EQ(Recover(), Told(RecorderNotice::Kind::Recorded));
    EXPECT_EQ(fs.FileBytes(kAlpha),
              "C:\\G\\alpha.exe\r\n" + kFirstLine + kEveningLine + "=====Comment_Start====\r\nroute A\r\n");
    EXPECT_FALSE(fs.FileBytes(kCheckpoint));
}

}  // namespace
}  // namespace kibolt
