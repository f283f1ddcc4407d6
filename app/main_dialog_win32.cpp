#include "app/main_dialog_win32.h"

#include <array>

#include "export/clipboard_export_win32.h"
#include "export/copy_settings_dialog_win32.h"
#include "hook/activity_messages.h"
#include "launch/library_instance_win32.h"
#include "library/game_commands.h"
#include "library/library_paths.h"
#include "library/session_commands.h"
#include "library/settings.h"
#include "resources/resource_ids.h"
#include "views/session_columns.h"
#include "win32/dialog_object_win32.h"
#include "win32/dpi_win32.h"
#include "win32/text_win32.h"
#include "win32/window_placement_win32.h"

namespace kibolt {

namespace {

// The commands of the menus, the buttons and the dialog keys that may be off
// now; every other command always runs.
struct CommandId {
    int id;
    Command command;
};
constexpr CommandId kCommandIds[] = {
    {IDM_START_GAME, Command::StartGame},
    {IDM_NEW_GAME, Command::AddGame},
    {IDC_NEW_FILE, Command::AddGame},
    {IDM_PROPERTIES, Command::GameProperties},
    {IDM_MOVE_PLAYING, Command::MoveGame},
    {IDM_MOVE_CLEARED, Command::MoveGame},
    {IDM_MOVE_OTHERS, Command::MoveGame},
    {IDM_DELETE_GAME, Command::DeleteGame},
    {IDM_CHART, Command::Chart},
    {IDM_CREATE_SHORTCUT, Command::CreateShortcut},
    {IDM_DELETE_SESSIONS, Command::DeleteSessions},
    {IDM_UNDO_SESSION_DELETION, Command::UndoDeletion},
    {IDM_COMMENT_SESSION, Command::CommentSession},
    {IDM_AUTO_DETECT, Command::AutoDetect},
    {IDCANCEL, Command::CloseBySlip},
};

// The controls a game's play locks.
constexpr CommandId kLockedControls[] = {
    {IDC_GAME_LIST, Command::PickGame},
    {IDC_TAB, Command::SwitchCategory},
    {IDC_SESSION_TABLE, Command::EditSessions},
};

}  // namespace

MainDialog::MainDialog(HINSTANCE instance, Win32FileSystem& fs, std::wstring commandLine, std::wstring currentDir)
    : instance_(instance),
      fs_(fs),
      commandLine_(std::move(commandLine)),
      currentDir_(std::move(currentDir)),
      inputMessage_(RegisterWindowMessageW(kInputMessageName)),
      activatedMessage_(RegisterWindowMessageW(kActivatedMessageName)),
      deactivatedMessage_(RegisterWindowMessageW(kDeactivatedMessageName)) {}

MainDialog::~MainDialog() {
    if (window_) DestroyWindow(window_);
}

HWND MainDialog::Create() {
    return CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN), nullptr, DialogProcOf<MainDialog>,
                              reinterpret_cast<LPARAM>(this));
}

std::string MainDialog::ProgramPath() const {
    return NarrowPath(ToWide(ProgramPathFromCommandLine(AsUtf16(commandLine_), AsUtf16(currentDir_))));
}

