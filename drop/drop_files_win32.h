// Files dropped on the main window read as games: a program, a batch file or
// a shortcut to one (its target, arguments and working folder, read through
// IShellLinkW), with a title from the program's version resource. One file
// is offered in the registration dialog; several are registered at once.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "drop/dropped_games.h"
#include "library/file_system.h"
#include "library/library_state.h"

namespace kibolt {

// The paths a WM_DROPFILES carries.
std::vector<std::wstring> DroppedPaths(HDROP drop);

// One dropped file as a game. Text stays UTF-16 until it is taken, so that a
// character code page 932 lacks can be named.
struct DroppedFile {
    std::wstring fileName;                  // the dropped file's own name
    DroppedKind kind = DroppedKind::Other;  // of the dropped file itself
    bool startable = false;                 // a program or a batch file, itself or as a shortcut's target
    std::wstring commandLine;       // what starts it (quoted where it holds blanks, with the shortcut's arguments)
    std::wstring title;             // chosen as TitleOfProgram chooses, blanks around it dropped
    std::wstring workingDirectory;  // a shortcut's working folder; empty for other files
};
DroppedFile ReadDroppedFile(const std::wstring& path);

// Registers several dropped files in the shown category, each as the
// registration dialog would take it; `registered` is told after each new game
// (it is then the current one). What became of each file, in the drop's order.
std::vector<DropOutcome> RegisterDroppedFiles(const std::vector<std::wstring>& paths, LibraryState& state,
                                              FileSystem& fs, const std::function<void()>& registered);

// What a file that cannot be offered for registration did: empty when it can.
std::optional<DropOutcome> RefusedDrop(const DroppedFile& file);

}  // namespace kibolt
