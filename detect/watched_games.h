// The registered games of every category as the watcher looks for them, read
// from the library's logs. A log is read again only when its size or write
// time has changed, so reading the list after each change of the library
// costs one look at each log's stamp.
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "detect/game_match.h"
#include "library/file_system.h"

namespace kibolt {

class WatchedGameList {
public:
    // Reads the list again from the library at root.
    void Refresh(FileSystem& fs, std::string_view root, const SharedFolders& shared);
    const std::vector<WatchedGame>& Games() const { return games_; }
    // When the game's log was last written: a session recorded writes it, so
    // the game played last has the latest.
    int64_t LastWritten(size_t game) const;
    // Grows with each Refresh.
    uint64_t Version() const { return version_; }

private:
    struct Known {
        FileStamp stamp;
        std::string commandLine;
    };
    std::vector<WatchedGame> games_;
    std::vector<uint64_t> written_;
    std::map<std::string, Known> known_;  // by log path
    uint64_t version_ = 0;
};

}  // namespace kibolt
