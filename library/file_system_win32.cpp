#include "library/file_system_win32.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <utility>

#include "library/library_paths.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

FsError FromLastError() {
    switch (GetLastError()) {
    case ERROR_SUCCESS: return FsError::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH: return FsError::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return FsError::AccessDenied;
    case ERROR_FILENAME_EXCED_RANGE: return FsError::PathTooLong;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return FsError::DiskFull;
    default: return FsError::Other;
    }
}

// Ends in ".log" (any ASCII case) after at least one character, as a listed game's file does.
bool IsLogName(std::wstring_view name) {
    if (name.size() <= 4) return false;
    std::wstring ending(name.substr(name.size() - 4));
    for (wchar_t& c : ending)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return ending == L".log";
}

// The wide path, or nothing when the system could not take it.
bool ToSystemPath(const std::string& path, std::wstring& wide) {
    wide = WidenPath(path);
    return wide.size() <= kMaxPathUnits;
}

// Opens a file to read, with its size.
FsError OpenToRead(const std::string& path, UniqueFile& file, size_t& size) {
    std::wstring wide;
    if (!ToSystemPath(path, wide)) return FsError::PathTooLong;
    file = UniqueFile(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FromLastError();
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(file.Get(), &length)) return FromLastError();
    size = static_cast<size_t>(length.QuadPart);
    return FsError::None;
}

// Reads up to `size` bytes into data; what it read in `done`.
FsError ReadAll(HANDLE file, char* data, size_t size, size_t& done) {
    done = 0;
    while (done < size) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(file, data + done, chunk, &got, nullptr)) return FromLastError();
        if (got == 0) break;  // the file shrank meanwhile
        done += got;
    }
    return FsError::None;
}

}  // namespace

FsError Win32FileSystem::ReadFile(const std::string& path, std::string& bytes) {
    UniqueFile file;
    size_t size = 0;
    if (const FsError error = OpenToRead(path, file, size); error != FsError::None) return error;
    bytes.clear();
    bytes.resize(size);
    size_t done = 0;
    if (const FsError error = ReadAll(file.Get(), bytes.data(), size, done); error != FsError::None) return error;
    bytes.resize(done);
    return FsError::None;
}

FsError Win32FileSystem::ReadFileBuffer(const std::string& path, FileBuffer& bytes, const ReadProgress& progress) {
    UniqueFile file;
    size_t size = 0;
    if (const FsError error = OpenToRead(path, file, size); error != FsError::None) return error;
    // Pieces come in order: the file's own position is where the next begins.
    return ReadIntoBuffer(
        size,
        [handle = file.Get()](char* data, size_t want, size_t, size_t& done) {
            return ReadAll(handle, data, want, done);
        },
        progress, bytes);
}

FsError Win32FileSystem::WriteNewFileFrom(const std::string& path, const ByteSource& content) {
    return Write(path, content, true);
}

FsError Win32FileSystem::WriteNewFileUnflushed(const std::string& path, std::string_view bytes) {
    return Write(path, BytesSource(bytes), false);
}

FsError Win32FileSystem::Write(const std::string& path, const ByteSource& content, bool flush) {
    std::wstring wide;
    if (!ToSystemPath(path, wide)) return FsError::PathTooLong;
    UniqueFile file(
        CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FromLastError();
    FsError error = FsError::None;
    const bool complete = content([&](std::string_view bytes) {
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
            DWORD wrote = 0;
            if (!::WriteFile(file.Get(), bytes.data() + done, chunk, &wrote, nullptr)) {
                error = FromLastError();
                return false;
            }
            done += wrote;
        }
        return true;
    });
    if (!complete) return error != FsError::None ? error : FsError::Other;
    if (flush && !FlushFileBuffers(file.Get())) return FromLastError();
    return FsError::None;
}

