// The core's file operations on Linux and other POSIX systems, for the
// native tools (the benchmark times a log's load and save through it, as the
// program does through the Win32 one). Paths are the system's own, as given.
#pragma once
#include "library/file_system.h"

namespace kibolt {

class PosixFileSystem final : public FileSystem {
public:
    // flushWrites: whether a finished write waits for the disk (fsync), as
    // WriteNewFileFrom promises; a benchmark set beside `cp` leaves it off.
    explicit PosixFileSystem(bool flushWrites = true) : flushWrites_(flushWrites) {}

    FsError ReadFile(const std::string& path, std::string& bytes) override;
    // A large file is read on a second thread, progress told here as pieces
    // come in, so that it is parsed while the rest is read.
    FsError ReadFileBuffer(const std::string& path, FileBuffer& bytes, const ReadProgress& progress) override;
    FsError WriteNewFileFrom(const std::string& path, const ByteSource& content) override;
    FsError WriteNewFileUnflushed(const std::string& path, std::string_view bytes) override;
    FsError Replace(const std::string& from, const std::string& to) override;
    FsError Rename(const std::string& from, const std::string& to) override;
    FsError RemoveFile(const std::string& path) override;
    // There is no recycle bin to put the file in: it stays where it is.
    FsError RecycleFile(const std::string& path) override;
    FsError Stamp(const std::string& path, FileStamp& stamp) override;
    bool Exists(const std::string& path) override;
    FsError ListFolder(const std::string& folder, std::vector<std::string>& names) override;

private:
    FsError Write(const std::string& path, const ByteSource& content, bool flush);

    bool flushWrites_;
};

}  // namespace kibolt
