// Registering, editing, moving and deleting games, session comments, the
// context menus and the About box, driven over the real resources: the input
// is posted and the modal dialogs, message boxes and menus handle it in their
// own loops.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "win32/handles_win32.h"
#include "dialogs/game_dialog_win32.h"
#include "library/file_system_win32.h"
#include "library/game_log.h"
#include "library/library_paths.h"
#include "app/tests/main_window_fixture.h"
#include "tests/win32/session_log_maker.h"
#include "version.h"

namespace kibolt {
namespace {

constexpr int kFileTypeCombo = 0x470;  // the open-file dialog's file type list
constexpr int kFileNameCombo = 0x47C;  // and its file name field

using test::AnswerMessageBox;
using test::ChooseFromMenu;
using test::Do;
using test::FindDialog;
using test::FindMenu;
using test::kMessageBoxText;
using test::MenuSeen;
using test::ModalScript;
using test::PostKeyToFocus;
using test::WaitForDialog;
using test::WaitForDialogOwnedBy;
using test::WaitUntilClosed;

class GamesTest : public MainWindowTest {
protected:
    void RunCommand(ModalScript& script, int id) {
        script.Run([&] { Command(id); });
    }
    void DoubleClick(HWND list, POINT at) { test::DoubleClickClient(list, at); }
    int SelectedGameRow() const { return dialog_->GameList().SelectedRow(); }
    // Fills the game dialog that `command` opens (a null path is left as
    // shown), takes it with Enter and waits until it has closed.
    void EnterGame(int command, const char* path, const std::string& title);
};

void SetText(HWND dialog, int id, const std::string& text) { SetWindowTextCp932(GetDlgItem(dialog, id), text); }
std::string TextOf(HWND dialog, int id) { return GetWindowTextCp932(GetDlgItem(dialog, id)); }

void GamesTest::EnterGame(int command, const char* path, const std::string& title) {
    HWND dialog = nullptr;
    ModalScript script;
    script.Then(WaitForDialog("アイテムの追加", dialog));
    script.Then(Do([&] {
        if (path) SetText(dialog, IDC_ENTRY_PATH, path);
        SetText(dialog, IDC_ENTRY_TITLE, title);
        PostKeyToFocus(VK_RETURN);
    }));
    script.Then(WaitUntilClosed(dialog));
    RunCommand(script, command);
}

// The message the dialogs give for a refused entry.
std::string MessageFor(GameEntryProblem problem, TitleProblem titleProblem = TitleProblem::None,
                       FsError error = FsError::None, const std::string& path = "") {
    GameEntryResult result;
    result.problem = problem;
    result.titleProblem = titleProblem;
    result.writeError = error;
    result.to = path;
    return GameEntryMessage(result);
}

struct RefusedEntry {
    std::string path, title, message;
};

// Types an entry into the add or properties dialog, presses Enter and answers the refusal.
void EnterRefusedEntry(ModalScript& script, const HWND& dialog, const RefusedEntry& c,
                       std::vector<std::string>& shown) {
    script.Then(Do([&dialog, &c] {
        SetText(dialog, IDC_ENTRY_PATH, c.path);
        SetText(dialog, IDC_ENTRY_TITLE, c.title);
        PostKeyToFocus(VK_RETURN);
    }));
    script.Then(AnswerMessageBox(shown));
}

TEST_F(GamesTest, AddDialogRefusesEntriesInOrderAndStaysOpenWithThem) {
    library_.WriteFile("playing\\Beta.log", test::MakeLogBytes(1));
    Open();
    const std::string tooLong(240, 'x');
    const RefusedEntry cases[] = {
        {"", "", "ファイルパスを指定してください"},
        {"", "New", "ファイルパスを指定してください"},
        {"C:\\G\\n.exe", "", "タイトルが未入力です"},
        {"C:\\G\\n.exe", "a?b", MessageFor(GameEntryProblem::UnusableTitle, TitleProblem::ReservedCharacter)},
        {"C:\\G\\n.exe", "nul.txt", MessageFor(GameEntryProblem::UnusableTitle, TitleProblem::DeviceName)},
        {"C:\\G\\n.exe", tooLong, MessageFor(GameEntryProblem::PathTooLong)},
        {"C:\\G\\n.exe", "Beta", "同名ファイルが存在します。"},
        {"C:\\G\\n.exe", "BETA", "同名ファイルが存在します。"},
    };
    HWND dialog = nullptr;
    std::vector<std::string> shown;
    std::vector<std::pair<std::string, std::string>> keptEdits;
    ModalScript script;
    script.Then(WaitForDialog("アイテムの追加", dialog));
    script.Then([&] {
        EXPECT_EQ(TextOf(dialog, IDC_ENTRY_PATH), "");
        EXPECT_EQ(TextOf(dialog, IDC_ENTRY_TITLE), "");
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_ENTRY_PATH));
        return true;
    });
    for (const RefusedEntry& c : cases) {
        EnterRefusedEntry(script, dialog, c, shown);
        script.Then([&] {
            if (FindDialog("error")) return false;
            if (IsWindowVisible(dialog))
                keptEdits.emplace_back(TextOf(dialog, IDC_ENTRY_PATH), TextOf(dialog, IDC_ENTRY_TITLE));
            return true;
        });
    }
    script.Then(Do([] { PostKeyToFocus(VK_ESCAPE); }));
    script.Then(WaitUntilClosed(dialog));
    script.Run([&] { SendMessageW(window_, WM_COMMAND, MAKEWPARAM(IDC_NEW_FILE, BN_CLICKED), 0); });

