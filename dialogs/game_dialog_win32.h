// The add-game dialog (IDD_ADD_GAME) and the game properties dialog (IDD_GAME_PROPERTIES): one path,
// one title, a button that browses for the executable.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "library/file_system.h"
#include "library/game_commands.h"
#include "library/library_state.h"

namespace kibolt {

enum class GameDialogKind {
    Add,         // registers a new game in the shown category
    Properties,  // edits the current game's command line and title
};

// What an add dialog shows when it opens (a dropped file's program and
// title), as UTF-16 so that a character code page 932 lacks is named on OK.
struct GameEntryText {
    std::wstring path;
    std::wstring title;
};

// Runs the dialog modally over owner. OK carries out the entry (RegisterGame or
// UpdateGame); a refused entry is explained in a message box and the dialog
// stays open with its contents. The accepted entry's result, or nothing when
// the dialog was cancelled.
std::optional<GameEntryResult> RunGameDialog(HINSTANCE instance, HWND owner, GameDialogKind kind, LibraryState& state,
                                             FileSystem& fs, const GameEntryText* filled = nullptr);

// The text of the message box that refuses an entry (caption "error").
std::string GameEntryMessage(const GameEntryResult& result);

// The open-file dialog for an executable; its full path, or nothing when cancelled.
std::optional<std::string> BrowseForExecutable(HWND owner);

}  // namespace kibolt
