// The core's file operations on Windows, through the wide-character API.
#pragma once
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "library/file_system.h"

namespace kibolt {

class Win32FileSystem final : public FileSystem {
public:
    FsError ReadFile(const std::string& path, std::string& bytes) override;
    FsError ReadFileBuffer(const std::string& path, FileBuffer& bytes, const ReadProgress& progress) override;
    FsError WriteNewFileFrom(const std::string& path, const ByteSource& content) override;
    FsError WriteNewFileUnflushed(const std::string& path, std::string_view bytes) override;
    FsError Replace(const std::string& from, const std::string& to) override;
    FsError Rename(const std::string& from, const std::string& to) override;
    FsError RemoveFile(const std::string& path) override;
    FsError RecycleFile(const std::string& path) override;
    FsError Stamp(const std::string& path, FileStamp& stamp) override;
    bool Exists(const std::string& path) override;
    FsError ListFolder(const std::string& folder, std::vector<std::string>& names) override;

    // The logs that folder listings left out since the last call, each once
    // a run: their names have no exact form in code page 932.
    std::vector<std::wstring> TakeUnlistedFiles();
    bool HasUnlistedFiles() const { return !unlisted_.empty(); }

private:
    FsError Write(const std::string& path, const ByteSource& content, bool flush);

    std::vector<std::wstring> unlisted_;
    std::set<std::wstring> told_;
};

}  // namespace kibolt
