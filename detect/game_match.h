// Which registered game a running program belongs to: the rules by which a
// game started outside Kibolt is noticed. Paths are CP932 and compared in the
// normal form NormalPath gives them.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/library_paths.h"

namespace kibolt {

// An absolute path as the system compares it: '/' read as '\', ASCII letters
// lowered, "." and ".." resolved, no doubled or trailing backslash; a drive
// root is "c:". Empty for a path that is not absolute ("x.exe", "..\x.exe",
// "\x.exe", "D:x.exe"), since it names nothing for certain.
std::string NormalPath(std::string_view path);

// The program a game's command line starts, as the launcher finds it: the
// quoted first token, or the unquoted text up to the first ".exe" that ends a
// word, taken from the game's working folder when relative. Normal form; empty
// when it names no absolute path.
std::string GameExecutableOf(std::string_view commandLine, std::string_view workingDirectory);

// Programs that start other programs for whoever asks (a command prompt, the
// shell, a store client): they run for reasons other than one game.
bool IsHandOverProgram(std::string_view executable);

// Folders that unrelated programs share, in normal form.
struct SharedFolders {
    std::string windows;             // this folder and everything below it
    std::vector<std::string> roots;  // these folders themselves (profile, desktop, documents, the library, ...)
};

// The folder below which every program counts as the game's, or empty where
// only the executable itself counts: a hand-over program, or a folder that is
// the Windows folder or below it, a drive root, a "Program Files" root or one
// of the shared roots.
std::string GameFolderOf(std::string_view executable, const SharedFolders& shared);

// A registered game as the watcher looks for it.
struct WatchedGame {
    Category category = Category::Playing;
    std::string title;
    std::string logPath;
    std::string executable;  // normal form; empty: the game cannot be noticed
    std::string folder;      // normal form; empty: only the executable counts
};
WatchedGame WatchedGameOf(Category category, std::string title, std::string logPath, std::string_view commandLine,
                          std::string_view workingDirectory, const SharedFolders& shared);

enum class MatchKind { None, Folder, Exact };
// How a running program (its path in normal form) belongs to the game.
MatchKind MatchOf(const WatchedGame& game, std::string_view processPath);

// One entry of a process snapshot.
struct RunningProcess {
    uint32_t id = 0;
    uint32_t parentId = 0;
    std::string path;      // normal form; empty when it could not be read
    uint64_t created = 0;  // in the system's 100 ns units; 0 when unknown
};

struct RunningGame {
    size_t game = 0;  // index into the games
    MatchKind kind = MatchKind::None;
    std::vector<size_t> matched;  // the processes that match the game, indices into the snapshot
    // Processes those started, and they started: by parent id, where the
    // child is not older than its parent (else the id was its parent's before).
    std::vector<size_t> started;
};

// The game among `games` that runs in `processes`. The exact executable beats
// a folder; among equals the game played last wins: lastPlayed(index) is asked
// only for such ties (a larger value is later). Nothing when no game runs.
std::optional<RunningGame> FindRunningGame(const std::vector<WatchedGame>& games,
                                           const std::vector<RunningProcess>& processes,
                                           const std::function<int64_t(size_t)>& lastPlayed);

}  // namespace kibolt
