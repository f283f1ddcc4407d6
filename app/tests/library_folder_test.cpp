// A library whose folder holds characters code page 932 cannot: every file it
// reads and writes lies in that folder, and none in the folder a look-alike
// conversion of its path would name.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/tests/main_window_fixture.h"
#include "library/game_log.h"
#include "tests/win32/session_log_maker.h"

namespace kibolt {
namespace {

using test::Do;
using test::ModalScript;
using test::WaitForDialog;
using test::WaitUntilClosed;

// The folder above the library's folder.
std::wstring ParentOf(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

// Waits for a message box with that caption, keeps its text as the system
// shows it and closes it.
ModalScript::Step AnswerBox(const std::string& caption, std::wstring& text) {
    return [caption, &text] {
        HWND box = test::FindDialog(caption);
        if (!box) return false;
        HWND label = GetDlgItem(box, 0xFFFF);
        text.resize(static_cast<size_t>(GetWindowTextLengthW(label)) + 1);
        text.resize(static_cast<size_t>(GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return true;
    };
}

class LibraryFolderTest : public MainWindowTest, public testing::WithParamInterface<const wchar_t*> {
protected:
    LibraryFolderTest() : MainWindowTest(GetParam()) {}
    void TearDown() override {
        test::CloseSampleGame();
        MainWindowTest::TearDown();
    }
    // The folder the old conversion, a look-alike for each character, would have used instead.
    std::wstring LookAlikeFolder() const {
        return ParentOf(ParentOf(library_.WideRoot())) + L"\\" + Widen(Narrow(GetParam()));
    }
};

TEST_P(LibraryFolderTest, GamesRegisterPlayRecordAndMoveInsideIt) {
    const std::string game = test::WindowsPathFromEnv("SAMPLE_GAME_EXE");
    if (game.empty()) GTEST_SKIP() << "SAMPLE_GAME_EXE is not set";
    ASSERT_NE(LookAlikeFolder(), ParentOf(library_.WideRoot())) << "the name has a look-alike";
    library_.WriteFile("playing\\Old.log", test::MakeLogBytes(1));
    auto flush = std::make_unique<test::InputFlush>();  // before the activity hook is armed
    Open();
    EXPECT_EQ(ListedGames(), std::vector<std::string>{"Old"});

    HWND dialog = nullptr;
    ModalScript script;
    script.Then(WaitForDialog("アイテムの追加", dialog));
    script.Then(Do([&] {
        SetWindowTextCp932(GetDlgItem(dialog, IDC_ENTRY_PATH), game);
        SetWindowTextCp932(GetDlgItem(dialog, IDC_ENTRY_TITLE), "New");
        test::PostKeyToFocus(VK_RETURN);
    }));
    script.Then(WaitUntilClosed(dialog));
    script.Run([&] { Command(IDM_NEW_GAME); });
    ASSERT_EQ(library_.ReadFile("playing\\New.log"), game + "\r\n=====Comment_Start====\r\n");
    EXPECT_EQ(ListedGames(), (std::vector<std::string>{"New", "Old"}));

    Command(IDM_START_GAME);
    HWND window = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (window = test::FindSampleGame()) != nullptr; }, 10000, window_));
    ASSERT_TRUE(PumpUntil([&] { return dialog_->Session().IsOpen() && dialog_->HookArmed(); }, 10000, window_));
    EXPECT_TRUE(library_.Exists("kibolt.checkpoint"));
    ASSERT_TRUE(test::BringToFront(window));
    test::PressKey('A');
    ASSERT_TRUE(PumpUntil([&] { return test::SampleGameInputs(window) >= 1; }, 3000, window_));
    ASSERT_TRUE(flush->Flush(window_));
    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !dialog_->GameRunning(); }, 10000, window_));
    GameLogContent log = ParseGameLogFile(library_.ReadFile("playing\\New.log"));
    ASSERT_EQ(log.sessions.size(), 1u);
    EXPECT_EQ(log.sessions[0].Field(kInputs), "1");

    Command(IDM_MOVE_CLEARED);
    EXPECT_FALSE(library_.Exists("playing\\New.log"));
    ASSERT_TRUE(library_.Exists("cleared\\New.log"));
    EXPECT_EQ(ParseGameLogFile(library_.ReadFile("cleared\\New.log")).sessions.size(), 1u);
    EXPECT_EQ(CloseWith(IDM_EXIT), kExitByMenu);
    EXPECT_TRUE(library_.Exists("kibolt.ini"));
    EXPECT_EQ(GetFileAttributesW(LookAlikeFolder().c_str()), INVALID_FILE_ATTRIBUTES);
}

// A file whose own name has no exact form is left out, and named once.
TEST_P(LibraryFolderTest, AFileNamedOutsideTheCodePageIsLeftOutAndNamed) {
    library_.WriteFile("playing\\Game.log", test::MakeLogBytes(1));
    const std::wstring unlisted = library_.WidePath("playing") + L"\\" + GetParam() + L".log";
    const std::wstring other = library_.WidePath("playing") + L"\\" + GetParam() + L".txt";  // no game's file
    for (const std::wstring& file : {unlisted, other})
        CloseHandle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::wstring shown;
    ModalScript script;
    script.Then(AnswerBox("Kibolt", shown));
    script.Run([&] {
        Open();
        PumpUntil([&] { return script.Finished(); }, 10000, window_);
    });
    EXPECT_NE(shown.find(unlisted), std::wstring::npos) << Narrow(shown);
    EXPECT_EQ(shown.find(other), std::wstring::npos) << Narrow(shown);
    EXPECT_EQ(ListedGames(), std::vector<std::string>{"Game"});
    EXPECT_EQ(CloseWith(IDM_EXIT), kExitByMenu);
    EXPECT_EQ(GetFileAttributesW(LookAlikeFolder().c_str()), INVALID_FILE_ATTRIBUTES);
}

INSTANTIATE_TEST_SUITE_P(Names, LibraryFolderTest, testing::Values(L"Jos\u00E9", L"\u00C5ngstr\u00F6m"));

}  // namespace
}  // namespace kibolt
