#include "library/file_system.h"

#include <utility>

namespace kibolt {

namespace {

ByteSource BytesSource(std::string_view bytes) {
    return [bytes](const ByteSink& sink) { return sink(bytes); };
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

}  // namespace kibolt