    ASSERT_EQ(shown.size(), std::size(cases));
    ASSERT_EQ(keptEdits.size(), std::size(cases)) << "the dialog stays open after each message";
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(shown[i], cases[i].message) << i;
        EXPECT_EQ(keptEdits[i].first, cases[i].path) << i;
        EXPECT_EQ(keptEdits[i].second, cases[i].title) << i;
    }
    EXPECT_EQ(ListedGames(), std::vector<std::string>{"Beta"});
    EXPECT_EQ(library_.ReadFile("playing\\Beta.log"), test::MakeLogBytes(1));
    EXPECT_FALSE(dialog_->State()->HasGame());
}

TEST_F(GamesTest, RegisteringWritesTheLogVerbatimAndShowsTheNewEmptyGame) {
    library_.WriteFile("playing\\Alpha.log", test::MakeLogBytes(3, "C:\\G\\a.exe", "alpha's notes\n"));
    library_.WriteFile("cleared\\New.log", test::MakeLogBytes(1));  // same title, other folder
    Open();
    Pick("Alpha");
    const std::string path = "C:\\Games\\100%\\%s%d 表.exe";
    EnterGame(IDM_NEW_GAME, path.c_str(), "New");

    EXPECT_EQ(library_.ReadFile("playing\\New.log"), path + "\r\n=====Comment_Start====\r\n");
    EXPECT_EQ(library_.ReadFile("cleared\\New.log"), test::MakeLogBytes(1));
    EXPECT_EQ(ListedGames(), (std::vector<std::string>{"Alpha", "New"}));
    EXPECT_EQ(SelectedGameRow(), 1) << "the highlight is the new game";
    EXPECT_EQ(Text(IDC_DETAIL_TITLE), "New");
    EXPECT_EQ(RowCount(), 0);
    EXPECT_EQ(Text(IDC_GAME_COMMENT), "");

    // Later writes go to the new log and carry nothing of the game shown before.
    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "fresh");
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    EXPECT_EQ(library_.ReadFile("playing\\New.log"), path + "\r\n=====Comment_Start====\r\nfresh");
    EXPECT_EQ(library_.ReadFile("playing\\Alpha.log"), test::MakeLogBytes(3, "C:\\G\\a.exe", "alpha's notes\n"));
}

TEST_F(GamesTest, AWaveDashFromTheWebIsTakenAndACharacterOutsideTheCodePageIsNamed) {
    Open();
    std::vector<std::wstring> shown;
    HWND dialog = nullptr;
    ModalScript script;
    script.Then(WaitForDialog("アイテムの追加", dialog));
    auto typeTitle = [&](const wchar_t* title) {
        return Do([&dialog, title] {
            SetText(dialog, IDC_ENTRY_PATH, "C:\\G\\g.exe");
            SetWindowTextW(GetDlgItem(dialog, IDC_ENTRY_TITLE), title);
            PostKeyToFocus(VK_RETURN);
        });
    };
    auto answer = [&] {
        HWND box = FindDialog("error");
        if (!box) return false;
        wchar_t text[512] = {};
        GetWindowTextW(GetDlgItem(box, kMessageBoxText), text, 512);
        shown.push_back(text);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return true;
    };
    script.Then(typeTitle(L"Heart \u2665"));
    script.Then(answer);
    script.Then(typeTitle(L"Smile \U0001F600 2"));
    script.Then(answer);
    script.Then(typeTitle(L"\u301C\u6E9C\u3081\u2212\u301C"));
    script.Then(WaitUntilClosed(dialog));
    RunCommand(script, IDM_NEW_GAME);

    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NE(shown[0].find(L"\u300C\u2665\u300D"), std::wstring::npos) << Narrow(shown[0]);
    EXPECT_NE(shown[0].find(L"U+2665"), std::wstring::npos);
    EXPECT_NE(shown[1].find(L"\u300C\U0001F600\u300D"), std::wstring::npos);
    EXPECT_NE(shown[1].find(L"U+1F600"), std::wstring::npos);
    const std::string title =
        "\x81\x60"
        "溜め"
        "\x81\x7C"
        "\x81\x60";
    EXPECT_EQ(ListedGames(), std::vector<std::string>{title});
    EXPECT_TRUE(library_.Exists("playing\\" + title + ".log"));
    EXPECT_EQ(Text(IDC_DETAIL_TITLE), title);
}

