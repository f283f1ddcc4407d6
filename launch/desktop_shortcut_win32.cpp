#include "launch/desktop_shortcut_win32.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "launch/shortcut_text.h"
#include "win32/com_ref_win32.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

std::wstring DesktopFolder() {
    wchar_t* path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path)) && path) folder = path;
    CoTaskMemFree(path);
    return folder;
}

std::wstring ThisProgram() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0) return {};
        if (got < path.size()) {
            path.resize(got);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool IsFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

ShortcutResult CreateDesktopShortcut(const std::string& title, const std::string& libraryRoot,
                                     const std::string& gameProgram) {
    ShortcutResult result;
    ComScope com;
    std::wstring desktop = DesktopFolder();
    if (desktop.empty() || GetFileAttributesW(desktop.c_str()) == INVALID_FILE_ATTRIBUTES) {
        result.error = "デスクトップのフォルダが見つかりません。";
        return result;
    }
    if (desktop.back() != L'\\') desktop += L'\\';

    // An empty file takes the first free name first: CREATE_NEW never opens a
    // file that is already there, so a user's own file is never replaced.
    std::wstring path;
    std::string fileName;
    for (int number = 1;; ++number) {
        if (number > kMaxShortcutNumber) {
            result.error = "同じ名前のショートカットが多すぎます。\r\n" + Narrow(desktop) + ShortcutFileName(title, 1);
            return result;
        }
        fileName = ShortcutFileName(title, number);
        path = desktop + Widen(fileName);
        UniqueFile file(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) break;
        DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
        result.error = "ショートカットを作成できませんでした。\r\n" + Narrow(path) + "\r\n" + SystemErrorText(error);
        return result;
    }
    result.path = Narrow(path);

    const std::wstring program = ThisProgram();
    const std::wstring game = WidenPath(gameProgram);
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> file;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.Out()));
    if (SUCCEEDED(hr)) hr = link->SetPath(program.c_str());
    if (SUCCEEDED(hr)) hr = link->SetArguments(Widen(ShortcutArguments(title)).c_str());
    if (SUCCEEDED(hr)) hr = link->SetWorkingDirectory(WidenPath(libraryRoot).c_str());
    if (SUCCEEDED(hr)) hr = link->SetIconLocation(!game.empty() && IsFile(game) ? game.c_str() : program.c_str(), 0);
    if (SUCCEEDED(hr)) hr = link->SetDescription(Widen(ShortcutDescription(title)).c_str());
    if (SUCCEEDED(hr)) hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()));
    if (SUCCEEDED(hr)) hr = file->Save(path.c_str(), TRUE);
    if (FAILED(hr)) {
        DeleteFileW(path.c_str());  // the empty file that held the name
        result.error = "ショートカットを作成できませんでした。\r\n" + result.path + "\r\n" +
                       SystemErrorText(static_cast<DWORD>(hr));
        result.path.clear();
        return result;
    }
    result.created = true;
    result.fileName = std::move(fileName);
    return result;
}

}  // namespace kibolt
