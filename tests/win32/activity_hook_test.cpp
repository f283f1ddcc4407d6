// kibolt.dll against a real game process: the sample game's inputs and its
// gaining and losing the foreground reach a window of ours as the three
// registered messages, and nothing of the library is left once disarmed.
#include <windows.h>
#include <tlhelp32.h>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "hook/activity_hook_client_win32.h"
#include "hook/activity_messages.h"
#include "tests/win32/win_test_support.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {
namespace {

using test::PumpUntil;

// A window of ours that receives the library's messages and writes them down
// in arrival order: 'k' one input, 'a' game became active, 'i' inactive.
class Receiver {
public:
    Receiver() {
        static const bool registered = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = WindowProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            windowClass.lpszClassName = L"KiboltHookReceiver";
            return RegisterClassW(&windowClass) != 0;
        }();
        (void)registered;
        window_ = CreateWindowW(L"KiboltHookReceiver", L"Hook Receiver", WS_OVERLAPPEDWINDOW, 400, 300, 300, 200,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Receiver() { DestroyWindow(window_); }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    HWND Window() const { return window_; }
    std::string events;
    int clicks = 0;  // left button releases it has handled

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        static const UINT input = RegisterWindowMessageW(kInputMessageName);
        static const UINT active = RegisterWindowMessageW(kActivatedMessageName);
        static const UINT inactive = RegisterWindowMessageW(kDeactivatedMessageName);
        auto* self = reinterpret_cast<Receiver*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self) {
            if (message == input) return self->events += 'k', 0;
            if (message == active) return self->events += 'a', 0;
            if (message == inactive) return self->events += 'i', 0;
            if (message == WM_LBUTTONUP) ++self->clicks;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
};

void SendMouseButton(DWORD downFlag, DWORD upFlag) {
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = downFlag;
    inputs[1] = inputs[0];
    inputs[1].mi.dwFlags = upFlag;
    SendInput(2, inputs, sizeof(INPUT));
}

int ThreadsOfThisProcess() {
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    return count;
}

bool IsGameWindow(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return IsWindowVisible(window) && std::wstring(name) == L"KiboltSampleGame";
}

class ActivityHookTest : public testing::Test {
protected:
    void SetUp() override {
        std::string game = test::WindowsPathFromEnv("SAMPLE_GAME_EXE");
        if (game.empty()) GTEST_SKIP() << "SAMPLE_GAME_EXE is not set";
        baselineThreads_ = ThreadsOfThisProcess();

        // The game ends by itself should a test leave it behind.
        std::wstring line = L"\"" + Widen(game) + L"\" --exit-after=120000";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        ASSERT_TRUE(CreateProcessW(Widen(game).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &info))
            << "error " << GetLastError();
        game_.Reset(info.hProcess);
        UniqueHandle thread(info.hThread);
        gameThreadId_ = info.dwThreadId;
        gameProcess_ = info.dwProcessId;
        ASSERT_EQ(WaitForInputIdle(game_.Get(), 10000), 0u);
        ASSERT_TRUE(PumpUntil([&] {
            gameWindow_ = test::FindThreadWindow(gameThreadId_, IsGameWindow);
            return gameWindow_ != nullptr;
        }));

        receiver_ = std::make_unique<Receiver>();
        flush_ = std::make_unique<test::InputFlush>();  // before the library's hooks
        ASSERT_TRUE(flush_->Installed());
        hook_ = std::make_unique<ActivityHookLibrary>();
        ASSERT_TRUE(hook_->Loaded()) << "kibolt.dll beside the test program";
    }

    void TearDown() override {
        hook_.reset();
        flush_.reset();
        receiver_.reset();
        if (game_) {
            PostMessageW(gameWindow_, WM_CLOSE, 0, 0);
            // Pumping, since closing may send to our windows.
            if (!PumpUntil([&] { return WaitForSingleObject(game_.Get(), 0) == WAIT_OBJECT_0; }))
                TerminateProcess(game_.Get(), 1);
        }
    }

    // Waits until every input sent so far has passed the hooks, and so until
    // every message they posted for it has arrived.
    bool Flush() { return flush_->Flush(); }

    // Arms as the program does (the game's set of processes), with the game
    // in front, so arming itself reports nothing.
    void ArmWithGameInFront() {
        ASSERT_TRUE(test::BringToFront(gameWindow_));
        ASSERT_TRUE(hook_->ArmGameProcesses({gameProcess_}, receiver_->Window()));
    }

    bool ThreadsBackToBaseline() {
        return PumpUntil([&] { return ThreadsOfThisProcess() == baselineThreads_; }, 3000);
    }

    void ClickGame(bool right = false) { test::ClickClient(gameWindow_, {60, 80}, right); }

