// Games registered by dropping files on the main window, sent as the shell
// sends them: a DROPFILES block in global memory with WM_DROPFILES.
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/tests/main_window_fixture.h"
#include "drop/dropped_games.h"
#include "library/game_log.h"

namespace kibolt {
namespace {

using test::ModalScript;

// What the shell posts for a drop of these files.
HGLOBAL DropOf(const std::vector<std::string>& paths) {
    std::wstring names;
    for (const std::string& path : paths) names += Widen(path) + L'\0';
    names += L'\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(block));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    return block;
}

class DropTest : public MainWindowTest {
protected:
    void SetUp() override {
        game_ = test::WindowsPathFromEnv("SAMPLE_GAME_EXE");
        if (game_.empty()) GTEST_SKIP() << "SAMPLE_GAME_EXE is not set";
    }
    // A copy of the sample game at `relative` in the library's folder.
    std::string CopyOfGame(const std::string& relative) const { return CopyProgram(game_, relative); }
    void MakeShortcut(const std::string& relative, const std::string& target, const std::string& arguments) {
        IShellLinkW* link = nullptr;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                               reinterpret_cast<void**>(&link))));
        link->SetPath(Widen(target).c_str());
        link->SetArguments(Widen(arguments).c_str());
        IPersistFile* file = nullptr;
        ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
        EXPECT_TRUE(SUCCEEDED(file->Save(Widen(library_.Path(relative)).c_str(), TRUE)));
        file->Release();
        link->Release();
    }
    // Drops the files and runs the steps of what the drop opens.
    void Drop(ModalScript& script, const std::vector<std::string>& paths) {
        script.Run([&] {
            PostMessageW(window_, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(paths)), 0);
            PumpUntil([&] { return script.Finished(); }, 15000, window_);
            DispatchQueued();
        });
    }
    // Steps that wait for the drop's message and keep its text.
    void AnswerDropMessage(ModalScript& script, std::string& text) {
        script.Then([this, &text] {
            HWND box = test::FindDialogOwnedBy(window_);
            if (!box || !GetDlgItem(box, 0xFFFF)) return false;
            text = test::DismissMessageBox(box);
            return true;
        });
    }

    std::string game_;
};

TEST_F(DropTest, OneProgramOpensTheRegistrationDialogFilledIn) {
    const std::string program = CopyOfGame("games\\Foo Quest\\Foo Quest.exe");
    Open();
    HWND dialog = nullptr;
    std::string shownPath, shownTitle;
    ModalScript script;
    script.Then(test::WaitForDialog("アイテムの追加", dialog));
    script.Then(test::Do([&] {
        shownPath = GetWindowTextCp932(GetDlgItem(dialog, IDC_ENTRY_PATH));
        shownTitle = GetWindowTextCp932(GetDlgItem(dialog, IDC_ENTRY_TITLE));
        test::PostKeyToFocus(VK_RETURN);
    }));
    script.Then(test::WaitUntilClosed(dialog));
    Drop(script, {program});
    EXPECT_EQ(shownPath, "\"" + program + "\"");
    EXPECT_EQ(shownTitle, "Foo Quest");  // the sample game has no version resource
    EXPECT_EQ(ListedGames(), std::vector<std::string>{"Foo Quest"});
    EXPECT_EQ(dialog_->State()->Current().title, "Foo Quest");
    EXPECT_EQ(LogOnDisk("playing\\Foo Quest.log").commandLine, "\"" + program + "\"");
}

TEST_F(DropTest, SeveralFilesAreRegisteredAtOnceAndOneMessageTellsWhatWasNot) {
    const std::string program = CopyOfGame("games\\Alpha\\alpha.exe");
    const std::string target = CopyOfGame("games\\Beta\\beta.exe");
    MakeFoldersFor("games\\Gamma\\gamma.bat");
    library_.WriteFile("games\\Gamma\\gamma.bat", "@echo off\r\n");
    MakeShortcut("games\\Beta Remake.lnk", target, "-remake");
    library_.WriteFile("games\\Store Game.url", "[InternetShortcut]\r\nURL=steam://rungameid/10\r\n");
    const std::vector<std::string> three = {program, library_.Path("games\\Beta Remake.lnk"),
                                            library_.Path("games\\Gamma\\gamma.bat")};
    Open();
    SelectTab(2);  // the drop registers in the shown category
    std::string text;
    ModalScript script;
    AnswerDropMessage(script, text);
    Drop(script, three);
    EXPECT_EQ(text, "登録したゲーム:\r\n  alpha\r\n  Beta Remake\r\n  gamma");
    EXPECT_EQ(ListedGames(), (std::vector<std::string>{"alpha", "Beta Remake", "gamma"}));
    EXPECT_EQ(dialog_->State()->Current().title, "gamma") << "the last one is current";
    EXPECT_EQ(dialog_->GameList().SelectedRow(), 2);
    EXPECT_EQ(LogOnDisk("others\\Beta Remake.log").commandLine, CommandLineOf(target, "-remake"));
    EXPECT_EQ(LogOnDisk("others\\gamma.log").commandLine, CommandLineOf(library_.Path("games\\Gamma\\gamma.bat"), ""));

    // Again, with an internet shortcut: nothing more is registered, and each file says why.
    ModalScript again;
    AnswerDropMessage(again, text);
    Drop(again, {program, library_.Path("games\\Store Game.url")});
    EXPECT_EQ(text,
              "登録しなかったファイル:\r\n"
              "  alpha.exe（alpha）: 同じタイトルのゲームがあります\r\n"
              "  Store Game.url: インターネットショートカットは追跡できません。ストアの起動オプションを使ってください");
    EXPECT_EQ(ListedGames(), (std::vector<std::string>{"alpha", "Beta Remake", "gamma"}));
}

}  // namespace
}  // namespace kibolt
