// kibolt.exe as a separate process: started from its own folder, ended by
// the user, with the exit code and the settings file it leaves; one Kibolt
// per library; games started from its command line.
#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "launch/library_instance_name.h"
#include "library/game_log.h"
#include "play/session_checkpoint.h"
#include "resources/resource_ids.h"
#include "tests/win32/session_log_maker.h"
#include "tests/win32/win_test_support.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {
namespace {

// A shown top-level window of a process with that caption, waiting up to
// timeoutMs. `unowned` asks for the main window: its message boxes may have the
// same caption, but they have an owner.
HWND ShownWindowOf(DWORD processId, const char* caption, DWORD timeoutMs, bool unowned = false) {
    HWND found = nullptr;
    test::PumpUntil(
        [&] {
            found = test::FindTopLevelWindow([&](HWND window) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                return owner == processId && IsWindowVisible(window) && (!unowned || !GetWindow(window, GW_OWNER)) &&
                       GetWindowTextCp932(window) == caption;
            });
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

using test::FindSampleGame;

class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        std::string built = test::WindowsPathFromEnv("KIBOLT_EXE");
        if (built.empty()) GTEST_SKIP() << "KIBOLT_EXE is not set";
        ASSERT_TRUE(CopyFileW(Widen(built).c_str(), Widen(library_.ProgramPath()).c_str(), FALSE));
    }
    // For the tests that play: the sample game, and the hook library beside
    // the copy, so that the game's inputs count. Skips without the game.
    void SetUpSampleGame() {
        game_ = test::WindowsPathFromEnv("SAMPLE_GAME_EXE");
        if (game_.empty()) GTEST_SKIP() << "SAMPLE_GAME_EXE is not set";
        const std::string built = test::WindowsPathFromEnv("KIBOLT_EXE");
        const std::string dll = built.substr(0, built.find_last_of('\\') + 1) + "kibolt.dll";
        ASSERT_TRUE(CopyFileW(Widen(dll).c_str(), Widen(library_.Path("kibolt.dll")).c_str(), FALSE));
    }

    struct Started {
        UniqueHandle process;
        DWORD processId = 0;
        HWND window = nullptr;  // its main window, once shown
    };

    // Starts a program file with the given command line; waits for its main
    // window when waitForWindow says so.
    static Started Launch(const std::string& program, const std::string& commandLine, const std::string& currentDir,
                          bool waitForWindow = true) {
        return Launch(program, Widen(commandLine), currentDir, waitForWindow);
    }
    static Started Launch(const std::string& program, std::wstring line, const std::string& currentDir,
                          bool waitForWindow) {
        Started started;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(Widen(program).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            Widen(currentDir).c_str(), &startup, &info))
            return started;
        started.process.Reset(info.hProcess);
        started.processId = info.dwProcessId;
        UniqueHandle thread(info.hThread);
        if (waitForWindow) started.window = MainWindowOf(info.dwProcessId, 15000);
        return started;
    }

    static HWND MainWindowOf(DWORD processId, DWORD timeoutMs) {
        return ShownWindowOf(processId, "Kibolt", timeoutMs, true);
    }

    static DWORD WaitForExit(const UniqueHandle& process) {
        test::PumpUntil([&] { return WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0; }, 15000);
        DWORD code = 0xDEAD;
        GetExitCodeProcess(process.Get(), &code);
        return code;
    }

    // Starts the copied program with the given command line and waits for its window.
    HWND Start(const std::string& commandLine, const std::string& currentDir) {
        Started started = Launch(library_.ProgramPath(), commandLine, currentDir);
        process_ = std::move(started.process);
        return started.window;
    }

    DWORD WaitForExit() { return WaitForExit(process_); }

    test::TempLibrary library_;
    UniqueHandle process_;
    std::string game_;  // the sample game, once SetUpSampleGame has run
};

TEST_F(ProgramTest, MenuExitEndsWithOneAndWritesSettingsBesideTheProgram) {
    library_.WriteFile("playing\\Demo.log", "demo.exe\r\n=====Comment_Start====\r\n");
    HWND window = Start(library_.CommandLine(), "C:\\");
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(WaitForExit(), 1u);
    std::string ini = library_.ReadFile("kibolt.ini");
    EXPECT_NE(ini.find("[view]"), std::string::npos);
    EXPECT_NE(ini.find("flag=262070"), std::string::npos);
}

