// kibolt.exe as a separate process: started from its own folder, ended by
// the user, with the exit code and the settings file it leaves.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "app/handles_win32.h"
#include "app/text_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/win_test_support.h"

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

    // Starts the copied program with the given command line and waits for its window.
    HWND Start(const std::string& commandLine, const std::string& currentDir) {
        std::wstring line = Widen(commandLine);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(Widen(library_.ProgramPath()).c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, Widen(currentDir).c_str(),
                            &startup, &info))
            return nullptr;
        process_.Reset(info.hProcess);
        UniqueHandle thread(info.hThread);
        FoundWindow found{info.dwProcessId, nullptr};
        test::PumpUntil(
            [&] {
                EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
                return found.window != nullptr;
            },
            15000);
        return found.window;
    }

    DWORD WaitForExit() {
        test::PumpUntil([&] { return WaitForSingleObject(process_.Get(), 0) == WAIT_OBJECT_0; }, 15000);
        DWORD code = 0xDEAD;
        GetExitCodeProcess(process_.Get(), &code);
        return code;
    }

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

}  // namespace
}  // namespace kibolt
