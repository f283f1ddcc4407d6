// Playing a game end to end: the real sample game started from the game
// list, inputs and foreground changes through the hook library, sessions
// recorded into the game's log.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "library/game_log.h"
#include "library/time_text.h"
#include "app/tests/main_window_fixture.h"
#include "tests/win32/session_log_maker.h"
#include "win32/handles_win32.h"

namespace kibolt {
namespace {

using test::FindSampleGame;
using test::SampleGameInputs;

// Seconds of a duration text "hhh:mm:ss".
int Seconds(const std::string& duration) {
    int h = 0, m = 0, s = 0;
    std::sscanf(duration.c_str(), "%d:%d:%d", &h, &m, &s);
    return h * 3600 + m * 60 + s;
}

class PlayTest : public SampleGameTest {
protected:
    // Registers the sample game under PLAYING with `sessions` earlier sessions.
    void Register(const std::string& title, int sessions, const std::string& arguments = "") {
        library_.WriteFile("playing\\" + title + ".log", test::MakeLogBytes(sessions, game_ + arguments));
    }
    // Starts the game by a real double click on its row and waits for its window.
    HWND DoubleClickToStart(const std::string& title) {
        HWND list = Item(IDC_GAME_LIST);
        RECT rect{};
        rect.left = LVIR_LABEL;
        SendMessageW(list, LVM_GETITEMRECT, RowIndexOf(title), reinterpret_cast<LPARAM>(&rect));
        EXPECT_TRUE(test::BringToFront(window_));
        test::DoubleClickClient(list, {rect.left + 4, (rect.top + rect.bottom) / 2});
        HWND game = nullptr;
        PumpUntil([&] { return (game = FindSampleGame()) != nullptr; }, 10000, window_);
        // The session has begun once the game took input, and inputs count once the hook is armed.
        PumpUntil([&] { return dialog_->Session().IsOpen() && dialog_->HookArmed(); }, 10000, window_);
        return game;
    }
    void EndGame(HWND game) {
        PostMessageW(game, WM_CLOSE, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return !dialog_->GameRunning(); }, 10000, window_));
    }
    GameLogContent Log(const std::string& title) const {
        return ParseGameLogFile(library_.ReadFile("playing\\" + title + ".log"));
    }
};

TEST_F(PlayTest, DoubleClickPlaysAndRecordsOneSessionOnTheTotals) {
    Register("Sample", 2);
    Open();
    HWND game = DoubleClickToStart("Sample");
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(dialog_->State()->Current().title, "Sample");
    EXPECT_TRUE(PlayLocked());
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_SAVE_NOW_TIME))) << "everything else stays usable";

    ASSERT_TRUE(test::BringToFront(game));
    for (int i = 0; i < 3; ++i) test::PressKey('A');
    RECT client{};
    GetClientRect(game, &client);
    test::ClickClient(game, {client.right / 2, client.bottom / 2});
    FlushInputs();
    // The game brings itself to the front as it takes the click, however late:
    // let the click land before switching away.
    ASSERT_TRUE(PumpUntil([&] { return SampleGameInputs(game) >= 4; }, 5000, window_)) << SampleGameInputs(game);
    // Inputs while another window is in front do not count.
    ASSERT_TRUE(test::BringToFront(window_));
    test::PressKey('B');
    FlushInputs();

    EndGame(game);
    EXPECT_FALSE(PlayLocked());
    GameLogContent log = Log("Sample");
    ASSERT_EQ(log.sessions.size(), 3u);
    const auto& f = log.sessions[2].Fields();
    EXPECT_EQ(f[kStart].size(), 17u);
    EXPECT_EQ(f[kStart][8], '-');
    EXPECT_LE(f[kStart], f[kEnd]);
    EXPECT_LE(Seconds(f[kActive]), Seconds(f[kPlay]) + 1);
    EXPECT_EQ(f[kInputs], "4");
    EXPECT_EQ(f[kTotalPlay], AddDurations(log.sessions[1].Field(kTotalPlay), f[kPlay]));
    EXPECT_EQ(f[kTotalActive], AddDurations(log.sessions[1].Field(kTotalActive), f[kActive]));
    EXPECT_EQ(f[kTotalInputs], AddCounts(log.sessions[1].Field(kTotalInputs), "4"));
    EXPECT_EQ(f[kComment], "");
    EXPECT_EQ(dialog_->SessionTable().RowCount(), 3);
    EXPECT_EQ(Text(IDC_DETAIL_INPUTS), "4");
}

