#include "detect/game_watch_win32.h"

#include <shlobj.h>
#include <winternl.h>

#include <algorithm>

#include "play/game_launcher_win32.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

// Looks further apart than this: they were paused, and what started meanwhile is looked for.
constexpr DWORD kPausedMs = 5000;
// A program without a window of its own yet is found by this look at the latest.
constexpr DWORD kSnapshotAtLeastMs = 60000;

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
    for (REFKNOWNFOLDERID id :
         {FOLDERID_ProgramFiles, FOLDERID_ProgramFilesX86, FOLDERID_Profile, FOLDERID_Desktop, FOLDERID_Documents,
          FOLDERID_PublicDesktop, FOLDERID_PublicDocuments, FOLDERID_Downloads}) {
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
    using QueryFunction = LONG(WINAPI*)(SYSTEM_INFORMATION_CLASS, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<QueryFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);  // STATUS_INFO_LENGTH_MISMATCH
    std::vector<RunningProcess> running;
    if (!query) return running;
    if (buffer_.empty()) buffer_.resize(256 * 1024);
    for (int tries = 0;; ++tries) {
        ULONG needed = 0;
        const LONG status =
            query(SystemProcessInformation, buffer_.data(), static_cast<ULONG>(buffer_.size()), &needed);
        if (status == 0) break;
        if (status != kLengthMismatch || tries == 3) return running;
        // Room for the processes started meanwhile too.
        buffer_.resize(std::max<size_t>(needed, buffer_.size()) + buffer_.size() / 2);
    }
    std::unordered_map<DWORD, Seen> seen;
    const DWORD self = GetCurrentProcessId();
    for (size_t offset = 0;;) {
        const auto& entry = *reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer_.data() + offset);
        const auto id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry.UniqueProcessId));
        const auto parent = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry.InheritedFromUniqueProcessId));
        const auto created = static_cast<uint64_t>(entry.CreateTime.QuadPart);
        if (id != 0 && id != self) {
            Seen process{created, {}};
            const auto before = seen_.find(id);
            if (before != seen_.end() && before->second.created == created)
                process.path = before->second.path;
            else
                process.path = ProgramPathOf(id);
            running.push_back({id, parent, process.path, created});
            seen.emplace(id, std::move(process));
        }
        if (!entry.NextEntryOffset) break;
        offset += entry.NextEntryOffset;
    }
    seen_ = std::move(seen);  // ids gone from the system are forgotten
    return running;
}

bool GameWatcher::SnapshotDue(const WatchedGameList& games) {
    std::vector<DWORD> owners;
    EnumWindows(
        [](HWND window, LPARAM list) {
            DWORD id = 0;
            if (GetWindowThreadProcessId(window, &id) && id) reinterpret_cast<std::vector<DWORD>*>(list)->push_back(id);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&owners));
    std::sort(owners.begin(), owners.end());
    owners.erase(std::unique(owners.begin(), owners.end()), owners.end());
    const bool newOwner = !std::includes(windowOwners_.begin(), windowOwners_.end(), owners.begin(), owners.end());
    windowOwners_ = std::move(owners);
    const DWORD now = GetTickCount();
    const bool due = !looked_ || newOwner || games.Version() != gamesVersion_ || now - lastLook_ > kPausedMs ||
                     now - lastSnapshot_ >= kSnapshotAtLeastMs;
    looked_ = true;
    lastLook_ = now;
    gamesVersion_ = games.Version();
    if (due) {
        lastSnapshot_ = now;
        ++snapshots_;
    }
    return due;
}

std::optional<NoticedGame> GameWatcher::Look(const WatchedGameList& games) {
    if (games.Games().empty() || !SnapshotDue(games)) return std::nullopt;
    const std::vector<RunningProcess> running = Snapshot();
    const std::optional<RunningGame> found =
        FindRunningGame(games.Games(), running, [&](size_t game) { return games.LastWritten(game); });
    if (!found) return std::nullopt;
    NoticedGame noticed{games.Games()[found->game], {}, 0};
    // A process is followed by its id and creation time, so that a later one under the same id never is.
    auto named = [&](size_t index) {
        GameProcess process{running[index].id, running[index].created};
        if (!process.created) {
            const UniqueHandle handle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process.id));
            process.created = ProcessCreationTime(handle.Get());
        }
        return process;
    };
    for (size_t index : found->matched) {
        const GameProcess process = named(index);
        if (!process.created) continue;  // ended since the snapshot
        noticed.processes.push_back(process);
        if (!noticed.created || process.created < noticed.created) noticed.created = process.created;
    }
    if (noticed.processes.empty()) return std::nullopt;
    for (size_t index : found->started)
        if (const GameProcess process = named(index); process.created) noticed.processes.push_back(process);
    return noticed;
}

std::optional<NoticedGame> OutsideGames::Look(FileSystem& fs, std::string_view libraryRoot) {
    if (stale_) {
        games_.Refresh(fs, libraryRoot, shared_);
        stale_ = false;
    }
    return watcher_.Look(games_);
}

}  // namespace kibolt
