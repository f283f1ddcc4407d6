#include "dialogs/game_dialog_win32.h"

#include <commdlg.h>

#include <array>

#include "resources/resource_ids.h"
#include "win32/dialog_object_win32.h"
#include "win32/text_win32.h"
#include "win32/window_placement_win32.h"

namespace kibolt {

namespace {

const char* TitleProblemText(TitleProblem problem) {
    switch (problem) {
    case TitleProblem::ReservedCharacter: return "タイトルに次の文字は使えません。\r\n\\ / : * ? \" < > |";
    case TitleProblem::ControlCharacter: return "タイトルに改行やタブなどの制御文字は使えません。";
    case TitleProblem::DotName: return "タイトルを「.」や「..」にすることはできません。";
    case TitleProblem::TrailingSpaceOrDot: return "タイトルの最後に空白やピリオドは使えません。";
    case TitleProblem::DeviceName:
        return "CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9 はタイトルに使えません（拡張子を付けても同じです）。";
    case TitleProblem::Unconvertible: return "タイトルにファイル名にできない文字が含まれています。";
    case TitleProblem::Empty: return "タイトルが未入力です";
    case TitleProblem::None: break;
    }
    return "";
}

class GameDialog {
public:
    GameDialog(GameDialogKind kind, LibraryState& state, FileSystem& fs, const GameEntryText* filled)
        : kind_(kind), state_(state), fs_(fs), filled_(filled) {}

    const std::optional<GameEntryResult>& Result() const { return result_; }

private:
    friend INT_PTR CALLBACK DialogProcOf<GameDialog>(HWND, UINT, WPARAM, LPARAM);

    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM) {
        switch (message) {
        case WM_INITDIALOG: OnInit(); return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
            case IDOK: OnOk(); return TRUE;
            case IDCANCEL: EndDialog(window_, IDCANCEL); return TRUE;
            case IDC_ENTRY_BROWSE:
                if (HIWORD(wParam) != BN_CLICKED) return FALSE;
                OnBrowse();
                return TRUE;
            default: return FALSE;
            }
        default: return FALSE;
        }
    }

    void OnInit() {
        CenterOverOwner(window_);
        pathEdit_ = GetDlgItem(window_, IDC_ENTRY_PATH);
        titleEdit_ = GetDlgItem(window_, IDC_ENTRY_TITLE);
        if (kind_ == GameDialogKind::Properties) {
            // Empty when no game is loaded.
            SetWindowTextCp932(pathEdit_, state_.Current().log.commandLine);
            SetWindowTextCp932(titleEdit_, state_.Current().title);
        } else if (filled_) {
            SetWindowTextW(pathEdit_, filled_->path.c_str());
            SetWindowTextW(titleEdit_, filled_->title.c_str());
        }
    }

    // Refuses a field that holds a character code page 932 cannot hold, naming
    // it: converted, it would silently become "?".
    bool RefuseForeignCharacter(HWND edit, const char* field) {
        const std::wstring character = FirstCharacterOutsideCp932(edit);
        if (character.empty()) return false;
        MessageBoxNaming(window_, std::string(field) + "に使えない文字「", character,
                         "」（" + CharacterCodeText(character) + "）が含まれています。\r\n" +
                             "この文字はシフトJIS（コードページ932）にないため、記録できません。",
                         kErrorCaption, MB_OK);
        SetFocus(edit);
        return true;
    }

    void OnOk() {
        if (RefuseForeignCharacter(pathEdit_, "ファイルパス") || RefuseForeignCharacter(titleEdit_, "タイトル")) return;
        // The edits keep what the user typed; only what is taken is cut and mended.
        path_ = OneLineFieldText(GetWindowTextCp932(pathEdit_));
        title_ = TitleFieldText(GetWindowTextCp932(titleEdit_));
        GameEntryResult result = kind_ == GameDialogKind::Add ? RegisterGame(state_, fs_, path_, title_)
                                                              : UpdateGame(state_, fs_, path_, title_);
        if (!result.Ok()) {
            MessageBoxCp932(window_, GameEntryMessage(result), kErrorCaption, MB_OK);
            return;
        }
        result_ = std::move(result);
        EndDialog(window_, IDOK);
    }

