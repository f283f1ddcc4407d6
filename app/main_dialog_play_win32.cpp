// The main window's play sessions: starting the current game, recording its
// sessions, and the activity reports of the hook library.
#include "app/main_dialog_win32.h"

#include "library/game_commands.h"
#include "library/library_paths.h"
#include "library/session_commands.h"
#include "library/time_text.h"
#include "play/recorder_notice_text.h"
#include "resources/resource_ids.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

constexpr UINT kCheckpointTickMs = 1000;

}  // namespace

void MainDialog::StartSelectedGame(int row) {
    if (row < 0 || !Allowed(Command::PickGame)) return;
    // A log that cannot be read starts nothing: not the game shown so far either.
    const bool loaded = LoadGame(gameList_.Title(row));
    SyncGameListSelection();
    if (loaded) OnStartGame();
}

bool MainDialog::CurrentGameIsPlaying() const {
    if (!Playing() || !state_ || !state_->HasGame()) return false;
    return FoldAsciiCase(state_->Current().logPath) == FoldAsciiCase(launchedLogPath_);
}

void MainDialog::UpdatePlayIndicator() {
    std::string text;
    if (playing_) {
        // Until the game takes input its session has not begun: nothing played yet.
        std::string played = recorder_->Session().PlayTimeSoFar();
        text = "プレイ中 " + (played.empty() ? FormatDuration(0) : played);
    }
    if (GetDlgItemTextCp932(window_, IDC_PLAY_STATUS) != text) SetDlgItemTextCp932(window_, IDC_PLAY_STATUS, text);
}

void MainDialog::OnStartGame(const std::optional<std::string>& commandLine) {
    if (!Allowed(Command::StartGame)) return;
    const GameRecord& game = state_->Current();
    launchedLogPath_ = game.logPath;
    launchedCommandLine_ = commandLine.value_or(game.log.commandLine);
    const std::string workingDirectory =
        commandLine ? WorkingDirectoryOf(launchedCommandLine_) : game.log.workingDirectory;
    SetPlaying(true);
    if (!launcher_.Start(window_, launchedCommandLine_, workingDirectory)) SetPlaying(false);
}

void MainDialog::SetPlaying(bool playing) {
    playing_ = playing;
    UpdateControlStates();
    // The indicator runs while a game plays.
    if (playing)
        SetTimer(window_, kPlayClockTimer, 1000, nullptr);
    else
        KillTimer(window_, kPlayClockTimer);
    UpdatePlayIndicator();
}

bool MainDialog::OnPlayMessage(UINT message, WPARAM wParam) {
    if (message == inputMessage_) {
        recorder_->Input();
    } else if (message == activatedMessage_) {
        recorder_->Front();
    } else if (message == deactivatedMessage_) {
        recorder_->Back();
    } else if (message == kGameReadyMessage) {
        if (launcher_.Running()) recorder_->GameReady(launchedLogPath_);
    } else if (message == kGameArmedMessage) {
        hookArmed_ = launcher_.Running();
    } else if (message == kGameProcessesMessage) {
        recorder_->ProcessesChanged(launcher_.Processes());
    } else if (message == kGameEndedMessage) {
        OnGameEnded();
    } else if (message == kGameFailedMessage) {
        OnGameFailed(static_cast<DWORD>(wParam));
    } else {
        return false;
    }
    AfterRecorder();
    return true;
}

void MainDialog::OnGameEnded() {
    launcher_.Finished();
    hookArmed_ = false;
    SetPlaying(false);
    SaveGameComment();  // the typed game comment goes into the same rewrite, not lost by the refresh
    recorder_->GameEnded();
}

void MainDialog::OnGameFailed(DWORD error) {
    launcher_.Finished();
    SetPlaying(false);
    // Nothing was played, so nothing is recorded.
    MessageBoxCp932(window_, launchedCommandLine_ + "\r\n\r\n" + SystemErrorText(error), kErrorCaption,
                    MB_OK | MB_ICONERROR);
}

