// Everything the program knows at a time: where the library is, the category
// shown, the current game with its sessions, and the view flags.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "library/file_system.h"
#include "library/game_log.h"
#include "library/library_paths.h"

namespace kibolt {

struct GameRecord {
    std::string title;                      // empty: no game loaded
    std::string logPath;                    // the log this game was loaded from
    Category category = Category::Playing;  // the folder it was loaded from
    GameLogContent log;
    // The log's stamp when it was last read or written here; nothing when unknown.
    std::optional<FileStamp> stamp;
};

enum class LoadResult { Loaded, BadPath, CannotOpen };

// The sessions the last deletion removed from a log, to be put back by an undo.
struct SessionUndo {
    std::string logPath;
    // Each removed session with its 0-based place before the deletion, ascending.
    std::vector<std::pair<size_t, SessionFieldTexts>> removed;
    // Beside each: the line of the session that was kept just before it (none
    // at the top). Undo puts it back after that session wherever it is now,
    // so sessions recorded, commented or changed on disk since do not move it.
    std::vector<std::optional<std::string>> after;
    size_t remaining = 0;  // how many sessions the deletion left
};

// Saves a log through a temporary file (see WriteFileAtomically), piece by piece.
FsError WriteLogFile(FileSystem& fs, const std::string& path, const GameLogContent& log);

// Reads a log, parsing it as it comes in. On failure `log` stays as it was.
FsError ReadLogFile(FileSystem& fs, const std::string& path, GameLogContent& log);

// Reads a game's log into the record with its stamp (taken first, so a change
// made while it is read shows as a change later).
FsError ReadGameLog(FileSystem& fs, GameRecord& game);

// When the game's log changed on disk since it was read or written here (an
// editor, a second PC syncing the folder), reads it again, so that a change
// made now applies to what it holds. `reloaded` tells whether it did. A log
// that cannot be read, or is gone, gives its error and the game stays as it was.
FsError CatchUpWithDisk(FileSystem& fs, GameRecord& game, bool* reloaded = nullptr);

// Writes the game's log and keeps its new stamp.
FsError WriteGameLogOf(FileSystem& fs, GameRecord& game);

struct LogChange {
    FsError readError = FsError::None;   // the changed log could not be read again: nothing written
    FsError writeError = FsError::None;  // the write failed: the change stays in memory
    bool reloaded = false;               // the log was read again before the change
    bool changed = false;                // the change applied, and the log was written or tried
    bool Ok() const { return readError == FsError::None && writeError == FsError::None; }
};

// A change to a game's log: applied to the log as it is on disk now (see
// CatchUpWithDisk), then written. The change returns false when there is
// nothing to change (nothing is written then).
using LogEdit = std::function<bool(GameLogContent&)>;
LogChange ChangeGameLog(FileSystem& fs, GameRecord& game, const LogEdit& edit);

class LibraryState {
public:
    LibraryState(FileSystem& fs, std::string root);

    const std::string& Root() const { return root_; }
    Category CurrentCategory() const { return category_; }
    void SetCategory(Category c) { category_ = c; }
    int32_t ViewFlags() const { return viewFlags_; }
    void SetViewFlags(int32_t flags) { viewFlags_ = flags; }

    const GameRecord& Current() const { return current_; }
    GameRecord& Current() { return current_; }
    bool HasGame() const { return !current_.title.empty(); }

    // Titles of the logs in a category folder (empty when it is missing).
    std::vector<std::string> ListGames(Category c) const;

    // Loads title from the current category. On failure the previous game
    // stays current and whole. An empty title or a path too long gives BadPath.
    LoadResult LoadGame(const std::string& title);
    LoadResult LoadGame(const std::string& title, Category c);
    // Reloads the current game's log from its own path (BadPath when none is
    // loaded); on failure the game in memory stays as it was.
    LoadResult Reload();

    // Applies a change to the current game's own log, whatever tab is shown,
    // and writes it (see ChangeGameLog). Without a loaded game nothing happens.
    LogChange ChangeLog(const LogEdit& edit);

    // The undo of the last session deletion. It lasts until the next deletion
    // (or the game is deleted), whatever is played, commented or moved in
    // between; it is held by path, so loading other games keeps it.
    void SetSessionUndo(SessionUndo undo) { undo_ = std::move(undo); }
    // True when the pending undo belongs to the current game.
    bool CanUndoSessionDeletion() const;
    std::optional<SessionUndo> TakeSessionUndo();
    // Forgets the undo of that log (of any log when empty).
    void ForgetSessionUndo(const std::string& logPath = {});
    // The log of a pending undo now lies at another path.
    void SessionUndoMoved(const std::string& from, const std::string& to);

private:
    FileSystem& fs_;
    std::string root_;
    Category category_ = Category::Playing;
    int32_t viewFlags_ = 0;
    GameRecord current_;
    std::optional<SessionUndo> undo_;
};

}  // namespace kibolt
