// A session outlives Kibolt: the checkpoint beside the program, what the next
// start does with it, and Kibolt ended by force during play.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "library/clock_win32.h"
#include "library/game_log.h"
#include "library/time_text.h"
#include "play/game_launcher_win32.h"
#include "play/session_checkpoint.h"
#include "app/tests/main_window_fixture.h"
#include "tests/win32/session_log_maker.h"

namespace kibolt {
namespace {

using test::FindSampleGame;

// Reads and answers every message box the main window shows. One comes at
// start-up or when a game ends, at no call of the test's, so a probe watches
// on every tick rather than a script around one call.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(const HWND& owner)
        : probe_([this, &owner] {
              if (!owner) return;
              if (HWND box = test::FindMessageBox(GetCurrentThreadId(), owner)) {
                  text = test::DismissMessageBox(box);
                  ++shown;
              }
          }) {}

    std::string text;
    int shown = 0;

private:
    test::TickProbe probe_;
};

class CheckpointTest : public MainWindowTest {
protected:
    void SetUp() override {
        game_ = test::WindowsPathFromEnv("SAMPLE_GAME_EXE");
        if (game_.empty()) GTEST_SKIP() << "SAMPLE_GAME_EXE is not set";
        library_.WriteFile("playing\\Sample.log", test::MakeLogBytes(1, game_));
        logBefore_ = library_.ReadFile("playing\\Sample.log");
    }
    void TearDown() override {
        test::CloseSampleGame();
        MainWindowTest::TearDown();
    }
    // Starts the sample game outside Kibolt; its process as a checkpoint names it.
    GameProcess StartGameAlone() {
        std::wstring line = L"\"" + Widen(game_) + L"\" --exit-after=60000";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
            return {};
        UniqueHandle process(info.hProcess);
        UniqueHandle thread(info.hThread);
        WaitForInputIdle(process.Get(), 10000);
        PumpUntil([] { return FindSampleGame() != nullptr; }, 10000);
        return {info.dwProcessId, ProcessCreationTime(process.Get())};
    }
    // A checkpoint of a session of Sample that began ten minutes ago, saved a minute ago.
    SessionCheckpoint Left(std::vector<GameProcess> processes) const {
        SessionCheckpoint c;
        const int64_t now = static_cast<int64_t>(time(nullptr));
        c.open = SessionProgress{library_.Path("playing\\Sample.log"), now - 600, 540'000, 300'000, 55, now - 60,
                                 Win32Clock().UnbiasedMs() - 60'000};
        c.processes = std::move(processes);
        return c;
    }
    GameLogContent Log() const { return ParseGameLogFile(library_.ReadFile("playing\\Sample.log")); }

    std::string game_;
    std::string logBefore_;
};

TEST_F(CheckpointTest, AGameStillRunningAtStartUpIsResumedAndRecordedOnceWhenItEnds) {
    const GameProcess game = StartGameAlone();
    ASSERT_NE(game.id, 0u);
    const SessionCheckpoint left = Left({{4, 1}, game});  // a process long gone, and the game
    library_.WriteFile("kibolt.checkpoint", SerializeCheckpoint(left));

    MessageBoxAnswer answer(window_);
    Open();
    ASSERT_TRUE(PumpUntil([&] { return answer.shown > 0; }, 5000, window_));
    EXPECT_NE(answer.text.find("Sample"), std::string::npos) << answer.text;
    EXPECT_TRUE(dialog_->Session().IsOpen());
    EXPECT_TRUE(dialog_->GameRunning());
    EXPECT_TRUE(PlayLocked());
    EXPECT_EQ(dialog_->State()->Current().title, "Sample");
    EXPECT_EQ(library_.ReadFile("playing\\Sample.log"), logBefore_) << "nothing recorded while it runs";

    PostMessageW(FindSampleGame(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !dialog_->GameRunning(); }, 10000, window_));
    GameLogContent log = Log();
    ASSERT_EQ(log.sessions.size(), 2u);
    const SessionRecord& s = log.sessions[1];
    const int64_t start = left.open->start;
    tm local{};
    const time_t t = static_cast<time_t>(start);
    localtime_s(&local, &t);
    EXPECT_EQ(s.Field(kStart), FormatDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                               local.tm_min, local.tm_sec}));
    EXPECT_EQ(s.Field(kInputs), "55");
    // 9 minutes before the checkpoint, the minute since, and the little while it ran on.
    EXPECT_GE(s.Field(kPlay), "000:10:00");
    EXPECT_LT(s.Field(kPlay), "000:11:00");
    EXPECT_GE(s.Field(kActive), "000:05:00") << "the time away is not active time";
    EXPECT_LT(s.Field(kActive), "000:06:00");
    EXPECT_FALSE(library_.Exists("kibolt.checkpoint"));
    EXPECT_EQ(answer.shown, 1) << "told once";
}