// With idle_minutes=1, a game left in front without input: the quiet stretch
// after the one key press is longer than a minute, so it is left out of the
// active time; the play time runs on.
TEST_F(PlayTest, AGameLeftInFrontWithoutInputLosesTheIdleStretchFromActiveTime) {
    library_.WriteFile("kibolt.ini", "[play]\r\nidle_minutes=1\r\n");
    Register("Sample", 0);
    Open();
    HWND game = DoubleClickToStart("Sample");
    ASSERT_NE(game, nullptr);
    ASSERT_TRUE(test::BringToFront(game));
    test::PressKey('A');
    FlushInputs();
    ASSERT_TRUE(PumpUntil([&] { return Seconds(dialog_->Session().PlayTimeSoFar()) >= 100; }, 130000, window_));
    EndGame(game);
    const GameLogContent log = Log("Sample");
    ASSERT_EQ(log.sessions.size(), 1u);
    const auto& f = log.sessions[0].Fields();
    EXPECT_GE(Seconds(f[kPlay]), 100);
    EXPECT_LE(Seconds(f[kActive]), 60) << "at most about a minute of active time";
    EXPECT_EQ(f[kInputs], "1");
}

TEST_F(PlayTest, ASessionRecordedWhileTheChartIsOpenShowsInIt) {
    Register("Sample", 2);
    Open();
    ClickGame("Sample");
    SendMessageW(window_, WM_COMMAND, IDM_CHART, 0);
    ASSERT_TRUE(dialog_->Chart().IsOpen());
    auto sessionsCharted = [&] {
        int64_t sessions = 0;
        for (const PeriodRow& row : dialog_->Chart().Area()->Table().rows) sessions += row.sessions;
        return sessions;
    };
    ASSERT_EQ(sessionsCharted(), 2);
    SendMessageW(window_, WM_COMMAND, IDM_START_GAME, 0);
    HWND game = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (game = FindSampleGame()) != nullptr; }, 10000, window_));
    ASSERT_TRUE(PumpUntil([&] { return dialog_->Session().IsOpen(); }, 10000, window_));
    EndGame(game);
    ASSERT_EQ(Log("Sample").sessions.size(), 3u);
    EXPECT_EQ(sessionsCharted(), 3);
}

// A launcher that starts the real game and exits at once: the session lasts
// until the real game ends and counts the inputs in its window.
TEST_F(PlayTest, AGameBehindALauncherIsFollowedToTheRealGamesEnd) {
    Register("Launched", 1, " --launcher");
    Open();
    HWND game = DoubleClickToStart("Launched");
    ASSERT_NE(game, nullptr);
    DWORD gameProcess = 0;
    GetWindowThreadProcessId(game, &gameProcess);
    // The launcher has gone; the game it started is what is followed now.
    ASSERT_TRUE(PumpUntil(
        [&] {
            std::vector<GameProcess> running = dialog_->GameProcesses();
            return running.size() == 1 && running[0].id == gameProcess;
        },
        10000, window_));
    EXPECT_TRUE(dialog_->GameRunning());
    EXPECT_TRUE(PlayLocked());

    ASSERT_TRUE(test::BringToFront(game));
    for (int i = 1; i <= 3; ++i) {
        test::PressKey('A');
        ASSERT_TRUE(PumpUntil([&] { return SampleGameInputs(game) >= i; }, 3000, window_));
    }
    FlushInputs();
    EXPECT_TRUE(dialog_->GameRunning());
    EndGame(game);
    GameLogContent log = Log("Launched");
    ASSERT_EQ(log.sessions.size(), 2u);
    EXPECT_EQ(log.sessions[1].Field(kInputs), "3");
}

TEST_F(PlayTest, TheSessionBehindALauncherLastsAsLongAsTheRealGame) {
    Register("Launched", 0, " --launcher --exit-after=3000");
    Open();
    HWND game = DoubleClickToStart("Launched");
    ASSERT_NE(game, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !dialog_->GameRunning(); }, 15000, window_));
    GameLogContent log = Log("Launched");
    ASSERT_EQ(log.sessions.size(), 1u);
    const int played = Seconds(std::string(log.sessions[0].Field(kPlay)));
    EXPECT_GE(played, 2) << "the launcher itself lives a fraction of a second";
    EXPECT_LE(played, 10);
}