INT_PTR MainDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (posted_.Run(message)) return TRUE;
    if (recorder_ && OnPlayMessage(message, wParam)) {
        // The game has ended (or failed to start): what was held may show now.
        if (!startNotices_.empty() && Allowed(Command::TellAboutStart)) Post([this] { ShowStartNotices(); });
        return TRUE;
    }
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_TIMER:
        if (wParam == kPlayClockTimer) UpdatePlayIndicator();
        if (wParam == kCheckpointTimer) OnCheckpointTimer();
        if (wParam == kGameWatchTimer) OnGameWatchTimer();
        return TRUE;
    case WM_INPUT:
        gamepad_.OnRawInput(reinterpret_cast<HRAWINPUT>(lParam));
        return FALSE;  // the system frees the input
    case WM_DROPFILES: OnDropFiles(reinterpret_cast<HDROP>(wParam)); return TRUE;
    case WM_SYSCOMMAND:
        // The close box, the system menu and Alt+F4 always end Kibolt, as "終了" does.
        if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
        CloseMainWindow(kExitByCancel);
        return TRUE;
    case WM_CLOSE:
        // Also what Esc in the comment field sends: a slip during play must not end the recording.
        if (Allowed(Command::CloseBySlip)) CloseMainWindow(kExitByCancel);
        return TRUE;
    case WM_QUERYENDSESSION:
        // Kibolt never holds Windows up; the checkpoint is made current in case it is ended at once.
        if (recorder_) recorder_->Tick();
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) OnEndSession();
        return TRUE;
    case WM_INITMENUPOPUP: OnInitMenuPopup(reinterpret_cast<HMENU>(wParam)); return TRUE;
    case WM_SIZE: LayoutControls(); return TRUE;
    case WM_GETMINMAXINFO: sizing_.LimitTracking(*reinterpret_cast<MINMAXINFO*>(lParam)); return TRUE;
    case WM_ACTIVATE:
        // The user brought Kibolt forward: the messages held for that.
        if (LOWORD(wParam) != WA_INACTIVE && !startNotices_.empty()) Post([this] { ShowStartNotices(); });
        return FALSE;
    case WM_DPICHANGED: {
        // Laid out again once the dialog manager has scaled the window and its controls.
        const int dpi = LOWORD(wParam);
        Post([this, dpi] { OnDpiChanged(dpi); });
        return FALSE;
    }
    case WM_CONTEXTMENU: return TRUE;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_COPYDATA:
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, OnStartRequest(*reinterpret_cast<const COPYDATASTRUCT*>(lParam)));
        return TRUE;
    case WM_NOTIFY: {
        INT_PTR result = OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    default: return FALSE;
    }
}

BOOL MainDialog::OnInitDialog() {
    CenterOverOwner(window_);
    sizing_.Remember(window_);

    LoadIcons();

    tab_ = Control(IDC_TAB);
    gameList_.Attach(Control(IDC_GAME_LIST));
    sessionTable_.Attach(Control(IDC_SESSION_TABLE));
    // The library folder exactly as the system names it, whatever characters it holds.
    const std::u16string program = ProgramPathFromCommandLine(AsUtf16(commandLine_), AsUtf16(currentDir_));
    state_ = std::make_unique<LibraryState>(fs_, UseLibraryFolder(ToWide(LibraryRootOf(program))));
    recorder_ = std::make_unique<SessionRecorder>(fs_, clock_, *state_);
    // The settings file is named after the program file, which the library folder's stand-in does not cover.
    const std::u16string_view programName = std::u16string_view(program).substr(program.find_last_of(u"\\/") + 1);
    settingsCharacter_ = FirstInexactCharacter(ToWide(programName));
    if (!settingsCharacter_.empty()) Post([this] { OnSettingsPathRefused(); });

    SetUpTabs();
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
    SendMessageW(gameList_.Window(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended);
    // A cell cut by its column shows its whole text in a tooltip.
    SendMessageW(Control(IDC_SESSION_TABLE), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended | LVS_EX_LABELTIP);
    gameList_.SetUpColumn();

    LoadSettings();
    LayoutSessionColumns();
    LayoutControls();
    RefillGameList(Category::Playing);
    InstallKeyFilter();
    RecoverLeftOverSession();
    StartWatching();
    return TRUE;  // focus goes to the first tab stop, "NewFile"
}

void MainDialog::LoadIcons() {
    const int dpi = WindowDpi(window_);
    auto load = [&](int width, int height) {
        return static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_KIBOLT), IMAGE_ICON,
                                             SystemMetricForDpi(width, dpi), SystemMetricForDpi(height, dpi), 0));
    };
    UniqueIcon large(load(SM_CXICON, SM_CYICON));
    UniqueIcon small(load(SM_CXSMICON, SM_CYSMICON));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.Get()));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.Get()));
    // The old icons go only once the window holds the new ones.
    largeIcon_ = std::move(large);
    smallIcon_ = std::move(small);
}