TEST_F(GamesTest, PropertiesShowTheGameAndRewriteItsCommandLineInPlace) {
    library_.WriteFile("playing\\Alpha.log", test::MakeLogBytes(2, "C:\\G\\a.exe", "notes\n"));
    Open();
    HWND dialog = nullptr;
    {
        ModalScript empty;  // no game yet: two empty edits
        empty.Then(WaitForDialog("アイテムの追加", dialog));
        empty.Then(Do([&] {
            EXPECT_EQ(TextOf(dialog, IDC_ENTRY_PATH), "");
            EXPECT_EQ(TextOf(dialog, IDC_ENTRY_TITLE), "");
            PostKeyToFocus(VK_ESCAPE);
        }));
        empty.Then(WaitUntilClosed(dialog));
        RunCommand(empty, IDM_PROPERTIES);
    }
    Pick("Alpha");
    ModalScript script;
    script.Then(WaitForDialog("アイテムの追加", dialog));
    script.Then(Do([&] {
        EXPECT_EQ(TextOf(dialog, IDC_ENTRY_PATH), "C:\\G\\a.exe");
        EXPECT_EQ(TextOf(dialog, IDC_ENTRY_TITLE), "Alpha");
        SetText(dialog, IDC_ENTRY_PATH, "D:\\new place\\a.exe");
        PostKeyToFocus(VK_RETURN);
    }));
    script.Then(WaitUntilClosed(dialog));
    RunCommand(script, IDM_PROPERTIES);

    EXPECT_EQ(library_.ReadFile("playing\\Alpha.log"), test::MakeLogBytes(2, "D:\\new place\\a.exe", "notes\n"));
    EXPECT_EQ(ListedGames(), std::vector<std::string>{"Alpha"});
    EXPECT_EQ(dialog_->State()->Current().log.workingDirectory, "D:\\new place");
    EXPECT_EQ(RowCount(), 2);
}

TEST_F(GamesTest, PropertiesRenameTheGameWithinItsOwnFolder) {
    const std::string alpha = test::MakeLogBytes(2, "C:\\G\\a.exe", "notes\n");
    library_.WriteFile("playing\\Alpha.log", alpha);
    Open();
    Pick("Alpha");
    {
        // Renamed while its own tab is shown: the highlight follows the new title.
        library_.WriteFile("playing\\Beta.log", test::MakeLogBytes(1));
        library_.WriteFile("playing\\Zulu.log", test::MakeLogBytes(1));
        SelectTab(1);
        SelectTab(0);
        Pick("Zulu");
        EnterGame(IDM_PROPERTIES, nullptr, "Aardvark");
        ASSERT_EQ(ListedGames(), (std::vector<std::string>{"Aardvark", "Alpha", "Beta"}));
        EXPECT_EQ(SelectedGameRow(), 0);
        Pick("Alpha");
    }
    SelectTab(1);  // CLEARED shown: the game still lives in playing
    EnterGame(IDM_PROPERTIES, nullptr, "Gamma 表");

    EXPECT_EQ(library_.ReadFile("playing\\Gamma 表.log"), alpha);
    EXPECT_FALSE(library_.Exists("playing\\Alpha.log"));
    EXPECT_FALSE(library_.Exists("cleared\\Gamma 表.log"));
    EXPECT_TRUE(ListedGames().empty()) << "the CLEARED list is refilled";
    EXPECT_EQ(SelectedGameRow(), -1);
    EXPECT_EQ(Text(IDC_DETAIL_TITLE), "Gamma 表");
    EXPECT_EQ(RowCount(), 2);

    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "renamed");
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    EXPECT_EQ(LogOnDisk("playing\\Gamma 表.log").comment, "renamed");
    EXPECT_FALSE(library_.Exists("playing\\Alpha.log"));
}

TEST_F(GamesTest, PropertiesRefuseAClashOrAFailedWriteAndKeepTheOldLog) {
    const std::string alpha = test::MakeLogBytes(2, "C:\\G\\a.exe");
    const std::string beta = test::MakeLogBytes(1, "C:\\G\\b.exe");
    library_.WriteFile("playing\\Alpha.log", alpha);
    library_.WriteFile("playing\\Beta.log", beta);
    library_.MakeFolder("playing\\Locked.log.kbtmp");  // the new log cannot be written through it
    Open();
    Pick("Alpha");
    const RefusedEntry cases[] = {
        {"C:\\G\\changed.exe", "Beta", "同名ファイルが存在します。"},
        {"C:\\G\\changed.exe", "beta", "同名ファイルが存在します。"},
        {"C:\\G\\changed.exe", "Locked",
         MessageFor(GameEntryProblem::CannotWrite, TitleProblem::None, FsError::AccessDenied,
                    library_.Path("playing\\Locked.log"))},
    };
    HWND dialog = nullptr;
    std::vector<std::string> shown;
    ModalScript script;
    script.Then(WaitForDialog("アイテムの追加", dialog));
    for (const RefusedEntry& c : cases) {
        EnterRefusedEntry(script, dialog, c, shown);
    }
    script.Then([&] {
        if (FindDialog("error")) return false;
        EXPECT_TRUE(IsWindowVisible(dialog));
        PostKeyToFocus(VK_ESCAPE);
        return true;
    });
    script.Then(WaitUntilClosed(dialog));
    RunCommand(script, IDM_PROPERTIES);

    ASSERT_EQ(shown.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(shown[i], cases[i].message) << i;
    EXPECT_EQ(library_.ReadFile("playing\\Alpha.log"), alpha);
    EXPECT_EQ(library_.ReadFile("playing\\Beta.log"), beta);
    EXPECT_FALSE(library_.Exists("playing\\Locked.log"));
    EXPECT_EQ(dialog_->State()->Current().title, "Alpha");
    EXPECT_EQ(dialog_->State()->Current().log.commandLine, "C:\\G\\a.exe");
}

TEST_F(GamesTest, MoveTakesTheLogAndLaterWritesFollowIt) {
    const std::string alpha = test::MakeLogBytes(2, "C:\\G\\a.exe", "notes\n");
    library_.WriteFile("playing\\Alpha.log", alpha);
    library_.WriteFile("playing\\Beta.log", test::MakeLogBytes(1));
    Open();
    Pick("Alpha");
    Command(IDM_MOVE_CLEARED);
    EXPECT_EQ(library_.ReadFile("cleared\\Alpha.log"), alpha);
    EXPECT_FALSE(library_.Exists("playing\\Alpha.log"));
    EXPECT_EQ(ListedGames(), std::vector<std::string>{"Beta"});
    EXPECT_EQ(SelectedGameRow(), -1) << "Beta is not the game shown";
    EXPECT_EQ(Text(IDC_DETAIL_TITLE), "Alpha") << "the game stays shown";
    EXPECT_EQ(RowCount(), 2);

    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "moved");
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    EXPECT_EQ(LogOnDisk("cleared\\Alpha.log").comment, "moved");
    EXPECT_FALSE(library_.Exists("playing\\Alpha.log")) << "the old log is not made again";
}

