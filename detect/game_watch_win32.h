// Notices a registered game started outside Kibolt: a snapshot of the
// running processes, taken when asked (every 2 s while no game is played),
// matched against the registered games. No handle to any process is kept:
// a program's path is read once, when its process is first seen.
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

private:
    struct Seen {
        std::wstring name;  // the snapshot's file name: a reused id comes with another name
        std::string path;   // normal form; empty when it could not be read
    };
    std::vector<RunningProcess> Snapshot();
    std::unordered_map<DWORD, Seen> seen_;
};

// Seconds since 1970 of a time in the system's 100 ns units since 1601.
int64_t StampOfSystemTime(uint64_t time);

}  // namespace kibolt
