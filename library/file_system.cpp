#include "library/file_system.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace kibolt {

std::string FsErrorText(FsError error) {
    switch (error) {
    case FsError::None: return {};
    case FsError::NotFound: return "ファイルかフォルダが見つかりません。";
    case FsError::AccessDenied: return "ファイルがほかのプログラムに使われているか、アクセスが拒否されました。";
    case FsError::PathTooLong: return "パスが長すぎます。";
    case FsError::DiskFull: return "ディスクの空きが足りません。";
    case FsError::NoRecycleBin: return "このドライブにはごみ箱がないか、ごみ箱に入りません。";
    case FsError::Other: break;
    }
    return "原因不明のエラーです。";
}

ByteSource BytesSource(std::string_view bytes) {
    return [bytes](const ByteSink& sink) { return sink(bytes); };
}

namespace {

// From this size on a file is read on a second thread, a piece at a time,
// while the caller's thread parses what has come in: the system's copy into
// fresh memory, half of a large load, then overlaps with the parse.
constexpr size_t kReadAheadFrom = size_t{8} << 20;
constexpr size_t kReadAheadPiece = size_t{4} << 20;

// Reads into `bytes` on a second thread, telling progress of each piece (but
// the last) here as it comes. What it read in `done`.
FsError ReadAhead(const FileBuffer& bytes, const PieceReader& read, const ReadProgress& progress, size_t& done) {
    std::mutex mutex;
    std::condition_variable arrived;
    size_t filled = 0;
    bool finished = false;
    FsError error = FsError::None;
    char* const data = const_cast<char*>(bytes.data());
    const size_t size = bytes.size();
    std::thread reader([&] {
        for (size_t at = 0; at < size;) {
            const size_t want = std::min(kReadAheadPiece, size - at);
            size_t got = 0;
            const FsError failed = read(data + at, want, at, got);
            at += got;
            const bool end = failed != FsError::None || got < want || at >= size;  // got < want: the file shrank
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

}  // namespace

FsError FileSystem::ReadFileBuffer(const std::string& path, FileBuffer& bytes, const ReadProgress& progress) {
    std::string text;
    if (const FsError error = ReadFile(path, text); error != FsError::None) return error;
    bytes = FileBuffer(std::move(text));
    if (progress) progress(bytes, bytes.size());
    return FsError::None;
}

FsError FileSystem::WriteNewFile(const std::string& path, std::string_view bytes) {
    return WriteNewFileFrom(path, BytesSource(bytes));
}

FsError WriteFileAtomically(FileSystem& fs, const std::string& path, std::string_view bytes) {
    return WriteFileAtomically(fs, path, BytesSource(bytes));
}

FsError WriteFileAtomically(FileSystem& fs, const std::string& path, const ByteSource& content) {
    const std::string temp = path + kTempSuffix;
    FsError error = fs.WriteNewFileFrom(temp, content);
    if (error == FsError::None) error = fs.Replace(temp, path);
    if (error != FsError::None) {
        // The original is untouched; only the partial copy has to go. A failure
        // here changes nothing for the caller, who already gets the first error.
        (void)fs.RemoveFile(temp);
    }
    return error;
}

FsError ReadIntoBuffer(size_t size, const PieceReader& read, const ReadProgress& progress, FileBuffer& bytes) {
    FileBuffer in = FileBuffer::Allocate(size);
    in.SetSize(size);
    size_t done = 0;
    const FsError error =
        progress && size >= kReadAheadFrom ? ReadAhead(in, read, progress, done) : read(in.data(), size, 0, done);
    if (error != FsError::None) return error;
    in.SetSize(done);
    if (progress) progress(in, done);
    bytes = std::move(in);
    return FsError::None;
}

}  // namespace kibolt
