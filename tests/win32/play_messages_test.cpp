// The messages the game launcher posts to the window that started a game,
// checked as sequences against tables: what the main window's recording
// relies on (ready before armed, the processes before the end, one end).
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hook/activity_hook_client_win32.h"
#include "play/game_launcher_win32.h"
#include "tests/win32/win_test_support.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {
namespace {

enum SequenceFlags : unsigned {
    kOnce = 0,
    kOptional = 1,  // may be missing
    kRepeated = 2,  // may come again at once
};

struct ExpectedMessage {
    UINT message;
    unsigned flags;
};

// A game started or followed, played and closed.
const std::vector<ExpectedMessage> kPlayedToItsEnd = {
    {kGameProcessesMessage, kRepeated},              // the game's processes, before anything else
    {kGameReadyMessage, kOnce},                      // the session begins
    {kGameArmedMessage, kOnce},                      // inputs count from here
    {kGameProcessesMessage, kOptional | kRepeated},  // its process is gone
    {kGameEndedMessage, kOnce},
};

const char* NameOf(UINT message) {
    switch (message) {
    case kGameReadyMessage: return "ready";
    case kGameEndedMessage: return "ended";
    case kGameFailedMessage: return "failed";
    case kGameArmedMessage: return "armed";
    case kGameProcessesMessage: return "processes";
    default: return "?";
    }
}

std::string Describe(const std::vector<UINT>& messages) {
    std::string text;
    for (UINT m : messages) text += std::string(text.empty() ? "" : ", ") + NameOf(m);
    return "[" + text + "]";
}

// Empty when the messages follow the table; else where they part.
std::string Mismatch(const std::vector<UINT>& actual, const std::vector<ExpectedMessage>& expected) {
    size_t a = 0;
    for (const ExpectedMessage& e : expected) {
        const bool present = a < actual.size() && actual[a] == e.message;
        if (!present) {
            if (e.flags & kOptional) continue;
            return std::string("expected ") + NameOf(e.message) + " at " + std::to_string(a) + " of " +
                   Describe(actual);
        }
        ++a;
        if (e.flags & kRepeated)
            while (a < actual.size() && actual[a] == e.message) ++a;
    }
    if (a != actual.size()) return "more than expected from " + std::to_string(a) + " of " + Describe(actual);
    return {};
}

// A window that keeps the launcher's messages in the order they came.
class Recorder {
public:
    Recorder() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KiboltPlayMessages";
        RegisterClassW(&wc);
        window_ = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Recorder() { DestroyWindow(window_); }
    HWND Window() const { return window_; }
    const std::vector<UINT>& Messages() const { return messages_; }
    bool Has(UINT message) const {
        for (UINT m : messages_)
            if (m == message) return true;
        return false;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Recorder*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message >= kGameReadyMessage && message <= kGameProcessesMessage) {
            self->messages_.push_back(message);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
    std::vector<UINT> messages_;
};

class PlayMessagesTest : public testing::Test {
protected:
    void SetUp() override {
        game_ = test::WindowsPathFromEnv("SAMPLE_GAME_EXE");
        if (game_.empty()) GTEST_SKIP() << "SAMPLE_GAME_EXE is not set";
        ASSERT_TRUE(hook_.Loaded());
    }
    void TearDown() override {
        launcher_.Stop();
        test::CloseSampleGame();
    }
    // Pumps until the launcher's last report (ended or failed) and the launcher is done with it.
    void RunToEnd(Recorder& recorder) {
        ASSERT_TRUE(test::PumpUntil([&] { return recorder.Has(kGameEndedMessage) || recorder.Has(kGameFailedMessage); },
                                    15000));
        launcher_.Finished();
        test::DispatchQueued();
    }

    std::string game_;
    ActivityHookLibrary hook_;
    GameLauncher launcher_{hook_};
};

TEST_F(PlayMessagesTest, AGamePlayedToItsEnd) {
    Recorder recorder;
    ASSERT_TRUE(launcher_.Start(recorder.Window(), "\"" + game_ + "\"", ""));
    HWND game = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (game = test::FindSampleGame()) != nullptr; }, 10000));
    ASSERT_TRUE(test::PumpUntil([&] { return recorder.Has(kGameArmedMessage); }, 10000));
    PostMessageW(game, WM_CLOSE, 0, 0);
    RunToEnd(recorder);
    EXPECT_EQ(Mismatch(recorder.Messages(), kPlayedToItsEnd), "");
    EXPECT_TRUE(launcher_.Processes().empty());
}

TEST_F(PlayMessagesTest, AGameThatCannotStartReportsOnlyTheFailure) {
    Recorder recorder;
    ASSERT_TRUE(launcher_.Start(recorder.Window(), "C:\\nowhere\\missing.exe", ""));
    RunToEnd(recorder);
    EXPECT_EQ(Mismatch(recorder.Messages(), {{kGameFailedMessage, kOnce}}), "");
}

TEST_F(PlayMessagesTest, AFollowedGameIsReadyArmedAndEnded) {
    Recorder recorder;
    // Started outside the launcher, then followed as after a restart.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring line = L"\"" + Widen(game_) + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    HWND game = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (game = test::FindSampleGame()) != nullptr; }, 10000));
    FILETIME created{}, exited{}, kernel{}, user{};
    GetProcessTimes(process.Get(), &created, &exited, &kernel, &user);
    const uint64_t stamp = (uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
    ASSERT_TRUE(launcher_.Follow(recorder.Window(), {{info.dwProcessId, stamp}}));
    ASSERT_TRUE(test::PumpUntil([&] { return recorder.Has(kGameArmedMessage); }, 10000));
    PostMessageW(game, WM_CLOSE, 0, 0);
    RunToEnd(recorder);
    EXPECT_EQ(Mismatch(recorder.Messages(), kPlayedToItsEnd), "");
}

}  // namespace
}  // namespace kibolt
