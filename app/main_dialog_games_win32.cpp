// The main window's game management: registering, editing, moving and
// deleting games, the context menus, session comments and the About box.
#include "app/main_dialog_win32.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <windowsx.h>

#include "dialogs/about_dialog_win32.h"
#include "dialogs/comment_dialog_win32.h"
#include "dialogs/context_menus_win32.h"
#include "dialogs/game_dialog_win32.h"
#include "launch/desktop_shortcut_win32.h"
#include "launch/shortcut_text.h"
#include "library/game_commands.h"
#include "resources/resource_ids.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

// The detail fields as they are before any game is picked.
constexpr int kDetailFields[] = {IDC_DETAIL_PLAY,         IDC_DETAIL_SESSION_COUNT, IDC_DETAIL_TOTAL_PLAY,
                                 IDC_DETAIL_ACTIVE,       IDC_DETAIL_TITLE,         IDC_DETAIL_TOTAL_ACTIVE,
                                 IDC_DETAIL_TOTAL_INPUTS, IDC_DETAIL_INPUTS};

// Where the pointer was when the button that opened a context menu went up:
// the menu opens there even if the pointer has moved on since.
POINT ClickPosition() {
    const DWORD position = GetMessagePos();
    return {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
}

// Why a game stays after "削除": its log could not go to the Recycle Bin.
std::string RecycleFailureMessage(const DeleteResult& result) {
    return "ログをごみ箱に移せなかったため、削除しませんでした。\r\n" + FsErrorText(result.error) + "\r\n" +
           result.path;
}

}  // namespace

void MainDialog::OnAddGame() {
    // The shown game's comment edit is redrawn for the new game: keep what was typed.
    SaveGameComment();
    if (RunGameDialog(instance_, window_, GameDialogKind::Add, *state_, fs_))
        Changed(Change::GameList | Change::Current | Change::Library);
}

void MainDialog::OnGameProperties() {
    if (!LogMayMove()) return;
    std::optional<GameEntryResult> result = RunGameDialog(instance_, window_, GameDialogKind::Properties, *state_, fs_);
    if (!result) return;
    if (result->Moved()) CurrentGameLogMoved(result->from, result->to);
    Changed(Change::GameList | Change::Current | Change::Library);
}

void MainDialog::OnMoveGame(Category target) {
    if (!LogMayMove()) return;
    MoveResult result = MoveGame(*state_, fs_, target);
    switch (result.problem) {
    case MoveProblem::None:
        CurrentGameLogMoved(result.from, result.to);
        Changed(Change::GameList | Change::Library);
        break;
    case MoveProblem::TitleExists:
        MessageBoxCp932(window_, "同名ファイルが存在するためタイトルを変更する必要があります。", kErrorCaption, MB_OK);
        break;
    case MoveProblem::PathTooLong:
        MessageBoxCp932(window_, "移動先のパスが長くなりすぎるため移動できません。タイトルを短くしてください。",
                        kErrorCaption, MB_OK);
        break;
    case MoveProblem::NoGame:
    case MoveProblem::CannotMove: break;  // nothing moved, nothing to show
    }
}

void MainDialog::OnDeleteGame() {
    if (!LogMayMove()) return;
    const DeleteResult deleted = DeleteGame(*state_, fs_);
    if (deleted.problem == DeleteProblem::CannotRecycle) {
        MessageBoxCp932(window_, RecycleFailureMessage(deleted), kErrorCaption, MB_OK | MB_ICONWARNING);
        return;
    }
    if (!deleted.Ok()) return;  // no game
    Changed(Change::GameList | Change::Current | Change::Library);
    for (int id : kDetailFields) SetDlgItemTextCp932(window_, id, "");
}

bool MainDialog::LogMayMove() {
    // The log is rewritten, moved or recycled from memory: it takes what was typed with it.
    SaveGameComment();
    if (!state_->HasGame()) return true;
    const bool ready = recorder_->ReadyToChange(state_->Current().logPath);
    AfterRecorder();  // sessions that could be written just now
    if (!ready)
        MessageBoxCp932(window_,
                        "このゲームには、まだログに書き込めていないプレイ記録があるか、記録の一時ファイル "
                        "(kibolt.checkpoint) を更新できないため、移動・変更・削除できません。\r\n"
                        "記録を書き込めるようになってから、もう一度試してください。\r\n" +
                            state_->Current().logPath,
                        kErrorCaption, MB_OK | MB_ICONWARNING);
    return ready;
}

void MainDialog::OnGameContextMenu(int row) {
    const POINT at = ClickPosition();
    if (row < 0) {
        SaveGameComment();
        return;
    }
    // The menu's commands act on the current game: without the clicked game
    // loaded they would act on another one.
    const bool loaded = LoadGame(gameList_.Title(row));
    SyncGameListSelection();
    if (!loaded) return;
    ShowContextMenu(instance_, window_, IDR_GAME_MENU, at);
}

void MainDialog::OnSessionContextMenu(int row) {
    const POINT at = ClickPosition();
    if (row >= 0) commentRow_ = row;
    ShowContextMenu(instance_, window_, IDR_SESSION_MENU, at);
}

void MainDialog::OnCommentSession(int row) {
    const std::vector<SessionRecord>& sessions = state_->Current().log.sessions;
    if (row < 0 || static_cast<size_t>(row) >= sessions.size()) return;
    std::optional<std::string> text =
        RunCommentDialog(instance_, window_, std::string(sessions[static_cast<size_t>(row)].Field(kComment)));
    if (text) SetSessionComment(row, *text);
}

void MainDialog::OnAbout() { RunAboutDialog(instance_, window_); }

void MainDialog::OnCreateShortcut() {
    const GameRecord& game = state_->Current();
    ShortcutResult result = CreateDesktopShortcut(game.title, state_->Root(),
                                                  ProgramPathFromCommandLine(game.log.commandLine, state_->Root()));
    // The file appears silently on the desktop: the user is told which one it is, or why there is none.
    if (result.created)
        MessageBoxCp932(window_, ShortcutMadeMessage(result.fileName), "Kibolt", MB_OK | MB_ICONINFORMATION);
    else
        MessageBoxCp932(window_, result.error, kErrorCaption, MB_OK | MB_ICONERROR);
}

void MainDialog::OnOpenReadme() {
    const std::string path = LibraryFilePath(state_->Root(), "readme.txt");
    const std::wstring widePath = WidenPath(path);
    DWORD attributes = GetFileAttributesW(widePath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        MessageBoxCp932(window_, "readme.txt が見つかりません。\r\n" + path, kErrorCaption, MB_OK | MB_ICONERROR);
        return;
    }
    // The user's own editor for text files; Notepad where no program is
    // registered for them (as in a bare wine prefix, where opening the file
    // itself would wait for ever).
    const std::wstring folder = WidenPath(state_->Root());
    wchar_t command[MAX_PATH * 2] = {};
    DWORD length = MAX_PATH * 2;
    bool associated = SUCCEEDED(AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_COMMAND, L".txt", L"open", command, &length));
    auto opened = reinterpret_cast<INT_PTR>(
        associated ? ShellExecuteW(window_, L"open", widePath.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL)
                   : ShellExecuteW(window_, L"open", L"notepad.exe", (L"\"" + widePath + L"\"").c_str(), folder.c_str(),
                                   SW_SHOWNORMAL));
    if (opened <= 32)
        MessageBoxCp932(window_, "readme.txt を開けませんでした。\r\n" + path, kErrorCaption, MB_OK | MB_ICONERROR);
}

}  // namespace kibolt
