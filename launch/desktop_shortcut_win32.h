// A desktop shortcut that starts one game through this Kibolt.
#pragma once
#include <windows.h>

#include <string>

namespace kibolt {

struct ShortcutResult {
    bool created = false;
    std::string path;      // the shortcut made (CP932)
    std::string fileName;  // its name on the desktop
    std::string error;     // why none was made, for the user
};

// Creates "<title>.lnk" on the user's desktop, or "<title> (2).lnk" and so on
// when that name is taken: target this program file, arguments --play
// "<title>", working folder libraryRoot, the icon of gameProgram when that
// file exists (else Kibolt's own), and a description naming the game.
ShortcutResult CreateDesktopShortcut(const std::string& title, const std::string& libraryRoot,
                                     const std::string& gameProgram);

}  // namespace kibolt