    void OnBrowse() {
        if (std::optional<std::string> chosen = BrowseForExecutable(window_)) {
            path_ = *chosen;
            SetWindowTextCp932(pathEdit_, path_);
        }
    }

    GameDialogKind kind_;
    LibraryState& state_;
    FileSystem& fs_;
    const GameEntryText* filled_;
    HWND window_ = nullptr;
    HWND pathEdit_ = nullptr;
    HWND titleEdit_ = nullptr;
    std::string path_;
    std::string title_;
    std::optional<GameEntryResult> result_;
};

}  // namespace

std::string GameEntryMessage(const GameEntryResult& result) {
    switch (result.problem) {
    case GameEntryProblem::EmptyPath: return "ファイルパスを指定してください";
    case GameEntryProblem::EmptyTitle: return "タイトルが未入力です";
    case GameEntryProblem::TitleExists: return "同名ファイルが存在します。";
    case GameEntryProblem::UnusableTitle: return TitleProblemText(result.titleProblem);
    case GameEntryProblem::PathTooLong: return "タイトルが長すぎます。ログファイルのパスがシステムの上限を超えます。";
    case GameEntryProblem::CannotWrite:
        return "ログファイルを書き込めませんでした。" + FsErrorText(result.writeError) + "\r\n" + result.to;
    case GameEntryProblem::CannotRead:
        return "ログファイルがほかで変更され、読み直せませんでした。" + FsErrorText(result.writeError) +
               "何も書き込んでいません。\r\n" + result.to;
    case GameEntryProblem::None: break;
    }
    return {};
}

std::optional<std::string> BrowseForExecutable(HWND owner) {
    // Pairs of display text and pattern, each ended by a NUL, the list by another.
    std::string filter;
    for (const char* part : {"実行ファイル (*.exe)", "*.exe", "すべてのファイル (*.*)", "*.*"}) {
        filter += part;
        filter += '\0';
    }
    const std::wstring wideFilter = Widen(filter);
    const std::wstring defaultExtension = Widen("txt");
    std::array<wchar_t, MAX_PATH> file{};
    std::array<wchar_t, 256> fileTitle{};
    const std::wstring initialName = Widen("無題");
    initialName.copy(file.data(), file.size() - 1);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = wideFilter.c_str();  // ends with the NUL of the string itself
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrFileTitle = fileTitle.data();
    dialog.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    dialog.lpstrDefExt = defaultExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    // A look-alike in its place would start another program, or none.
    std::optional<std::string> path = NarrowExact(file.data());
    if (!path) {
        const std::wstring character = FirstInexactCharacter(file.data());
        MessageBoxNaming(owner, "選んだファイルのパスに使えない文字「", character,
                         "」（" + CharacterCodeText(character) + "）が含まれています。\r\n" +
                             "この文字はシフトJIS（コードページ932）にないため、記録できません。",
                         kErrorCaption, MB_OK);
    }
    return path;
}

std::optional<GameEntryResult> RunGameDialog(HINSTANCE instance, HWND owner, GameDialogKind kind, LibraryState& state,
                                             FileSystem& fs, const GameEntryText* filled) {
    GameDialog dialog(kind, state, fs, filled);
    const int resource = kind == GameDialogKind::Add ? IDD_ADD_GAME : IDD_GAME_PROPERTIES;
    DialogBoxParamW(instance, MAKEINTRESOURCEW(resource), owner, DialogProcOf<GameDialog>,
                    reinterpret_cast<LPARAM>(&dialog));
    return dialog.Result();
}

}  // namespace kibolt
