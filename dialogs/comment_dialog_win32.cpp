#include "dialogs/comment_dialog_win32.h"

#include "dialogs/field_dialog_win32.h"
#include "library/game_commands.h"
#include "resources/resource_ids.h"

namespace kibolt {

std::optional<std::string> RunCommentDialog(HINSTANCE instance, HWND owner, const std::string& comment) {
    // The session line ends with the comment: no line break may get into it.
    FieldDialog<std::string> dialog(IDC_COMMENT_TEXT, comment, [](HWND, HWND, const std::string& text) {
        return std::optional<std::string>(OneLineFieldText(text));
    });
    return dialog.Run(instance, owner, IDD_COMMENT);
}

}  // namespace kibolt
