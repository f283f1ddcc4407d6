#include "play/play_session.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "library/library_state.h"
#include "play/session_checkpoint.h"
#include "play/session_recorder.h"
#include "tests/core/fake_clock.h"
#include "tests/core/memory_file_system.h"

namespace kibolt {
namespace {

using test::FakeClock;
using test::MemoryFileSystem;
using test::StampOf;

// A time on 2005-06-01.
int64_t At(int hour, int minute, int second = 0) { return StampOf(2005, 6, 1, hour, minute, second); }

SessionRecord WithTotals(std::string play, std::string active, std::string inputs) {
    SessionRecord r;
    r.SetField(kTotalPlay, play);
    r.SetField(kTotalActive, active);
    r.SetField(kTotalInputs, inputs);
    return r;
}

enum class Event { Activated, Deactivated, Input };

struct Timed {
    int minute;  // after 20:00
    Event event;
};

class PlaySessionTest : public ::testing::Test {
protected:
    // Runs the events of a session that starts at 20:00 and ends at 21:00.
    FinishedSession PlayHour(const std::vector<Timed>& events) {
        clock.Set(At(20, 0));
        EXPECT_TRUE(session.Begin(kLog));
        for (const Timed& e : events) {
            clock.Set(At(20, 0) + e.minute * 60);
            Send(e.event);
        }
        clock.Set(At(21, 0));
        std::optional<FinishedSession> s = session.End();
        EXPECT_TRUE(s.has_value());
        return s.value_or(FinishedSession{});
    }

    void Send(Event e) {
        switch (e) {
        case Event::Activated: session.WindowActivated(); break;
        case Event::Deactivated: session.WindowDeactivated(); break;
        case Event::Input: session.CountInput(); break;
        }
    }

    SessionFields Fields(const FinishedSession& s, const SessionRecord* previous = nullptr) {
        return BuildSessionFields(clock, s, previous, "");
    }

