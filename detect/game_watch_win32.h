// Notices a registered game started outside Kibolt: a snapshot of the
// running processes, taken when asked (every 2 s while no game is played),
// matched against the registered games. No handle to any process is kept:
// a program's path is read once, when its process is first seen. The
// snapshot is the system's list of processes (what the tool-help snapshot
// is made from) into a buffer kept from one look to the next, so that one
// call takes it, with each process's parent and creation time.
//
// A game shows a window: a look first lists the processes that own
// top-level windows, far cheaper than the snapshot, and takes the snapshot
// only when one of them is new since the last look, the games changed, the
// looks were paused (a game was played) or a minute has passed.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "detect/game_match.h"
#include "detect/watched_games.h"
#include "play/game_process.h"

namespace kibolt {

// The folders that unrelated programs share on this system, and the library's own.
SharedFolders SystemSharedFolders(std::string_view libraryRoot);

// A registered game found running.
struct NoticedGame {
    WatchedGame game;
    std::vector<GameProcess> processes;  // the matched ones and what they started
    uint64_t created = 0;                // the earliest matched process's creation, in the system's 100 ns units
};

class GameWatcher {
public:
    // One look at the running processes; the game of `games` that runs.
    std::optional<NoticedGame> Look(const WatchedGameList& games);
    // How many looks took the snapshot.
    uint64_t Snapshots() const { return snapshots_; }

private:
    // Whether this look takes the snapshot (and notes the window owners).
    bool SnapshotDue(const WatchedGameList& games);
    struct Seen {
        uint64_t created = 0;  // a reused id comes with another creation time
        std::string path;      // normal form; empty when it could not be read
    };
    std::vector<RunningProcess> Snapshot();
    std::unordered_map<DWORD, Seen> seen_;
    std::vector<unsigned char> buffer_;
    std::vector<DWORD> windowOwners_;  // sorted
    bool looked_ = false;
    DWORD lastLook_ = 0;
    DWORD lastSnapshot_ = 0;
    uint64_t gamesVersion_ = 0;
    uint64_t snapshots_ = 0;
};

// What a window keeps between its looks: the system's shared folders, the
// registered games as last read (read again once the library changed) and
// the watcher.
class OutsideGames {
public:
    void Start(std::string_view libraryRoot) { shared_ = SystemSharedFolders(libraryRoot); }
    void LibraryChanged() { stale_ = true; }
    std::optional<NoticedGame> Look(FileSystem& fs, std::string_view libraryRoot);

private:
    SharedFolders shared_;
    WatchedGameList games_;
    bool stale_ = true;
    GameWatcher watcher_;
};

// Seconds since 1970 of a time in the system's 100 ns units since 1601.
int64_t StampOfSystemTime(uint64_t time);

}  // namespace kibolt
