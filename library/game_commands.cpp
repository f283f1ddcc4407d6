#include "library/game_commands.h"

#include <optional>
#include <utility>

#include "library/game_log.h"
#include "library/one_line_text.h"
#include "library/sjis.h"

namespace kibolt {

namespace {

// Writes a file that must not exist yet: through a temporary file and a rename
// that fails when the target exists, so no other file is ever replaced and no
// half-written log is left under the real name.
FsError WriteNewLog(FileSystem& fs, const std::string& path, const std::string& bytes) {
    const std::string temp = path + kTempSuffix;
    FsError error = fs.WriteNewFile(temp, bytes);
    if (error == FsError::None) error = fs.Rename(temp, path);
    if (error != FsError::None) (void)fs.RemoveFile(temp);  // the caller already gets the first error
    return error;
}

// The checks both dialogs share, in their order; the log's path on success.
GameEntryResult CheckEntry(const LibraryState& state, const std::string& path, const std::string& title, Category c,
                           std::optional<std::string>& logPath) {
    GameEntryResult result;
    if (path.empty()) {
        result.problem = GameEntryProblem::EmptyPath;
    } else if (title.empty()) {
        result.problem = GameEntryProblem::EmptyTitle;
    } else if (TitleProblem problem = CheckTitle(title); problem != TitleProblem::None) {
        result.problem = GameEntryProblem::UnusableTitle;
        result.titleProblem = problem;
    } else if (!(logPath = LogPath(state.Root(), c, title))) {
        result.problem = GameEntryProblem::PathTooLong;
    }
    return result;
}

std::optional<FileStamp> StampOf(FileSystem& fs, const std::string& path) {
    FileStamp stamp;
    return fs.Stamp(path, stamp) == FsError::None ? std::optional<FileStamp>(stamp) : std::nullopt;
}

// Paths that name one file on Windows (ASCII letters in any case).
bool SameFile(const std::string& a, const std::string& b) { return FoldAsciiCase(a) == FoldAsciiCase(b); }

}  // namespace

std::string CutAtCharacter(std::string_view text, size_t maxBytes) {
    size_t end = 0;
    while (end < text.size()) {
        size_t length = 1;
        if (IsLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() &&
            IsTrailByte(static_cast<unsigned char>(text[end + 1])))
            length = 2;
        if (end + length > maxBytes) break;
        end += length;
    }
    return std::string(text.substr(0, end));
}

std::string OneLineFieldText(std::string_view typed) { return OneLineText(CutAtCharacter(typed, kFieldTextBytes)); }

std::string TitleFieldText(std::string_view typed) { return CutAtCharacter(typed, kFieldTextBytes); }

std::string NowCommentFieldText(std::string_view typed) {
    return OneLineFieldText(CutAtCharacter(typed, kNowCommentBytes));
}

std::string NewGameLogBytes(const std::string& commandLine) {
    GameLogContent log;
    log.commandLine = commandLine;
    return SerializeGameLog(log);
}

GameEntryResult RegisterGame(LibraryState& state, FileSystem& fs, const std::string& path, const std::string& title) {
    const Category c = state.CurrentCategory();
    std::optional<std::string> logPath;
    GameEntryResult result = CheckEntry(state, path, title, c, logPath);
    if (!result.Ok()) return result;
    result.to = *logPath;
    if (fs.Exists(*logPath)) {
        result.problem = GameEntryProblem::TitleExists;
        return result;
    }
    const std::string bytes = NewGameLogBytes(path);
    if (FsError error = WriteNewLog(fs, *logPath, bytes); error != FsError::None) {
        result.problem = GameEntryProblem::CannotWrite;
        result.writeError = error;
        return result;
    }
    // The new game is current from now on: nothing of the game shown before
    // (sessions, comment, folder) can be written into its log.
    state.Current() = GameRecord{title, *logPath, c, ParseGameLogFile(bytes), StampOf(fs, *logPath)};
    return result;
}

GameEntryResult UpdateGame(LibraryState& state, FileSystem& fs, const std::string& path, const std::string& title) {
    if (!state.HasGame() || state.Current().logPath.empty()) return RegisterGame(state, fs, path, title);

    GameRecord& game = state.Current();
    const Category c = game.category;  // the game stays in its own folder
    std::optional<std::string> logPath;
    GameEntryResult result = CheckEntry(state, path, title, c, logPath);
    if (!result.Ok()) return result;
    result.from = game.logPath;
    result.to = *logPath;

    // The new command line goes into the log as it is on disk now.
    if (FsError error = CatchUpWithDisk(fs, game); error != FsError::None) {
        result.problem = GameEntryProblem::CannotRead;
        result.writeError = error;
        result.to = game.logPath;
        return result;
    }
    GameLogContent log = game.log;
    log.commandLine = path;
    const std::string bytes = SerializeGameLog(log);

    if (SameFile(game.logPath, *logPath)) {
        if (FsError error = WriteFileAtomically(fs, game.logPath, bytes); error != FsError::None) {
            result.problem = GameEntryProblem::CannotWrite;
            result.writeError = error;
            return result;
        }
        // A title that differs only in the case of its letters: the same file,
        // renamed for the new spelling where the system allows it.
        if (game.logPath != *logPath && fs.Rename(game.logPath, *logPath) != FsError::None) *logPath = game.logPath;
    } else {
        if (fs.Exists(*logPath)) {
            result.problem = GameEntryProblem::TitleExists;
            return result;
        }
        if (FsError error = WriteNewLog(fs, *logPath, bytes); error != FsError::None) {
            result.problem = GameEntryProblem::CannotWrite;
            result.writeError = error;
            return result;
        }
        (void)fs.RemoveFile(game.logPath);  // the game lives on in the new log whatever happens here
    }
    result.to = *logPath;
    state.SessionUndoMoved(result.from, result.to);
    game = GameRecord{title, *logPath, c, ParseGameLogFile(bytes), StampOf(fs, *logPath)};
    return result;
}

MoveResult MoveGame(LibraryState& state, FileSystem& fs, Category target) {
    MoveResult result;
    GameRecord& game = state.Current();
    if (!state.HasGame() || game.logPath.empty()) {
        result.problem = MoveProblem::NoGame;
        return result;
    }
    result.from = game.logPath;
    std::optional<std::string> to = LogPath(state.Root(), target, game.title);
    if (!to) {
        result.problem = MoveProblem::PathTooLong;
        return result;
    }
    result.to = *to;
    if (fs.Exists(*to)) {
        result.problem = MoveProblem::TitleExists;
        return result;
    }
    if (fs.Rename(game.logPath, *to) != FsError::None) {
        result.problem = MoveProblem::CannotMove;
        return result;
    }
    // Later writes of the game go to the moved file.
    state.SessionUndoMoved(game.logPath, *to);
    game.logPath = *to;
    game.category = target;
    return result;
}

DeleteResult DeleteGame(LibraryState& state, FileSystem& fs) {
    DeleteResult result;
    if (!state.HasGame() || state.Current().logPath.empty()) {
        result.problem = DeleteProblem::NoGame;
        return result;
    }
    result.path = state.Current().logPath;
    // A log already gone counts as deleted: the game must not be written back.
    FsError error = fs.RecycleFile(result.path);
    if (error != FsError::None && error != FsError::NotFound) {
        result.problem = DeleteProblem::CannotRecycle;
        result.error = error;
        return result;
    }
    state.ForgetSessionUndo();
    state.Current() = GameRecord{};
    return result;
}

}  // namespace kibolt
