#include "dialogs/comment_dialog_win32.h"

#include "library/game_commands.h"
#include "resources/resource_ids.h"
#include "win32/dialog_object_win32.h"
#include "win32/text_win32.h"
#include "win32/window_placement_win32.h"

namespace kibolt {

namespace {

struct CommentDialog {
    std::string comment;  // shown at the start, the text taken on OK
    bool taken = false;

    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = DialogObject<CommentDialog>(dialog, message, lParam);
        if (!self) return FALSE;
        switch (message) {
        case WM_INITDIALOG:
            CenterOverOwner(dialog);
            SetDlgItemTextCp932(dialog, IDC_COMMENT_TEXT, self->comment);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                // The session line ends with the comment: no line break may get into it.
                self->comment = OneLineFieldText(GetDlgItemTextCp932(dialog, IDC_COMMENT_TEXT));
                self->taken = true;
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            return FALSE;
        default: return FALSE;
        }
    }
};

}  // namespace

std::optional<std::string> RunCommentDialog(HINSTANCE instance, HWND owner, const std::string& comment) {
    CommentDialog dialog{comment};
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_COMMENT), owner, CommentDialog::Proc,
                    reinterpret_cast<LPARAM>(&dialog));
    if (!dialog.taken) return std::nullopt;
    return dialog.comment;
}

}  // namespace kibolt