TEST_F(GamesTest, MoveOntoAnExistingLogAsksForAnotherTitle) {
    const std::string alpha = test::MakeLogBytes(2, "C:\\G\\a.exe");
    const std::string other = test::MakeLogBytes(1, "C:\\G\\other.exe");
    library_.WriteFile("playing\\Alpha.log", alpha);
    library_.WriteFile("cleared\\Alpha.log", other);
    Open();
    Pick("Alpha");
    for (int command : {IDM_MOVE_CLEARED, IDM_MOVE_PLAYING}) {  // another game's log, then its own
        std::vector<std::string> shown;
        ModalScript script;
        script.Then(AnswerMessageBox(shown));
        RunCommand(script, command);
        EXPECT_EQ(shown, std::vector<std::string>{"同名ファイルが存在するためタイトルを変更する必要があります。"})
            << command;
    }
    EXPECT_EQ(library_.ReadFile("playing\\Alpha.log"), alpha);
    EXPECT_EQ(library_.ReadFile("cleared\\Alpha.log"), other);
    EXPECT_EQ(ListedGames(), std::vector<std::string>{"Alpha"});
}

TEST_F(GamesTest, DeleteRemovesTheCurrentGameForGood) {
    library_.WriteFile("playing\\Alpha.log", test::MakeLogBytes(2, "C:\\G\\a.exe", "notes\n"));
    library_.WriteFile("playing\\Beta.log", test::MakeLogBytes(1));
    Open();
    Command(IDM_DELETE_GAME);  // nothing picked yet: nothing happens
    EXPECT_EQ(ListedGames(), (std::vector<std::string>{"Alpha", "Beta"}));

    Pick("Alpha");
    Command(IDM_DELETE_GAME);
    EXPECT_FALSE(library_.Exists("playing\\Alpha.log"));
    EXPECT_EQ(ListedGames(), std::vector<std::string>{"Beta"});
    EXPECT_EQ(RowCount(), 0);
    for (int id :
         {IDC_DETAIL_TITLE, IDC_GAME_COMMENT, IDC_DETAIL_PLAY, IDC_DETAIL_SESSION_COUNT, IDC_DETAIL_TOTAL_INPUTS})
        EXPECT_EQ(Text(id), "") << id;

    // Nothing written afterwards brings the log back.
    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "late");
    EXPECT_EQ(CloseWith(IDCANCEL), kExitByCancel);
    EXPECT_FALSE(library_.Exists("playing\\Alpha.log"));
}

// The wine prefix keeps its desktop's trash under XDG_DATA_HOME, inside the prefix.
std::string TrashFolder() {
    std::string data = test::WindowsPathFromEnv("XDG_DATA_HOME");
    return data.empty() ? data : data + "\\Trash";
}

TEST_F(GamesTest, DeleteMovesTheLogWithWhatWasTypedIntoTheRecycleBin) {
    const std::string trash = TrashFolder();
    // Without it the system's trash would be the one in the home folder.
    ASSERT_FALSE(trash.empty()) << "XDG_DATA_HOME must point inside the test prefix";
    // A title of its own, so no earlier run's file in the trash can answer for it.
    const std::string root = library_.Root();
    const std::string title = "消す " + root.substr(root.find_last_of('\\') + 1);
    const std::string log = test::MakeLogBytes(2, "C:\\G\\a.exe", "notes\n");
    library_.WriteFile("playing\\" + title + ".log", log);
    Open();
    Pick(title);
    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "typed before");
    Command(IDM_DELETE_GAME);

    EXPECT_FALSE(library_.Exists("playing\\" + title + ".log"));
    EXPECT_TRUE(ListedGames().empty());
    const std::wstring inTrash = Widen(trash + "\\files\\" + title + ".log");
    std::string bytes;
    ASSERT_EQ(Win32FileSystem().ReadFile(Narrow(inTrash), bytes), FsError::None) << "not in the trash";
    EXPECT_EQ(ParseGameLogFile(bytes).comment, "typed before");
    EXPECT_EQ(ParseGameLogFile(bytes).sessions.size(), 2u);
    const std::string home = test::WindowsPathFromEnv("HOME");
    if (!home.empty()) {
        EXPECT_FALSE(Win32FileSystem().Exists(home + "\\.local\\share\\Trash\\files\\" + title + ".log"));
    }
    DeleteFileW(inTrash.c_str());
    DeleteFileW(Widen(trash + "\\info\\" + title + ".log.trashinfo").c_str());
}

