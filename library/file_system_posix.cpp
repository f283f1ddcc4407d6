#include "library/file_system_posix.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <thread>

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

constexpr size_t kHugePage = size_t{2} << 20;
// Below this a file takes a few hundred pages at most: the heap serves it.
constexpr size_t kHugePagesFrom = 2 * kHugePage;

void Unmap(char* block, size_t capacity) { ::munmap(block, capacity); }

// Huge pages for the whole 2 MB pages of a large fresh block.
void AdviseHugePages(void* memory, size_t bytes) {
    const auto begin = (reinterpret_cast<uintptr_t>(memory) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = (reinterpret_cast<uintptr_t>(memory) + bytes) & ~(kHugePage - 1);
    if (end > begin) (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// A block for `size` bytes; a large one on huge-page boundaries, advised for
// huge pages (the kernel zeroes them itself, with no pass over it here).
FileBuffer AllocateFor(size_t size) {
    if (size < kHugePagesFrom) return FileBuffer::Allocate(size);
    const size_t capacity = (size + kHugePage - 1) / kHugePage * kHugePage;
    void* mapped = ::mmap(nullptr, capacity + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return FileBuffer::Allocate(size);
    // Keep the aligned part only.
    char* start = static_cast<char*>(mapped);
    char* aligned = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(start) + kHugePage - 1) & ~(kHugePage - 1));
    if (aligned > start) ::munmap(start, static_cast<size_t>(aligned - start));
    if (const size_t tail = static_cast<size_t>(start + capacity + kHugePage - (aligned + capacity)); tail > 0)
        ::munmap(aligned + capacity, tail);
    (void)::madvise(aligned, capacity, MADV_HUGEPAGE);  // only advice: without it the block still works
    FileBuffer buffer(aligned, capacity, Unmap);
    buffer.SetLargeTableAdvice(AdviseHugePages);
    return buffer;
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

// From this size on a file is read on a second thread, a piece at a time,
// while the caller's thread parses what has come in: the system's copy into
// fresh memory, half of a large load, then overlaps with the parse.
constexpr size_t kReadAheadFrom = size_t{8} << 20;
constexpr size_t kReadAheadPiece = size_t{4} << 20;

// Reads the file into `bytes` on a second thread, telling progress of each
// piece (but the last) here as it comes. What it read in `done`; the error, or 0.
int ReadAhead(int fd, const FileBuffer& bytes, const ReadProgress& progress, size_t& done) {
    std::mutex mutex;
    std::condition_variable arrived;
    size_t filled = 0;
    bool finished = false;
    int error = 0;
    char* const data = const_cast<char*>(bytes.data());
    const size_t size = bytes.size();
    std::thread reader([&] {
        for (size_t at = 0; at < size;) {
            const size_t want = std::min(kReadAheadPiece, size - at);
            size_t got = 0;
            const int failed = ReadAt(fd, data + at, want, at, got);
            at += got;
            const bool end = failed != 0 || got < want || at >= size;  // got < want: the file shrank
            {
                std::lock_guard<std::mutex> lock(mutex);
                filled = at;
                error = failed;
                finished = end;
            }
            arrived.notify_one();
            if (end) return;
        }
    });
    // Joined however this ends, a throwing progress included: the reader
    // writes into `bytes` until then.
    struct Join {
        std::thread& thread;
        ~Join() { thread.join(); }
    } join{reader};
    for (size_t seen = 0;;) {
        size_t now = 0;
        {
            std::unique_lock<std::mutex> lock(mutex);
            arrived.wait(lock, [&] { return filled > seen || finished; });
            if (finished) break;
            now = filled;
        }
        progress(bytes, now);
        seen = now;
    }
    std::lock_guard<std::mutex> lock(mutex);
    done = filled;
    return error;
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
    FileBuffer read = AllocateFor(size);
    read.SetSize(size);  // as expected; what was read in the end
    size_t done = 0;
    const int error = progress && size >= kReadAheadFrom ? ReadAhead(file.Get(), read, progress, done)
                                                         : ReadAt(file.Get(), read.data(), size, 0, done);
    if (error != 0) return FromErrno(error);
    read.SetSize(done);
    if (progress) progress(read, done);
    bytes = std::move(read);
    return FsError::None;
}

FsError PosixFileSystem::WriteNewFileFrom(const std::string& path, const ByteSource& content) {
    return Write(path, content, flushWrites_);
}

FsError PosixFileSystem::WriteNewFileUnflushed(const std::string& path, std::string_view bytes) {
    return Write(path, [bytes](const ByteSink& sink) { return sink(bytes); }, false);
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
    stamp.writeTime = static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<uint64_t>(st.st_mtim.tv_nsec);
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
