#include "library/library_state.h"

#include <utility>

namespace kibolt {

FsError WriteLogFile(FileSystem& fs, const std::string& path, const GameLogContent& log) {
    return WriteFileAtomically(fs, path, [&log](const ByteSink& sink) { return StreamGameLog(log, sink); });
}

LibraryState::LibraryState(FileSystem& fs, std::string root) : fs_(fs), root_(std::move(root)) {}

std::vector<std::string> LibraryState::ListGames(Category c) const {
    std::vector<std::string> names;
    if (fs_.ListFolder(CategoryFolderPath(root_, c), names) != FsError::None) return {};
    return TitlesFromListing(names);
}

LoadResult LibraryState::LoadGame(const std::string& title) { return LoadGame(title, category_); }

LoadResult LibraryState::LoadGame(const std::string& title, Category c) {
    std::optional<std::string> path = title.empty() ? std::nullopt : LogPath(root_, c, title);
    if (!path) return LoadResult::BadPath;
    std::string bytes;
    // Nothing changes before the read succeeds, so a failed pick leaves the
    // previous game whole, still writable to its own log.
    if (fs_.ReadFile(*path, bytes) != FsError::None) return LoadResult::CannotOpen;
    current_ = GameRecord{title, std::move(*path), c, ParseGameLogFile(std::move(bytes))};
    return LoadResult::Loaded;
}

LoadResult LibraryState::Reload() {
    if (current_.logPath.empty()) return LoadResult::BadPath;
    std::string bytes;
    if (fs_.ReadFile(current_.logPath, bytes) != FsError::None) return LoadResult::CannotOpen;
    current_.log = ParseGameLogFile(std::move(bytes));
    return LoadResult::Loaded;
}

FsError LibraryState::WriteGameLog() {
    if (!HasGame() || current_.logPath.empty()) return FsError::None;
    // Always the log the game was loaded from: the shown tab may hold another
    // game of the same title, or no such folder at all.
    return WriteLogFile(fs_, current_.logPath, current_.log);
}

bool LibraryState::LogExists(const std::string& title, Category c) const {
    std::optional<std::string> path = LogPath(root_, c, title);
    return path && fs_.Exists(*path);
}

bool LibraryState::CanUndoSessionDeletion() const {
    return undo_ && HasGame() && !current_.logPath.empty() &&
           FoldAsciiCase(undo_->logPath) == FoldAsciiCase(current_.logPath) &&
           undo_->remaining == current_.log.sessions.size();
}

std::optional<SessionUndo> LibraryState::TakeSessionUndo() {
    std::optional<SessionUndo> undo = std::move(undo_);
    undo_.reset();
    return undo;
}

void LibraryState::ForgetSessionUndo(const std::string& logPath) {
    if (undo_ && (logPath.empty() || FoldAsciiCase(undo_->logPath) == FoldAsciiCase(logPath))) undo_.reset();
}

void LibraryState::SessionUndoMoved(const std::string& from, const std::string& to) {
    if (undo_ && FoldAsciiCase(undo_->logPath) == FoldAsciiCase(from)) undo_->logPath = to;
}

}  // namespace kibolt
