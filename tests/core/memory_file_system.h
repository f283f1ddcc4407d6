// An in-memory FileSystem for tests. Paths match like Windows paths: ASCII
// letters without regard to case, double-byte characters byte for byte, '\'
// or '/' as separators. A file can only be written into an existing folder.
#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "library/file_system.h"

namespace kibolt::test {

class MemoryFileSystem : public FileSystem {
public:
    // Set-up and inspection; these ignore the failure knobs below.
    void AddFolder(const std::string& path);                              // with all its parent folders
    void PutFile(const std::string& path, const std::string& bytes);      // adds its folders too
    std::optional<std::string> FileBytes(const std::string& path) const;  // nothing when no such file
    std::vector<std::string> FilePaths() const;                           // every file, as last spelt

    // Failure knobs; each stays in force until reset.
    std::optional<size_t> failWriteAfter;    // a write keeps the first N bytes, then fails
    FsError writeError = FsError::DiskFull;  // the error that failed write returns
    FsError replaceError = FsError::None;    // Replace fails with it, changing nothing
    FsError moveError = FsError::None;       // Rename fails with it, changing nothing
    FsError removeError = FsError::None;     // RemoveFile fails with it, changing nothing
    FsError recycleError = FsError::None;    // RecycleFile fails with it, changing nothing
    std::vector<std::string> recycled;       // bytes of the files recycled, oldest first
    std::set<std::string> unreadable;        // ReadFile of these paths gives AccessDenied (any case)
    // Asked first by every operation but Exists and ListFolder: an error it
    // gives fails the operation, changing nothing.
    enum class Op { Read, Write, Replace, Rename, Remove, Recycle, Stamp };
    std::function<FsError(Op, const std::string& path)> fault;

    FsError ReadFile(const std::string& path, std::string& bytes) override;
    FsError WriteNewFileFrom(const std::string& path, const ByteSource& content) override;

    size_t largestPieceWritten = 0;  // the largest piece a write was handed, for tests of memory use
    FsError Replace(const std::string& from, const std::string& to) override;
    FsError Rename(const std::string& from, const std::string& to) override;
    FsError RemoveFile(const std::string& path) override;
    FsError RecycleFile(const std::string& path) override;
    // The size and a count of writes: every write, PutFile included, gives a new stamp.
    FsError Stamp(const std::string& path, FileStamp& stamp) override;
    bool Exists(const std::string& path) override;
    FsError ListFolder(const std::string& folder, std::vector<std::string>& names) override;

private:
    FsError Fault(Op op, const std::string& path) const { return fault ? fault(op, path) : FsError::None; }
    struct File {
        std::string path;  // as last spelt
        std::string bytes;
        uint64_t version = 0;
    };
    uint64_t writes_ = 0;
    std::map<std::string, File> files_;           // by folded path
    std::map<std::string, std::string> folders_;  // folded path -> path as spelt
};

}  // namespace kibolt::test
