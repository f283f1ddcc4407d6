// The main window: a modeless dialog that routes every message of its
// controls to small handlers, which move data between controls and the core.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "detect/game_watch_win32.h"
#include "detect/watched_games.h"
#include "export/clipboard_text.h"
#include "gamepad/gamepad_win32.h"
#include "history/chart_window_win32.h"
#include "history/stats_window_win32.h"
#include "hook/activity_hook_client_win32.h"
#include "launch/start_options_win32.h"
#include "library/clock_win32.h"
#include "library/file_system.h"
#include "library/file_system_win32.h"
#include "library/library_state.h"
#include "library/settings.h"
#include "play/game_launcher_win32.h"
#include "play/play_session.h"
#include "play/session_recorder.h"
#include "views/command_state.h"
#include "views/extra_list_dialog_win32.h"
#include "views/game_list_win32.h"
#include "views/main_window_sizing_win32.h"
#include "views/session_table_win32.h"
#include "win32/dialog_object_win32.h"
#include "win32/handles_win32.h"
#include "win32/posted_work_win32.h"

namespace kibolt {

// Ticks once a second while a game runs, for the play indicator.
inline constexpr UINT_PTR kPlayClockTimer = 1;
// Keeps the checkpoint of an open session current.
inline constexpr UINT_PTR kCheckpointTimer = 0x4B50;

// Looks for a registered game started outside Kibolt, while none is played.
inline constexpr UINT_PTR kGameWatchTimer = 0x4757;
inline constexpr UINT kGameWatchMs = 2000;

// What a handler changed, for the one path that redraws after it.
enum class Change : unsigned {
    None = 0,
    Current = 1,   // the current game, or its log: the detail panel, the table, the chart
    GameList = 2,  // the games of the shown tab
    Library = 4,   // a game was recorded, registered, moved, renamed or deleted: "統計", the watched games
};
constexpr Change operator|(Change a, Change b) {
    return static_cast<Change>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool operator&(Change a, Change b) { return (static_cast<unsigned>(a) & static_cast<unsigned>(b)) != 0; }

// Exit codes given to CloseMainWindow.
inline constexpr int kExitByCancel = 2;
inline constexpr int kExitByMenu = 1;

class MainDialog {
public:
    // commandLine: the process's command line; currentDir: where a program
    // started by bare name lives. The library folder is the program's.
    MainDialog(HINSTANCE instance, Win32FileSystem& fs, std::wstring commandLine, std::wstring currentDir);
    ~MainDialog();
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    // Creates the window from its resource, modeless and without owner; null on failure.
    HWND Create();
    HWND Window() const { return window_; }
    // How to show the new window: maximised when it was left so.
    int ShowCommandFor(int requested) const { return sizing_.ShowCommandFor(requested); }
    LibraryState* State() { return state_.get(); }

    // What a click on a game row and the session comment dialog do.
    void SelectGame(int row);
    void SetSessionComment(int row, const std::string& text);
    // Tells the user when a log changed on disk could not be read again (nothing was written).
    void ReportLogChange(const LogChange& change);
    SessionListView& SessionTable() { return sessionTable_; }
    const GameListView& GameList() const { return gameList_; }
    ExtraListDialog* OpenExtraList() const { return extraList_; }
    ChartWindow& Chart() { return chart_; }
    StatsWindow& Stats() { return stats_; }

    bool GameRunning() const { return launcher_.Running(); }
    // A game is starting, running or followed.
    bool Playing() const { return playing_ || launcher_.Running(); }
    // The current game is the one being played: the commands that would take
    // its log away (delete, move, properties) are off.
    bool CurrentGameIsPlaying() const;
    bool HookArmed() const { return hookArmed_; }
    // The running game's processes (the launched one and what it started).
    std::vector<GameProcess> GameProcesses() const { return launcher_.Processes(); }
    const PlaySession& Session() const { return recorder_->Session(); }
    // Sessions that have ended and are not yet in their logs (a log could not be written).
    size_t PendingRecords() const { return recorder_->PendingCount(); }

    // A process command line ("--play ...") to act on once the window runs.
    void QueueStart(std::wstring commandLine);

private:
    friend INT_PTR CALLBACK DialogProcOf<MainDialog>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    BOOL OnInitDialog();
    void OnCommand(int id, int code);
    INT_PTR OnNotify(const NMHDR& header);
    void OnViewCheckBox(int id);
    void OnInitMenuPopup(HMENU menu);
    void OnGameListMoved();
    // Selects the current game's row in the game list (none when it is not listed).
    void SyncGameListSelection();
    void UpdatePlayIndicator();

    void SetUpTabs();
    void LoadIcons();
    void OnDpiChanged(int dpi);
    void LoadSettings();
    void SaveSettings();
    void OnCategoryLeaving();
    void OnCategoryEntered();
    void RefillGameList(Category c);

    // Saves the settings and the comment, destroys the window and posts quit with exitCode.
    void CloseMainWindow(int exitCode);
    // The settings, the typed comment and the open session, before Kibolt ends.
    void SaveAndRecordForExit();

    // The views of the current game.
    void RefreshViews();
    void LayoutSessionColumns();
    void SaveGameComment();
    void DeleteSelectedSessions();
    void UndoSessionDeletion();

    // "グラフ": the current game's chart (nothing without a current game).
    void OnChart();
    // "統計": every game of the library at a glance.
    void OnStats();
    // Makes a game current as a click in its tab's list does, and brings the
    // main window to the front; nothing while a game is being played.
    void ShowGame(Category category, const std::string& title);
    // The one path after a change: the typed game comment is kept first, then
    // what the change touched is redrawn, once.
    void Changed(Change what);
    // Makes a listed game current (the typed comment of the one shown so far
    // is kept first); false, and the shown game stays, when its log cannot be read.
    bool LoadGame(const std::string& title, std::optional<Category> category = std::nullopt);

    // What decides whether a command may run now (views/command_state.h).
    CommandFacts Facts() const;
    bool Allowed(Command command) const { return StateOf(command, Facts()).enabled; }
    // The controls a game's play locks follow the facts.
    void UpdateControlStates();
    // Runs work from the message loop, once the message being handled is done with.
    void Post(std::function<void()> work) { posted_.Post(window_, std::move(work)); }

    // What the copy commands take from the window: the detail panel's header
    // values and the copy check boxes as settings bits.
    CopyHeaderValues CopyHeader() const;
    int32_t CopySettingsOfWindow() const;

    // Games: register, edit, move, delete, context menus, comments, About
    // (main_dialog_games_win32.cpp).
    void OnAddGame();
    void OnGameProperties();
    void OnMoveGame(Category target);
    void OnDeleteGame();
    // Asks the recorder whether the current game's log may move, be renamed or
    // deleted now; tells the user why not.
    bool LogMayMove();
    void OnGameContextMenu(int row);
    void OnSessionContextMenu(int row);
    void OnCommentSession(int row);  // a row that names no session does nothing
    void OnAbout();
    void OnCreateShortcut();  // a desktop shortcut that starts the current game
    void OnOpenReadme();

    // Starts of Kibolt with options (main_dialog_start_win32.cpp): a later
    // start for this library handed its command line over.
    // The answer is one of the kRequest values.
    LRESULT OnStartRequest(const COPYDATASTRUCT& data);
    // A message about a start: shown at once, or while a game is played and
    // Kibolt is behind it, held until the game has ended or the user brings
    // Kibolt forward.
    void Notify(std::string text, bool error);
    void ShowStartNotices();

    // Play: start, record, the hook's reports (main_dialog_play_win32.cpp).
    void StartSelectedGame(int row);
    // Starts the current game; a command line given is started instead of the
    // stored one (which stays as it is).
    void OnStartGame(const std::optional<std::string>& commandLine = std::nullopt);
    void OnSaveNowTime();
    // Tells a running session that its game's log now lies at another path
    // (moved to another category or renamed); it is recorded there.
    void CurrentGameLogMoved(const std::string& from, const std::string& to);

    // Games started outside Kibolt, controllers and dropped files
    // (main_dialog_detect_win32.cpp).
    void StartWatching();
    void StopWatching();
    void OnGameWatchTimer();
    // Follows a game found running as if it had been started from here.
    void BeginNoticedSession(const NoticedGame& noticed);
    void OnToggleAutoDetect();
    // "放置時間の設定…": the minutes asked in a dialog, used from now and kept in kibolt.ini at once.
    void OnIdleTime();
    bool IsGameProcess(DWORD processId) const;
    void OnDropFiles(HDROP drop);

    void ActOnStart(const ReadStart& start);
    // The category and spelling of a listed game's title, looked up in PLAYING, CLEARED, OTHERS.
    std::optional<std::pair<Category, std::string>> FindGame(const std::string& title) const;
    void ShowCategory(Category c);

    // The worker's reports and the hook's notifications.
    bool OnPlayMessage(UINT message, WPARAM wParam);
    void OnGameEnded();
    void OnGameFailed(DWORD error);
    // Shows what the recorder reports after an event: refreshed views, "統計", its notices.
    void AfterRecorder();
    void ShowRecorderNotices();

    // The checkpoint left by an earlier run (main_dialog_play_win32.cpp).
    void RecoverLeftOverSession();
    bool ShowGameOfLog(const std::string& logPath);
    void OnCheckpointTimer();
    void UpdateCheckpointTimer();
    // Windows ends the user's session: the open session is recorded now.
    void OnEndSession();
    // A game is starting or running (or no longer): the locked controls and the indicator.
    void SetPlaying(bool playing);

    void LayoutControls();

    // Keys that switch the tabs (main_dialog_keys_win32.cpp).
    static LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam);
    void InstallKeyFilter();
    void RemoveKeyFilter();
    void OnWindowGone() {
        RemoveKeyFilter();
        posted_.Clear();  // work for a window that is gone
    }
    bool OnDialogKey(const MSG& message);  // true when the key was taken
    void SwitchCategoryBy(int step);

    HWND Control(int id) const { return GetDlgItem(window_, id); }
    bool IsChecked(int id) const;
    void SetChecked(int id, bool checked);

    std::string ProgramPath() const;
    void OnUnlistedFiles();
    void OnSettingsPathRefused();

    HINSTANCE instance_;
    Win32FileSystem& fs_;
    std::wstring commandLine_;
    std::wstring currentDir_;
    std::wstring settingsCharacter_;  // the program file name's character with no exact form, if any
    HWND window_ = nullptr;
    HWND tab_ = nullptr;
    GameListView gameList_;
    SessionListView sessionTable_;
    ExtraListDialog* extraList_ = nullptr;  // while the extra list is open
    ChartWindow chart_{instance_};
    StatsWindow stats_{instance_};
    int commentRow_ = -1;            // table row last right-clicked; -1 before any
    bool syncingSelection_ = false;  // the program, not the user, moves the game list's highlight
    std::string shownComment_;       // the game comment as the field showed it last

    Win32Clock clock_;
    std::unique_ptr<SessionRecorder> recorder_;  // from the library's state on
    std::vector<RecorderNotice> heldNotices_;    // to tell once no game runs
    std::string launchedLogPath_;                // the started game's log, until its session begins
    std::string launchedCommandLine_;
    bool hookArmed_ = false;  // the running game's inputs are being counted
    bool playing_ = false;    // a game is starting or running: the play indicator shows
    bool checkpointTimer_ = false;
    bool endingSession_ = false;  // Windows is ending the session: no more message boxes
    const UINT inputMessage_;
    const UINT activatedMessage_;
    const UINT deactivatedMessage_;
    ActivityHookLibrary hook_;  // outlives the launcher that arms it
    GameLauncher launcher_{hook_};
    UniqueIcon largeIcon_;
    UniqueIcon smallIcon_;
    std::unique_ptr<LibraryState> state_;
    PlaySettings playSettings_;
    OutsideGames outsideGames_;
    GamepadWatcher gamepad_;  // asks the launcher: goes before it

    MainWindowSizing sizing_{sessionTable_};
    UniqueHook keyFilter_;
    struct StartNotice {
        std::string text;
        bool error = false;
    };
    std::vector<StartNotice> startNotices_;  // messages about starts held during play, oldest first
    PostedWork posted_;
};

}  // namespace kibolt
