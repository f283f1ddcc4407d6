// The one-line dialog (IDD_COMMENT) in which a play session gets its comment.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace kibolt {

// Shows `comment` for editing. Enter takes the text (at most 255 bytes, with
// no line breaks); Esc and the close box cancel and give nothing.
std::optional<std::string> RunCommentDialog(HINSTANCE instance, HWND owner, const std::string& comment);

}  // namespace kibolt