void MainDialog::AfterRecorder() {
    RecorderReport report = recorder_->TakeReport();
    Change what = Change::None;
    if (report.currentChanged) what = what | Change::Current;
    if (report.libraryChanged) what = what | Change::Library;
    if (what != Change::None) Changed(what);
    heldNotices_.insert(heldNotices_.end(), report.notices.begin(), report.notices.end());
    // While a game runs a message box would take the front from it: told once it has ended.
    if (!heldNotices_.empty() && Allowed(Command::TellRecorderNotice)) ShowRecorderNotices();
    UpdateCheckpointTimer();
}

void MainDialog::OnCheckpointTimer() {
    recorder_->Tick();
    AfterRecorder();
}

void MainDialog::UpdateCheckpointTimer() {
    const bool wanted = recorder_ && recorder_->NeedsTicks();
    if (wanted == checkpointTimer_) return;
    checkpointTimer_ = wanted;
    if (wanted)
        SetTimer(window_, kCheckpointTimer, kCheckpointTickMs, nullptr);
    else
        KillTimer(window_, kCheckpointTimer);
}

void MainDialog::RecoverLeftOverSession() {
    const std::vector<GameProcess> resumed = recorder_->Start(IsRunningGameProcess);
    if (recorder_->IsOpen()) {
        const std::string logPath = recorder_->Session().LogPath();
        ShowGameOfLog(logPath);
        launchedLogPath_ = logPath;
        launchedCommandLine_ = state_->Current().log.commandLine;
        SetPlaying(true);
        if (!launcher_.Follow(window_, resumed)) {
            SetPlaying(false);
            recorder_->GameEnded();
        }
    }
    RecorderReport report = recorder_->TakeReport();
    for (const RecorderNotice& n : report.notices)
        if (n.kind == RecorderNotice::Kind::Recorded) ShowGameOfLog(n.logPath);
    if (report.currentChanged) Changed(Change::Current);
    heldNotices_ = std::move(report.notices);
    UpdateCheckpointTimer();
    // Told once the window shows, so start-up waits no longer than for a message box.
    if (!heldNotices_.empty()) Post([this] { ShowRecorderNotices(); });
}

void MainDialog::ShowRecorderNotices() {
    // Taken first: a message box runs a message loop, where the timer may add more.
    std::vector<RecorderNotice> notices = std::move(heldNotices_);
    heldNotices_.clear();
    if (endingSession_) return;  // Windows is ending the session: nobody to tell
    for (const RecorderNotice& n : notices) {
        const NoticeMessage message = RecorderNoticeMessage(n, state_->Root(), recorder_->CheckpointSaved());
        const UINT icon = message.level == NoticeLevel::Error     ? MB_ICONERROR
                          : message.level == NoticeLevel::Warning ? MB_ICONWARNING
                                                                  : MB_ICONINFORMATION;
        MessageBoxCp932(window_, message.text, message.level == NoticeLevel::Error ? kErrorCaption : "Kibolt",
                        MB_OK | icon);
    }
}

bool MainDialog::ShowGameOfLog(const std::string& logPath) {
    const std::optional<LogLocation> location = LocateLog(state_->Root(), logPath);
    if (!location || !LoadGame(location->title, location->category)) return false;
    SendMessageW(tab_, TCM_SETCURSEL, static_cast<int>(location->category), 0);
    state_->SetCategory(location->category);
    Changed(Change::GameList);
    return true;
}

void MainDialog::OnSaveNowTime() {
    const std::string comment = NowCommentFieldText(GetDlgItemTextCp932(window_, IDC_NOW_COMMENT));
    SaveGameComment();
    recorder_->Split(comment);
    SetDlgItemTextCp932(window_, IDC_NOW_COMMENT, "");
    AfterRecorder();
}

void MainDialog::CurrentGameLogMoved(const std::string& from, const std::string& to) {
    if (launchedLogPath_ == from) launchedLogPath_ = to;
    recorder_->GameMoved(from, to);
    chart_.FollowMove(from, to, state_->Current().title);
    AfterRecorder();
}

}  // namespace kibolt