// A console program is never ready for input: the game it starts still has
// its keys counted, whether the console program waits for it (a .bat file)
// or hands over and ends ("start").
TEST_F(PlayTest, KeysCountInAGameStartedByABatchFile) {
    library_.WriteFile("start game.bat", "@\"" + game_ + "\"\r\n");
    library_.WriteFile("playing\\Batch.log", test::MakeLogBytes(0, "\"" + library_.Path("start game.bat") + "\""));
    Open();
    HWND game = DoubleClickToStart("Batch");
    ASSERT_NE(game, nullptr);
    ASSERT_TRUE(dialog_->HookArmed()) << "armed although the batch file's console never takes input";
    ASSERT_TRUE(test::BringToFront(game));
    for (int i = 1; i <= 3; ++i) {
        test::PressKey('A');
        ASSERT_TRUE(PumpUntil([&] { return SampleGameInputs(game) >= i; }, 3000, window_));
    }
    FlushInputs();
    EndGame(game);
    GameLogContent log = Log("Batch");
    ASSERT_EQ(log.sessions.size(), 1u);
    EXPECT_EQ(log.sessions[0].Field(kInputs), "3");
}

TEST_F(PlayTest, KeysCountInNotepadStartedThroughCmdStart) {
    library_.WriteFile("playing\\Notepad.log",
                       test::MakeLogBytes(0, "C:\\windows\\system32\\cmd.exe /c start notepad.exe"));
    Open();
    ClickGame("Notepad");
    PostMessageW(window_, WM_COMMAND, IDM_START_GAME, 0);
    // The game's own notepad: another one may be open (a readme shown by another test).
    auto gamesNotepad = [&]() -> HWND {
        for (const GameProcess& p : dialog_->GameProcesses()) {
            HWND found = nullptr;
            while ((found = FindWindowExW(nullptr, found, L"Notepad", nullptr)) != nullptr) {
                DWORD owner = 0;
                GetWindowThreadProcessId(found, &owner);
                if (owner == p.id && IsWindowVisible(found)) return found;
            }
        }
        return nullptr;
    };
    HWND notepad = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (notepad = gamesNotepad()) != nullptr; }, 15000, window_));
    ASSERT_TRUE(PumpUntil([&] { return dialog_->Session().IsOpen() && dialog_->HookArmed(); }, 15000, window_));
    ASSERT_TRUE(test::BringToFront(notepad));
    // What the hook counts is the keys typed while notepad is in front (notepad
    // under Wine makes no characters of these synthetic keys, so its text tells nothing).
    for (int i = 0; i < 3; ++i) test::PressKey('A');
    ASSERT_EQ(GetForegroundWindow(), notepad);
    FlushInputs();
    // Ended as the task manager would: closing would ask whether to save the text.
    DWORD id = 0;
    GetWindowThreadProcessId(notepad, &id);
    UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
    ASSERT_TRUE(process && TerminateProcess(process.Get(), 0));
    ASSERT_TRUE(PumpUntil([&] { return !dialog_->GameRunning(); }, 10000, window_));
    GameLogContent log = Log("Notepad");
    ASSERT_EQ(log.sessions.size(), 1u);
    EXPECT_EQ(log.sessions[0].Field(kInputs), "3");
}

TEST_F(PlayTest, SaveNowTimeSplitsThePlayWithTheCommentOnTheFirstPart) {
    Register("Sample", 0);
    Open();
    ClickGame("Sample");
    HWND game = DoubleClickToStart("Sample");
    ASSERT_NE(game, nullptr);
    ASSERT_TRUE(test::BringToFront(game));
    test::PressKey('A');
    FlushInputs();
    SetWindowTextCp932(Item(IDC_NOW_COMMENT), "中断, pause");
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_SAVE_NOW_TIME, BN_CLICKED), 0);
    EXPECT_EQ(Text(IDC_NOW_COMMENT), "");
    GameLogContent first = Log("Sample");
    ASSERT_EQ(first.sessions.size(), 1u);
    EXPECT_EQ(first.sessions[0].Field(kComment), "中断, pause");
    EXPECT_EQ(first.sessions[0].Field(kInputs), "1");

    ASSERT_TRUE(test::BringToFront(game));
    test::PressKey('B');
    test::PressKey('C');
    FlushInputs();
    EndGame(game);
    GameLogContent log = Log("Sample");
    ASSERT_EQ(log.sessions.size(), 2u);
    EXPECT_EQ(log.sessions[1].Field(kStart) >= log.sessions[0].Field(kEnd), true);
    EXPECT_EQ(log.sessions[1].Field(kInputs), "2");
    EXPECT_EQ(log.sessions[1].Field(kTotalInputs), "3");
    EXPECT_EQ(log.sessions[1].Field(kComment), "");
}