TEST_F(GamesTest, GameContextMenuLoadsTheRightClickedGameAndDeletesIt) {
    library_.WriteFile("playing\\Alpha.log", test::MakeLogBytes(2));
    library_.WriteFile("playing\\Beta.log", test::MakeLogBytes(3));
    library_.WriteFile("playing\\Gone.log", test::MakeLogBytes(1));
    Open();
    Pick("Alpha");
    HWND list = Item(IDC_GAME_LIST);
    DeleteFileW(Widen(library_.Path("playing\\Gone.log")).c_str());  // listed, but no longer there

    // No menu for empty space, nor for a game that cannot be loaded (its
    // commands would act on the game shown). The typed comment is stored.
    const struct {
        const char* name;
        POINT at;
    } noMenuCases[] = {{"empty space", EmptyPoint(list)}, {"vanished log", RowPoint(list, RowIndexOf("Gone"))}};
    for (const auto& c : noMenuCases) {
        SetWindowTextCp932(Item(IDC_GAME_COMMENT), std::string("typed before ") + c.name);
        ModalScript none;
        MenuSeen noMenu;
        ChooseFromMenu(none, noMenu, -1);
        RunInput(
            none, [&] { Click(list, c.at, true); }, false);
        EXPECT_EQ(none.StepsDone(), 0u) << c.name;
        EXPECT_EQ(LogOnDisk("playing\\Alpha.log").comment, std::string("typed before ") + c.name);
        EXPECT_EQ(dialog_->State()->Current().title, "Alpha") << c.name;
    }

    // A row: its game is loaded and shown before the menu opens, at the pointer.
    std::string titleWhenShown;
    int rowsWhenShown = -1;
    MenuSeen seen;
    ModalScript script;
    script.Then([&] {
        if (!FindMenu()) return false;
        titleWhenShown = Text(IDC_DETAIL_TITLE);
        rowsWhenShown = RowCount();
        return true;
    });
    ChooseFromMenu(script, seen, 8);  // "削除"
    const POINT at = RowPoint(list, RowIndexOf("Beta"));
    RunInput(script, [&] { Click(list, at, true); });

    EXPECT_EQ(titleWhenShown, "Beta");
    EXPECT_EQ(rowsWhenShown, 3);
    EXPECT_EQ(seen.items, kGameMenu);
    const POINT screen = ScreenPoint(list, at);
    EXPECT_EQ(seen.rect.left, screen.x);
    EXPECT_EQ(seen.rect.top, screen.y);
    EXPECT_FALSE(library_.Exists("playing\\Beta.log"));
    EXPECT_TRUE(library_.Exists("playing\\Alpha.log"));
    EXPECT_EQ(ListedGames(), std::vector<std::string>{"Alpha"}) << "the refill drops the vanished log too";
}

TEST_F(GamesTest, SessionContextMenuCommentsTheRightClickedRow) {
    library_.WriteFile("playing\\Alpha.log", test::MakeLogBytes(3));
    Open();
    Pick("Alpha");
    std::string shownComment;
    HWND dialog = nullptr;
    auto commentStep = [&](const std::string& text) {
        return [&, text] {
            if (!(dialog = FindDialog("コメント"))) return false;
            shownComment = TextOf(dialog, IDC_COMMENT_TEXT);
            SetText(dialog, IDC_COMMENT_TEXT, text);
            PostKeyToFocus(VK_RETURN);
            return true;
        };
    };

    MenuSeen seen;
    ModalScript script;
    ChooseFromMenu(script, seen, 2);  // "コメントを付ける"
    script.Then(commentStep("second"));
    script.Then(WaitUntilClosed(dialog));
    RunInput(script, [&] { Click(Table(), RowPoint(Table(), 1), true); });
    EXPECT_EQ(seen.items, kSessionMenu);
    EXPECT_EQ(shownComment, "note 2");
    EXPECT_EQ(LogOnDisk("playing\\Alpha.log").sessions[1].Field(kComment), "second");

    // Empty space: the menu is shown and the row clicked before is kept.
    ModalScript again;
    MenuSeen seenAgain;
    ChooseFromMenu(again, seenAgain, 2);
    again.Then(commentStep("second again"));
    again.Then(WaitUntilClosed(dialog));
    RunInput(again, [&] { Click(Table(), EmptyPoint(Table()), true); });
    EXPECT_EQ(seenAgain.items, kSessionMenu);
    EXPECT_EQ(shownComment, "second");
    GameLogContent disk = LogOnDisk("playing\\Alpha.log");
    EXPECT_EQ(disk.sessions[1].Field(kComment), "second again");
    EXPECT_EQ(disk.sessions[0].Field(kComment), "note 1");
    EXPECT_EQ(disk.sessions[2].Field(kComment), "note 3");
}

// Another program changes the log while it is shown and keeps it open
// without sharing: the typed comment cannot be put on what is there now, so
// nothing is written and the user is told.
TEST_F(GamesTest, ALogChangedOnDiskThatCannotBeReadAgainIsLeftAsItIsAndTheUserIsTold) {
    library_.WriteFile("playing\\Alpha.log", test::MakeLogBytes(2, "C:\\G\\a.exe", "old notes"));
    library_.WriteFile("playing\\Beta.log", test::MakeLogBytes(1));
    Open();
    Pick("Alpha");
    const std::string edited = library_.ReadFile("playing\\Alpha.log") + "added elsewhere\r\n";
    library_.WriteFile("playing\\Alpha.log", edited);
    UniqueFile held(CreateFileW(Widen(library_.Path("playing\\Alpha.log")).c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "typed in Kibolt");
    std::vector<std::string> told;
    ModalScript script;
    script.Then(AnswerMessageBox(told));
    script.Run([&] { dialog_->SelectGame(RowIndexOf("Beta")); });
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("読み直せませんでした"), std::string::npos) << told[0];
    EXPECT_NE(told[0].find("Alpha.log"), std::string::npos) << told[0];

    held.Reset();
    EXPECT_EQ(library_.ReadFile("playing\\Alpha.log"), edited);
    EXPECT_EQ(dialog_->State()->Current().title, "Beta");
}

