// The commands that create, edit, move and delete games: the decisions about
// titles, paths and clashes, the bytes of a new log and the order of the file
// operations. Results say what went wrong; the dialogs turn them into messages.
#pragma once
#include <string>
#include <string_view>

#include "library/file_system.h"
#include "library/library_paths.h"
#include "library/library_state.h"

namespace kibolt {

// What the dialogs take from a path, title or session comment edit.
inline constexpr size_t kFieldTextBytes = 255;

// The longest start of text that fits in maxBytes without splitting a
// double-byte character.
std::string CutAtCharacter(std::string_view text, size_t maxBytes);

// The text of a field that becomes one line of a log (a command line, a session
// comment): at most kFieldTextBytes bytes, made one line by OneLineText.
std::string OneLineFieldText(std::string_view typed);

// The title as the dialogs take it: at most kFieldTextBytes bytes.
std::string TitleFieldText(std::string_view typed);

// The comment typed beside "SaveNowTime": a one-line text of at most
// kNowCommentBytes bytes, the field's limit.
inline constexpr size_t kNowCommentBytes = 127;
std::string NowCommentFieldText(std::string_view typed);

enum class GameEntryProblem {
    None,
    EmptyPath,
    EmptyTitle,
    UnusableTitle,  // no file name can hold it; see titleProblem
    PathTooLong,    // its log's path would be longer than the system takes
    TitleExists,    // another log of that title lies in the category
    CannotWrite,    // the log could not be written; see writeError
    CannotRead,     // the log changed on disk and could not be read again; see writeError
};

struct GameEntryResult {
    GameEntryProblem problem = GameEntryProblem::None;
    TitleProblem titleProblem = TitleProblem::None;  // with UnusableTitle
    FsError writeError = FsError::None;              // with CannotWrite and CannotRead
    std::string from;                                // the game's log before (empty for a new game)
    std::string to;                                  // the log written, or the one that could not be written
    bool Ok() const { return problem == GameEntryProblem::None; }
    bool Moved() const { return Ok() && !from.empty() && from != to; }
};

// The bytes of a new game's log: the command line and the comment marker.
std::string NewGameLogBytes(const std::string& commandLine);

// Creates a new game's log in the shown category and makes that new, empty
// game the current one. Refuses an empty path or title, a title no file name
// can hold, a path too long and an existing log of that title in the shown
// category (checked in this order). Never replaces an existing file. On any
// problem nothing changes.
GameEntryResult RegisterGame(LibraryState& state, FileSystem& fs, const std::string& path, const std::string& title);

// Gives the current game a new command line and title. Its log stays in the
// folder it was loaded from, whatever tab is shown; a new title must not name
// another log there. The log is written under the new title first and the old
// one removed only then, so a failure leaves the old log and the game in memory
// as they were. Without a current game it registers one, as RegisterGame.
GameEntryResult UpdateGame(LibraryState& state, FileSystem& fs, const std::string& path, const std::string& title);

enum class MoveProblem { None, NoGame, PathTooLong, TitleExists, CannotMove };

struct MoveResult {
    MoveProblem problem = MoveProblem::None;
    std::string from, to;
};

// Moves the current game's log into the target category's folder; the game
// in memory then belongs there. A log of that title already in the target
// (the game's own folder included) is a clash and nothing moves.
MoveResult MoveGame(LibraryState& state, FileSystem& fs, Category target);

enum class DeleteProblem { None, NoGame, CannotRecycle };

struct DeleteResult {
    DeleteProblem problem = DeleteProblem::None;
    FsError error = FsError::None;  // with CannotRecycle
    std::string path;               // the log deleted, or the one that stays
    bool Ok() const { return problem == DeleteProblem::None; }
};

// Moves the current game's log into the Recycle Bin, so the user can bring it
// back. When it is gone there is no current game, so nothing can write that
// log again. Without a game, or when the bin cannot take the file, nothing
// changes.
DeleteResult DeleteGame(LibraryState& state, FileSystem& fs);

}  // namespace kibolt