TEST_F(ProgramTest, BareNameFromItsOwnFolderFindsTheLibrary) {
    HWND window = Start("kibolt.exe", library_.Root());
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 2u);
    EXPECT_TRUE(library_.Exists("kibolt.ini"));
}

// Ends a started Kibolt by its close box and waits for it.
void Close(HWND window, const UniqueHandle& process) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.Get(), 15000);
}

TEST_F(ProgramTest, SecondStartForTheSameLibraryShowsTheFirstAndEndsWithZero) {
    HWND first = Start(library_.CommandLine(), "C:\\");
    ASSERT_NE(first, nullptr);
    ShowWindow(first, SW_MINIMIZE);
    ASSERT_TRUE(test::PumpUntil([&] { return IsIconic(first) != FALSE; }));

    // Started by bare name from its folder: the same library spelled another way.
    Started second = Launch(library_.ProgramPath(), "kibolt.exe", library_.Root(), false);
    ASSERT_TRUE(second.process.Valid());
    EXPECT_EQ(WaitForExit(second.process), 0u);
    EXPECT_EQ(MainWindowOf(second.processId, 0), nullptr);
    EXPECT_TRUE(test::PumpUntil([&] { return !IsIconic(first) && IsWindowVisible(first); }));
    EXPECT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == first; }));
    EXPECT_EQ(WaitForSingleObject(process_.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    Close(first, process_);
    EXPECT_EQ(WaitForExit(), 2u);
}

TEST_F(ProgramTest, AfterTheFirstEndsTheNextStartOpensItsOwnWindow) {
    HWND first = Start(library_.CommandLine(), "C:\\");
    ASSERT_NE(first, nullptr);
    Close(first, process_);
    ASSERT_EQ(WaitForExit(), 2u);

    Started next = Launch(library_.ProgramPath(), library_.CommandLine(), "C:\\");
    ASSERT_NE(next.window, nullptr);
    Close(next.window, next.process);
    EXPECT_EQ(WaitForExit(next.process), 2u);
}

TEST_F(ProgramTest, LibrariesInDifferentFoldersRunSideBySide) {
    test::TempLibrary other;
    ASSERT_TRUE(CopyFileW(Widen(library_.ProgramPath()).c_str(), Widen(other.ProgramPath()).c_str(), FALSE));
    HWND first = Start(library_.CommandLine(), "C:\\");
    ASSERT_NE(first, nullptr);
    Started second = Launch(other.ProgramPath(), other.CommandLine(), "C:\\");
    ASSERT_NE(second.window, nullptr);
    EXPECT_NE(second.window, first);

    Close(second.window, second.process);
    EXPECT_EQ(WaitForExit(second.process), 2u);
    Close(first, process_);
    EXPECT_EQ(WaitForExit(), 2u);
}

// A Kibolt that runs with rights this start lacks (as administrator, started
// again without) holds the library where this start cannot even open its
// mutex. Any such refusal is taken alike; Wine grants what an access list
// denies, so an object of another kind under the library's name stands in.
TEST_F(ProgramTest, AKiboltOutOfReachIsNamedInAMessageAndTheStartEndsWithZero) {
    const std::wstring name = L"Local\\" + Widen(LibraryInstanceName(AsUtf16(library_.WideRoot())));
    UniqueHandle held(CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
    ASSERT_TRUE(held.Valid());
    ASSERT_EQ(UniqueHandle(CreateMutexW(nullptr, FALSE, name.c_str())).Valid(), false);

    Started second = Launch(library_.ProgramPath(), library_.CommandLine(), "C:\\", false);
    ASSERT_TRUE(second.process.Valid());
    HWND box = ShownWindowOf(second.processId, "Kibolt", 15000);
    ASSERT_NE(box, nullptr) << "no message";
    HWND label = GetDlgItem(box, 0xFFFF);
    ASSERT_NE(label, nullptr) << "a second window on the same library, not a message";
    const std::string text = GetWindowTextCp932(label);
    EXPECT_NE(text.find(library_.Root()), std::string::npos) << text;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForExit(second.process), 0u) << "it went on after the message";
}

// The real program from a folder code page 932 cannot name: its settings
// land beside it, and nothing in the folder a look-alike would name.
TEST_F(ProgramTest, StartedFromAFolderOutsideTheCodePageItKeepsToThatFolder) {
    test::TempLibrary library(L"Jos\u00E9");
    ASSERT_TRUE(CopyFileW(Widen(library_.ProgramPath()).c_str(), library.WidePath("kibolt.exe").c_str(), FALSE));
    library.WriteFile("playing\\Demo.log", "demo.exe\r\n=====Comment_Start====\r\n");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring line = library.WideCommandLine();
    ASSERT_TRUE(CreateProcessW(library.WidePath("kibolt.exe").c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               L"C:\\", &startup, &info));
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    HWND window = MainWindowOf(info.dwProcessId, 15000);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(WaitForExit(process), 1u);
    EXPECT_NE(library.ReadFile("kibolt.ini").find("[view]"), std::string::npos);
    const std::wstring lookAlike = library.WideRoot().substr(0, library.WideRoot().rfind(L"\\Jos")) + L"\\Jose";
    EXPECT_EQ(GetFileAttributesW(lookAlike.c_str()), INVALID_FILE_ATTRIBUTES);
}

// The settings file is named after the program file: a program file named
// outside the code page says so, names the character, and writes no settings.
TEST_F(ProgramTest, AProgramFileNamedOutsideTheCodePageNamesTheCharacterAndKeepsNoSettings) {
    const std::wstring program = library_.WidePath("kibolt") + L"\u00E9.exe";
    ASSERT_TRUE(CopyFileW(Widen(library_.ProgramPath()).c_str(), program.c_str(), FALSE));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring line = L"\"" + program + L"\"";
    ASSERT_TRUE(
        CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, L"C:\\", &startup, &info));
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    HWND box = nullptr;
    test::PumpUntil(
        [&] {
            box = test::FindTopLevelWindow([&](HWND window) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                return owner == info.dwProcessId && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF);
            });
            return box != nullptr;
        },
        15000);
    ASSERT_NE(box, nullptr) << "no message";
    const std::string text = GetWindowTextCp932(GetDlgItem(box, 0xFFFF));
    EXPECT_NE(text.find("U+00E9"), std::string::npos) << text;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    HWND window = MainWindowOf(info.dwProcessId, 15000);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(WaitForExit(process), 1u);
    WIN32_FIND_DATAW found{};
    UniqueFind settings(FindFirstFileW((library_.WideRoot() + L"\\*.ini").c_str(), &found));
    EXPECT_FALSE(settings.Valid()) << Narrow(found.cFileName);
}

