#include "library/file_system_posix.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kibolt {

namespace {

FsError FromErrno(int error) {
    switch (error) {
    case 0: return FsError::None;
    case ENOENT:
    case ENOTDIR: return FsError::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EBUSY:
    case ETXTBSY: return FsError::AccessDenied;
    case ENAMETOOLONG: return FsError::PathTooLong;
    case ENOSPC:
    case EDQUOT: return FsError::DiskFull;
    default: return FsError::Other;
    }
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int Get() const { return fd_; }
    // Closes it now; false when the system reports that written bytes were lost.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older kernels refuse it, which costs nothing
#endif

// Fresh memory about to be filled by a read: its pages are made in one call,
// not one fault at a time as the copy reaches each. Only advice.
void PrepareForWrite(char* data, size_t size) {
    const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(page - 1);
    if (end > begin) (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
}

// Reads up to `size` bytes of fd from `offset` into data; what it read in
// `done`. The error, or 0.
int ReadAt(int fd, char* data, size_t size, size_t offset, size_t& done) {
    done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, data + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) break;  // the file shrank meanwhile
        done += static_cast<size_t>(got);
    }
    return 0;
}

// Opens a file to read, with its size; a folder is refused as Windows does.
FsError OpenToRead(const std::string& path, int& fd, size_t& size) {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return FromErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        fd = -1;
        return FromErrno(error != 0 ? error : EACCES);
    }
    size = static_cast<size_t>(st.st_size);
    return FsError::None;
}

}  // namespace

FsError PosixFileSystem::ReadFile(const std::string& path, std::string& bytes) {
    int fd = -1;
    size_t size = 0;
    if (const FsError error = OpenToRead(path, fd, size); error != FsError::None) return error;
    Descriptor file(fd);
    bytes.resize(size);
    size_t done = 0;
    if (const int error = ReadAt(file.Get(), bytes.data(), size, 0, done); error != 0) return FromErrno(error);
    bytes.resize(done);
    return FsError::None;
}

FsError PosixFileSystem::ReadFileBuffer(const std::string& path, FileBuffer& bytes, const ReadProgress& progress) {
    int fd = -1;
    size_t size = 0;
    if (const FsError error = OpenToRead(path, fd, size); error != FsError::None) return error;
    Descriptor file(fd);
    return ReadIntoBuffer(
        size,
        [fd = file.Get()](char* data, size_t want, size_t offset, size_t& done) {
            PrepareForWrite(data, want);
            const int failed = ReadAt(fd, data, want, offset, done);
            return failed ? FromErrno(failed) : FsError::None;
        },
        progress, bytes);
}

FsError PosixFileSystem::WriteNewFileFrom(const std::string& path, const ByteSource& content) {
    return Write(path, content, flushWrites_);
}

FsError PosixFileSystem::WriteNewFileUnflushed(const std::string& path, std::string_view bytes) {
    return Write(path, BytesSource(bytes), false);
}

FsError PosixFileSystem::Write(const std::string& path, const ByteSource& content, bool flush) {
    Descriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (file.Get() < 0) return FromErrno(errno);
    int error = 0;
    const bool complete = content([&](std::string_view bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t wrote = ::write(file.Get(), bytes.data() + done, bytes.size() - done);
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) {
                error = wrote < 0 ? errno : ENOSPC;
                return false;
            }
            done += static_cast<size_t>(wrote);
        }
        return true;
    });
    if (!complete) return error != 0 ? FromErrno(error) : FsError::Other;
    if (flush && ::fsync(file.Get()) != 0) return FromErrno(errno);
    if (!file.Close()) return FromErrno(errno);
    return FsError::None;
}

FsError PosixFileSystem::Replace(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? FsError::None : FromErrno(errno);
}

FsError PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    // Never over an existing entry, as on Windows.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return FsError::None;
    return errno == EEXIST ? FsError::AccessDenied : FromErrno(errno);
}

FsError PosixFileSystem::RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? FsError::None : FromErrno(errno);
}

FsError PosixFileSystem::RecycleFile(const std::string& path) {
    return Exists(path) ? FsError::NoRecycleBin : FsError::NotFound;
}

FsError PosixFileSystem::Stamp(const std::string& path, FileStamp& stamp) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FromErrno(errno);
    if (S_ISDIR(st.st_mode)) return FsError::NotFound;
    stamp.size = static_cast<uint64_t>(st.st_size);
    stamp.writeTime =
        static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<uint64_t>(st.st_mtim.tv_nsec);
    return FsError::None;
}

bool PosixFileSystem::Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

FsError PosixFileSystem::ListFolder(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return FromErrno(errno);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..") names.emplace_back(name);
    }
    ::closedir(dir);
    return FsError::None;
}

}  // namespace kibolt