void MainDialog::OnDpiChanged(int dpi) {
    sizing_.DpiChanged(dpi);
    LoadIcons();
    LayoutControls();  // the tabs, the lists and the table's columns
    gameList_.FitColumn();
}

void MainDialog::SetUpTabs() {
    RECT client{};
    GetClientRect(window_, &client);
    int frame = SystemMetricForDpi(SM_CXDLGFRAME, WindowDpi(window_));
    // The tab control lies under every other control and spans the window.
    SetWindowPos(tab_, HWND_BOTTOM, frame, 0, client.right - 2 * frame, client.bottom, SWP_SHOWWINDOW);
    for (int i = 0; i < kCategoryCount; ++i)
        TabInsertItem(tab_, i, CategoryTabText(static_cast<Category>(i)), reinterpret_cast<LPARAM>(gameList_.Window()));
    SendMessageW(tab_, TCM_SETCURSEL, 0, 0);
}

bool MainDialog::IsChecked(int id) const { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void MainDialog::SetChecked(int id, bool checked) {
    SendMessageW(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

CopyHeaderValues MainDialog::CopyHeader() const {
    // The fields' whole texts, as the panel shows them.
    return {GetDlgItemTextCp932(window_, IDC_DETAIL_TOTAL_PLAY), GetDlgItemTextCp932(window_, IDC_DETAIL_TOTAL_ACTIVE),
            GetDlgItemTextCp932(window_, IDC_DETAIL_TOTAL_INPUTS)};
}

int32_t MainDialog::CopySettingsOfWindow() const {
    std::array<bool, kCopyCheckCount> checked{};
    for (size_t bit = 0; bit < kCopyCheckBoxes.size(); ++bit) checked[bit] = IsChecked(kCopyCheckBoxes[bit]);
    return CopySettingsFromChecks(checked);
}

void MainDialog::LoadSettings() {
    std::string content;
    fs_.ReadFile(SettingsPathOf(ProgramPath()), content);  // missing or unreadable: defaults
    Settings settings = ReadSettings(content);
    for (size_t bit = 0; bit < kViewCheckBoxes.size(); ++bit)
        SetChecked(kViewCheckBoxes[bit], (settings.viewFlags >> bit) & 1);
    for (size_t bit = 0; bit < kCopyCheckBoxes.size(); ++bit)
        SetChecked(kCopyCheckBoxes[bit], (settings.copySettings >> bit) & 1);
    for (int id : kDisabledCopyCheckBoxes) SetChecked(id, false);
    state_->SetViewFlags(settings.viewFlags);
    playSettings_ = ReadPlaySettings(content);
    recorder_->SetIdleLimit(int64_t{playSettings_.idleMinutes} * 60 * 1000);
    sizing_.Restore(ReadWindowSettings(content));
}

void MainDialog::SaveSettings() {
    Settings settings;
    settings.viewFlags = state_->ViewFlags();
    settings.copySettings = 0;
    for (size_t bit = 0; bit < kCopyCheckBoxes.size(); ++bit)
        if (IsChecked(kCopyCheckBoxes[bit])) settings.copySettings |= 1 << bit;
    std::string path = SettingsPathOf(ProgramPath());
    std::string content;
    fs_.ReadFile(path, content);
    // a failed write is not reported
    WriteFileAtomically(
        fs_, path,
        WritePlaySettings(WriteWindowSettings(WriteSettings(content, settings), sizing_.Now()), playSettings_));
}

void MainDialog::SaveAndRecordForExit() {
    SaveSettings();
    SaveGameComment();
    StopWatching();
    // A game still running keeps running; its session is recorded up to now,
    // and what could not be written before gets one more try.
    launcher_.Stop();
    recorder_->Close();
    AfterRecorder();
    KillTimer(window_, kCheckpointTimer);
    checkpointTimer_ = false;
}

void MainDialog::CloseMainWindow(int exitCode) {
    SaveAndRecordForExit();
    chart_.Close();
    stats_.Close();
    recorder_.reset();
    state_.reset();
    DestroyWindow(window_);
    PostQuitMessage(exitCode);
}

CommandFacts MainDialog::Facts() const {
    CommandFacts facts;
    facts.hasGame = state_ && state_->HasGame();
    facts.playing = Playing();
    facts.currentIsPlaying = CurrentGameIsPlaying();
    facts.canUndo = state_ && state_->CanUndoSessionDeletion();
    facts.dialogOpen = window_ && !IsWindowEnabled(window_);
    facts.autoDetect = playSettings_.autoDetect;
    facts.inFront = window_ && GetForegroundWindow() == window_;
    return facts;
}

void MainDialog::UpdateControlStates() {
    const CommandFacts facts = Facts();
    for (const CommandId& c : kLockedControls) EnableWindow(Control(c.id), StateOf(c.command, facts).enabled);
}

void MainDialog::OnCommand(int id, int code) {
    for (int view : kViewCheckBoxes)
        if (id == view) return OnViewCheckBox(id);
    for (const CommandId& c : kCommandIds)
        if (c.id == id && !Allowed(c.command)) return;
    switch (id) {
    case IDOK:  // Enter: on the game list it starts the highlighted game, as a double click does
        if (GetFocus() == gameList_.Window()) StartSelectedGame(gameList_.SelectedRow());
        break;
    case IDCANCEL: CloseMainWindow(kExitByCancel); break;  // Esc
    case IDM_EXIT: CloseMainWindow(kExitByMenu); break;
    case IDM_DELETE_SESSIONS: DeleteSelectedSessions(); break;
    case IDM_UNDO_SESSION_DELETION: UndoSessionDeletion(); break;
    case IDC_NEW_FILE:
        if (code == BN_CLICKED) OnAddGame();
        break;
    case IDM_NEW_GAME: OnAddGame(); break;
    case IDM_PROPERTIES: OnGameProperties(); break;
    case IDM_MOVE_PLAYING: OnMoveGame(Category::Playing); break;
    case IDM_MOVE_CLEARED: OnMoveGame(Category::Cleared); break;
    case IDM_MOVE_OTHERS: OnMoveGame(Category::Others); break;
    case IDM_DELETE_GAME: OnDeleteGame(); break;
    case IDM_COMMENT_SESSION: OnCommentSession(commentRow_); break;
    case IDM_ABOUT: OnAbout(); break;
    case IDM_README: OnOpenReadme(); break;
    case IDM_CREATE_SHORTCUT: OnCreateShortcut(); break;
    case IDM_CHART: OnChart(); break;
    case IDM_STATS: OnStats(); break;
    case IDM_START_GAME: OnStartGame(); break;
    case IDM_AUTO_DETECT: OnToggleAutoDetect(); break;
    case IDM_IDLE_TIME: OnIdleTime(); break;
    case IDC_SAVE_NOW_TIME:
        if (code == BN_CLICKED) OnSaveNowTime();
        break;
    case IDC_COPY:
        if (code == BN_CLICKED) CopySessions(window_, *state_, CopyHeader(), CopySettingsOfWindow());
        break;
    case IDM_COPY_ALL: CopySessions(window_, *state_, CopyHeader(), CopySettingsOfWindow()); break;
    case IDM_COPY_SELECTED:
        CopySelectedRows(window_, *state_, sessionTable_.SelectedRows(), CopySettingsOfWindow());
        break;
    case IDC_COPY_SETTING:
        if (code == BN_CLICKED) RunCopySettingsDialog(instance_, window_);
        break;
    case IDC_EXTRA:
        if (code == BN_CLICKED) ExtraListDialog::Run(instance_, window_, &state_->Current().log.sessions, &extraList_);
        break;
    default: break;  // IDM_UNUSED_COMMAND and the rest do nothing
    }
}

void MainDialog::OnViewCheckBox(int id) {
    for (size_t bit = 0; bit < kViewCheckBoxes.size(); ++bit) {
        if (kViewCheckBoxes[bit] != id) continue;
        int32_t flags = state_->ViewFlags();
        if (IsChecked(id))
            flags |= int32_t{1} << bit;
        else
            flags &= ~(int32_t{1} << bit);
        state_->SetViewFlags(flags);
    }
    LayoutSessionColumns();
}

INT_PTR MainDialog::OnNotify(const NMHDR& header) {
    if (header.idFrom == IDC_SESSION_TABLE) {
        if (header.code == LVN_GETDISPINFOW)
            sessionTable_.OnGetDispInfo(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
        else if (header.code == LVN_KEYDOWN) {
            const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
            if (key == VK_DELETE)
                OnCommand(IDM_DELETE_SESSIONS, 0);
            else if (key == 'Z' && GetKeyState(VK_CONTROL) < 0)
                OnCommand(IDM_UNDO_SESSION_DELETION, 0);
        } else if (header.code == NM_DBLCLK) {
            if (Allowed(Command::CommentSession))
                OnCommentSession(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
        } else if (header.code == NM_RCLICK)
            OnSessionContextMenu(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
        return 0;
    }
    if (header.idFrom == IDC_GAME_LIST) {
        int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
        if (header.code == NM_CLICK)
            SelectGame(row);
        else if (header.code == NM_DBLCLK)
            StartSelectedGame(row);
        else if (header.code == NM_RCLICK)
            OnGameContextMenu(row);
        else if (header.code == LVN_ITEMCHANGED) {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            // The user moved the highlight (keys, or a click whose own handler also loads):
            // the highlighted game becomes the current one once the list is done.
            if (!syncingSelection_ && (change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
                !(change.uOldState & LVIS_SELECTED))
                Post([this] { OnGameListMoved(); });
        }
        return 0;
    }
    if (header.idFrom == IDC_TAB) {
        if (header.code == TCN_SELCHANGING) {
            OnCategoryLeaving();
            return FALSE;
        }
        if (header.code == TCN_SELCHANGE) OnCategoryEntered();
    }
    return 0;
}

void MainDialog::OnCategoryLeaving() {
    SaveGameComment();
    // The one list serves every tab: hide it while the tab changes.
    ShowWindow(gameList_.Window(), SW_HIDE);
}

void MainDialog::OnCategoryEntered() {
    int index = static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0));
    if (index < 0 || index >= kCategoryCount) return;
    ShowWindow(gameList_.Window(), SW_SHOW);
    auto category = static_cast<Category>(index);
    state_->SetCategory(category);
    Changed(Change::GameList | Change::Current);
    SetFocus(gameList_.Window());
}

void MainDialog::RefillGameList(Category c) {
    syncingSelection_ = true;
    gameList_.Fill(state_->ListGames(c));
    syncingSelection_ = false;
    SyncGameListSelection();
    if (fs_.HasUnlistedFiles()) Post([this] { OnUnlistedFiles(); });
}

void MainDialog::OnSettingsPathRefused() {
    MessageBoxNaming(window_, "プログラムのファイル名に使えない文字「", settingsCharacter_,
                     "」（" + CharacterCodeText(settingsCharacter_) +
                         "）があるため、設定ファイルを読み書きできません。\r\n"
                         "シフトJIS（コードページ932）にある文字だけの名前にしてください。",
                     "Kibolt", MB_OK | MB_ICONWARNING);
}

void MainDialog::OnUnlistedFiles() {
    const std::vector<std::wstring> files = fs_.TakeUnlistedFiles();
    if (files.empty()) return;
    std::wstring list;
    for (const std::wstring& file : files) list += L"\r\n" + file;
    MessageBoxNaming(window_,
                     "次のファイルは、名前にシフトJIS（コードページ932）にない文字があるため、一覧に表示しません。"
                     "使うには、その文字を使わない名前に変えてください。\r\n",
                     list, "", "Kibolt", MB_OK | MB_ICONWARNING);
}

void MainDialog::SyncGameListSelection() {
    const GameRecord& game = state_->Current();
    const bool listed = state_->HasGame() && game.category == state_->CurrentCategory();
    syncingSelection_ = true;
    gameList_.Select(listed ? gameList_.RowOf(game.title) : -1);
    syncingSelection_ = false;
}

void MainDialog::OnGameListMoved() {
    if (!state_ || !IsWindowEnabled(gameList_.Window())) return;
    const int row = gameList_.SelectedRow();
    if (row < 0) return;
    const GameRecord& game = state_->Current();
    if (state_->HasGame() && game.category == state_->CurrentCategory() &&
        FoldAsciiCase(gameList_.Title(row)) == FoldAsciiCase(game.title))
        return;  // already the current game (a click has loaded it)
    SelectGame(row);
}

void MainDialog::OnInitMenuPopup(HMENU menu) {
    const CommandFacts facts = Facts();
    for (const CommandId& c : kCommandIds) {
        const CommandState state = StateOf(c.command, facts);
        const UINT id = static_cast<UINT>(c.id);
        EnableMenuItem(menu, id, MF_BYCOMMAND | (state.enabled ? MF_ENABLED : MF_GRAYED));
        if (c.command == Command::AutoDetect)
            CheckMenuItem(menu, id, MF_BYCOMMAND | (state.checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

void MainDialog::LayoutSessionColumns() {
    sizing_.SetColumns(VisibleFields(state_->ViewFlags()), state_->Current().log.sessions);
    sessionTable_.Show(&state_->Current().log.sessions);
}

void MainDialog::LayoutControls() {
    if (state_) sizing_.Layout(tab_, state_->Current().log.sessions);  // the first sizes come before the library
}

void MainDialog::RefreshViews() {
    const GameRecord& game = state_->Current();
    DetailTexts details = DetailTextsOf(game.log);
    SetDlgItemTextCp932(window_, IDC_DETAIL_PLAY, details.play);
    SetDlgItemTextCp932(window_, IDC_DETAIL_TOTAL_PLAY, details.totalPlay);
    SetDlgItemTextCp932(window_, IDC_DETAIL_ACTIVE, details.active);
    SetDlgItemTextCp932(window_, IDC_DETAIL_TOTAL_ACTIVE, details.totalActive);
    SetDlgItemTextCp932(window_, IDC_GAME_COMMENT, game.log.comment);
    // What the field really shows: bytes it cannot show (NUL, invalid CP932) differ.
    shownComment_ = GetDlgItemTextCp932(window_, IDC_GAME_COMMENT);
    SetDlgItemTextCp932(window_, IDC_DETAIL_TITLE, game.title);
    sessionTable_.Show(&game.log.sessions);
    sizing_.SessionsShown(game.log.sessions);
    SetDlgItemTextCp932(window_, IDC_DETAIL_SESSION_COUNT, details.sessionCount);
    SetDlgItemTextCp932(window_, IDC_DETAIL_TOTAL_INPUTS, details.totalInputs);
    SetDlgItemTextCp932(window_, IDC_DETAIL_INPUTS, details.inputs);
    if (extraList_) extraList_->Refill(&game.log.sessions);
    if (chart_.IsOpen() && chart_.LogPath() == game.logPath) chart_.Update(game.log.sessions);
}

void MainDialog::OnChart() {
    const GameRecord& game = state_->Current();
    chart_.Show(window_, game.title, game.logPath, game.log.sessions);
}

void MainDialog::OnStats() {
    StatsHost host;
    host.fs = &fs_;
    host.root = state_->Root();
    host.busy = [this] { return !Allowed(Command::PickGame); };
    host.showGame = [this](Category category, const std::string& title) { ShowGame(category, title); };
    stats_.Show(window_, std::move(host));
}

void MainDialog::Changed(Change what) {
    SaveGameComment();  // before anything redraws the field it was typed in
    if (what & Change::GameList) RefillGameList(state_->CurrentCategory());
    if (what & Change::Current) RefreshViews();
    if (what & Change::Library) {
        outsideGames_.LibraryChanged();
        if (stats_.IsOpen()) stats_.Reload();
    }
}

bool MainDialog::LoadGame(const std::string& title, std::optional<Category> category) {
    SaveGameComment();  // the comment belongs to the game shown so far
    const LoadResult result = category ? state_->LoadGame(title, *category) : state_->LoadGame(title);
    // A log that cannot be read leaves the game shown so far current and whole.
    const bool loaded = result == LoadResult::Loaded;
    if (loaded) Changed(Change::Current);
    return loaded;
}

void MainDialog::ShowGame(Category category, const std::string& title) {
    if (!Allowed(Command::PickGame)) return;
    if (category != state_->CurrentCategory()) {
        // As a click on the tab: the list is refilled for that folder.
        OnCategoryLeaving();
        SendMessageW(tab_, TCM_SETCURSEL, static_cast<WPARAM>(category), 0);
        OnCategoryEntered();
    }
    const int row = gameList_.RowOf(title);
    if (row < 0) return;
    gameList_.Select(row);
    SelectGame(row);
    if (IsIconic(window_)) ShowWindow(window_, SW_RESTORE);
    SetForegroundWindow(window_);
}

void MainDialog::SaveGameComment() {
    // The field's whole text: a longer comment than any fixed buffer stays whole.
    std::string text = GetDlgItemTextCp932(window_, IDC_GAME_COMMENT);
    // Untouched by the user: the log keeps its own bytes, even those the field cannot show.
    if (text == shownComment_) return;
    const LogChange change = kibolt::SaveGameComment(*state_, text);
    ReportLogChange(change);
    if (change.readError != FsError::None) return;
    // Also when it could not be written: memory holds it, and the user was told once.
    shownComment_ = text;
    if (change.reloaded) RefreshViews();  // the sessions as the log now holds them (not Changed: it saves)
}

void MainDialog::ReportLogChange(const LogChange& change) {
    if (change.Ok() || endingSession_) return;
    const std::string text =
        change.readError != FsError::None
            ? "ログファイルがほかのプログラムで変更されましたが、読み直せませんでした。"
              "変更は保存していません。\r\n"
            : "ログファイルに書き込めませんでした（ほかのプログラムが使用中か、ディスクがいっぱいです）。"
              "変更は保存していません。\r\n";
    MessageBoxCp932(window_, text + state_->Current().logPath, kErrorCaption, MB_OK | MB_ICONERROR);
}

void MainDialog::SelectGame(int row) {
    if (row >= 0)
        LoadGame(gameList_.Title(row));
    else
        SaveGameComment();  // a click on empty space: the game stays, and what was typed is kept
    // The highlight stays on the current game: after a click on empty space or a failed load too.
    SyncGameListSelection();
}

// The rows are those shown: the edit goes first (saving the typed comment
// could read a log changed on disk again), then the update path keeps the
// typed comment before the refresh redraws it.
void MainDialog::DeleteSelectedSessions() {
    ReportLogChange(recorder_->DeleteSessions(sessionTable_.SelectedRows()));
    AfterRecorder();
}

void MainDialog::UndoSessionDeletion() {
    ReportLogChange(recorder_->UndoDeletion());
    AfterRecorder();
}

void MainDialog::SetSessionComment(int row, const std::string& text) {
    if (!state_->HasGame()) return;
    ReportLogChange(recorder_->CommentSession(row, text));
    AfterRecorder();
}

void MainDialog::OnEndSession() {
    // Windows may end the process as soon as this returns: record first, tell nobody.
    endingSession_ = true;
    SaveAndRecordForExit();
}

}  // namespace kibolt