// Games started from Kibolt's command line: --play "<title>" and the wrapper
// form --play "<title>" -- <command line> that store clients use.
class PlayOptionTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        SetUpSampleGame();
    }
    void TearDown() override {
        test::CloseSampleGame();
        if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
            if (HWND window = MainWindowOf(GetProcessId(process_.Get()), 0)) Close(window, process_);
            if (WaitForSingleObject(process_.Get(), 5000) == WAIT_TIMEOUT) TerminateProcess(process_.Get(), 99);
        }
    }
    std::string Command() const { return "\"" + game_ + "\""; }
    std::string PlayLine(const std::string& title) const {
        return library_.CommandLine() + " --play \"" + title + "\"";
    }
    size_t Sessions(const std::string& log) const { return ParseGameLogFile(library_.ReadFile(log)).sessions.size(); }
    // Ends the running sample game and waits until its session is in the log.
    bool EndGameAndWaitForSession(const std::string& log, size_t sessionsBefore) {
        HWND game = FindSampleGame();
        if (!game) return false;
        const test::TempLibrary::Stamp before = library_.StampOf(log);
        PostMessageW(game, WM_CLOSE, 0, 0);
        return library_.WaitForFile(
            log,
            [&](const std::string& bytes) { return ParseGameLogFile(bytes).sessions.size() == sessionsBefore + 1; },
            10000, before);
    }
    static int SelectedTab(HWND window) {
        return static_cast<int>(SendMessageW(GetDlgItem(window, IDC_TAB), TCM_GETCURSEL, 0, 0));
    }
    // A message box of the process with that caption, waiting up to timeoutMs.
    static HWND HeldMessageOf(DWORD processId, const char* caption, DWORD timeoutMs) {
        HWND found = nullptr;
        test::PumpUntil(
            [&] {
                found = test::FindTopLevelWindow([&](HWND window) {
                    DWORD owner = 0;
                    GetWindowThreadProcessId(window, &owner);
                    return owner == processId && IsWindowVisible(window) && GetWindow(window, GW_OWNER) &&
                           GetWindowTextCp932(window) == caption;
                });
                return found != nullptr;
            },
            timeoutMs);
        return found;
    }
    // The text of the process's message box with caption "error"; it is then closed.
    static std::string AnswerErrorBox(DWORD processId) {
        HWND box = ShownWindowOf(processId, "error", 10000);
        if (!box) return "(no message box)";
        std::string text = test::DismissMessageBox(box);
        test::PumpUntil([&] { return !IsWindow(box); });
        return text;
    }
};

