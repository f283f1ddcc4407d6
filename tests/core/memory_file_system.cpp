#include "tests/core/memory_file_system.h"

#include <algorithm>

#include "library/library_paths.h"
#include "library/sjis.h"

namespace kibolt::test {

namespace {

// The form two spellings of one path share: folded case, '\' only, no trailing separator.
std::string Key(std::string_view path) {
    std::string key = FoldAsciiCase(path);
    std::replace(key.begin(), key.end(), '/', '\\');  // '/' is never a trail byte
    while (!key.empty() && FindLastSeparator(key) == key.size() - 1) key.pop_back();
    return key;
}

// Key of the folder holding path, or nothing for a bare name.
std::optional<std::string> ParentKey(std::string_view path) {
    std::string key = Key(path);
    size_t cut = FindLastSeparator(key);
    if (cut == std::string::npos) return std::nullopt;
    return key.substr(0, cut);
}

std::string NameOf(std::string_view path) {
    size_t cut = FindLastSeparator(path);
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

}  // namespace

void MemoryFileSystem::AddFolder(const std::string& path) {
    std::string spelt = path;
    while (!spelt.empty() && FindLastSeparator(spelt) == spelt.size() - 1) spelt.pop_back();
    while (!spelt.empty()) {
        folders_.emplace(Key(spelt), spelt);
        size_t cut = FindLastSeparator(spelt);
        if (cut == std::string::npos) break;
        spelt.resize(cut);
    }
}

void MemoryFileSystem::PutFile(const std::string& path, const std::string& bytes) {
    size_t cut = FindLastSeparator(path);
    if (cut != std::string::npos) AddFolder(path.substr(0, cut));
    files_[Key(path)] = File{path, bytes, ++writes_};
}

std::optional<std::string> MemoryFileSystem::FileBytes(const std::string& path) const {
    auto it = files_.find(Key(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.bytes;
}

std::vector<std::string> MemoryFileSystem::FilePaths() const {
    std::vector<std::string> paths;
    for (const auto& [key, file] : files_) paths.push_back(file.path);
    return paths;
}

FsError MemoryFileSystem::ReadFile(const std::string& path, std::string& bytes) {
    if (!PathFits(path)) return FsError::PathTooLong;
    if (const FsError e = Fault(Op::Read, path); e != FsError::None) return e;
    const std::string key = Key(path);
    for (const std::string& denied : unreadable)
        if (Key(denied) == key) return FsError::AccessDenied;
    if (folders_.count(key)) return FsError::AccessDenied;
    auto it = files_.find(key);
    if (it == files_.end()) return FsError::NotFound;
    bytes = it->second.bytes;
    return FsError::None;
}

FsError MemoryFileSystem::WriteNewFileFrom(const std::string& path, const ByteSource& content) {
    if (!PathFits(path)) return FsError::PathTooLong;
    if (const FsError e = Fault(Op::Write, path); e != FsError::None) return e;
    const std::string key = Key(path);
    auto parent = ParentKey(path);
    if (parent && !folders_.count(*parent)) return FsError::NotFound;
    if (folders_.count(key)) return FsError::AccessDenied;
    auto [it, added] = files_.try_emplace(key, File{path, {}});
    (void)added;  // an existing file keeps its spelling, as Windows does
    it->second.version = ++writes_;
    std::string& bytes = it->second.bytes;
    bytes.clear();
    const bool complete = content([&](std::string_view piece) {
        largestPieceWritten = std::max(largestPieceWritten, piece.size());
        if (failWriteAfter && bytes.size() + piece.size() > *failWriteAfter) {
            bytes.append(piece.substr(0, *failWriteAfter - bytes.size()));
            return false;
        }
        bytes.append(piece);
        return true;
    });
    // A knob in force fails the write even when every byte fitted.
    if (!complete || failWriteAfter) return writeError;
    return FsError::None;
}

FsError MemoryFileSystem::Replace(const std::string& from, const std::string& to) {
    if (!PathFits(from) || !PathFits(to)) return FsError::PathTooLong;
    if (const FsError e = Fault(Op::Replace, to); e != FsError::None) return e;
    const std::string fromKey = Key(from);
    const std::string toKey = Key(to);
    auto source = files_.find(fromKey);
    if (source == files_.end()) return folders_.count(fromKey) ? FsError::AccessDenied : FsError::NotFound;
    auto parent = ParentKey(to);
    if (parent && !folders_.count(*parent)) return FsError::NotFound;
    if (folders_.count(toKey)) return FsError::AccessDenied;
    if (replaceError != FsError::None) return replaceError;
    if (fromKey == toKey) return FsError::None;
    std::string bytes = std::move(source->second.bytes);
    const uint64_t version = source->second.version;
    files_.erase(source);
    auto [it, added] = files_.try_emplace(toKey, File{to, {}});
    (void)added;
    it->second.bytes = std::move(bytes);
    it->second.version = version;  // a move keeps the time of the last write
    return FsError::None;
}

FsError MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
    if (!PathFits(from) || !PathFits(to)) return FsError::PathTooLong;
    if (const FsError e = Fault(Op::Rename, from); e != FsError::None) return e;
    const std::string fromKey = Key(from);
    const std::string toKey = Key(to);
    auto source = files_.find(fromKey);
    if (source == files_.end()) return folders_.count(fromKey) ? FsError::AccessDenied : FsError::NotFound;
    auto parent = ParentKey(to);
    if (parent && !folders_.count(*parent)) return FsError::NotFound;
    // Renaming to another case of the same name is allowed, as on Windows.
    if (toKey != fromKey && (files_.count(toKey) || folders_.count(toKey))) return FsError::Other;
    if (moveError != FsError::None) return moveError;
    File moved{to, std::move(source->second.bytes), source->second.version};
    files_.erase(source);
    files_[toKey] = std::move(moved);
    return FsError::None;
}

FsError MemoryFileSystem::RemoveFile(const std::string& path) {
    if (!PathFits(path)) return FsError::PathTooLong;
    if (const FsError e = Fault(Op::Remove, path); e != FsError::None) return e;
    const std::string key = Key(path);
    if (folders_.count(key)) return FsError::AccessDenied;
    auto it = files_.find(key);
    if (it == files_.end()) return FsError::NotFound;
    if (removeError != FsError::None) return removeError;
    files_.erase(it);
    return FsError::None;
}

FsError MemoryFileSystem::RecycleFile(const std::string& path) {
    if (!PathFits(path)) return FsError::PathTooLong;
    if (const FsError e = Fault(Op::Recycle, path); e != FsError::None) return e;
    const std::string key = Key(path);
    if (folders_.count(key)) return FsError::AccessDenied;
    auto it = files_.find(key);
    if (it == files_.end()) return FsError::NotFound;
    if (recycleError != FsError::None) return recycleError;
    recycled.push_back(std::move(it->second.bytes));
    files_.erase(it);
    return FsError::None;
}

FsError MemoryFileSystem::Stamp(const std::string& path, FileStamp& stamp) {
    if (!PathFits(path)) return FsError::PathTooLong;
    if (const FsError e = Fault(Op::Stamp, path); e != FsError::None) return e;
    auto it = files_.find(Key(path));
    if (it == files_.end()) return FsError::NotFound;
    stamp = FileStamp{it->second.bytes.size(), it->second.version};
    return FsError::None;
}

bool MemoryFileSystem::Exists(const std::string& path) {
    if (!PathFits(path)) return false;
    const std::string key = Key(path);
    return files_.count(key) || folders_.count(key);
}

FsError MemoryFileSystem::ListFolder(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    if (!PathFits(folder)) return FsError::PathTooLong;
    const std::string key = Key(folder);
    if (!folders_.count(key)) return FsError::NotFound;
    for (const auto& [childKey, spelt] : folders_)
        if (ParentKey(childKey) == key) names.push_back(NameOf(spelt));
    for (const auto& [fileKey, file] : files_)
        if (ParentKey(fileKey) == key) names.push_back(NameOf(file.path));
    return FsError::None;
}

}  // namespace kibolt::test
