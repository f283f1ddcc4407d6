// Games started outside Kibolt, noticed and recorded: the real sample game
// started by this test, copies of it beside and away from a registered game,
// and the option that turns the watching off.
#include <windows.h>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "app/tests/main_window_fixture.h"
#include "library/game_log.h"
#include "library/settings.h"
#include "tests/win32/session_log_maker.h"
#include "win32/handles_win32.h"

namespace kibolt {
namespace {

using test::FindSampleGame;

class DetectTest : public SampleGameTest {
protected:
    void TearDown() override {
        for (UniqueHandle& process : started_) {
            if (!process) continue;
            TerminateProcess(process.Get(), 0);
            WaitForSingleObject(process.Get(), 10000);
        }
        SampleGameTest::TearDown();
    }
    // A copy of the sample game at `relative` in the library's folder.
    std::string CopyOfGame(const std::string& relative) const { return CopyProgram(game_, relative); }
    void Register(const std::string& title, const std::string& commandLine) {
        library_.WriteFile("playing\\" + title + ".log", test::MakeLogBytes(0, commandLine));
    }
    // Starts a program as another launcher would: not through Kibolt. Its process id.
    DWORD StartOutside(const std::string& program) {
        std::wstring line = L"\"" + Widen(program) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
            return 0;
        started_.emplace_back(info.hProcess);
        CloseHandle(info.hThread);
        WaitForInputIdle(info.hProcess, 10000);
        return info.dwProcessId;
    }
    // One look for a game started elsewhere, as the timer takes it.
    void Look() { SendMessageW(window_, WM_TIMER, kGameWatchTimer, 0); }
    bool Followed(DWORD processId) const {
        for (const GameProcess& p : dialog_->GameProcesses())
            if (p.id == processId) return true;
        return false;
    }
    bool AutoDetectChecked() const {
        HMENU games = GetSubMenu(GetMenu(window_), 1);
        SendMessageW(window_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(games), 1);
        return GetMenuState(games, IDM_AUTO_DETECT, MF_BYCOMMAND) & MF_CHECKED;
    }
    // Ends every program this test started; the session ends with the game's last one.
    void EndAll() {
        for (UniqueHandle& process : started_) {
            TerminateProcess(process.Get(), 0);
            WaitForSingleObject(process.Get(), 10000);
        }
        ASSERT_TRUE(PumpUntil([&] { return !dialog_->GameRunning(); }, 10000, window_));
    }

    std::vector<UniqueHandle> started_;
};

TEST_F(DetectTest, AGameStartedElsewhereIsRecordedInItsLogWithItsInputs) {
    Register("Sample", game_);
    Open();
    ASSERT_TRUE(AutoDetectChecked()) << "on by default";
    const int64_t before = static_cast<int64_t>(time(nullptr));
    const DWORD id = StartOutside(game_);
    ASSERT_NE(id, 0u);
    // The timer's own look, within its period and the game's start.
    ASSERT_TRUE(PumpUntil([&] { return dialog_->Session().IsOpen() && dialog_->HookArmed(); }, 10000, window_));
    EXPECT_TRUE(PumpUntil([&] { return Followed(id); }, 5000, window_));
    EXPECT_EQ(dialog_->State()->Current().title, "Sample");
    EXPECT_TRUE(PlayLocked());
    EXPECT_EQ(Text(IDC_PLAY_STATUS).rfind("プレイ中 ", 0), 0u) << Text(IDC_PLAY_STATUS);
    // It began when the game's process was made, not when it was noticed.
    EXPECT_LE(dialog_->Session().Progress()->start, before + 1);

    HWND game = FindSampleGame();
    ASSERT_NE(game, nullptr);
    ASSERT_TRUE(test::BringToFront(game));
    for (int i = 0; i < 3; ++i) test::PressKey('A');
    ASSERT_TRUE(flush_->Flush(window_));
    EndAll();

    const GameLogContent log = LogOnDisk("playing\\Sample.log");
    ASSERT_EQ(log.sessions.size(), 1u);
    EXPECT_EQ(log.sessions[0].Field(kInputs), "3");
    EXPECT_FALSE(PlayLocked());
    EXPECT_FALSE(library_.Exists("kibolt.checkpoint"));
}

TEST_F(DetectTest, ACopyBelowTheGamesFolderIsThatGameAndACopyElsewhereIsNot) {
    const std::string registered = CopyOfGame("games\\Foo\\game.exe");
    const std::string below = CopyOfGame("games\\Foo\\bin\\x64\\foo shipping.exe");
    const std::string elsewhere = CopyOfGame("games\\Foo2\\game.exe");
    Register("Foo", registered);
    Register("Other", game_);
    Open();

    const DWORD away = StartOutside(elsewhere);
    ASSERT_NE(away, 0u);
    Look();
    EXPECT_FALSE(dialog_->GameRunning()) << "a copy in another folder is another program";

    const DWORD copy = StartOutside(below);
    ASSERT_NE(copy, 0u);
    Look();
    ASSERT_TRUE(dialog_->GameRunning());
    EXPECT_EQ(dialog_->State()->Current().title, "Foo");
    // The launcher's worker takes the processes it follows on its own thread.
    EXPECT_TRUE(PumpUntil([&] { return Followed(copy); }, 5000, window_));
    EXPECT_FALSE(Followed(away));
    EndAll();

    EXPECT_EQ(LogOnDisk("playing\\Foo.log").sessions.size(), 1u);
    EXPECT_TRUE(LogOnDisk("playing\\Other.log").sessions.empty());
}

TEST_F(DetectTest, WithTheOptionOffNothingIsRecordedAndItStaysOff) {
    Register("Sample", game_);
    const std::string logBefore = library_.ReadFile("playing\\Sample.log");
    Open();
    Command(IDM_AUTO_DETECT);
    EXPECT_FALSE(AutoDetectChecked());
    ASSERT_NE(StartOutside(game_), 0u);
    Look();
    EXPECT_FALSE(dialog_->GameRunning());
    ASSERT_EQ(CloseWith(IDM_EXIT), kExitByMenu);
    EXPECT_EQ(library_.ReadFile("playing\\Sample.log"), logBefore);
    EXPECT_FALSE(ReadPlaySettings(library_.ReadFile("kibolt.ini")).autoDetect);

    Open();
    EXPECT_FALSE(AutoDetectChecked());
    Look();
    EXPECT_FALSE(dialog_->GameRunning());
    Command(IDM_AUTO_DETECT);  // on again: the game running now is noticed
    EXPECT_TRUE(AutoDetectChecked());
    Look();
    EXPECT_TRUE(dialog_->GameRunning());
    EndAll();
    EXPECT_EQ(LogOnDisk("playing\\Sample.log").sessions.size(), 1u);
}

}  // namespace
}  // namespace kibolt