FsError Win32FileSystem::Replace(const std::string& from, const std::string& to) {
    std::wstring wideFrom, wideTo;
    if (!ToSystemPath(from, wideFrom) || !ToSystemPath(to, wideTo)) return FsError::PathTooLong;
    if (!MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return FromLastError();
    return FsError::None;
}

FsError Win32FileSystem::Rename(const std::string& from, const std::string& to) {
    std::wstring wideFrom, wideTo;
    if (!ToSystemPath(from, wideFrom) || !ToSystemPath(to, wideTo)) return FsError::PathTooLong;
    if (!MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_WRITE_THROUGH)) return FromLastError();
    return FsError::None;
}

FsError Win32FileSystem::RemoveFile(const std::string& path) {
    std::wstring wide;
    if (!ToSystemPath(path, wide)) return FsError::PathTooLong;
    if (!DeleteFileW(wide.c_str())) return FromLastError();
    return FsError::None;
}

FsError Win32FileSystem::RecycleFile(const std::string& path) {
    std::wstring wide;
    if (!ToSystemPath(path, wide)) return FsError::PathTooLong;
    if (GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES) return FromLastError();
    std::wstring full(MAX_PATH + 1, L'\0');
    DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return FsError::PathTooLong;
    full.resize(length);
    // A drive without a Recycle Bin would have the shell destroy the file for good.
    std::wstring root = full;
    if (!PathStripToRootW(root.data())) return FsError::NoRecycleBin;
    root.resize(wcslen(root.c_str()));
    SHQUERYRBINFO bin{};
    bin.cbSize = sizeof bin;
    if (FAILED(SHQueryRecycleBinW(root.c_str(), &bin))) return FsError::NoRecycleBin;

    full.push_back(L'\0');  // the list of paths ends with a second NUL
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = full.c_str();
    // No question and no progress; but should the bin refuse the file after
    // all, the shell asks before destroying it, and "no" keeps it.
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | FOF_SILENT | FOF_NOERRORUI;
    const int result = SHFileOperationW(&operation);
    if (operation.fAnyOperationsAborted) return FsError::NoRecycleBin;
    constexpr int kShellAccessDenied = 0x78;  // DE_ACCESSDENIEDSRC
    if (result == kShellAccessDenied) return FsError::AccessDenied;
    if (result != 0) {
        SetLastError(static_cast<DWORD>(result));
        FsError error = FromLastError();
        return error == FsError::None || error == FsError::NotFound ? FsError::Other : error;
    }
    if (GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) return FsError::AccessDenied;
    return FsError::None;
}

FsError Win32FileSystem::Stamp(const std::string& path, FileStamp& stamp) {
    std::wstring wide;
    if (!ToSystemPath(path, wide)) return FsError::PathTooLong;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return FromLastError();
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FsError::NotFound;
    stamp.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    stamp.writeTime = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    return FsError::None;
}

bool Win32FileSystem::Exists(const std::string& path) {
    std::wstring wide;
    if (!ToSystemPath(path, wide)) return false;
    return GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FsError Win32FileSystem::ListFolder(const std::string& folder, std::vector<std::string>& names) {
    names.clear();
    std::wstring pattern;
    if (!ToSystemPath(folder + "\\*", pattern)) return FsError::PathTooLong;
    WIN32_FIND_DATAW data{};
    UniqueFind find(FindFirstFileW(pattern.c_str(), &data));
    if (!find) {
        FsError error = FromLastError();
        return error == FsError::None ? FsError::NotFound : error;
    }
    do {
        std::wstring_view name(data.cFileName);
        if (name == L"." || name == L"..") continue;
        // A name in any other form would be another file's: left out, and a
        // log among them told once.
        if (std::optional<std::string> exact = NarrowExact(name)) {
            names.push_back(std::move(*exact));
        } else if (IsLogName(name)) {
            std::wstring path = pattern.substr(0, pattern.size() - 1) + std::wstring(name);
            if (told_.insert(path).second) unlisted_.push_back(std::move(path));
        }
    } while (FindNextFileW(find.Get(), &data));
    return FsError::None;
}

std::vector<std::wstring> Win32FileSystem::TakeUnlistedFiles() { return std::exchange(unlisted_, {}); }

}  // namespace kibolt
