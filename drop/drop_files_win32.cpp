#include "drop/drop_files_win32.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

#include "win32/com_ref_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

std::wstring Trimmed(std::wstring text) {
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.pop_back();
    size_t start = 0;
    while (start < text.size() && (text[start] == L' ' || text[start] == L'\t')) ++start;
    return text.substr(start);
}

std::wstring NameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// A string of the program's version resource, in its first language.
struct WideVersion {
    std::wstring productName;
    std::wstring fileDescription;
};

WideVersion VersionOf(const std::wstring& program) {
    WideVersion version;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    if (!size) return version;
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(program.c_str(), 0, size, block.data())) return version;
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    std::vector<Translation> tried;
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) &&
        translations)
        tried.assign(translations, translations + length / sizeof(Translation));
    // Resources often carry only the common US English / Unicode table.
    tried.push_back({0x0409, 0x04B0});
    tried.push_back({0x0411, 0x04B0});
    for (const Translation& t : tried) {
        auto read = [&](const wchar_t* name) {
            wchar_t key[64];
            swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\%ls", t.language, t.codePage, name);
            wchar_t* value = nullptr;
            UINT chars = 0;
            if (!VerQueryValueW(block.data(), key, reinterpret_cast<void**>(&value), &chars) || !value || !chars)
                return std::wstring();
            return std::wstring(value, wcsnlen(value, chars));
        };
        version.productName = Trimmed(read(L"ProductName"));
        version.fileDescription = Trimmed(read(L"FileDescription"));
        if (!version.productName.empty() || !version.fileDescription.empty()) break;
    }
    return version;
}

struct ShortcutTarget {
    std::wstring path, arguments, workingDirectory;
};

bool ReadShortcut(const std::wstring& file, ShortcutTarget& target) {
    ComRef<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(link.Out()))))
        return false;
    ComRef<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(persist.Out()))) ||
        FAILED(persist->Load(file.c_str(), STGM_READ)))
        return false;
    std::wstring text(32768, L'\0');
    // The target as stored: no search for a moved file, nothing shown to the user.
    if (link->GetPath(text.data(), static_cast<int>(text.size()), nullptr, 0) != S_OK) return false;
    target.path = text.c_str();
    text.assign(32768, L'\0');
    if (SUCCEEDED(link->GetArguments(text.data(), static_cast<int>(text.size())))) target.arguments = text.c_str();
    text.assign(32768, L'\0');
    if (SUCCEEDED(link->GetWorkingDirectory(text.data(), static_cast<int>(text.size()))))
        target.workingDirectory = text.c_str();
    return !target.path.empty();
}

std::wstring CommandLineOfWide(const std::wstring& program, const std::wstring& arguments) {
    std::wstring line = program.find_first_of(L" \t") != std::wstring::npos ? L"\"" + program + L"\"" : program;
    const std::wstring args = Trimmed(arguments);
    if (!args.empty()) line += L" " + args;
    return line;
}

}  // namespace

std::vector<std::wstring> DroppedPaths(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(length);
        if (!path.empty()) paths.push_back(std::move(path));
    }
    return paths;
}

DroppedFile ReadDroppedFile(const std::wstring& path) {
    DroppedFile file;
    file.fileName = NameOf(path);
    // The kind is told by the name's ending; a foreign character elsewhere does not change it.
    std::wstring ending = file.fileName.substr(std::min(file.fileName.size(), file.fileName.find_last_of(L'.')));
    file.kind = KindOfDroppedFile(Narrow(ending));
    std::wstring program = path;
    std::wstring arguments;
    std::wstring nameForTitle = file.fileName;
    if (file.kind == DroppedKind::Shortcut) {
        ShortcutTarget target;
        if (!ReadShortcut(path, target)) return file;
        program = target.path;
        arguments = target.arguments;
        file.workingDirectory = target.workingDirectory;
        std::wstring targetEnding = NameOf(program);
        targetEnding = targetEnding.substr(std::min(targetEnding.size(), targetEnding.find_last_of(L'.')));
        const DroppedKind targetKind = KindOfDroppedFile(Narrow(targetEnding));
        if (targetKind != DroppedKind::Program && targetKind != DroppedKind::Script) return file;
    } else if (file.kind != DroppedKind::Program && file.kind != DroppedKind::Script) {
        return file;
    }
    if (GetFileAttributesW(program.c_str()) & FILE_ATTRIBUTE_DIRECTORY) return file;  // also: missing
    file.startable = true;
    file.commandLine = CommandLineOfWide(program, arguments);
    const WideVersion wide = VersionOf(program);
    // The rule is the core's; the text stays UTF-16 here.
    switch (TitleSourceOf({Narrow(wide.productName), Narrow(wide.fileDescription)})) {
    case TitleSource::ProductName: file.title = wide.productName; break;
    case TitleSource::FileDescription: file.title = wide.fileDescription; break;
    case TitleSource::FileName:
        // A shortcut's own name is the name the user gave the game.
        file.title = Widen(FileStem(Narrow(nameForTitle)));
        break;
    }
    return file;
}

std::optional<DropOutcome> RefusedDrop(const DroppedFile& file) {
    DropOutcome outcome;
    outcome.fileName = Narrow(file.fileName);
    if (file.kind == DroppedKind::InternetShortcut) {
        outcome.problem = DropOutcome::Problem::InternetShortcut;
        return outcome;
    }
    if (!file.startable) {
        outcome.problem = DropOutcome::Problem::NotAGame;
        return outcome;
    }
    return std::nullopt;
}

std::vector<DropOutcome> RegisterDroppedFiles(const std::vector<std::wstring>& paths, LibraryState& state,
                                              FileSystem& fs, const std::function<void()>& registered) {
    std::vector<DropOutcome> outcomes;
    for (const std::wstring& path : paths) {
        const DroppedFile file = ReadDroppedFile(path);
        if (std::optional<DropOutcome> refused = RefusedDrop(file)) {
            outcomes.push_back(std::move(*refused));
            continue;
        }
        DropOutcome outcome;
        outcome.fileName = Narrow(file.fileName);
        outcome.title = TitleFieldText(Narrow(file.title));
        // Refused as the dialog refuses a typed character that would become "?".
        std::wstring foreign = FirstCharacterOutsideCp932(file.title);
        if (foreign.empty()) foreign = FirstCharacterOutsideCp932(file.commandLine);
        if (!foreign.empty()) {
            outcome.problem = DropOutcome::Problem::ForeignCharacter;
            outcome.character = CharacterCodeText(foreign);
            outcomes.push_back(std::move(outcome));
            continue;
        }
        outcome.entry = RegisterGame(state, fs, OneLineFieldText(Narrow(file.commandLine)), outcome.title);
        if (!outcome.entry.Ok()) outcome.problem = DropOutcome::Problem::Entry;
        const bool ok = outcome.entry.Ok();
        outcomes.push_back(std::move(outcome));
        if (ok && registered) registered();
    }
    return outcomes;
}

}  // namespace kibolt
