#include "detect/game_watch_win32.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>

#include "play/game_launcher_win32.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

std::string KnownFolder(REFKNOWNFOLDERID id) {
    wchar_t* path = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path)
        folder = NormalPath(Narrow(path));
    CoTaskMemFree(path);
    return folder;
}

std::string ProgramPathOf(DWORD id) {
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process) return {};
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(path.size());
        if (QueryFullProcessImageNameW(process.Get(), 0, path.data(), &size)) {
            path.resize(size);
            return NormalPath(Narrow(path));
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

}  // namespace

SharedFolders SystemSharedFolders(std::string_view libraryRoot) {
    SharedFolders shared;
    shared.windows = KnownFolder(FOLDERID_Windows);
    for (REFKNOWNFOLDERID id : {FOLDERID_ProgramFiles, FOLDERID_ProgramFilesX86, FOLDERID_Profile,
                                FOLDERID_Desktop, FOLDERID_Documents, FOLDERID_PublicDesktop,
                                FOLDERID_PublicDocuments, FOLDERID_Downloads}) {
        std::string folder = KnownFolder(id);
        if (!folder.empty()) shared.roots.push_back(std::move(folder));
    }
    if (std::string library = NormalPath(libraryRoot); !library.empty()) shared.roots.push_back(std::move(library));
    return shared;
}

int64_t StampOfSystemTime(uint64_t time) {
    constexpr uint64_t kUnixEpoch = 116444736000000000ULL;  // 1970-01-01 in 100 ns units since 1601
    return time > kUnixEpoch ? static_cast<int64_t>((time - kUnixEpoch) / 10000000ULL) : 0;
}

std::vector<RunningProcess> GameWatcher::Snapshot() {
    std::vector<RunningProcess> running;
    const UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.Get() == INVALID_HANDLE_VALUE) return running;
    std::unordered_map<DWORD, Seen> seen;
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        const DWORD id = entry.th32ProcessID;
        if (id == 0 || id == self) continue;
        Seen process{entry.szExeFile, {}};
        const auto before = seen_.find(id);
        if (before != seen_.end() && before->second.name == process.name)
            process.path = before->second.path;
        else
            process.path = ProgramPathOf(id);
        running.push_back({id, entry.th32ParentProcessID, process.path});
        seen.emplace(id, std::move(process));
    }
    seen_ = std::move(seen);  // ids gone from the system are forgotten
    return running;
}

std::optional<NoticedGame> GameWatcher::Look(const WatchedGameList& games) {
    if (games.Games().empty()) return std::nullopt;
    const std::vector<RunningProcess> running = Snapshot();
    const std::optional<RunningGame> found =
        FindRunningGame(games.Games(), running, [&](size_t game) { return games.LastWritten(game); });
    if (!found) return std::nullopt;
    NoticedGame noticed{games.Games()[found->game], {}, 0};
    // The creation times tell each process from a later one under the same id.
    for (size_t index : found->matched) {
        const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, running[index].id));
        const uint64_t created = ProcessCreationTime(process.Get());
        if (!created) continue;
        noticed.processes.push_back({running[index].id, created});
        if (!noticed.created || created < noticed.created) noticed.created = created;
    }
    if (noticed.processes.empty()) return std::nullopt;  // ended since the snapshot
    for (size_t index : found->started) {
        const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, running[index].id));
        const uint64_t created = ProcessCreationTime(process.Get());
        // A child is younger than the game: an older one holds an id its parent had before.
        if (created && created >= noticed.created) noticed.processes.push_back({running[index].id, created});
    }
    return noticed;
}

}  // namespace kibolt
