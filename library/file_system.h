// The file operations the core needs, behind an interface: Win32 in the
// program, POSIX for the native benchmark (and its own tests), an in-memory
// fake in the core's tests. Paths are CP932 bytes with '\' (the POSIX one takes
// the system's own paths as given).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "library/file_buffer.h"

namespace kibolt {

// Takes a file's bytes piece by piece; false when a piece could not be taken.
using ByteSink = std::function<bool(std::string_view)>;
// Hands a file's bytes to a sink in order; false as soon as the sink refused one.
using ByteSource = std::function<bool(const ByteSink&)>;
// A source of these bytes in one piece (they must outlive it).
ByteSource BytesSource(std::string_view bytes);
// Told how far the reading of a file has come: bytes [0, filled) of `bytes`
// are in, of bytes.size() expected. The last call has them all (filled ==
// bytes.size()); every call comes on the thread that asked for the read.
using ReadProgress = std::function<void(const FileBuffer& bytes, size_t filled)>;

enum class FsError {
    None,
    NotFound,  // file or folder missing
    AccessDenied,
    PathTooLong,  // the system cannot take the path
    DiskFull,
    NoRecycleBin,  // the file's drive has no Recycle Bin, or it refused the file
    Other,
};

// Why a file operation failed, in the user's words: one sentence, put after
// what failed in a message; empty for None.
std::string FsErrorText(FsError error);

// Reads up to `size` bytes of an open file at `offset` into data, what it read
// in `done` (less at the file's end). Pieces are asked for in order.
using PieceReader = std::function<FsError(char* data, size_t size, size_t offset, size_t& done)>;

// What tells one version of a file from the next: its size and the time it
// was last written. A log whose stamp changed was changed by someone else.
struct FileStamp {
    uint64_t size = 0;
    uint64_t writeTime = 0;  // the system's ticks
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual FsError ReadFile(const std::string& path, std::string& bytes) = 0;
    // The same into a buffer that is not zero-filled first, as a log is read:
    // one block of the file's size. `progress` (may be empty) sees the bytes
    // as they come in, so that they can be parsed while the rest is read; when
    // the read fails, what it saw is to be thrown away.
    virtual FsError ReadFileBuffer(const std::string& path, FileBuffer& bytes, const ReadProgress& progress);
    // Creates or truncates path, writes all the source's bytes and flushes
    // them to disk. May leave a partial file behind when it fails.
    virtual FsError WriteNewFileFrom(const std::string& path, const ByteSource& content) = 0;
    FsError WriteNewFile(const std::string& path, std::string_view bytes);
    // The same without the flush, for files whose loss in a power cut costs
    // nothing (a progress display): the system writes them when it likes.
    virtual FsError WriteNewFileUnflushed(const std::string& path, std::string_view bytes) {
        return WriteNewFile(path, bytes);
    }
    // Replaces `to` by `from` in one step (to may or may not exist).
    virtual FsError Replace(const std::string& from, const std::string& to) = 0;
    // Renames; fails when `to` exists.
    virtual FsError Rename(const std::string& from, const std::string& to) = 0;
    virtual FsError RemoveFile(const std::string& path) = 0;
    // Moves a file into the Recycle Bin, from where the user can restore it.
    // Never destroys it for good: when the bin cannot take it, the file stays.
    virtual FsError RecycleFile(const std::string& path) = 0;
    // The stamp of a file; NotFound when it is missing.
    virtual FsError Stamp(const std::string& path, FileStamp& stamp) = 0;
    // True when an entry of that path exists, file or folder.
    virtual bool Exists(const std::string& path) = 0;
    // Names (not paths) of the entries of a folder; NotFound when it is missing.
    virtual FsError ListFolder(const std::string& folder, std::vector<std::string>& names) = 0;
};

// Suffix of the temporary file a write goes through; it never ends in ".log",
// so a left-over one is never listed as a game.
inline constexpr const char* kTempSuffix = ".kbtmp";

// Writes through a temporary file in the same folder and one replace, so the
// old content stays whole whatever fails. Removes the temporary file on failure.
FsError WriteFileAtomically(FileSystem& fs, const std::string& path, const ByteSource& content);
FsError WriteFileAtomically(FileSystem& fs, const std::string& path, std::string_view bytes);

// Reads an open file of `size` bytes into `bytes`, a buffer of its own, as
// every file system reads a log; on failure `bytes` is left as it was. A large file is read on a second thread, a piece
// at a time, while this thread tells `progress` of each piece, so that it is parsed as the rest comes in: the system's
// copy into fresh memory, half of a large load, then overlaps with the parse. The last call to `progress` has all that
// was read. `bytes` ends at what was read (a file that shrank).
FsError ReadIntoBuffer(size_t size, const PieceReader& read, const ReadProgress& progress, FileBuffer& bytes);

}  // namespace kibolt