TEST_F(PlayOptionTest, StartsTheGameFoundInItsCategoryAndRecordsTheSession) {
    library_.WriteFile("playing\\Other.log", "other.exe\r\n=====Comment_Start====\r\n");
    library_.WriteFile("cleared\\Sample.log", Command() + "\r\n=====Comment_Start====\r\n");
    HWND window = Start(PlayLine("sample"), "C:\\");  // file names match whatever the case
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(test::PumpUntil([] { return FindSampleGame() != nullptr; }, 10000));
    EXPECT_EQ(SelectedTab(window), 1);
    EXPECT_TRUE(EndGameAndWaitForSession("cleared\\Sample.log", 0));
    Close(window, process_);
    EXPECT_EQ(WaitForExit(), 2u);
}

TEST_F(PlayOptionTest, ARunningKiboltTakesTheRequestAndTheSecondProcessEndsWithZero) {
    library_.WriteFile(
        "others\\"
        "表示"
        ".log",
        Command() + "\r\n=====Comment_Start====\r\n");
    HWND first = Start(library_.CommandLine(), "C:\\");
    ASSERT_NE(first, nullptr);
    Started second = Launch(library_.ProgramPath(), PlayLine("表示"), "C:\\", false);
    ASSERT_TRUE(second.process.Valid());
    EXPECT_EQ(WaitForExit(second.process), 0u);
    EXPECT_EQ(MainWindowOf(second.processId, 0), nullptr);
    ASSERT_TRUE(test::PumpUntil([] { return FindSampleGame() != nullptr; }, 10000));
    EXPECT_EQ(SelectedTab(first), 2);

    // While the game runs, a further request starts nothing.
    Started third = Launch(library_.ProgramPath(), PlayLine("表示"), "C:\\", false);
    EXPECT_EQ(WaitForExit(third.process), 0u);
    EXPECT_TRUE(EndGameAndWaitForSession("others\\表示.log", 0));
    HWND held = HeldMessageOf(GetProcessId(process_.Get()), "Kibolt", 10000);
    EXPECT_NE(test::DismissMessageBox(held).find("表示"), std::string::npos);
    EXPECT_EQ(FindSampleGame(), nullptr);
    EXPECT_EQ(Sessions("others\\表示.log"), 1u);
    Close(first, process_);
    EXPECT_EQ(WaitForExit(), 2u);
}