    int baselineThreads_ = 0;
    UniqueHandle game_;
    DWORD gameThreadId_ = 0;
    DWORD gameProcess_ = 0;
    HWND gameWindow_ = nullptr;
    std::unique_ptr<Receiver> receiver_;
    std::unique_ptr<test::InputFlush> flush_;
    std::unique_ptr<ActivityHookLibrary> hook_;
};

TEST_F(ActivityHookTest, EachKeyPressCountsOnceNotItsReleaseNorItsRepeats) {
    ArmWithGameInFront();
    test::PressKey('A');
    test::PressKey('A');
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "kk");

    // Held down: the system repeats the key down without a release.
    test::KeyDown('B');
    test::KeyDown('B');
    test::KeyDown('B');
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "kkk");
    test::KeyUp('B');
    test::PressKey('B');  // pressed again after the release: counts
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "kkkk");
}

TEST_F(ActivityHookTest, EachMouseButtonPressCounts) {
    ArmWithGameInFront();
    ClickGame();
    ClickGame(true);
    SendMouseButton(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP);
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "kkk");
}

TEST_F(ActivityHookTest, InputsWhileAnotherWindowIsInFrontDoNotCount) {
    ArmWithGameInFront();
    ASSERT_TRUE(test::BringToFront(receiver_->Window()));
    test::PressKey('A');
    test::ClickClient(receiver_->Window(), {40, 40});
    ASSERT_TRUE(Flush());
    // Input comes after posted messages: let the click land before switching back.
    ASSERT_TRUE(PumpUntil([&] { return receiver_->clicks == 1; }));
    EXPECT_EQ(receiver_->events, "i");  // the switch away only, whichever path noticed it first

    // Back in the game the activation comes before the first input it gets.
    ASSERT_TRUE(test::BringToFront(gameWindow_));
    test::PressKey('A');
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "iak");
}

// Ordinal 2 arms by the game's primary thread. The program arms by the set
// of the game's processes; the library keeps ordinal 2 for its other callers.
TEST_F(ActivityHookTest, OrdinalTwoArmsByTheGamesPrimaryThread) {
    using ArmByThread = int(__stdcall*)(DWORD, HWND);
    const auto armByThread = reinterpret_cast<ArmByThread>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kibolt.dll"), MAKEINTRESOURCEA(2))));
    ASSERT_NE(armByThread, nullptr);
    ASSERT_TRUE(test::BringToFront(gameWindow_));
    ASSERT_EQ(armByThread(gameThreadId_, receiver_->Window()), 1);
    test::PressKey('A');
    ClickGame();
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "kk");

    EXPECT_TRUE(hook_->Disarm());
    test::PressKey('A');
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "kk");
}

TEST_F(ActivityHookTest, SwitchingAwayAndBackReportsInactiveThenActive) {
    ArmWithGameInFront();
    ASSERT_TRUE(test::BringToFront(receiver_->Window()));
    ASSERT_TRUE(PumpUntil([&] { return receiver_->events == "i"; }, 3000)) << receiver_->events;
    ASSERT_TRUE(test::BringToFront(gameWindow_));
    ASSERT_TRUE(PumpUntil([&] { return receiver_->events == "ia"; }, 3000)) << receiver_->events;
}

TEST_F(ActivityHookTest, ArmingWhileTheGameIsNotInFrontReportsItInactiveAtOnce) {
    // The recorder takes a new session as active; this corrects it.
    ASSERT_TRUE(test::BringToFront(receiver_->Window()));
    ASSERT_TRUE(hook_->ArmGameProcesses({gameProcess_}, receiver_->Window()));
    ASSERT_TRUE(PumpUntil([&] { return receiver_->events == "i"; }, 3000)) << receiver_->events;
    ASSERT_TRUE(test::BringToFront(gameWindow_));
    ASSERT_TRUE(PumpUntil([&] { return receiver_->events == "ia"; }, 3000)) << receiver_->events;
}

TEST_F(ActivityHookTest, NothingIsPostedAfterDisarmAndItsThreadIsGone) {
    ArmWithGameInFront();
    test::PressKey('A');
    ASSERT_TRUE(Flush());
    ASSERT_EQ(receiver_->events, "k");

    EXPECT_TRUE(hook_->Disarm());
    test::PressKey('A');
    ClickGame();
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "k");
    // No thread left that could report a later foreground change.
    EXPECT_TRUE(ThreadsBackToBaseline()) << ThreadsOfThisProcess() << " threads, " << baselineThreads_ << " before";
}

TEST_F(ActivityHookTest, ArmingAgainReplacesTheFirstArming) {
    Receiver second;
    ArmWithGameInFront();
    ASSERT_TRUE(hook_->ArmGameProcesses({gameProcess_}, second.Window()));
    ASSERT_TRUE(hook_->ArmGameProcesses({gameProcess_}, second.Window()));
    test::PressKey('A');
    ClickGame();
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "");
    EXPECT_EQ(second.events, "kk");

    EXPECT_TRUE(hook_->Disarm());
    EXPECT_TRUE(ThreadsBackToBaseline()) << ThreadsOfThisProcess() << " threads, " << baselineThreads_ << " before";
}