TEST_F(PlayTest, SaveNowTimeWithoutAGameRunningRecordsNothing) {
    Register("Sample", 1);
    Open();
    ClickGame("Sample");
    const std::string before = library_.ReadFile("playing\\Sample.log");
    SetWindowTextCp932(Item(IDC_NOW_COMMENT), "nothing runs");
    SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_SAVE_NOW_TIME, BN_CLICKED), 0);
    EXPECT_EQ(Text(IDC_NOW_COMMENT), "");
    EXPECT_EQ(library_.ReadFile("playing\\Sample.log"), before);
}

TEST_F(PlayTest, TheFiftiethInputWritesTheProgressFile) {
    Register("Sample", 1);
    Open();
    HWND game = DoubleClickToStart("Sample");
    ASSERT_NE(game, nullptr);
    ASSERT_TRUE(test::BringToFront(game));
    for (int i = 1; i <= 49; ++i) {  // typed, not flooded: each key reaches the game before the next
        test::PressKey('A');
        ASSERT_TRUE(PumpUntil([&] { return SampleGameInputs(game) >= i; }, 3000, window_));
    }
    FlushInputs();
    EXPECT_FALSE(library_.Exists("kibolt.tmp"));
    test::PressKey('A');
    ASSERT_TRUE(PumpUntil([&] { return SampleGameInputs(game) >= 50; }, 3000, window_));
    bool written = PumpUntil([&] { return library_.Exists("kibolt.tmp"); }, 5000, window_);
    if (!written) {
        EndGame(game);
        FAIL() << "inputs recorded: " << Log("Sample").sessions.back().Field(kInputs);
    }
    std::string line = library_.ReadFile("kibolt.tmp");
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 6);
    EXPECT_EQ(line.substr(line.rfind(',') + 1), "50");
    EXPECT_EQ(line.find('\n'), std::string::npos);
    EndGame(game);
}

TEST_F(PlayTest, ClosingKiboltDuringPlayRecordsTheSessionSoFar) {
    Register("Sample", 1);
    Open();
    HWND game = DoubleClickToStart("Sample");
    ASSERT_NE(game, nullptr);
    PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
    EXPECT_EQ(PumpUntilQuit(5000, window_), kExitByCancel);
    GameLogContent log = Log("Sample");
    ASSERT_EQ(log.sessions.size(), 2u);
    EXPECT_EQ(log.sessions[1].Field(kInputs), "0");
    EXPECT_TRUE(IsWindow(game)) << "the game itself goes on";
}

