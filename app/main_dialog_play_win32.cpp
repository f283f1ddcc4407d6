// The main window's play sessions: starting the current game, recording its
// sessions, and the activity reports of the hook library.
#include "app/main_dialog_win32.h"

#include "library/library_paths.h"
#include "library/game_commands.h"
#include "library/session_commands.h"
#include "library/time_text.h"
#include "resources/resource_ids.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const UniqueLocal buffer(text);
    std::wstring message = length && text ? std::wstring(text, length) : L"";
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    std::string result = Narrow(message);
    if (result.empty()) result = "error " + std::to_string(error);
    return result;
}

}  // namespace

void MainDialog::StartSelectedGame(int row) {
    if (row < 0 || launcher_.Running()) return;
    SaveGameComment();  // the load below redraws the comment field
    // A log that cannot be read starts nothing: not the game shown so far either.
    const bool loaded = state_->LoadGame(gameList_.Title(row)) == LoadResult::Loaded;
    if (loaded) RefreshViews();
    SyncGameListSelection();
    if (loaded) OnStartGame();
}

bool MainDialog::CurrentGameIsPlaying() const {
    if (!launcher_.Running() || !state_ || !state_->HasGame()) return false;
    return FoldAsciiCase(state_->Current().logPath) == FoldAsciiCase(launchedLogPath_);
}

void MainDialog::UpdatePlayIndicator() {
    std::string text;
    if (playLocked_) {
        // Until the game takes input its session has not begun: nothing played yet.
        std::string played = playSession_.PlayTimeSoFar();
        text = "プレイ中 " + (played.empty() ? FormatDuration(0) : played);
    }
    if (GetDlgItemTextCp932(window_, IDC_PLAY_STATUS) != text) SetDlgItemTextCp932(window_, IDC_PLAY_STATUS, text);
}

void MainDialog::OnStartGame(const std::optional<std::string>& commandLine) {
    if (launcher_.Running() || !state_->HasGame()) return;  // one game at a time; nothing to start
    const GameRecord& game = state_->Current();
    launchedLogPath_ = game.logPath;
    launchedCommandLine_ = commandLine.value_or(game.log.commandLine);
    const std::string workingDirectory =
        commandLine ? WorkingDirectoryOf(launchedCommandLine_) : game.log.workingDirectory;
    EnablePlayLockedControls(false);
    if (!launcher_.Start(window_, launchedCommandLine_, workingDirectory)) EnablePlayLockedControls(true);
}

void MainDialog::EnablePlayLockedControls(bool enable) {
    for (int id : {IDC_GAME_LIST, IDC_SESSION_TABLE, IDC_TAB}) EnableWindow(Control(id), enable);
    // The indicator runs while the controls are locked.
    playLocked_ = !enable;
    if (enable)
        KillTimer(window_, kPlayClockTimer);
    else
        SetTimer(window_, kPlayClockTimer, 1000, nullptr);
    UpdatePlayIndicator();
}

bool MainDialog::OnPlayMessage(UINT message, WPARAM wParam) {
    if (message == inputMessage_) {
        if (playSession_.CountInput()) WriteProgressSnapshot(fs_, state_->Root(), playSession_, state_->Current());
    } else if (message == activatedMessage_) {
        playSession_.WindowActivated();
    } else if (message == deactivatedMessage_) {
        playSession_.WindowDeactivated();
    } else if (message == kGameReadyMessage) {
        if (launcher_.Running()) playSession_.Begin(launchedLogPath_);
    } else if (message == kGameArmedMessage) {
        hookArmed_ = launcher_.Running();
    } else if (message == kGameProcessesMessage) {
        // The checkpoint names the game's processes; nothing else follows them.
    } else if (message == kGameEndedMessage) {
        OnGameEnded();
    } else if (message == kGameFailedMessage) {
        OnGameFailed(static_cast<DWORD>(wParam));
    } else {
        return false;
    }
    return true;
}

void MainDialog::OnGameEnded() {
    launcher_.Finished();
    hookArmed_ = false;
    EnablePlayLockedControls(true);
    RecordSession(playSession_.End(), "");
}

void MainDialog::OnGameFailed(DWORD error) {
    launcher_.Finished();
    EnablePlayLockedControls(true);
    // Nothing was played, so nothing is recorded.
    MessageBoxCp932(window_, launchedCommandLine_ + "\r\n\r\n" + SystemMessage(error), "error",
                    MB_OK | MB_ICONERROR);
}

void MainDialog::RecordSession(std::optional<FinishedSession> finished, const std::string& comment) {
    if (!finished) return;
    SaveGameComment();  // the typed game comment goes into the same rewrite, not lost by the refresh
    state_->ForgetSessionUndo(finished->logPath);  // a new session ends the undo of a deletion
    FsError error = kibolt::RecordSession(fs_, clock_, state_->Current(), *finished, comment);
    if (error != FsError::None)
        MessageBoxCp932(window_, "プレイ記録をログに書き込めませんでした。\r\n" + finished->logPath, "error",
                        MB_OK | MB_ICONERROR);
    RefreshViews();
    LibraryChanged();
}

void MainDialog::OnSaveNowTime() {
    const std::string comment = NowCommentFieldText(GetDlgItemTextCp932(window_, IDC_NOW_COMMENT));
    RecordSession(playSession_.Split(), comment);
    SetDlgItemTextCp932(window_, IDC_NOW_COMMENT, "");
}

void MainDialog::CurrentGameLogMoved(const std::string& from, const std::string& to) {
    if (launchedLogPath_ == from) launchedLogPath_ = to;
    playSession_.FollowMove(from, to);
    chart_.FollowMove(from, to, state_->Current().title);
}

}  // namespace kibolt
