// Everything the program knows at a time: where the library is, the category
// shown, the current game with its sessions, and the view flags.
#pragma once
#include <cstdint>
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
};

enum class LoadResult { Loaded, BadPath, CannotOpen };

// The sessions the last deletion removed from a log, to be put back by an undo.
struct SessionUndo {
    std::string logPath;
    // Each removed session with its 0-based place before the deletion, ascending.
    std::vector<std::pair<size_t, SessionFieldTexts>> removed;
    size_t remaining = 0;  // how many sessions the deletion left
};

// Saves a log through a temporary file (see WriteFileAtomically), piece by piece.
FsError WriteLogFile(FileSystem& fs, const std::string& path, const GameLogContent& log);

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

    // Rewrites the current game's own log atomically, whatever tab is shown.
    // When no game is loaded nothing is written and FsError::None is returned.
    FsError WriteGameLog();

    bool LogExists(const std::string& title, Category c) const;

    // The undo of the last session deletion. It lasts until another change of
    // that log's sessions (or of the game itself) is written; it is held by
    // path, so loading other games in between keeps it.
    void SetSessionUndo(SessionUndo undo) { undo_ = std::move(undo); }
    // True when the pending undo belongs to the current game and its sessions
    // are still those the deletion left.
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
