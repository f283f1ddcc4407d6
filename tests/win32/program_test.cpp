// kibolt.exe as a separate process: started from its own folder, ended by
// the user, with the exit code and the settings file it leaves.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "tests/win32/win_test_support.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {
namespace {

struct FoundWindow {
    DWORD processId;
    HWND window;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM data) {
    auto* found = reinterpret_cast<FoundWindow*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found->processId && IsWindowVisible(window) && GetWindowTextCp932(window) == "Kibolt") {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

class ProgramTest : public testing::Test {
protected:
    void SetUp() override {
        std::string built = test::WindowsPathFromEnv("KIBOLT_EXE");
        if (built.empty()) GTEST_SKIP() << "KIBOLT_EXE is not set";
        ASSERT_TRUE(CopyFileW(Widen(built).c_str(), Widen(library_.ProgramPath()).c_str(), FALSE));
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
        Started started;
        std::wstring line = Widen(commandLine);
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
        FoundWindow found{processId, nullptr};
        test::PumpUntil(
            [&] {
                found.window = nullptr;
                EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
                return found.window != nullptr;
            },
            timeoutMs);
        return found.window;
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

}  // namespace
}  // namespace kibolt