TEST_F(CheckpointTest, AGameThatHasEndedIsRecordedUpToTheCheckpoint) {
    library_.WriteFile("kibolt.checkpoint", SerializeCheckpoint(Left({{4, 1}})));
    MessageBoxAnswer answer(window_);
    Open();
    ASSERT_TRUE(PumpUntil([&] { return answer.shown > 0; }, 5000, window_));
    EXPECT_NE(answer.text.find("Sample"), std::string::npos) << answer.text;
    EXPECT_FALSE(dialog_->GameRunning());
    GameLogContent log = Log();
    ASSERT_EQ(log.sessions.size(), 2u);
    EXPECT_EQ(log.sessions[1].Field(kPlay), "000:09:00");
    EXPECT_EQ(log.sessions[1].Field(kActive), "000:05:00");
    EXPECT_EQ(log.sessions[1].Field(kInputs), "55");
    EXPECT_FALSE(library_.Exists("kibolt.checkpoint"));
    EXPECT_EQ(dialog_->State()->Current().title, "Sample") << "the game is shown with its new session";
}

TEST_F(CheckpointTest, ADamagedCheckpointIsReportedAndRemovedAndNoLogChanges) {
    std::string bytes = SerializeCheckpoint(Left({{4, 1}}));
    bytes[bytes.size() / 2] ^= 0x20;
    library_.WriteFile("kibolt.checkpoint", bytes);
    MessageBoxAnswer answer(window_);
    Open();
    ASSERT_TRUE(PumpUntil([&] { return answer.shown > 0; }, 5000, window_));
    EXPECT_NE(answer.text.find("kibolt.checkpoint"), std::string::npos) << answer.text;
    EXPECT_FALSE(library_.Exists("kibolt.checkpoint"));
    EXPECT_EQ(library_.ReadFile("playing\\Sample.log"), logBefore_);
    EXPECT_FALSE(dialog_->Session().IsOpen());
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_GAME_LIST)));
}

TEST_F(CheckpointTest, APlayingSessionKeepsItsCheckpointUntilItIsRecorded) {
    Open();
    ClickGame("Sample");
    PostMessageW(window_, WM_COMMAND, IDM_START_GAME, 0);
    ASSERT_TRUE(PumpUntil([&] { return dialog_->Session().IsOpen(); }, 10000, window_));
    std::optional<SessionCheckpoint> c = ParseCheckpoint(library_.ReadFile("kibolt.checkpoint"));
    ASSERT_TRUE(c && c->open) << "written when the session starts";
    EXPECT_EQ(c->open->logPath, library_.Path("playing\\Sample.log"));
    ASSERT_FALSE(c->processes.empty());
    DWORD gameProcess = 0;
    GetWindowThreadProcessId(FindSampleGame(), &gameProcess);
    EXPECT_EQ(c->processes[0].id, gameProcess);

    PostMessageW(FindSampleGame(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !dialog_->GameRunning(); }, 10000, window_));
    EXPECT_EQ(Log().sessions.size(), 2u);
    EXPECT_FALSE(library_.Exists("kibolt.checkpoint"));
}

