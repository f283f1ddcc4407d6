#include "app/main_dialog_win32.h"

#include "app/placement.h"
#include "app/settings.h"
#include "app/text_win32.h"
#include "library/library_paths.h"
#include "resources/resource_ids.h"

namespace kibolt {

MainDialog::MainDialog(HINSTANCE instance, FileSystem& fs, std::string commandLine, std::string currentDir)
    : instance_(instance), fs_(fs), commandLine_(std::move(commandLine)), currentDir_(std::move(currentDir)) {}

MainDialog::~MainDialog() {
    if (window_) DestroyWindow(window_);
}

HWND MainDialog::Create() {
    return CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_MAIN), nullptr, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

std::string MainDialog::ProgramPath() const { return ProgramPathFromCommandLine(commandLine_, currentDir_); }

INT_PTR CALLBACK MainDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MainDialog* self;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<MainDialog*>(lParam);
        self->window_ = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    } else {
        self = reinterpret_cast<MainDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    }
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        self->window_ = nullptr;
        return FALSE;
    }
    return self->HandleMessage(message, wParam, lParam);
}

INT_PTR MainDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_TIMER: return TRUE;
    case WM_CONTEXTMENU: return TRUE;
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY: {
        INT_PTR result = OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
        return TRUE;
    }
    default: return FALSE;
    }
}

BOOL MainDialog::OnInitDialog() {
    CenterInWorkArea();

    largeIcon_.Reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_KIBOLT), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.Reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_KIBOLT), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                   0)));
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_.Get()));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.Get()));

    tab_ = Control(IDC_TAB);
    gameList_.Attach(Control(IDC_GAME_LIST));
    state_ = std::make_unique<LibraryState>(fs_, LibraryRootOf(ProgramPath()));

    SetUpTabs();
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP;
    SendMessageW(gameList_.Window(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended);
    SendMessageW(Control(IDC_SESSION_TABLE), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, extended);
    gameList_.SetUpColumn();

    LoadSettings();
    RefillGameList(Category::Playing);
    return TRUE;  // focus goes to the first tab stop, "NewFile"
}

void MainDialog::CenterInWorkArea() {
    RECT work{}, rect{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window_, &rect);
    Box area{work.left, work.top, work.right, work.bottom};
    Point at = CenterInside(area, area, rect.right - rect.left, rect.bottom - rect.top);
    SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainDialog::SetUpTabs() {
    RECT client{};
    GetClientRect(window_, &client);
    int frame = GetSystemMetrics(SM_CXDLGFRAME);
    // The tab control lies under every other control and spans the window.
    SetWindowPos(tab_, HWND_BOTTOM, frame, 0, client.right - 2 * frame, client.bottom, SWP_SHOWWINDOW);
    for (int i = 0; i < kCategoryCount; ++i)
        TabInsertItem(tab_, i, CategoryTabText(static_cast<Category>(i)),
                      reinterpret_cast<LPARAM>(gameList_.Window()));
    SendMessageW(tab_, TCM_SETCURSEL, 0, 0);
}

bool MainDialog::IsChecked(int id) const { return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void MainDialog::SetChecked(int id, bool checked) {
    SendMessageW(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
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
    WriteFileAtomically(fs_, path, WriteSettings(content, settings));  // a failed write is not reported
}

void MainDialog::CloseMainWindow(int exitCode) {
    SaveSettings();
    state_.reset();
    DestroyWindow(window_);
    PostQuitMessage(exitCode);
}

void MainDialog::OnCommand(int id, int code) {
    for (int view : kViewCheckBoxes)
        if (id == view) return OnViewCheckBox(id);
    (void)code;
    switch (id) {
    case IDCANCEL: CloseMainWindow(kExitByCancel); break;
    case IDM_EXIT: CloseMainWindow(kExitByMenu); break;
    default: break;  // IDOK, 57664, "readmeを開く" and the rest do nothing
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
}

INT_PTR MainDialog::OnNotify(const NMHDR& header) {
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
    // The one list serves every tab: hide it while the tab changes.
    ShowWindow(gameList_.Window(), SW_HIDE);
}

void MainDialog::OnCategoryEntered() {
    int index = static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0));
    if (index < 0 || index >= kCategoryCount) return;
    ShowWindow(gameList_.Window(), SW_SHOW);
    auto category = static_cast<Category>(index);
    RefillGameList(category);
    state_->SetCategory(category);
    SetFocus(gameList_.Window());
}

void MainDialog::RefillGameList(Category c) { gameList_.Fill(state_->ListGames(c)); }

}  // namespace kibolt