TEST_F(GamesTest, TheTypedGameCommentOutlivesASessionComment) {
    library_.WriteFile("playing\\Alpha.log", test::MakeLogBytes(2, "C:\\G\\a.exe", "old notes"));
    Open();
    Pick("Alpha");
    SetWindowTextCp932(Item(IDC_GAME_COMMENT), "typed notes");
    HWND dialog = nullptr;
    ModalScript script;
    script.Then(WaitForDialog("コメント", dialog));
    script.Then(Do([&] {
        SetText(dialog, IDC_COMMENT_TEXT, "boss");
        PostKeyToFocus(VK_RETURN);
    }));
    script.Then(WaitUntilClosed(dialog));
    RunInput(script, [&] { DoubleClick(Table(), RowPoint(Table(), 0)); });
    GameLogContent disk = LogOnDisk("playing\\Alpha.log");
    EXPECT_EQ(disk.sessions[0].Field(kComment), "boss");
    EXPECT_EQ(disk.comment, "typed notes");
    EXPECT_EQ(Text(IDC_GAME_COMMENT), "typed notes");
}

struct CommentCase {
    const char* name;
    std::string typed;
    std::function<void(HWND)> close;
    std::string stored;
};

TEST_F(GamesTest, CommentDialogStoresOnEnterOnlyAndKeepsLogLinesWhole) {
    library_.WriteFile("playing\\Alpha.log", test::MakeLogBytes(2));
    Open();
    Pick("Alpha");
    auto enter = [](HWND) { PostKeyToFocus(VK_RETURN); };
    const std::string kanji = "表";  // its second byte is 0x5C
    const CommentCase cases[] = {
        {"comma", "boss, second try", enter, "boss, second try"},
        {"escape", "dropped", [](HWND) { PostKeyToFocus(VK_ESCAPE); }, "boss, second try"},
        {"close box", "dropped", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, "boss, second try"},
        {"300 bytes", std::string(300, 'c'), enter, std::string(255, 'c')},
        {"split pair", std::string(254, 'a') + kanji, enter, std::string(254, 'a')},
        {"line break", "one\r\ntwo\x1A", enter, "one  two "},
        {"empty", "", enter, ""},
    };
    for (const CommentCase& c : cases) {
        HWND dialog = nullptr;
        ModalScript script;
        script.Then(WaitForDialog("コメント", dialog));
        script.Then(Do([&] {
            SetText(dialog, IDC_COMMENT_TEXT, c.typed);
            c.close(dialog);
        }));
        script.Then(WaitUntilClosed(dialog));
        RunInput(script, [&] { DoubleClick(Table(), RowPoint(Table(), 1)); });
        GameLogContent disk = LogOnDisk("playing\\Alpha.log");
        ASSERT_EQ(disk.sessions.size(), 2u) << c.name;
        EXPECT_EQ(disk.sessions[1].Field(kComment), c.stored) << c.name;
        EXPECT_EQ(ListViewGetCell(Table(), 1, 9), c.stored) << c.name;
        EXPECT_EQ(disk.sessions[0].Field(kComment), "note 1") << c.name;
        EXPECT_EQ(dialog_->State()->Current().log.sessions[1].Field(kComment), c.stored) << c.name;
    }
}

TEST_F(GamesTest, CommentCommandWithoutASessionOpensNothing) {
    library_.WriteFile("playing\\Three.log", test::MakeLogBytes(3));
    library_.WriteFile("playing\\One.log", test::MakeLogBytes(1));
    Open();
    Pick("Three");
    bool opened = false;
    auto watch = [&] {
        ModalScript script;
        script.Then([&] {
            HWND dialog = FindDialog("コメント");
            if (dialog) EndDialog(dialog, IDCANCEL);
            return opened = dialog != nullptr;
        });
        return script;
    };
    ModalScript beforeRightClick = watch();
    RunCommand(beforeRightClick, IDM_COMMENT_SESSION);
    EXPECT_FALSE(opened) << "no row right-clicked yet";

    ModalScript rightClick;
    MenuSeen seen;
    ChooseFromMenu(rightClick, seen, -1);
    RunInput(rightClick, [&] { Click(Table(), RowPoint(Table(), 2), true); });
    Pick("One");
    ModalScript stale = watch();
    RunCommand(stale, IDM_COMMENT_SESSION);
    EXPECT_FALSE(opened) << "row 2 is no session of a game with one";

    ModalScript emptySpace = watch();
    RunInput(
        emptySpace, [&] { DoubleClick(Table(), EmptyPoint(Table())); }, false);
    EXPECT_FALSE(opened) << "a double-click on no row";
    EXPECT_EQ(library_.ReadFile("playing\\One.log"), test::MakeLogBytes(1));
    EXPECT_EQ(library_.ReadFile("playing\\Three.log"), test::MakeLogBytes(3));
}