// While a game is played, later starts leave it in front (its active time
// goes on): Kibolt flashes its taskbar button, and the message of a request it
// could not carry out waits until the user brings Kibolt forward or the game ends.
TEST_F(PlayOptionTest, WhileAGameRunsLaterStartsLeaveItInFrontAndTheirMessagesWait) {
    library_.WriteFile("playing\\Sample.log", Command() + "\r\n=====Comment_Start====\r\n");
    library_.WriteFile("playing\\Other.log", Command() + "\r\n=====Comment_Start====\r\n");
    HWND first = Start(PlayLine("Sample"), "C:\\");
    ASSERT_NE(first, nullptr);
    const DWORD kibolt = GetProcessId(process_.Get());
    HWND game = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (game = FindSampleGame()) != nullptr; }, 10000));
    ASSERT_TRUE(test::BringToFront(game));

    // True when the game kept the front all the while the later start ran.
    auto gameKeepsFront = [&](const std::string& line) {
        Started later = Launch(library_.ProgramPath(), line, "C:\\", false);
        bool kept = true;
        test::PumpUntil(
            [&] {
                kept = kept && GetForegroundWindow() == game;
                return WaitForSingleObject(later.process.Get(), 0) == WAIT_OBJECT_0;
            },
            15000);
        EXPECT_EQ(WaitForExit(later.process), 0u) << line;
        return kept && GetForegroundWindow() == game;
    };
    EXPECT_TRUE(gameKeepsFront(library_.CommandLine()));
    EXPECT_TRUE(gameKeepsFront(PlayLine("Other")));
    // The request was handled before the later start ended: nothing is shown yet.
    EXPECT_EQ(HeldMessageOf(kibolt, "Kibolt", 0), nullptr);

    // Brought forward, Kibolt shows the held message at once, and the box takes
    // the front from it: its appearing is what shows Kibolt came forward.
    test::BringToFront(first);
    HWND held = HeldMessageOf(kibolt, "Kibolt", 10000);
    ASSERT_NE(held, nullptr);
    EXPECT_NE(test::DismissMessageBox(held).find("Other"), std::string::npos);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(held); }));

    ASSERT_TRUE(test::BringToFront(game));
    EXPECT_TRUE(gameKeepsFront(library_.CommandLine() + " --frobnicate"));
    EXPECT_EQ(HeldMessageOf(kibolt, "error", 0), nullptr);
    EXPECT_TRUE(EndGameAndWaitForSession("playing\\Sample.log", 0));
    EXPECT_NE(AnswerErrorBox(kibolt).find("--play"), std::string::npos);
    EXPECT_EQ(Sessions("playing\\Other.log"), 0u);
    Close(first, process_);
    EXPECT_EQ(WaitForExit(), 2u);
}

TEST_F(PlayOptionTest, AnUnknownTitleIsNamedInAMessageAndNothingStarts) {
    library_.WriteFile("playing\\Sample.log", Command() + "\r\n=====Comment_Start====\r\n");
    Started started = Launch(library_.ProgramPath(), PlayLine("Nothing 表"), "C:\\", false);
    process_ = std::move(started.process);
    EXPECT_NE(AnswerErrorBox(started.processId).find("Nothing 表"), std::string::npos);
    HWND window = MainWindowOf(started.processId, 5000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindSampleGame(), nullptr);
    Close(window, process_);
    EXPECT_EQ(WaitForExit(), 2u);
}

TEST_F(PlayOptionTest, TextTheCodePageCannotHoldNamesNoGameAndStartsNothing) {
    library_.WriteFile("playing\\Cafe.log", Command() + "\r\n=====Comment_Start====\r\n");
    const std::wstring program = Widen(library_.CommandLine());
    const std::wstring lines[] = {
        program + L" --play \"Caf\u00E9\"",                                 // not "Cafe"
        program + L" --play \"Caf\u00E9\" -- " + Widen(Command()),          // not registered
        program + L" --play \"Cafe\" -- " + Widen(Command()) + L" \u00E9",  // not started
    };
    for (const std::wstring& line : lines) {
        Started started = Launch(library_.ProgramPath(), line, "C:\\", false);
        process_ = std::move(started.process);
        EXPECT_NE(AnswerErrorBox(started.processId), "(no message box)");
        HWND window = MainWindowOf(started.processId, 5000);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(FindSampleGame(), nullptr);
        Close(window, process_);
        EXPECT_EQ(WaitForExit(), 2u);
    }
    EXPECT_EQ(Sessions("playing\\Cafe.log"), 0u);
    EXPECT_EQ(ParseGameLogFile(library_.ReadFile("playing\\Cafe.log")).commandLine, Command());
}

TEST_F(PlayOptionTest, AMalformedCommandLineShowsTheUsageAndKiboltOpensAsUsual) {
    for (const char* options : {" --play", " --frobnicate", " --play Sample extra"}) {
        Started started = Launch(library_.ProgramPath(), library_.CommandLine() + options, "C:\\", false);
        process_ = std::move(started.process);
        EXPECT_NE(AnswerErrorBox(started.processId).find("--play"), std::string::npos) << options;
        HWND window = MainWindowOf(started.processId, 5000);
        ASSERT_NE(window, nullptr) << options;
        Close(window, process_);
        EXPECT_EQ(WaitForExit(), 2u) << options;
    }
}