    const std::string kLog = "C:\\K\\playing\\Alpha.log";
    FakeClock clock;
    PlaySession session{clock};
};

TEST_F(PlaySessionTest, FirstSessionOfAGameCopiesItsValuesIntoTheTotals) {
    clock.Set(At(20, 15));
    ASSERT_TRUE(session.Begin(kLog));
    clock.Set(At(21, 45, 30));
    const std::optional<FinishedSession> s = session.End();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->logPath, kLog);
    // No notifications (hook never armed): no inputs, and all of it counts as active.
    EXPECT_EQ(Fields(*s), (SessionFields{"05/06/01-20:15:00", "05/06/01-21:45:30", "001:30:30", "001:30:30",
                                         "001:30:30", "001:30:30", "0", "0", ""}));
}

TEST_F(PlaySessionTest, TotalsBuildOnThePreviousSession) {
    const struct {
        const char* name;
        std::optional<SessionRecord> previous;
        int64_t start, end;
        double active;
        int32_t inputs;
        const char *play, *totalPlay, *activeText, *totalActive, *inputsText, *totalInputs;
    } cases[] = {
        {"second session of the log example", WithTotals("001:30:30", "001:10:05", "523"),
         StampOf(2005, 6, 2, 19, 0, 0), StampOf(2005, 6, 2, 19, 40, 0), 2110, 210, "000:40:00", "002:10:30",
         "000:35:10", "001:45:15", "210", "733"},
        {"carry over an hour", WithTotals("000:59:59", "000:59:59", "9"), At(20, 0), At(20, 0, 1), 1, 1, "000:00:01",
         "001:00:00", "000:00:01", "001:00:00", "1", "10"},
        {"empty previous totals", WithTotals("", "", ""), At(20, 0), At(21, 0), 90, 5, "001:00:00", "001:00:00",
         "000:01:30", "000:01:30", "5", "5"},
        // As a log of an earlier version may hold them.
        {"negative times keep their signs", std::nullopt, At(20, 0, 0), At(19, 58, 55), -65, 0, "000:-1:-5",
         "000:-1:-5", "000:-1:-5", "000:-1:-5", "0", "0"},
        {"active time truncated", std::nullopt, At(20, 0), At(20, 1), 59.9, 0, "000:01:00", "000:01:00", "000:00:59",
         "000:00:59", "0", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FinishedSession s{kLog, c.start, c.end, static_cast<double>(c.end - c.start), c.active, c.inputs};
        const SessionFields f = Fields(s, c.previous ? &*c.previous : nullptr);
        EXPECT_EQ(f[kPlay], c.play);
        EXPECT_EQ(f[kTotalPlay], c.totalPlay);
        EXPECT_EQ(f[kActive], c.activeText);
        EXPECT_EQ(f[kTotalActive], c.totalActive);
        EXPECT_EQ(f[kInputs], c.inputsText);
        EXPECT_EQ(f[kTotalInputs], c.totalInputs);
    }
}

TEST_F(PlaySessionTest, ActiveTimeFollowsTheWindow) {
    using E = Event;
    const struct {
        const char* name;
        std::vector<Timed> events;
        const char* active;
    } cases[] = {
        {"never deactivated", {}, "001:00:00"},
        {"deactivated 20:30, activated 20:40", {{30, E::Deactivated}, {40, E::Activated}}, "000:50:00"},
        {"ends inactive", {{30, E::Deactivated}}, "000:30:00"},
        // A second deactivation adds the time since the first one.
        {"two deactivations in a row", {{0, E::Activated}, {30, E::Deactivated}, {35, E::Deactivated}}, "000:35:00"},
        // A second activation restarts the interval: 20:00-20:10 is not counted.
        {"two activations in a row", {{10, E::Activated}}, "000:50:00"},
        {"three intervals",
         {{10, E::Deactivated}, {20, E::Activated}, {50, E::Deactivated}, {55, E::Activated}},
         "000:45:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SessionFields f = Fields(PlayHour(c.events));
        EXPECT_EQ(f[kPlay], "001:00:00");
        EXPECT_EQ(f[kActive], c.active);
    }
}

// Play and active time come from the unbiased clock; the start and end texts
// stay wall-clock times.
TEST_F(PlaySessionTest, SleepAndClockChangesAddNothing) {
    const struct {
        const char* name;
        void (*during)(FakeClock&);
        const char *end, *play, *active;
    } cases[] = {
        {"eight hours asleep with the game open", [](FakeClock& c) { c.Sleep(8 * 3600); }, "05/06/02-04:30:00",
         "000:30:00", "000:30:00"},
        {"wall clock set back an hour", [](FakeClock& c) { c.SetWall(c.Now() - 3600); }, "05/06/01-19:30:00",
         "000:30:00", "000:30:00"},
        {"wall clock set forward an hour", [](FakeClock& c) { c.SetWall(c.Now() + 3600); }, "05/06/01-21:30:00",
         "000:30:00", "000:30:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeClock clock(At(20, 0));
        PlaySession session{clock};
        ASSERT_TRUE(session.Begin(kLog));
        clock.Advance(10 * 60);
        c.during(clock);
        clock.Advance(20 * 60);
        const std::optional<FinishedSession> s = session.End();
        ASSERT_TRUE(s);
        const SessionFields f = BuildSessionFields(clock, *s, nullptr, "");
        EXPECT_EQ(f[kStart], "05/06/01-20:00:00");
        EXPECT_EQ(f[kEnd], c.end);
        EXPECT_EQ(f[kPlay], c.play);
        EXPECT_EQ(f[kActive], c.active);
    }
}

TEST_F(PlaySessionTest, SleepWhileInTheBackgroundAndPartsOfSeconds) {
    clock.Set(At(20, 0));
    ASSERT_TRUE(session.Begin(kLog));
    clock.AdvanceMs(600);
    session.WindowDeactivated();  // 0.6 s active
    clock.Advance(10 * 60);
    clock.Sleep(3600);
    session.WindowActivated();
    clock.AdvanceMs(59 * 1000 + 600);  // 59.6 s active
    const std::optional<FinishedSession> s = session.End();
    ASSERT_TRUE(s);
    const SessionFields f = Fields(*s);
    // Parts of seconds add up before the whole seconds are taken.
    EXPECT_EQ(f[kPlay], "000:11:00");
    EXPECT_EQ(f[kActive], "000:01:00");
    EXPECT_EQ(f[kEnd], "05/06/01-21:11:00");
}

TEST_F(PlaySessionTest, NotificationsOutsideASessionChangeNothing) {
    clock.Set(At(19, 0));
    session.WindowDeactivated();
    for (int i = 0; i < 50; ++i) EXPECT_FALSE(session.CountInput());
    EXPECT_EQ(session.ProgressLine(nullptr), "");
    EXPECT_FALSE(session.Split());
    EXPECT_FALSE(session.End());

    // The session still starts active with no inputs.
    const SessionFields f = Fields(PlayHour({}));
    EXPECT_EQ(f[kActive], "001:00:00");
    EXPECT_EQ(f[kInputs], "0");

    // After the end: nothing is open any more.
    EXPECT_FALSE(session.IsOpen());
    EXPECT_EQ(session.LogPath(), "");
    session.WindowActivated();
    EXPECT_FALSE(session.CountInput());
    EXPECT_FALSE(session.Split());
    EXPECT_FALSE(session.End());
}

TEST_F(PlaySessionTest, OneGameAtATime) {
    clock.Set(At(20, 0));
    EXPECT_FALSE(session.Begin(""));  // no game loaded
    EXPECT_FALSE(session.IsOpen());

    ASSERT_TRUE(session.Begin(kLog));
    clock.Set(At(20, 30));
    EXPECT_FALSE(session.Begin("C:\\K\\playing\\Beta.log"));
    clock.Set(At(21, 0));
    const std::optional<FinishedSession> s = session.End();
    ASSERT_TRUE(s);
    EXPECT_EQ(s->logPath, kLog);
    EXPECT_EQ(s->start, At(20, 0));
}

TEST_F(PlaySessionTest, EveryFiftiethInputIsDueForASnapshot) {
    clock.Set(At(20, 0));
    ASSERT_TRUE(session.Begin(kLog));
    std::vector<int> due;
    for (int i = 1; i <= 151; ++i)
        if (session.CountInput()) due.push_back(i);
    EXPECT_EQ(due, (std::vector<int>{50, 100, 150}));
    EXPECT_EQ(Fields(*session.End())[kInputs], "151");
}

TEST_F(PlaySessionTest, ProgressLineShowsClosedActiveIntervalsOnly) {
    clock.Set(At(20, 0));
    ASSERT_TRUE(session.Begin(kLog));
    clock.Set(At(20, 10));
    session.WindowDeactivated();
    clock.Set(At(20, 20));
    session.WindowActivated();
    clock.Set(At(20, 30));
    for (int i = 0; i < 49; ++i) session.CountInput();
    ASSERT_TRUE(session.CountInput());

    const SessionRecord previous = WithTotals("001:00:00", "000:30:00", "100");
    EXPECT_EQ(session.ProgressLine(&previous),
              "05/06/01-20:00:00,05/06/01-20:30:00,000:30:00,001:30:00,000:10:00,000:40:00,50");
    EXPECT_EQ(session.ProgressLine(nullptr),
              "05/06/01-20:00:00,05/06/01-20:30:00,000:30:00,000:30:00,000:10:00,000:10:00,50");

    // The snapshot changes nothing that is recorded.
    clock.Set(At(21, 0));
    EXPECT_EQ(Fields(*session.End())[kActive], "000:50:00");
}

TEST_F(PlaySessionTest, ProgressFileLiesInTheLibraryRoot) {
    const struct {
        std::string root, path;
    } cases[] = {
        {"C:\\K", "C:\\K\\kibolt.tmp"},
        {"C:", "C:\\kibolt.tmp"},
        {"C:\\ゲーム\\表", "C:\\ゲーム\\表\\kibolt.tmp"},  // 表 ends in byte 0x5C
        {"", "kibolt.tmp"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgressFilePath(c.root), c.path) << c.root;
}

TEST_F(PlaySessionTest, SaveNowTimeSplitsTheSessionAtThatMoment) {
    EXPECT_EQ(session.PlayTimeSoFar(), "") << "no session open";
    clock.Set(At(20, 15));
    ASSERT_TRUE(session.Begin(kLog));
    for (int i = 0; i < 3; ++i) session.CountInput();
    clock.Set(At(20, 27, 34));
    EXPECT_EQ(session.PlayTimeSoFar(), "000:12:34");
    clock.Set(At(21, 0));
    const std::optional<FinishedSession> first = session.Split();
    ASSERT_TRUE(first);
    EXPECT_TRUE(session.IsOpen());
    EXPECT_EQ(session.PlayTimeSoFar(), "000:00:00") << "the play time of the part that begins now";
    for (int i = 0; i < 2; ++i) session.CountInput();
    clock.Set(At(21, 45, 30));
    const std::optional<FinishedSession> second = session.End();
    ASSERT_TRUE(second);

    const SessionFields a = BuildSessionFields(clock, *first, nullptr, "pause");
    SessionRecord recorded(a);
    const SessionFields b = BuildSessionFields(clock, *second, &recorded, "");
    // The window was active throughout: each part counts its whole length.
    EXPECT_EQ(a, (SessionFields{"05/06/01-20:15:00", "05/06/01-21:00:00", "000:45:00", "000:45:00", "000:45:00",
                                "000:45:00", "3", "3", "pause"}));
    EXPECT_EQ(b, (SessionFields{"05/06/01-21:00:00", "05/06/01-21:45:30", "000:45:30", "001:30:30", "000:45:30",
                                "001:30:30", "2", "5", ""}));
    EXPECT_EQ(session.PlayTimeSoFar(), "");
}

TEST_F(PlaySessionTest, SaveNowTimeKeepsTheWindowState) {
    clock.Set(At(20, 0));
    ASSERT_TRUE(session.Begin(kLog));
    clock.Set(At(20, 30));
    session.WindowDeactivated();
    clock.Set(At(21, 0));
    const std::optional<FinishedSession> first = session.Split();
    clock.Set(At(21, 10));  // still inactive: nothing counts until the activation
    session.WindowActivated();
    clock.Set(At(21, 45));
    const std::optional<FinishedSession> second = session.End();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(Fields(*first)[kActive], "000:30:00");
    EXPECT_EQ(Fields(*second)[kActive], "000:35:00");
}

TEST_F(PlaySessionTest, CommentStaysOnItsLine) {
    const struct {
        std::string comment, field;
    } cases[] = {
        {"boss, second try", "boss, second try"},
        {"休憩", "休憩"},
        {"a\nb", "a b"},
        {"a\r\nb", "a  b"},
        {"x\x1Ay", "x y"},  // would end the whole log when read back
    };
    const FinishedSession s{kLog, At(20, 0), At(21, 0), 3600, 0, 0};
    for (const auto& c : cases) EXPECT_EQ(BuildSessionFields(clock, s, nullptr, c.comment)[kComment], c.field);
}

// Idle time: with a limit of 5 minutes, a stretch in front without input
// longer than that counts for nothing; one within it counts whole.
struct Step {
    int second;  // after 20:00
    Event event;
};

class IdleTimeTest : public PlaySessionTest {
protected:
    static constexpr int64_t kLimitMs = 5 * 60 * 1000;

    // A session from 20:00 with the steps, ended `endSecond` seconds after 20:00.
    FinishedSession Play(int64_t limitMs, const std::vector<Step>& steps, int endSecond) {
        session.SetIdleLimit(limitMs);
        clock.Set(At(20, 0));
        EXPECT_TRUE(session.Begin(kLog));
        for (const Step& s : steps) {
            clock.Set(At(20, 0) + s.second);
            Send(s.event);
        }
        clock.Set(At(20, 0) + endSecond);
        return session.End().value_or(FinishedSession{});
    }
    // `s` begun at 20:00 under the limit, with one input 10 s in.
    void BeginWithAnInput(PlaySession& s) {
        s.SetIdleLimit(kLimitMs);
        clock.Set(At(20, 0));
        ASSERT_TRUE(s.Begin(kLog));
        clock.Set(At(20, 0) + 10);
        s.CountInput();
    }
};

TEST_F(IdleTimeTest, StretchesWithoutInputBeyondTheLimitAreLeftOut) {
    using E = Event;
    const int64_t limit = kLimitMs;
    const struct {
        const char* name;
        int64_t limitMs;
        std::vector<Step> steps;
        int end;
        double active;
    } cases[] = {
        {"off: all time in front counts", 0, {{10, E::Input}, {3000, E::Deactivated}}, 3600, 3000},
        {"off: the same without inputs", 0, {}, 3600, 3600},
        {"a gap of exactly the limit counts",
         limit,
         {{10, E::Input}, {310, E::Input}, {320, E::Deactivated}},
         400,
         320},
        {"a gap a second over the limit is left out whole",
         limit,
         {{10, E::Input}, {311, E::Input}, {321, E::Deactivated}},
         400,
         20},
        {"inputs every 4 minutes: all of it",
         limit,
         {{240, E::Input}, {480, E::Input}, {720, E::Input}, {960, E::Input}},
         1200,
         1200},
        {"the start of the session to the first input, within",
         limit,
         {{300, E::Input}, {310, E::Deactivated}},
         400,
         310},
        {"the start of the session to the first input, beyond",
         limit,
         {{301, E::Input}, {311, E::Deactivated}},
         400,
         10},
        {"the last input to leaving the front, within", limit, {{10, E::Input}, {310, E::Deactivated}}, 400, 310},
        {"the last input to leaving the front, beyond", limit, {{10, E::Input}, {311, E::Deactivated}}, 400, 10},
        {"the last input to the end, beyond", limit, {{10, E::Input}}, 3600, 10},
        {"the last input to the end, within", limit, {{10, E::Input}, {3400, E::Input}}, 3600, 10 + 200},
        // The time in the background is no gap: coming to the front starts one.
        {"coming back to the front starts a gap, within",
         limit,
         {{10, E::Input}, {200, E::Deactivated}, {900, E::Activated}, {1200, E::Input}, {1210, E::Deactivated}},
         1300,
         200 + 310},
        {"coming back to the front starts a gap, beyond",
         limit,
         {{10, E::Input}, {200, E::Deactivated}, {900, E::Activated}, {1201, E::Input}, {1211, E::Deactivated}},
         1300,
         200 + 10},
        // An input while another window is in front closes no gap in front.
        {"an input in the background",
         limit,
         {{10, E::Deactivated}, {100, E::Input}, {200, E::Activated}, {501, E::Deactivated}},
         600,
         10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FinishedSession s = Play(c.limitMs, c.steps, c.end);
        EXPECT_EQ(s.playSeconds, c.end) << "play time is not touched";
        EXPECT_EQ(s.activeSeconds, c.active);
    }
}

TEST_F(IdleTimeTest, AMillisecondOverTheLimitLeavesTheGapOut) {
    for (const int64_t overMs : {0, 1}) {
        SCOPED_TRACE(overMs);
        session.SetIdleLimit(kLimitMs);
        ASSERT_TRUE(session.Begin(kLog));
        clock.AdvanceMs(kLimitMs + overMs);
        session.CountInput();
        clock.AdvanceMs(1000);
        const FinishedSession s = session.End().value_or(FinishedSession{});
        EXPECT_EQ(s.activeSeconds, overMs ? 1.0 : (kLimitMs + 1000) / 1000.0);
    }
}

// A checkpoint holds the open gap while it is within the limit and drops it
// once it is beyond; the next input starts a new one.
TEST_F(IdleTimeTest, ProgressWithinAGap) {
    ASSERT_NO_FATAL_FAILURE(BeginWithAnInput(session));
    const struct {
        int second;
        bool input;  // an input at that second, before the progress
        int64_t activeMs;
    } steps[] = {
        {200, false, 200000},  {310, false, 310000}, {311, false, 10000},
        {900, false, 10000},   {900, true, 10000},  // the gap closed beyond the limit: nothing more
        {1000, false, 110000},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.second);
        clock.Set(At(20, 0) + s.second);
        if (s.input) session.CountInput();
        const std::optional<SessionProgress> p = session.Progress();
        ASSERT_TRUE(p);
        EXPECT_EQ(p->playMs, s.second * 1000);
        EXPECT_EQ(p->activeMs, s.activeMs);
        // Recorded up to the checkpoint, as when the game has gone by the next start.
        EXPECT_EQ(FinishedAt(*p).activeSeconds, s.activeMs / 1000.0);
    }
}

// The program is ended by force within a gap and started again while the game
// runs: the checkpoint's active time stands, the time away is play time only,
// and a gap starts at the resumption.
TEST_F(IdleTimeTest, ResumedAfterTheProgramWasEnded) {
    const struct {
        const char* name;
        int checkpoint;  // seconds after 20:00; an input came at 10
        int lastInput;   // after the resumption at 1000, 0 for none
        int end;
        double active;
    } cases[] = {
        {"checkpoint within the gap, input soon after", 250, 1200, 1300, 250 + 200 + 100},
        {"checkpoint within the gap, none after", 250, 0, 1301, 250},
        {"checkpoint beyond the gap", 400, 1100, 1100, 10 + 100},
        {"checkpoint beyond, the resumed gap beyond too", 400, 1301, 1310, 10 + 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<SessionProgress> saved;
        {
            PlaySession killed(clock);
            ASSERT_NO_FATAL_FAILURE(BeginWithAnInput(killed));
            clock.Set(At(20, 0) + c.checkpoint);
            saved = killed.Progress();
            ASSERT_TRUE(saved);
        }
        PlaySession resumed(clock);
        resumed.SetIdleLimit(kLimitMs);
        clock.Set(At(20, 0) + 1000);
        ASSERT_TRUE(resumed.Resume(*saved));
        if (c.lastInput) {
            clock.Set(At(20, 0) + c.lastInput);
            resumed.CountInput();
        }
        clock.Set(At(20, 0) + c.end);
        const FinishedSession s = resumed.End().value_or(FinishedSession{});
        EXPECT_EQ(s.playSeconds, c.end);
        EXPECT_EQ(s.activeSeconds, c.active);
    }
}

// "SaveNowTime" ends the stretch open in the session recorded then; the next
// session's first stretch starts at the split.
TEST_F(IdleTimeTest, ASplitStartsANewStretch) {
    ASSERT_NO_FATAL_FAILURE(BeginWithAnInput(session));
    clock.Set(At(20, 0) + 200);
    const FinishedSession first = session.Split().value_or(FinishedSession{});
    EXPECT_EQ(first.activeSeconds, 200);
    clock.Set(At(20, 0) + 500);  // 300 s after the split: within
    session.CountInput();
    clock.Set(At(20, 0) + 1000);  // 500 s after that input: beyond
    const FinishedSession second = session.End().value_or(FinishedSession{});
    EXPECT_EQ(second.playSeconds, 800);
    EXPECT_EQ(second.activeSeconds, 300);
}

TEST_F(IdleTimeTest, TheRecorderPassesTheLimitOn) {
    MemoryFileSystem fs;
    LibraryState state(fs, "C:\\K");
    SessionRecorder recorder(fs, clock, state);
    recorder.SetIdleLimit(kLimitMs);
    EXPECT_EQ(recorder.Session().IdleLimit(), kLimitMs);
    recorder.SetIdleLimit(-5);
    EXPECT_EQ(recorder.Session().IdleLimit(), 0) << "below 0 is off";
}

// Records one finished session as the program does, through the recorder;
// the error it reports when the session has to wait.
FsError RecordSession(FileSystem& fs, const Clock& clock, LibraryState& state, const FinishedSession& session,
                      std::string_view comment) {
    SessionRecorder recorder(fs, clock, state);
    recorder.Record(session, std::string(comment));
    for (const RecorderNotice& n : recorder.TakeReport().notices)
        if (n.kind == RecorderNotice::Kind::Waiting) return n.error;
    return FsError::None;
}

// The recorder against a library on disk: Alpha (one session) and Beta in playing.
class RecordSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs.PutFile(kAlpha, kAlphaLog);
        fs.PutFile(kBeta, kBetaLog);
    }

    FinishedSession Evening() const {
        return {kAlpha, StampOf(2005, 6, 2, 19, 0, 0), StampOf(2005, 6, 2, 19, 40, 0), 2400, 2110, 210};
    }

    const std::string kAlpha = "C:\\K\\playing\\Alpha.log";
    const std::string kBeta = "C:\\K\\playing\\Beta.log";
    const std::string kBetaLog = "C:\\G\\beta.exe\r\n=====Comment_Start====\r\n";
    const std::string kFirstLine =
        "05/06/01-20:15:00,05/06/01-21:45:30,001:30:30,001:30:30,001:10:05,001:10:05,523,523,\r\n";
    const std::string kAlphaLog = "C:\\G\\alpha.exe\r\n" + kFirstLine + "=====Comment_Start====\r\nroute A\r\n";
    const std::string kEveningLine =
        "05/06/02-19:00:00,05/06/02-19:40:00,000:40:00,002:10:30,000:35:10,001:45:15,210,733,boss, second try\r\n";

    MemoryFileSystem fs;
    FakeClock clock;
    LibraryState state{fs, "C:\\K"};
};

TEST_F(RecordSessionTest, CurrentGameGetsTheSessionWithItsUnsavedChanges) {
    ASSERT_EQ(state.LoadGame("Alpha"), LoadResult::Loaded);
    state.Current().log.comment = "route B\r\n";  // taken from the comment field, not yet written
    ASSERT_EQ(RecordSession(fs, clock, state, Evening(), "boss, second try"), FsError::None);

    const std::string expected =
        "C:\\G\\alpha.exe\r\n" + kFirstLine + kEveningLine + "=====Comment_Start====\r\nroute B\r\r\n";
    EXPECT_EQ(fs.FileBytes(kAlpha), expected);
    ASSERT_EQ(state.Current().log.sessions.size(), 2u);
    EXPECT_EQ(state.Current().log.sessions.back().number, 2);
}

// A "SaveNowTime" or end-of-play comment ending with the marker text: the
// recorded session and the ones before it read back.
TEST_F(RecordSessionTest, CommentEndingWithTheMarkerKeepsTheSession) {
    ASSERT_EQ(state.LoadGame("Alpha"), LoadResult::Loaded);
    const std::string comment = "x" + std::string(kCommentMarker);
    ASSERT_EQ(RecordSession(fs, clock, state, Evening(), comment), FsError::None);
    ASSERT_EQ(state.LoadGame("Alpha"), LoadResult::Loaded);
    ASSERT_EQ(state.Current().log.sessions.size(), 2u);
    EXPECT_EQ(state.Current().log.sessions[1].Field(kComment), comment + " ");
    EXPECT_EQ(state.Current().log.comment, "route A\n");
}

TEST_F(RecordSessionTest, ASessionAddedOnDiskMeanwhileIsKeptAndCountsInTheTotals) {
    ASSERT_EQ(state.LoadGame("Alpha"), LoadResult::Loaded);
    // Another PC syncing the folder adds a session of 10 minutes while we play.
    const std::string added =
        "05/06/02-10:00:00,05/06/02-10:10:00,000:10:00,001:40:30,000:10:00,001:20:05,10,533,elsewhere\r\n";
    fs.PutFile(kAlpha, "C:\\G\\alpha.exe\r\n" + kFirstLine + added + "=====Comment_Start====\r\nroute A\r\n");
    ASSERT_EQ(RecordSession(fs, clock, state, Evening(), "boss, second try"), FsError::None);
    const std::string evening =
        "05/06/02-19:00:00,05/06/02-19:40:00,000:40:00,002:20:30,000:35:10,001:55:15,210,743,boss, second try\r\n";
    EXPECT_EQ(fs.FileBytes(kAlpha),
              "C:\\G\\alpha.exe\r\n" + kFirstLine + added + evening + "=====Comment_Start====\r\nroute A\r\n");
    ASSERT_EQ(state.Current().log.sessions.size(), 3u);
    EXPECT_EQ(state.Current().log.sessions[2].number, 3);

    fs.unreadable.insert(kAlpha);
    fs.PutFile(kAlpha, "changed again");
    EXPECT_EQ(RecordSession(fs, clock, state, Evening(), ""), FsError::AccessDenied);
    EXPECT_EQ(fs.FileBytes(kAlpha), "changed again") << "a log that cannot be read again is not written";
}

TEST_F(RecordSessionTest, SessionGoesToTheStartedGameWhenAnotherIsCurrent) {
    ASSERT_EQ(state.LoadGame("Beta"), LoadResult::Loaded);
    const std::string betaInMemory = SerializeGameLog(state.Current().log);
    ASSERT_EQ(RecordSession(fs, clock, state, Evening(), "boss, second try"), FsError::None);

    // Totals build on Alpha's own last session, read from its file.
    EXPECT_EQ(fs.FileBytes(kAlpha),
              "C:\\G\\alpha.exe\r\n" + kFirstLine + kEveningLine + "=====Comment_Start====\r\nroute A\r\n");
    EXPECT_EQ(fs.FileBytes(kBeta), kBetaLog);
    EXPECT_EQ(SerializeGameLog(state.Current().log), betaInMemory);
}

TEST_F(RecordSessionTest, SessionFollowsAMovedGame) {
    const std::string moved = "C:\\K\\cleared\\Alpha.log";
    clock.Set(StampOf(2005, 6, 2, 19, 0, 0));
    PlaySession session{clock};
    ASSERT_TRUE(session.Begin(kAlpha));
    fs.AddFolder("C:\\K\\cleared");
    ASSERT_EQ(fs.Rename(kAlpha, moved), FsError::None);
    session.FollowMove("C:\\K\\playing\\Beta.log", "C:\\K\\cleared\\Beta.log");  // another game: no effect
    session.FollowMove("C:\\K\\PLAYING\\alpha.log", moved);
    EXPECT_EQ(session.LogPath(), moved);

    clock.Set(StampOf(2005, 6, 2, 19, 40, 0));
    ASSERT_EQ(RecordSession(fs, clock, state, *session.End(), ""), FsError::None);
    EXPECT_FALSE(fs.FileBytes(kAlpha));
    EXPECT_NE(fs.FileBytes(moved)->find("05/06/02-19:00:00,05/06/02-19:40:00,000:40:00,002:10:30,"), std::string::npos);
}

TEST_F(RecordSessionTest, UnreadableLogOfAnotherGameIsNotRecreated) {
    const struct {
        const char* name;
        bool remove;
        FsError error;
    } cases[] = {
        {"deleted", true, FsError::NotFound},
        {"locked", false, FsError::AccessDenied},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryFileSystem disk;
        disk.PutFile(kAlpha, kAlphaLog);
        if (c.remove)
            ASSERT_EQ(disk.RemoveFile(kAlpha), FsError::None);
        else
            disk.unreadable.insert(kAlpha);
        LibraryState none{disk, "C:\\K"};
        EXPECT_EQ(RecordSession(disk, clock, none, Evening(), ""), c.error);
        EXPECT_EQ(disk.FileBytes(kAlpha), c.remove ? std::nullopt : std::optional<std::string>(kAlphaLog));
        EXPECT_TRUE(none.Current().log.sessions.empty());
    }
}

// The table shows the log as it is on disk: a row that is not there could
// not be commented or deleted by its number.
TEST_F(RecordSessionTest, FailedWriteLeavesTheCurrentGameAsOnDiskUntilTheRetry) {
    ASSERT_EQ(state.LoadGame("Alpha"), LoadResult::Loaded);
    fs.replaceError = FsError::AccessDenied;
    SessionRecorder recorder(fs, clock, state);
    recorder.Record(Evening(), "");
    EXPECT_EQ(fs.FileBytes(kAlpha), kAlphaLog);
    EXPECT_EQ(state.Current().log.sessions.size(), 1u);
    EXPECT_EQ(recorder.PendingCount(), 1u);
    fs.replaceError = FsError::None;
    clock.Advance(SessionRecorder::kRetryMs / 1000);
    recorder.Tick();
    ASSERT_EQ(state.Current().log.sessions.size(), 2u);
    EXPECT_EQ(state.Current().log.sessions.back().Field(kTotalInputs), "733");
    EXPECT_EQ(recorder.PendingCount(), 0u);
}

TEST_F(RecordSessionTest, ProgressSnapshotUsesThePlayedGamesTotals) {
    ASSERT_EQ(state.LoadGame("Beta"), LoadResult::Loaded);  // another game is shown
    PlaySession session{clock};
    EXPECT_EQ(WriteProgressSnapshot(fs, "C:\\K", session, state.Current()), FsError::None);
    EXPECT_FALSE(fs.FileBytes("C:\\K\\kibolt.tmp"));  // nothing while no session is open

    clock.Set(StampOf(2005, 6, 2, 19, 0, 0));
    ASSERT_TRUE(session.Begin(kAlpha));
    clock.Set(StampOf(2005, 6, 2, 19, 40, 0));
    for (int i = 0; i < 49; ++i) session.CountInput();
    ASSERT_TRUE(session.CountInput());
    fs.PutFile("C:\\K\\kibolt.tmp", "an older, longer snapshot line");
    ASSERT_EQ(WriteProgressSnapshot(fs, "C:\\K", session, state.Current()), FsError::None);
    EXPECT_EQ(fs.FileBytes("C:\\K\\kibolt.tmp"),
              "05/06/02-19:00:00,05/06/02-19:40:00,000:40:00,002:10:30,000:00:00,001:10:05,50");

    // A root that does not exist: the snapshot is simply not written.
    EXPECT_NE(WriteProgressSnapshot(fs, "C:\\Missing", session, state.Current()), FsError::None);
    EXPECT_FALSE(fs.FileBytes("C:\\Missing\\kibolt.tmp"));
}

}  // namespace
}  // namespace kibolt
