#include "detect/game_match.h"

#include <algorithm>
#include <array>

#include "library/sjis.h"

namespace kibolt {

namespace {

bool IsDriveLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The text after the last single-byte backslash (all of it when there is none).
std::string_view LastName(std::string_view path) {
    const size_t slash = FindLastBackslash(path);
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FolderOf(std::string_view path) {
    const size_t slash = FindLastBackslash(path);
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
}

bool IsSameOrBelow(std::string_view path, std::string_view folder) {
    if (folder.empty() || path.size() < folder.size() || path.substr(0, folder.size()) != folder) return false;
    return path.size() == folder.size() || path[folder.size()] == '\\';
}

// The program names that hand over to others, lowered.
constexpr std::array<std::string_view, 17> kHandOverPrograms = {
    "cmd.exe",       "explorer.exe", "rundll32.exe", "powershell.exe",        "pwsh.exe",          "wscript.exe",
    "cscript.exe",   "start.exe",    "steam.exe",    "epicgameslauncher.exe", "galaxyclient.exe",  "battle.net.exe",
    "eadesktop.exe", "origin.exe",   "upc.exe",      "ubisoftconnect.exe",    "dmmgameplayer.exe",
};

}  // namespace

std::string NormalPath(std::string_view path) {
    std::string text;
    text.reserve(path.size());
    for (size_t i = 0; i < path.size();) {
        const size_t length = CharacterLength(path, i);
        if (length == 1) {
            const char c = path[i] == '/' ? '\\' : path[i];
            text += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        } else {
            text.append(path.substr(i, length));
        }
        i += length;
    }
    std::string root;
    std::string_view rest;
    if (text.size() >= 3 && IsDriveLetter(text[0]) && text[1] == ':' && text[2] == '\\') {
        root = text.substr(0, 2);
        rest = std::string_view(text).substr(3);
    } else if (text.size() > 2 && text[0] == '\\' && text[1] == '\\' && text[2] != '\\') {
        // \\server\share is the root of a network path.
        std::string_view after = std::string_view(text).substr(2);
        const size_t server = after.find('\\');
        if (server == std::string_view::npos || server == 0) return {};
        const size_t share = after.find('\\', server + 1);
        if (share == server + 1) return {};
        root = "\\\\" + std::string(after.substr(0, share));
        rest = share == std::string_view::npos ? std::string_view() : after.substr(share + 1);
    } else {
        return {};
    }
    std::vector<std::string_view> names;
    size_t start = 0;
    for (size_t i = 0; i <= rest.size();) {
        if (i == rest.size() || rest[i] == '\\') {
            const std::string_view name = rest.substr(start, i - start);
            if (name == "..") {
                if (!names.empty()) names.pop_back();
            } else if (!name.empty() && name != ".") {
                names.push_back(name);
            }
            start = ++i;
        } else {
            i += CharacterLength(rest, i);
        }
    }
    for (std::string_view name : names) {
        root += '\\';
        root += name;
    }
    return root;
}

std::string GameExecutableOf(std::string_view commandLine, std::string_view workingDirectory) {
    return NormalPath(ProgramPathFromCommandLine(commandLine, workingDirectory));
}

bool IsHandOverProgram(std::string_view executable) {
    const std::string name = FoldAsciiCase(LastName(executable));
    return std::find(kHandOverPrograms.begin(), kHandOverPrograms.end(), name) != kHandOverPrograms.end();
}

std::string GameFolderOf(std::string_view executable, const SharedFolders& shared) {
    if (executable.empty() || IsHandOverProgram(executable)) return {};
    const std::string_view folder = FolderOf(executable);
    // A drive root ("c:") or a share's root: everything lies below it.
    if (folder.empty() || FindLastBackslash(folder) == std::string_view::npos ||
        (folder.substr(0, 2) == "\\\\" && std::count(folder.begin(), folder.end(), '\\') <= 3))
        return {};
    if (IsSameOrBelow(folder, shared.windows)) return {};
    const std::string_view name = LastName(folder);
    if (FolderOf(folder).size() == 2 && (name == "program files" || name == "program files (x86)")) return {};
    for (const std::string& root : shared.roots)
        if (folder == root) return {};
    return std::string(folder);
}

WatchedGame WatchedGameOf(Category category, std::string title, std::string logPath, std::string_view commandLine,
                          std::string_view workingDirectory, const SharedFolders& shared) {
    WatchedGame game{category, std::move(title), std::move(logPath), {}, {}};
    game.executable = GameExecutableOf(commandLine, workingDirectory);
    // A hand-over program runs for every other reason too: it never tells that this game runs.
    if (IsHandOverProgram(game.executable)) game.executable.clear();
    game.folder = GameFolderOf(game.executable, shared);
    return game;
}

MatchKind MatchOf(const WatchedGame& game, std::string_view processPath) {
    if (game.executable.empty() || processPath.empty()) return MatchKind::None;
    if (processPath == game.executable) return MatchKind::Exact;
    if (!game.folder.empty() && IsSameOrBelow(processPath, game.folder) && processPath != game.folder)
        return MatchKind::Folder;
    return MatchKind::None;
}

std::optional<RunningGame> FindRunningGame(const std::vector<WatchedGame>& games,
                                           const std::vector<RunningProcess>& processes,
                                           const std::function<int64_t(size_t)>& lastPlayed) {
    std::optional<RunningGame> best;
    bool bestPlayedKnown = false;  // asked only when there is a tie
    int64_t bestPlayed = 0;
    for (size_t g = 0; g < games.size(); ++g) {
        RunningGame found{g, MatchKind::None, {}, {}};
        for (size_t p = 0; p < processes.size(); ++p) {
            const MatchKind kind = MatchOf(games[g], processes[p].path);
            if (kind == MatchKind::None) continue;
            found.matched.push_back(p);
            found.kind = std::max(found.kind, kind);
        }
        if (found.kind == MatchKind::None) continue;
        if (best && found.kind < best->kind) continue;
        if (best && found.kind == best->kind) {
            if (!bestPlayedKnown) bestPlayed = lastPlayed(best->game);
            bestPlayedKnown = true;
            const int64_t played = lastPlayed(g);
            if (played <= bestPlayed) continue;
            bestPlayed = played;
        } else {
            bestPlayedKnown = false;
        }
        best = std::move(found);
    }
    if (!best) return best;
    // What the matched processes started is the game too (a launcher's child
    // started before the look). Ids are taken in turn until none is added.
    std::vector<const RunningProcess*> tree;
    for (size_t p : best->matched) tree.push_back(&processes[p]);
    auto inTree = [&](uint32_t id) {
        return std::find_if(tree.begin(), tree.end(), [&](const RunningProcess* t) { return t->id == id; });
    };
    for (bool added = true; added;) {
        added = false;
        for (size_t p = 0; p < processes.size(); ++p) {
            const RunningProcess& process = processes[p];
            if (process.id == 0 || inTree(process.id) != tree.end()) continue;
            const auto parent = inTree(process.parentId);
            if (parent == tree.end()) continue;
            if (process.created && (*parent)->created && process.created < (*parent)->created) continue;
            tree.push_back(&process);
            best->started.push_back(p);
            added = true;
        }
    }
    return best;
}

}  // namespace kibolt