// A game of several processes: inputs count while a window of any process
// of the set is in front, and the set can change while armed.
TEST_F(ActivityHookTest, AGameOfSeveralProcessesCountsInAnyOfThemAndFollowsTheSet) {
    DWORD gameProcess = GetProcessId(game_.Get());
    ASSERT_TRUE(test::BringToFront(gameWindow_));
    // A process that is not the game's first: the set is what counts.
    ASSERT_TRUE(hook_->ArmGameProcesses({12345678, gameProcess}, receiver_->Window()));
    test::PressKey('A');
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "k");

    ASSERT_TRUE(hook_->SetGameProcesses({12345678}));  // the game's window belongs to none of them now
    test::PressKey('A');
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "ki");

    ASSERT_TRUE(hook_->SetGameProcesses({gameProcess}));
    test::PressKey('A');
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "kiak");

    EXPECT_FALSE(hook_->ArmGameProcesses({}, receiver_->Window())) << "an empty game arms nothing";
    EXPECT_FALSE(hook_->SetGameProcesses({gameProcess})) << "nothing armed";
    EXPECT_TRUE(ThreadsBackToBaseline());
}

TEST_F(ActivityHookTest, DisarmingWithoutArmingIsHarmless) {
    EXPECT_TRUE(hook_->Disarm());
    EXPECT_TRUE(hook_->Disarm());
    ArmWithGameInFront();
    test::PressKey('A');
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "k");
    EXPECT_TRUE(hook_->Disarm());
    EXPECT_TRUE(hook_->Disarm());
}

TEST_F(ActivityHookTest, ArmingFailsForNoProcessOrAWindowGoneAndLeavesNothingArmed) {
    ASSERT_TRUE(test::BringToFront(gameWindow_));
    EXPECT_FALSE(hook_->ArmGameProcesses({}, receiver_->Window()));
    EXPECT_FALSE(hook_->ArmGameProcesses({gameProcess_}, nullptr));
    HWND gone = CreateWindowW(L"KiboltHookReceiver", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(hook_->ArmGameProcesses({gameProcess_}, gone));

    // A failed arming also ends an earlier one.
    ASSERT_TRUE(hook_->ArmGameProcesses({gameProcess_}, receiver_->Window()));
    EXPECT_FALSE(hook_->ArmGameProcesses({}, receiver_->Window()));
    test::PressKey('A');
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "");
    EXPECT_TRUE(ThreadsBackToBaseline()) << ThreadsOfThisProcess() << " threads, " << baselineThreads_ << " before";
}

TEST_F(ActivityHookTest, UnloadingWhileArmedLeavesNoThreadAndNoLibrary) {
    hook_.reset();
    ASSERT_TRUE(ThreadsBackToBaseline());
    ASSERT_EQ(GetModuleHandleW(L"kibolt.dll"), nullptr);

    auto hook = std::make_unique<ActivityHookLibrary>();
    ASSERT_TRUE(hook->Loaded());
    ASSERT_TRUE(test::BringToFront(gameWindow_));
    ASSERT_TRUE(hook->ArmGameProcesses({gameProcess_}, receiver_->Window()));
    hook.reset();  // disarms, then unloads

    EXPECT_EQ(GetModuleHandleW(L"kibolt.dll"), nullptr);
    EXPECT_TRUE(ThreadsBackToBaseline()) << ThreadsOfThisProcess() << " threads, " << baselineThreads_ << " before";
    test::PressKey('A');
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "");
}

TEST_F(ActivityHookTest, WithoutTheLibraryArmingDoesNothing) {
    // A folder without kibolt.dll, while the current directory holds one:
    // only the given folder is looked at.
    test::TempLibrary empty(false);
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    std::wstring testFolder(MAX_PATH, L'\0');
    testFolder.resize(GetModuleFileNameW(nullptr, testFolder.data(), MAX_PATH));
    testFolder.resize(testFolder.find_last_of(L'\\'));
    SetCurrentDirectoryW(testFolder.c_str());
    ActivityHookLibrary missing(empty.Root());
    SetCurrentDirectoryW(previous);

    EXPECT_FALSE(missing.Loaded());
    ASSERT_TRUE(test::BringToFront(gameWindow_));
    EXPECT_FALSE(missing.ArmGameProcesses({gameProcess_}, receiver_->Window()));
    EXPECT_FALSE(missing.Disarm());
    test::PressKey('A');
    ASSERT_TRUE(Flush());
    EXPECT_EQ(receiver_->events, "");
}

}  // namespace
}  // namespace kibolt