TEST_F(GamesTest, AboutBoxClosesWithOkAndEnterButNotEsc) {
    Open();
    for (bool byEnter : {true, false}) {
        HWND box = nullptr;
        bool openAfterEsc = false, openAfterClose = false;
        ModalScript script;
        script.Then(WaitForDialog("About", box));
        script.Then(Do([&] {
            EXPECT_EQ(TextOf(box, IDC_ABOUT_PRODUCT), "Kibolt\nVersion " KIBOLT_VERSION_TEXT);
            HWND icon = nullptr;
            for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) icon = child;
            ASSERT_NE(icon, nullptr);
            EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0);
            EXPECT_EQ(GetFocus(), GetDlgItem(box, IDOK));
            PostKeyToFocus(VK_ESCAPE);
        }));
        script.Then(Do([&] {
            openAfterEsc = IsWindowVisible(box);
            PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        }));
        script.Then(Do([&] {
            openAfterClose = IsWindowVisible(box);
            if (byEnter)
                PostKeyToFocus(VK_RETURN);
            else
                PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        }));
        script.Then(WaitUntilClosed(box));
        RunCommand(script, IDM_ABOUT);
        EXPECT_TRUE(openAfterEsc) << byEnter;
        EXPECT_TRUE(openAfterClose) << byEnter;
    }
}

TEST_F(GamesTest, BrowseOffersExecutablesAndFillsThePath) {
    library_.WriteFile("game.exe", "MZ");
    Open();
    HWND dialog = nullptr, chooser = nullptr;
    std::vector<std::string> filters;
    std::string initialName;
    auto openChooser = [&] {
        return [&] {
            chooser = nullptr;
            PostMessageW(GetDlgItem(dialog, IDC_ENTRY_BROWSE), BM_CLICK, 0, 0);
            return true;
        };
    };
    ModalScript script;
    script.Then(WaitForDialog("アイテムの追加", dialog));
    script.Then(Do([&] { SetText(dialog, IDC_ENTRY_PATH, "kept"); }));
    script.Then(openChooser());
    script.Then(WaitForDialogOwnedBy(dialog, chooser));
    script.Then(Do([&] { PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0); }));  // cancelled: nothing changes
    script.Then(WaitUntilClosed(chooser));
    script.Then([&] {
        EXPECT_EQ(TextOf(dialog, IDC_ENTRY_PATH), "kept");
        return true;
    });
    script.Then(openChooser());
    script.Then(WaitForDialogOwnedBy(dialog, chooser));
    script.Then(Do([&] {
        HWND types = GetDlgItem(chooser, kFileTypeCombo);
        for (int i = 0; i < SendMessageW(types, CB_GETCOUNT, 0, 0); ++i) {
            wchar_t text[128] = {};
            SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            filters.push_back(Narrow(text));
        }
        initialName = TextOf(chooser, kFileNameCombo);
        SetText(chooser, kFileNameCombo, library_.Path("game.exe"));
        PostMessageW(chooser, WM_COMMAND, IDOK, 0);
    }));
    script.Then(WaitUntilClosed(chooser));
    script.Then([&] {
        EXPECT_EQ(TextOf(dialog, IDC_ENTRY_PATH), library_.Path("game.exe"));
        PostKeyToFocus(VK_ESCAPE);
        return true;
    });
    script.Then(WaitUntilClosed(dialog));
    RunCommand(script, IDM_NEW_GAME);

    EXPECT_EQ(filters, (std::vector<std::string>{"実行ファイル (*.exe)", "すべてのファイル (*.*)"}));
    EXPECT_EQ(initialName, "無題");
    EXPECT_TRUE(ListedGames().empty()) << "cancelled: nothing registered";
}

