// The main window's watchers: registered games started outside Kibolt,
// controller presses of the game in front, games dropped on the window, and
// the idle time asked for in "ゲーム".
#include "app/main_dialog_win32.h"

#include <shellapi.h>

#include <algorithm>

#include "dialogs/game_dialog_win32.h"
#include "dialogs/idle_time_dialog_win32.h"
#include "drop/drop_files_win32.h"
#include "resources/resource_ids.h"
#include "win32/text_win32.h"

namespace kibolt {

void MainDialog::StartWatching() {
    outsideGames_.Start(state_->Root());
    DragAcceptFiles(window_, TRUE);
    GamepadHost host;
    host.window = window_;
    host.inputMessage = inputMessage_;
    host.isGameProcess = [this](DWORD processId) { return IsGameProcess(processId); };
    gamepad_.Start(std::move(host));
    // Looks cost little, but none is taken while the option is off.
    if (playSettings_.autoDetect) SetTimer(window_, kGameWatchTimer, kGameWatchMs, nullptr);
}

void MainDialog::StopWatching() {
    KillTimer(window_, kGameWatchTimer);
    gamepad_.Stop();
}

bool MainDialog::IsGameProcess(DWORD processId) const {
    // The launcher's list is guarded: this is also asked from the controller thread.
    const std::vector<GameProcess> processes = launcher_.Processes();
    return std::any_of(processes.begin(), processes.end(), [&](const GameProcess& p) { return p.id == processId; });
}

void MainDialog::OnToggleAutoDetect() {
    playSettings_.autoDetect = !playSettings_.autoDetect;
    if (playSettings_.autoDetect)
        SetTimer(window_, kGameWatchTimer, kGameWatchMs, nullptr);
    else
        KillTimer(window_, kGameWatchTimer);
}

void MainDialog::OnIdleTime() {
    const std::optional<int32_t> minutes = RunIdleTimeDialog(instance_, window_, playSettings_.idleMinutes);
    if (!minutes) return;
    playSettings_.idleMinutes = *minutes;
    // The session being played is measured by the new limit from now on.
    recorder_->SetIdleLimit(int64_t{*minutes} * 60 * 1000);
    SaveSettings();
}

void MainDialog::OnGameWatchTimer() {
    // Not while a game is played, nor while a dialog or message box holds the window.
    if (!playSettings_.autoDetect || !state_ || !recorder_ || recorder_->IsOpen() ||
        !Allowed(Command::StartFromOutside))
        return;
    if (std::optional<NoticedGame> noticed = outsideGames_.Look(fs_, state_->Root())) BeginNoticedSession(*noticed);
}

void MainDialog::BeginNoticedSession(const NoticedGame& noticed) {
    if (!ShowGameOfLog(noticed.game.logPath)) return;
    launchedLogPath_ = noticed.game.logPath;
    launchedCommandLine_ = state_->Current().log.commandLine;
    // It began when the game's process was made, and was not in front before now.
    SessionProgress progress;
    progress.logPath = launchedLogPath_;
    progress.saved = clock_.Now();
    const int64_t created = StampOfSystemTime(noticed.created);
    progress.start = created > 0 ? std::min(created, progress.saved) : progress.saved;
    progress.playMs = (progress.saved - progress.start) * 1000;
    progress.savedUnbiasedMs = clock_.UnbiasedMs();
    recorder_->GameNoticed(progress);
    SetPlaying(true);
    // Followed as a game still running after a restart is.
    if (!launcher_.Follow(window_, noticed.processes)) {
        SetPlaying(false);
        recorder_->GameEnded();
    }
    AfterRecorder();
}

void MainDialog::OnDropFiles(HDROP drop) {
    const std::vector<std::wstring> paths = DroppedPaths(drop);
    DragFinish(drop);
    if (paths.empty() || !Allowed(Command::AddGame)) return;
    SaveGameComment();  // the new game's load redraws the comment field
    if (paths.size() == 1) {
        const DroppedFile file = ReadDroppedFile(paths.front());
        if (std::optional<DropOutcome> refused = RefusedDrop(file)) {
            MessageBoxCp932(window_, DropSummary({*refused}), "Kibolt", MB_OK | MB_ICONWARNING);
            return;
        }
        const GameEntryText filled{file.commandLine, file.title};
        if (RunGameDialog(instance_, window_, GameDialogKind::Add, *state_, fs_, &filled))
            Changed(Change::GameList | Change::Current | Change::Library);
        return;
    }
    // One redraw of the list for the whole drop, however many files it holds.
    HWND list = gameList_.Window();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    const std::vector<DropOutcome> outcomes = RegisterDroppedFiles(paths, *state_, fs_, [this] {
        // Each new game is selected in turn; the last one stays current.
        RefillGameList(state_->CurrentCategory());
    });
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    Changed(Change::Current | Change::Library);
    const bool all = std::all_of(outcomes.begin(), outcomes.end(), [](const DropOutcome& o) { return o.Registered(); });
    MessageBoxCp932(window_, DropSummary(outcomes), "Kibolt", MB_OK | (all ? MB_ICONINFORMATION : MB_ICONWARNING));
}

}  // namespace kibolt