TEST_F(PlayOptionTest, TheWrapperRegistersANewGameAndRecordsItsSession) {
    const std::string command = Command() + " --label \"a b\"";
    HWND window = Start(PlayLine("New 表 Game") + " -- " + command, "C:\\");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(test::PumpUntil([] { return FindSampleGame() != nullptr; }, 10000));
    GameLogContent log = ParseGameLogFile(library_.ReadFile("playing\\New 表 Game.log"));
    EXPECT_EQ(log.commandLine, command);
    EXPECT_EQ(SelectedTab(window), 0);
    EXPECT_TRUE(EndGameAndWaitForSession("playing\\New 表 Game.log", 0));
    Close(window, process_);
    EXPECT_EQ(WaitForExit(), 2u);
}

TEST_F(PlayOptionTest, TheWrapperStartsAKnownGameWithItsCommandLineAndKeepsTheStoredOne) {
    library_.WriteFile("cleared\\Sample.log", "C:\\nowhere\\missing.exe\r\n=====Comment_Start====\r\n");
    HWND first = Start(library_.CommandLine(), "C:\\");
    ASSERT_NE(first, nullptr);
    Started second = Launch(library_.ProgramPath(), PlayLine("Sample") + " -- " + Command(), "C:\\", false);
    EXPECT_EQ(WaitForExit(second.process), 0u);
    ASSERT_TRUE(test::PumpUntil([] { return FindSampleGame() != nullptr; }, 10000));
    EXPECT_TRUE(EndGameAndWaitForSession("cleared\\Sample.log", 0));
    EXPECT_EQ(ParseGameLogFile(library_.ReadFile("cleared\\Sample.log")).commandLine, "C:\\nowhere\\missing.exe");
    EXPECT_FALSE(library_.Exists("playing\\Sample.log"));
    Close(first, process_);
    EXPECT_EQ(WaitForExit(), 2u);
}

TEST_F(PlayOptionTest, TheWrapperGivesTheRegistrationsMessageForARefusedTitle) {
    Started started = Launch(library_.ProgramPath(), PlayLine("a:b") + " -- " + Command(), "C:\\", false);
    process_ = std::move(started.process);
    EXPECT_NE(AnswerErrorBox(started.processId), "(no message box)");
    HWND window = MainWindowOf(started.processId, 5000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindSampleGame(), nullptr);
    EXPECT_FALSE(library_.Exists("playing\\a"));
    Close(window, process_);
    EXPECT_EQ(WaitForExit(), 2u);
}