TEST_F(PlayTest, EnterStartsTheHighlightedGameAndPlaySaysSoWhileTheLogStaysPut) {
    Register("Sample", 1);
    library_.WriteFile("playing\\Other.log", test::MakeLogBytes(2));
    Open();
    EXPECT_EQ(Text(IDC_PLAY_STATUS), "") << "no game runs";
    ClickGame("Other");
    HWND list = Item(IDC_GAME_LIST);
    ASSERT_TRUE(test::BringToFront(window_));
    SetFocus(list);
    test::PressKey(VK_DOWN);  // to "Sample"
    ASSERT_TRUE(PumpUntil([&] { return dialog_->State()->Current().title == "Sample"; }, 3000, window_));
    test::PressKey(VK_RETURN);
    HWND game = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (game = FindSampleGame()) != nullptr; }, 10000, window_));
    ASSERT_TRUE(PumpUntil([&] { return dialog_->Session().IsOpen(); }, 10000, window_));
    EXPECT_TRUE(PlayLocked());

    // The indicator shows the play time and moves on each second.
    const std::string prefix = "プレイ中 ";
    auto shownSeconds = [&] {
        const std::string text = Text(IDC_PLAY_STATUS);
        return text.rfind(prefix, 0) == 0 ? Seconds(text.substr(prefix.size())) : -1;
    };
    const std::string first = Text(IDC_PLAY_STATUS);
    ASSERT_EQ(first.rfind(prefix, 0), 0u) << first;
    const std::string time = first.substr(prefix.size());
    EXPECT_EQ(FormatDuration(Seconds(time)), time);
    const int started = shownSeconds();
    EXPECT_TRUE(PumpUntil([&] { return shownSeconds() > started; }, 4000, window_));
    EXPECT_EQ(GetWindowTextCp932(window_), "Kibolt");

    // The commands that would take the running game's log away are greyed and do nothing.
    HMENU menuBar = GetMenu(window_);
    for (int popup = 0; popup < 2; ++popup)
        SendMessageW(window_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menuBar, popup)), popup);
    for (int id : {IDM_DELETE_GAME, IDM_MOVE_PLAYING, IDM_MOVE_CLEARED, IDM_MOVE_OTHERS, IDM_PROPERTIES})
        EXPECT_TRUE(GetMenuState(menuBar, id, MF_BYCOMMAND) & MF_GRAYED) << id;
    EXPECT_FALSE(GetMenuState(menuBar, IDM_NEW_GAME, MF_BYCOMMAND) & MF_GRAYED);
    for (int id : {IDM_DELETE_GAME, IDM_MOVE_CLEARED, IDM_MOVE_OTHERS}) SendMessageW(window_, WM_COMMAND, id, 0);
    EXPECT_TRUE(library_.Exists("playing\\Sample.log"));
    EXPECT_EQ(dialog_->State()->Current().title, "Sample");

    // Esc is a slip: Kibolt goes on recording.
    ASSERT_TRUE(test::BringToFront(window_));
    SetFocus(Item(IDC_NOW_COMMENT));
    test::PressKey(VK_ESCAPE);
    WaitUntilInputHandled();
    ASSERT_TRUE(IsWindow(window_));
    EXPECT_TRUE(dialog_->GameRunning());
    SetFocus(Item(IDC_GAME_COMMENT));  // a multi-line field hands Esc to the window as a close
    test::PressKey(VK_ESCAPE);
    WaitUntilInputHandled();
    ASSERT_TRUE(IsWindow(window_));
    EXPECT_TRUE(dialog_->GameRunning());
    SetFocus(Item(IDC_NOW_COMMENT));
    // Ctrl+Tab neither: the tabs are locked.
    test::KeyDown(VK_CONTROL);
    test::PressKey(VK_TAB);
    test::KeyUp(VK_CONTROL);
    WaitUntilInputHandled();
    EXPECT_EQ(SendMessageW(Item(IDC_TAB), TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(GetFocus(), Item(IDC_NOW_COMMENT));

    EndGame(game);
    EXPECT_EQ(Log("Sample").sessions.size(), 2u);
    EXPECT_EQ(Text(IDC_PLAY_STATUS), "");
    SendMessageW(window_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(menuBar, 0)), 0);
    EXPECT_FALSE(GetMenuState(menuBar, IDM_DELETE_GAME, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(PlayTest, AGameThatCannotStartShowsWhyAndRecordsNothing) {
    library_.WriteFile("playing\\Missing.log", "C:\\nowhere\\missing.exe\r\n=====Comment_Start====\r\n");
    Open();
    ClickGame("Missing");
    std::vector<std::string> texts;
    test::ModalScript script;
    script.Then(test::AnswerMessageBox(texts));
    script.Run([&] {
        PostMessageW(window_, WM_COMMAND, IDM_START_GAME, 0);
        PumpUntil([&] { return script.Finished() && !dialog_->GameRunning(); }, 10000, window_);
    });
    const std::string shown = texts.empty() ? "" : texts.front();
    EXPECT_NE(shown.find("C:\\nowhere\\missing.exe"), std::string::npos) << shown;
    EXPECT_FALSE(PlayLocked());
    EXPECT_TRUE(IsWindowEnabled(Item(IDC_GAME_LIST)));
    EXPECT_EQ(Log("Missing").sessions.size(), 0u);
}

TEST_F(PlayTest, StartingWithoutAGameDoesNothing) {
    Open();
    PostMessageW(window_, WM_COMMAND, IDM_START_GAME, 0);
    DispatchQueued();
    EXPECT_FALSE(dialog_->GameRunning());
    EXPECT_FALSE(library_.Exists("playing\\.log"));
}

}  // namespace
}  // namespace kibolt
