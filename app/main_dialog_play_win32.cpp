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

constexpr UINT kCheckpointTickMs = 1000;
// How often sessions that could not be written are tried again while nothing else happens.
constexpr int64_t kRetryPendingMs = 30000;

std::string TitleOfLog(std::string_view root, const std::string& logPath) {
    const std::optional<LogLocation> location = LocateLog(root, logPath);
    return location ? location->title : std::string();
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
        // Each input, not only each 50th: the schedule keeps a flood of them from flooding the disk.
        CheckpointChanged(false);
    } else if (message == activatedMessage_) {
        playSession_.WindowActivated();
        CheckpointChanged(false);
    } else if (message == deactivatedMessage_) {
        playSession_.WindowDeactivated();
        CheckpointChanged(false);
    } else if (message == kGameReadyMessage) {
        // A resumed session is open already.
        if (launcher_.Running() && playSession_.Begin(launchedLogPath_)) CheckpointChanged(true);
    } else if (message == kGameArmedMessage) {
        hookArmed_ = launcher_.Running();
    } else if (message == kGameProcessesMessage) {
        // At once: a checkpoint naming only a launcher that has gone would end the session at a restart.
        if (playSession_.IsOpen()) CheckpointChanged(true);
    } else if (message == kRecoveryNoticeMessage) {
        ShowRecoveryNotice();
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
    pending_.push_back(PendingFor(clock_, *finished, comment));
    // In the checkpoint before its log is written: a crash in between neither
    // loses the session nor, on the next start, records it twice.
    SaveCheckpoint();
    FsError error = RecordPending(fs_, state_->Current(), pending_);
    SaveCheckpoint();
    if (error != FsError::None) {
        std::string text = "プレイ記録をログに書き込めませんでした。\r\n" + finished->logPath + "\r\n\r\n";
        text += checkpointSaved_ ? "記録は失われていません。kibolt.checkpoint に残っていて、次の操作か次回の起動時に"
                                   "ログに書き込まれます。"
                                 : "記録はディスクにも保存できず、Kibolt のメモリにだけあります。Kibolt を閉じる前に"
                                   "ディスクの空きを作ってください。";
        MessageBoxCp932(window_, text, "error", MB_OK | MB_ICONERROR);
    }
    RefreshViews();
    LibraryChanged();
}

FsError MainDialog::SaveCheckpoint() {
    SessionCheckpoint checkpoint;
    checkpoint.open = playSession_.Progress();
    if (checkpoint.open) {
        // Right after a restart the worker may not have reported the processes yet.
        std::vector<GameProcess> running = launcher_.Processes();
        if (!running.empty()) knownProcesses_ = std::move(running);
        checkpoint.processes = knownProcesses_;
    }
    checkpoint.pending = pending_;
    const std::string path = CheckpointFilePath(state_->Root());
    FsError error;
    if (checkpoint.Empty()) {
        error = fs_.RemoveFile(path);
        if (error == FsError::NotFound) error = FsError::None;
    } else {
        error = WriteFileAtomically(fs_, path, SerializeCheckpoint(checkpoint));
    }
    checkpointSaved_ = error == FsError::None;
    if (checkpointSaved_) checkpointSchedule_.Written(clock_.UnbiasedMs());
    UpdateCheckpointTimer();
    return error;
}

void MainDialog::CheckpointChanged(bool now) {
    if (!playSession_.IsOpen()) return;
    checkpointSchedule_.Changed();
    if (now || checkpointSchedule_.Due(clock_.UnbiasedMs())) SaveCheckpoint();
}

void MainDialog::OnCheckpointTimer() {
    const int64_t now = clock_.UnbiasedMs();
    if (!pending_.empty() && now - lastRetryMs_ >= kRetryPendingMs) {
        lastRetryMs_ = now;
        if (RetryPendingRecords()) RefreshViews();
    }
    if ((playSession_.IsOpen() && checkpointSchedule_.Due(now)) || !checkpointSaved_) SaveCheckpoint();
    UpdateCheckpointTimer();
}

