#include "library/file_system_win32.h"

#include <windows.h>

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

// The wide path, or nothing when the system could not take it.
bool ToSystemPath(const std::string& path, std::wstring& wide) {
    if (!PathFits(path)) return false;
    wide = Widen(path);
    return true;
}

}  // namespace

FsError Win32FileSystem::ReadFile(const std::string& path, std::string& bytes) {
    std::wstring wide;
    if (!ToSystemPath(path, wide)) return FsError::PathTooLong;
    UniqueFile file(CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FromLastError();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size)) return FromLastError();
    bytes.clear();
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(file.Get(), bytes.data() + done, chunk, &got, nullptr)) return FromLastError();
        if (got == 0) break;  // the file shrank meanwhile
        done += got;
    }
    bytes.resize(done);
    return FsError::None;
}

FsError Win32FileSystem::WriteNewFileFrom(const std::string& path, const ByteSource& content) {
    std::wstring wide;
    if (!ToSystemPath(path, wide)) return FsError::PathTooLong;
    UniqueFile file(CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
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
    if (!FlushFileBuffers(file.Get())) return FromLastError();
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
        names.push_back(Narrow(name));
    } while (FindNextFileW(find.Get(), &data));
    return FsError::None;
}

}  // namespace kibolt