// A log that cannot be written when the game ends (here held open by another
// program, as a full disk would refuse it too): the session is kept in the checkpoint, the user is
// told, and a later action writes it, once.
TEST_F(CheckpointTest, ASessionThatCannotBeWrittenStaysUntilALaterActionWritesIt) {
    Open();
    ClickGame("Sample");
    PostMessageW(window_, WM_COMMAND, IDM_START_GAME, 0);
    ASSERT_TRUE(PumpUntil([&] { return dialog_->Session().IsOpen(); }, 10000, window_));
    UniqueFile held(CreateFileW(Widen(library_.Path("playing\\Sample.log")).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    MessageBoxAnswer answer(window_);
    PostMessageW(FindSampleGame(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !dialog_->GameRunning() && answer.shown > 0; }, 10000, window_));
    EXPECT_NE(answer.text.find("kibolt.checkpoint"), std::string::npos) << answer.text;
    EXPECT_EQ(library_.ReadFile("playing\\Sample.log"), logBefore_);
    EXPECT_EQ(dialog_->PendingRecords(), 1u);
    std::optional<SessionCheckpoint> c = ParseCheckpoint(library_.ReadFile("kibolt.checkpoint"));
    ASSERT_TRUE(c);
    EXPECT_FALSE(c->open);
    EXPECT_EQ(c->pending.size(), 1u);

    held.Reset();  // the other program lets go
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    EXPECT_EQ(Log().sessions.size(), 2u);
    EXPECT_FALSE(library_.Exists("kibolt.checkpoint"));
}

// While a session waits, its log's rows are not changed (a comment would make
// the waiting session look new, a deletion would be undone by the retry);
// once the log can be written, the same comment writes the session first and
// lands on it: the session is in the log once, with its comment.
TEST_F(CheckpointTest, ACommentWaitsUntilTheSessionOfItsLogIsWritten) {
    Open();
    ClickGame("Sample");
    PostMessageW(window_, WM_COMMAND, IDM_START_GAME, 0);
    ASSERT_TRUE(PumpUntil([&] { return dialog_->Session().IsOpen(); }, 10000, window_));
    UniqueFile held(CreateFileW(Widen(library_.Path("playing\\Sample.log")).c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    MessageBoxAnswer answer(window_);
    PostMessageW(FindSampleGame(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !dialog_->GameRunning() && answer.shown > 0; }, 10000, window_));
    EXPECT_EQ(dialog_->SessionTable().RowCount(), 1) << "the waiting session is not a row";

    dialog_->SetSessionComment(0, "boss");
    ASSERT_TRUE(PumpUntil([&] { return answer.shown > 1; }, 10000, window_));
    EXPECT_NE(answer.text.find("変更しませんでした"), std::string::npos) << answer.text;
    held.Reset();
    EXPECT_EQ(library_.ReadFile("playing\\Sample.log"), logBefore_);

    dialog_->SetSessionComment(1, "boss");
    const GameLogContent log = Log();
    ASSERT_EQ(log.sessions.size(), 2u) << "written once";
    EXPECT_EQ(log.sessions[1].Field(kComment), "boss");
    EXPECT_EQ(dialog_->PendingRecords(), 0u);
    EXPECT_FALSE(library_.Exists("kibolt.checkpoint"));
}

// Windows logs off, restarts or shuts down while a game runs: the session is
// recorded with the end of that moment, before Kibolt is ended, and nobody
// is asked anything.
TEST_F(CheckpointTest, WindowsEndingTheSessionRecordsThePlayFirst) {
    Open();
    ClickGame("Sample");
    PostMessageW(window_, WM_COMMAND, IDM_START_GAME, 0);
    ASSERT_TRUE(PumpUntil([&] { return dialog_->Session().IsOpen(); }, 10000, window_));
    MessageBoxAnswer answer(window_);
    EXPECT_TRUE(SendMessageW(window_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)) << "Kibolt never holds Windows up";
    const int64_t ending = static_cast<int64_t>(time(nullptr));
    SendMessageW(window_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    const GameLogContent log = Log();
    ASSERT_EQ(log.sessions.size(), 2u);
    std::vector<std::string> moments;  // the end's text, give or take the seconds the messages took
    for (int64_t t = ending - 1; t <= ending + 2; ++t) moments.push_back(FormatDateTime(Win32Clock().ToLocal(t)));
    EXPECT_NE(std::find(moments.begin(), moments.end(), log.sessions[1].Field(kEnd)), moments.end())
        << "ended when Windows ended the session: " << log.sessions[1].Field(kEnd);
    EXPECT_FALSE(library_.Exists("kibolt.checkpoint")) << "gone only after the log was written";
    EXPECT_EQ(answer.shown, 0);
}

}  // namespace
}  // namespace kibolt
