#include "library/library_state.h"

#include <utility>

namespace kibolt {

FsError WriteLogFile(FileSystem& fs, const std::string& path, const GameLogContent& log) {
    return WriteFileAtomically(fs, path, [&log](const ByteSink& sink) { return StreamGameLog(log, sink); });
}

FsError ReadLogFile(FileSystem& fs, const std::string& path, GameLogContent& log) {
    LogFileParser parser;
    FileBuffer bytes;
    const FsError error =
        fs.ReadFileBuffer(path, bytes, [&parser](const FileBuffer& in, size_t filled) { parser.Arrived(in, filled); });
    if (error == FsError::None) log = parser.Finish(std::move(bytes));
    return error;
}

FsError ReadGameLog(FileSystem& fs, GameRecord& game) {
    FileStamp stamp;
    const bool stamped = fs.Stamp(game.logPath, stamp) == FsError::None;
    if (const FsError error = ReadLogFile(fs, game.logPath, game.log); error != FsError::None) return error;
    game.stamp = stamped ? std::optional<FileStamp>(stamp) : std::nullopt;
    return FsError::None;
}

FsError CatchUpWithDisk(FileSystem& fs, GameRecord& game, bool* reloaded) {
    if (reloaded) *reloaded = false;
    FileStamp now;
    if (const FsError error = fs.Stamp(game.logPath, now); error != FsError::None) return error;
    if (game.stamp && *game.stamp == now) return FsError::None;
    // Read beside the game (its log is not copied), taken over only when whole.
    GameRecord fresh{game.title, game.logPath, game.category, {}, std::nullopt};
    if (const FsError error = ReadGameLog(fs, fresh); error != FsError::None) return error;
    game.log = std::move(fresh.log);
    game.stamp = fresh.stamp;
    if (reloaded) *reloaded = true;
    return FsError::None;
}

FsError WriteGameLogOf(FileSystem& fs, GameRecord& game) {
    const FsError error = WriteLogFile(fs, game.logPath, game.log);
    if (error == FsError::None) {
        FileStamp stamp;
        game.stamp = fs.Stamp(game.logPath, stamp) == FsError::None ? std::optional<FileStamp>(stamp) : std::nullopt;
    }
    return error;
}

LogChange ChangeGameLog(FileSystem& fs, GameRecord& game, const LogEdit& edit) {
    LogChange result;
    result.readError = CatchUpWithDisk(fs, game, &result.reloaded);
    if (result.readError != FsError::None) return result;
    result.changed = edit(game.log);
    if (result.changed) result.writeError = WriteGameLogOf(fs, game);
    return result;
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
    // Nothing changes before the read succeeds, so a failed pick leaves the
    // previous game whole, still writable to its own log.
    GameRecord game{title, std::move(*path), c, {}, std::nullopt};
    if (ReadGameLog(fs_, game) != FsError::None) return LoadResult::CannotOpen;
    current_ = std::move(game);
    return LoadResult::Loaded;
}

LoadResult LibraryState::Reload() {
    if (current_.logPath.empty()) return LoadResult::BadPath;
    GameRecord game{current_.title, current_.logPath, current_.category, {}, std::nullopt};
    if (ReadGameLog(fs_, game) != FsError::None) return LoadResult::CannotOpen;
    current_.log = std::move(game.log);
    current_.stamp = game.stamp;
    return LoadResult::Loaded;
}

LogChange LibraryState::ChangeLog(const LogEdit& edit) {
    if (!HasGame() || current_.logPath.empty()) return {};
    // Always the log the game was loaded from: the shown tab may hold another
    // game of the same title, or no such folder at all.
    return ChangeGameLog(fs_, current_, edit);
}

bool LibraryState::CanUndoSessionDeletion() const {
    return undo_ && HasGame() && !current_.logPath.empty() &&
           FoldAsciiCase(undo_->logPath) == FoldAsciiCase(current_.logPath);
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