// Desktop shortcuts. The tests' wine prefix has a Desktop folder of its own
// (tools/common.sh), so they write nowhere else.
class ShortcutTest : public GamesTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        wchar_t* path = nullptr;
        ASSERT_TRUE(SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path)));
        desktop_ = Narrow(path) + "\\";
        CoTaskMemFree(path);
        RemoveShortcuts();
    }
    void TearDown() override {
        RemoveShortcuts();
        GamesTest::TearDown();
        CoUninitialize();
    }
    void RemoveShortcuts() {
        for (int n = 1; n <= 5; ++n) DeleteFileW(Widen(desktop_ + ShortcutName(n)).c_str());
    }
    std::string ShortcutName(int n) const {
        return n == 1 ? std::string(kTitle) + ".lnk" : std::string(kTitle) + " (" + std::to_string(n) + ").lnk";
    }
    std::wstring PathOf(int n) const { return Widen(desktop_ + ShortcutName(n)); }
    bool Exists(int n) const { return GetFileAttributesW(PathOf(n).c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::string Bytes(int n) const {
        UniqueFile file(
            CreateFileW(PathOf(n).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        std::string bytes(4096, '\0');
        DWORD got = 0;
        if (!file || !ReadFile(file.Get(), bytes.data(), 4096, &got, nullptr)) return {};
        bytes.resize(got);
        return bytes;
    }
    void WriteUserFile(int n, const std::string& bytes) const {
        UniqueFile file(CreateFileW(PathOf(n).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }

    struct Link {
        std::string target, arguments, folder, icon, description;
        int iconIndex = -1;
    };
    Link Read(int n) const {
        Link link;
        IShellLinkW* shell = nullptr;
        IPersistFile* file = nullptr;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    reinterpret_cast<void**>(&shell))))
            return link;
        if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
            SUCCEEDED(file->Load(PathOf(n).c_str(), STGM_READ))) {
            wchar_t text[1024] = {};
            shell->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
            link.target = Narrow(text);
            shell->GetArguments(text, 1024);
            link.arguments = Narrow(text);
            shell->GetWorkingDirectory(text, 1024);
            link.folder = Narrow(text);
            shell->GetIconLocation(text, 1024, &link.iconIndex);
            link.icon = Narrow(text);
            shell->GetDescription(text, 1024);
            link.description = Narrow(text);
        }
        if (file) file->Release();
        shell->Release();
        return link;
    }
    static std::string ThisProgram() {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        return Narrow(path);
    }

    // "ショートカットを作成" and the message it answers with; the message's text.
    std::string CreateShortcut() {
        std::vector<std::string> texts;
        ModalScript script;
        script.Then(AnswerMessageBox(texts, "Kibolt"));
        RunCommand(script, IDM_CREATE_SHORTCUT);
        return texts.empty() ? "(no message)" : texts[0];
    }
    static std::string MadeMessage(int n) {
        const std::string name =
            n == 1 ? std::string(kTitle) + ".lnk" : std::string(kTitle) + " (" + std::to_string(n) + ").lnk";
        return "デスクトップに「" + name + "」を作成しました";
    }

    static constexpr const char* kTitle = "Kibolt shortcut 表 test";
    std::string desktop_;
};

TEST_F(ShortcutTest, MakesAShortcutThatPlaysTheGameAndNeverReplacesAFile) {
    const std::string game = test::WindowsPathFromEnv("SAMPLE_GAME_EXE");
    if (game.empty()) GTEST_SKIP() << "SAMPLE_GAME_EXE is not set";
    library_.WriteFile(std::string("playing\\") + kTitle + ".log", "\"" + game + "\" -x\r\n=====Comment_Start====\r\n");
    Open();
    Pick(kTitle);

    EXPECT_EQ(CreateShortcut(), MadeMessage(1));
    ASSERT_TRUE(Exists(1));
    Link link = Read(1);
    EXPECT_EQ(FoldAsciiCase(link.target), FoldAsciiCase(ThisProgram()));
    EXPECT_EQ(link.arguments, std::string("--play \"") + kTitle + "\"");
    EXPECT_EQ(link.folder, library_.Root());
    EXPECT_EQ(FoldAsciiCase(link.icon), FoldAsciiCase(game));  // the game's first icon
    EXPECT_EQ(link.iconIndex, 0);
    EXPECT_NE(link.description.find(kTitle), std::string::npos);

    // The name is taken: the next one is "(2)"; a user's own file "(3)" stays as it is.
    const std::string first = Bytes(1);
    EXPECT_EQ(CreateShortcut(), MadeMessage(2));
    EXPECT_TRUE(Exists(2));
    EXPECT_EQ(Read(2).arguments, link.arguments);
    EXPECT_EQ(Bytes(1), first);
    WriteUserFile(3, "mine");
    EXPECT_EQ(CreateShortcut(), MadeMessage(4));
    EXPECT_EQ(Bytes(3), "mine");
    EXPECT_TRUE(Exists(4));
}

TEST_F(ShortcutTest, AGameWithoutItsProgramGetsKiboltsIconAndNoGameGetsNoShortcut) {
    library_.WriteFile(std::string("playing\\") + kTitle + ".log",
                       "C:\\nowhere\\gone.exe\r\n=====Comment_Start====\r\n");
    Open();
    Command(IDM_CREATE_SHORTCUT);  // no current game: nothing
    EXPECT_FALSE(Exists(1));
    Pick(kTitle);
    EXPECT_EQ(CreateShortcut(), MadeMessage(1));
    ASSERT_TRUE(Exists(1));
    EXPECT_EQ(FoldAsciiCase(Read(1).icon), FoldAsciiCase(ThisProgram()));
}

// "readmeを開く": the readme beside the program in the user's text editor.
TEST_F(GamesTest, ReadmeOpensInTheTextEditorOrItsAbsenceIsReported) {
    Open();
    std::vector<std::string> texts;
    ModalScript missing;
    missing.Then(AnswerMessageBox(texts));
    RunCommand(missing, IDM_README);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("readme.txt"), std::string::npos);

    library_.WriteFile("readme.txt", "\xEF\xBB\xBFKibolt readme\r\n");
    // The editor shows the file: its window's caption names it.
    auto openAndClose = [&] {
        Command(IDM_README);
        HWND editor = nullptr;
        ASSERT_TRUE(PumpUntil(
            [&] {
                editor = test::FindTopLevelWindow([](HWND window) {
                    return IsWindowVisible(window) && GetWindowTextCp932(window).find("readme") != std::string::npos;
                });
                return editor != nullptr;
            },
            15000, window_));
        DWORD editorProcess = 0;
        GetWindowThreadProcessId(editor, &editorProcess);
        EXPECT_NE(editorProcess, GetCurrentProcessId());
        PostMessageW(editor, WM_CLOSE, 0, 0);
        PumpUntil([&] { return !IsWindow(editor); }, 5000, window_);
    };
    // The test prefix registers no program for text files: Notepad opens it.
    openAndClose();
    // With text files registered, as on any Windows system, the registered editor opens it.
    ASSERT_EQ(
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Classes\\.txt", nullptr, REG_SZ, L"txtfile", sizeof L"txtfile"),
        ERROR_SUCCESS);
    openAndClose();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Classes\\.txt");
}

}  // namespace
}  // namespace kibolt
