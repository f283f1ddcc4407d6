#include "detect/watched_games.h"

#include "library/game_log.h"

namespace kibolt {

namespace {

// The first line of a log: the game's command line.
std::string CommandLineOfLog(std::string_view bytes) {
    const size_t end = bytes.find_first_of("\n\x1A");
    std::string_view line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return std::string(line);
}

}  // namespace

void WatchedGameList::Refresh(FileSystem& fs, std::string_view root, const SharedFolders& shared) {
    std::vector<WatchedGame> games;
    std::vector<uint64_t> written;
    std::map<std::string, Known> known;
    for (int i = 0; i < kCategoryCount; ++i) {
        const auto category = static_cast<Category>(i);
        std::vector<std::string> names;
        if (fs.ListFolder(CategoryFolderPath(root, category), names) != FsError::None) continue;
        for (const std::string& title : TitlesFromListing(names)) {
            const std::optional<std::string> path = LogPath(root, category, title);
            if (!path) continue;
            Known entry;
            if (fs.Stamp(*path, entry.stamp) != FsError::None) continue;
            const auto before = known_.find(*path);
            if (before != known_.end() && before->second.stamp == entry.stamp) {
                entry.commandLine = before->second.commandLine;
            } else {
                std::string bytes;
                if (fs.ReadFile(*path, bytes) != FsError::None) continue;
                entry.commandLine = CommandLineOfLog(bytes);
            }
            games.push_back(WatchedGameOf(category, title, *path, entry.commandLine,
                                          WorkingDirectoryOf(entry.commandLine), shared));
            written.push_back(entry.stamp.writeTime);
            known.emplace(*path, std::move(entry));
        }
    }
    games_ = std::move(games);
    written_ = std::move(written);
    known_ = std::move(known);
    ++version_;
}

int64_t WatchedGameList::LastWritten(size_t game) const {
    return game < written_.size() ? static_cast<int64_t>(written_[game]) : 0;
}

}  // namespace kibolt