// Kibolt ended by force (TerminateProcess) during play, as a crash, the task
// manager or a power cut would end it.
class KilledDuringPlayTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        SetUpSampleGame();
        if (IsSkipped() || HasFatalFailure()) return;
        library_.WriteFile("playing\\Sample.log", test::MakeLogBytes(1, game_));
    }
    void TearDown() override {
        test::CloseSampleGame();
        if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) TerminateProcess(process_.Get(), 3);
    }

    // Starts Kibolt, plays the sample game from it with a few inputs, waits
    // until the checkpoint holds them, and ends Kibolt by force. The game goes on.
    // `inputs` is what the checkpoint held then.
    HWND PlayAndKill(int& inputs) {
        HWND window = Start(library_.CommandLine(), "C:\\");
        if (!window) return nullptr;
        // A real click on the first row, just below the list's header, loads the
        // game; the menu command starts it. (The test's short double-click time
        // may be what the other process reads, so no double click.) A posted
        // message is taken before queued input, so the command waits until the
        // click has loaded the game: its session shows in the table.
        HWND list = GetDlgItem(window, IDC_GAME_LIST);
        HWND table = GetDlgItem(window, IDC_SESSION_TABLE);
        HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        RECT headerRect{};
        if (header && IsWindowVisible(header)) GetClientRect(header, &headerRect);
        EXPECT_TRUE(test::BringToFront(window));
        test::ClickClient(list, {20, headerRect.bottom + 8});
        const bool loaded = test::PumpUntil([&] { return SendMessageW(table, LVM_GETITEMCOUNT, 0, 0) == 1; }, 5000);
        HWND game = nullptr;
        if (loaded) {
            PostMessageW(window, WM_COMMAND, IDM_START_GAME, 0);
            test::PumpUntil([&] { return (game = FindSampleGame()) != nullptr; }, 10000);
        }
        if (!game) {
            ADD_FAILURE() << "loaded " << loaded << " rows " << SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) << " header "
                          << headerRect.bottom << " selected " << SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0)
                          << " log " << library_.ReadFile("playing\\Sample.log");
            return nullptr;
        }
        // The session begins (and is in the checkpoint) as the game is ready;
        // the hook is armed just after, and keys pressed before that do not
        // count. Nothing outside Kibolt shows the arming, so keys are pressed
        // one at a time until the checkpoint, saved within a few seconds of
        // an input, holds some.
        if (!test::PumpUntil([&] { return Checkpoint().has_value(); }, 10000)) return nullptr;
        EXPECT_TRUE(test::BringToFront(game));
        const ULONGLONG deadline = GetTickCount64() + 20000;
        bool saved = false;
        while (!saved && GetTickCount64() < deadline) {
            test::PressKey('A');
            saved = test::PumpUntil(
                [&] {
                    std::optional<SessionCheckpoint> c = Checkpoint();
                    return c && c->open && c->open->inputCount > 0;
                },
                500);
        }
        EXPECT_TRUE(saved) << library_.ReadFile("kibolt.checkpoint");
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), 5000);
        std::optional<SessionCheckpoint> left = Checkpoint();
        inputs = left && left->open ? left->open->inputCount : -1;
        return game;
    }
    std::optional<SessionCheckpoint> Checkpoint() const {
        return ParseCheckpoint(library_.ReadFile("kibolt.checkpoint"));
    }
    // Starts Kibolt again; returns its window once it has said what it did with the checkpoint.
    HWND Restart(std::string& told) {
        HWND window = Start(library_.CommandLine(), "C:\\");
        if (!window) return nullptr;
        HWND box = nullptr;
        const DWORD thread = GetWindowThreadProcessId(window, nullptr);
        test::PumpUntil([&] { return (box = test::FindMessageBox(thread, window)) != nullptr; }, 10000);
        if (box) told = test::DismissMessageBox(box);
        return window;
    }
    GameLogContent Log() const { return ParseGameLogFile(library_.ReadFile("playing\\Sample.log")); }
};

TEST_F(KilledDuringPlayTest, TheNextStartResumesAndTheGamesEndRecordsOneSession) {
    int inputs = 0;
    HWND game = PlayAndKill(inputs);
    ASSERT_NE(game, nullptr);
    ASSERT_GT(inputs, 0);
    ASSERT_TRUE(IsWindow(game)) << "the game goes on without Kibolt";
    ASSERT_EQ(Log().sessions.size(), 1u);

    std::string told;
    HWND window = Restart(told);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(told.find("Sample"), std::string::npos) << told;
    const test::TempLibrary::Stamp before = library_.StampOf("playing\\Sample.log");
    PostMessageW(game, WM_CLOSE, 0, 0);
    ASSERT_TRUE(library_.WaitForFile(
        "playing\\Sample.log", [](const std::string& bytes) { return ParseGameLogFile(bytes).sessions.size() == 2; },
        10000, before));
    EXPECT_EQ(Log().sessions[1].Field(kInputs), std::to_string(inputs));
    EXPECT_TRUE(test::PumpUntil([&] { return !library_.Exists("kibolt.checkpoint"); }, 5000));
    Close(window, process_);
    EXPECT_EQ(Log().sessions.size(), 2u) << "recorded once";
}

TEST_F(KilledDuringPlayTest, AGameClosedBeforeTheNextStartIsRecordedUpToTheCheckpoint) {
    int inputs = 0;
    HWND game = PlayAndKill(inputs);
    ASSERT_NE(game, nullptr);
    ASSERT_GT(inputs, 0);
    PostMessageW(game, WM_CLOSE, 0, 0);
    ASSERT_TRUE(test::PumpUntil([] { return FindSampleGame() == nullptr; }, 5000));

    std::string told;
    HWND window = Restart(told);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(told.find("Sample"), std::string::npos) << told;
    GameLogContent log = Log();
    ASSERT_EQ(log.sessions.size(), 2u);
    EXPECT_EQ(log.sessions[1].Field(kInputs), std::to_string(inputs));
    EXPECT_FALSE(library_.Exists("kibolt.checkpoint"));
    Close(window, process_);
    EXPECT_EQ(Log().sessions.size(), 2u);
}

}  // namespace
}  // namespace kibolt
