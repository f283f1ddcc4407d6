// Games registered by dropping files on the main window: what kind of file
// was dropped, the command line and title it gives, and the message that
// tells what became of a drop of several files.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "library/game_commands.h"

namespace kibolt {

enum class DroppedKind {
    Program,           // .exe
    Script,            // .bat, .cmd
    Shortcut,          // .lnk: its target is registered
    InternetShortcut,  // .url: a store's address, which Kibolt cannot follow
    Other,
};
DroppedKind KindOfDroppedFile(std::string_view path);

// The command line that starts `program` with `arguments`: the program
// quoted when it holds a blank, so that nothing else is read as the program.
std::string CommandLineOf(std::string_view program, std::string_view arguments);

// The strings of a program's version resource that may name the game.
struct VersionStrings {
    std::string productName;
    std::string fileDescription;
};
// The title a dropped program gets: its product name, else its file
// description, else its file name without the extension. Blanks around a
// name are dropped; the title is cut as the dialogs cut a typed one.
enum class TitleSource { ProductName, FileDescription, FileName };
TitleSource TitleSourceOf(const VersionStrings& version);
std::string TitleOfProgram(const VersionStrings& version, std::string_view programPath);
// A file name without its extension.
std::string_view FileStem(std::string_view path);

// What became of one dropped file.
struct DropOutcome {
    enum class Problem {
        None,      // registered
        NotAGame,  // neither a program, a script nor a shortcut to one
        InternetShortcut,
        ForeignCharacter,  // the title or path holds a character code page 932 lacks; see character
        Entry,             // refused as a typed entry would be; see entry
    };
    std::string fileName;  // the dropped file's name
    std::string title;     // the title given (or tried)
    Problem problem = Problem::None;
    std::string character;  // with ForeignCharacter: "「x」(U+xxxx)"
    GameEntryResult entry;  // with Entry
    bool Registered() const { return problem == Problem::None; }
};

// The message after a drop: what was registered and what was not, and why.
std::string DropSummary(const std::vector<DropOutcome>& outcomes);

}  // namespace kibolt