bool MainDialog::RetryPendingRecords() {
    if (pending_.empty()) return false;
    const size_t before = pending_.size();
    RecordPending(fs_, state_->Current(), pending_);
    if (pending_.size() == before) return false;
    SaveCheckpoint();
    return true;
}

void MainDialog::UpdateCheckpointTimer() {
    const bool wanted = playSession_.IsOpen() || !pending_.empty() || !checkpointSaved_;
    if (wanted == checkpointTimer_) return;
    checkpointTimer_ = wanted;
    if (wanted)
        SetTimer(window_, kCheckpointTimer, kCheckpointTickMs, nullptr);
    else
        KillTimer(window_, kCheckpointTimer);
}

void MainDialog::RecoverLeftOverSession() {
    recovery_ = RecoverCheckpoint(fs_, clock_, state_->Root(), state_->Current(), IsRunningGameProcess);
    switch (recovery_.outcome) {
    case Recovery::Outcome::Resumed:
        ShowGameOfLog(recovery_.resume->logPath);
        launchedLogPath_ = recovery_.resume->logPath;
        launchedCommandLine_ = state_->Current().log.commandLine;
        playSession_.Resume(*recovery_.resume);
        knownProcesses_ = recovery_.processes;
        EnablePlayLockedControls(false);
        if (!launcher_.Follow(window_, recovery_.processes)) {
            EnablePlayLockedControls(true);
            RecordSession(playSession_.End(), "");
        }
        SaveCheckpoint();
        break;
    case Recovery::Outcome::Kept:
        pending_ = recovery_.pending;
        UpdateCheckpointTimer();
        break;
    case Recovery::Outcome::Recorded: ShowGameOfLog(recovery_.logPath); break;
    default: break;
    }
    // Told once the window shows, so start-up waits no longer than for a message box.
    if (recovery_.outcome != Recovery::Outcome::Nothing) PostMessageW(window_, kRecoveryNoticeMessage, 0, 0);
}

void MainDialog::ShowRecoveryNotice() {
    const std::string title = TitleOfLog(state_->Root(), recovery_.logPath);
    std::string text;
    UINT icon = MB_ICONINFORMATION;
    switch (recovery_.outcome) {
    case Recovery::Outcome::Resumed:
        text = "前回 Kibolt が終了したとき「" + title + "」はプレイ中で、今も動いています。\r\n"
               "このプレイの記録を続けます（Kibolt が動いていなかった間はプレイ時間に数え、アクティブ時間には数えません）。";
        break;
    case Recovery::Outcome::Recorded:
        text = "前回 Kibolt がプレイ中に終了しました。「" + title +
               "」のプレイを、最後に保存した時刻までログに記録しました。";
        break;
    case Recovery::Outcome::Refused:
        text = "前回のプレイの記録 (kibolt.checkpoint) が壊れているか、ライブラリにないログを指していたため、"
               "削除しました。ログは変更していません。";
        if (!recovery_.logPath.empty()) text += "\r\n" + recovery_.logPath;
        icon = MB_ICONWARNING;
        break;
    case Recovery::Outcome::Kept:
        text = "前回のプレイ「" + title + "」をログに書き込めませんでした。\r\n" + recovery_.logPath +
               "\r\n記録は kibolt.checkpoint に残っていて、後でもう一度書き込みます。";
        icon = MB_ICONWARNING;
        break;
    default: return;
    }
    recovery_.outcome = Recovery::Outcome::Nothing;
    MessageBoxCp932(window_, text, "Kibolt", MB_OK | icon);
}

bool MainDialog::ShowGameOfLog(const std::string& logPath) {
    const std::optional<LogLocation> location = LocateLog(state_->Root(), logPath);
    if (!location || state_->LoadGame(location->title, location->category) != LoadResult::Loaded) return false;
    SendMessageW(tab_, TCM_SETCURSEL, static_cast<int>(location->category), 0);
    state_->SetCategory(location->category);
    RefillGameList(location->category);
    RefreshViews();
    return true;
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
