// Where the library lies, how a log's path follows from a title and a
// category, and which titles can be file names.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kibolt {

enum class Category { Playing = 0, Cleared = 1, Others = 2 };
inline constexpr int kCategoryCount = 3;

const char* CategoryFolderName(Category c);  // "playing", "cleared", "others"
const char* CategoryTabText(Category c);     // "PLAYING", "CLEARED", "OTHERS"

// The longest path, in UTF-16 units, the system takes (MAX_PATH less its NUL).
inline constexpr size_t kMaxPathUnits = 259;
bool PathFits(std::string_view path);

// The program file's path from a Windows command line: the quoted first token,
// or the unquoted text up to the first ".exe" (any case) that ends a word, else
// up to the first blank. A bare or relative name is taken from currentDir.
std::string ProgramPathFromCommandLine(std::string_view commandLine, std::string_view currentDir);
// The same on the system's own UTF-16 text, for a folder code page 932 cannot name.
std::u16string ProgramPathFromCommandLine(std::u16string_view commandLine, std::u16string_view currentDir);
// Where that program name ends (after its closing quote): the arguments follow.
size_t ProgramNameEnd(std::string_view commandLine);

// The folder that holds the program file: no trailing backslash, but for a
// drive's root folder ("E:\\").
std::string LibraryRootOf(std::string_view programPath);
std::u16string LibraryRootOf(std::u16string_view programPath);

std::string CategoryFolderPath(std::string_view root, Category c);
// Path of a title's log, or nothing when the system could not take it
// (including the temporary file a write goes through).
std::optional<std::string> LogPath(std::string_view root, Category c, std::string_view title);

// The title of a listed log file: the name without its ".log" ending (any case).
std::string TitleFromFileName(std::string_view name);

// Where a game's log lies in the library at `root`: its category and title.
// Nothing when logPath is not a log file right inside a category folder
// (paths compared as the system does).
struct LogLocation {
    Category category = Category::Playing;
    std::string title;
};
std::optional<LogLocation> LocateLog(std::string_view root, std::string_view logPath);

// A file of the library itself, beside the category folders (the progress
// file, the checkpoint): `name` alone when there is no root.
std::string LibraryFilePath(std::string_view root, std::string_view name);

// Titles of the logs among a folder's entry names (those ending in ".log" in
// any ASCII case, ".log" alone excepted), sorted case-insensitively, ties by bytes.
std::vector<std::string> TitlesFromListing(const std::vector<std::string>& names);

// A-Z of single-byte characters lowered, double-byte characters untouched:
// the way Windows matches file, folder and INI names.
std::string FoldAsciiCase(std::string_view text);

enum class TitleProblem {
    None,
    Empty,
    ReservedCharacter,  // \ / : * ? " < > |
    ControlCharacter,
    DotName,  // "." or ".."
    TrailingSpaceOrDot,
    DeviceName,     // CON, PRN, AUX, NUL, COM1-9, LPT1-9 (with or without extension)
    Unconvertible,  // bytes code page 932 does not turn into a character and back
};
TitleProblem CheckTitle(std::string_view title);

}  // namespace kibolt
