#include "library/library_paths.h"

#include <algorithm>
#include <array>

#include "library/file_system.h"
#include "library/sjis.h"

namespace kibolt {

namespace {

constexpr std::string_view kLogExtension = ".log";
constexpr std::string_view kExeExtension = ".exe";

// The command line rules below read only ASCII (blanks, quotes, separators,
// ".exe"), so they hold alike for CP932 bytes and for UTF-16 units.
template <class Char>
using View = std::basic_string_view<Char>;

template <class Char>
bool IsBlank(Char c) {
    return c == ' ' || c == '\t';
}

template <class Char>
Char LowerAscii(Char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

// Byte-wise: the patterns are ASCII and start either at a character boundary or
// with '.', which never belongs to a double-byte character.
template <class Char>
bool EqualsIgnoringAsciiCase(View<Char> a, std::string_view ascii) {
    if (a.size() != ascii.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != static_cast<Char>(LowerAscii(ascii[i]))) return false;
    return true;
}

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() && EqualsIgnoringAsciiCase(text.substr(text.size() - ending.size()), ending);
}

template <class Char>
bool StartsWithDrive(View<Char> path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

template <class Char>
bool IsSeparator(Char c) {
    return c == '\\' || c == '/';
}

// The last '\\' or '/': in CP932 one that is no trail byte of a double-byte character.
size_t LastSeparator(std::string_view path) { return FindLastSeparator(path); }
size_t LastSeparator(std::u16string_view path) { return path.find_last_of(u"\\/"); }

// The first token of a Windows command line, as the system reads the program name.
template <class Char>
View<Char> FirstToken(View<Char> line) {
    size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    line.remove_prefix(start);
    if (!line.empty() && line[0] == '"') {
        // '"' is never a trail byte, so a plain search is safe.
        size_t close = line.find(Char('"'), 1);
        return line.substr(1, close == View<Char>::npos ? View<Char>::npos : close - 1);
    }
    // Unquoted paths may hold blanks ("C:\\Program Files\\..."): the name ends
    // with the first ".exe" that ends a word.
    for (size_t pos = 0; pos + kExeExtension.size() <= line.size(); ++pos) {
        size_t end = pos + kExeExtension.size();
        if (EqualsIgnoringAsciiCase(line.substr(pos, kExeExtension.size()), kExeExtension) &&
            (end == line.size() || IsBlank(line[end])))
            return line.substr(0, end);
    }
    size_t blank = 0;
    while (blank < line.size() && !IsBlank(line[blank])) ++blank;
    return line.substr(0, blank);
}

template <class Char>
std::basic_string<Char> JoinPath(View<Char> folder, View<Char> name) {
    std::basic_string<Char> path(folder);
    if (path.empty() || LastSeparator(View<Char>(path)) != path.size() - 1) path += Char('\\');
    path += name;
    return path;
}

template <class Char>
std::basic_string<Char> ProgramPathOf(View<Char> commandLine, View<Char> currentDir) {
    using String = std::basic_string<Char>;
    View<Char> token = FirstToken(commandLine);
    if (token.empty() || currentDir.empty()) return String(token);
    if (token.size() >= 2 && IsSeparator(token[0]) && IsSeparator(token[1])) return String(token);  // UNC
    if (StartsWithDrive(token)) {
        if (token.size() >= 3 && IsSeparator(token[2])) return String(token);
        // "D:name" is relative to that drive's current folder; only the
        // current drive's folder is known.
        if (StartsWithDrive(currentDir) && LowerAscii(currentDir[0]) == LowerAscii(token[0]))
            return JoinPath(currentDir, token.substr(2));
        return String(token);
    }
    if (IsSeparator(token[0])) {
        // Rooted on the current drive.
        String path(StartsWithDrive(currentDir) ? currentDir.substr(0, 2) : View<Char>());
        path += token;
        return path;
    }
    return JoinPath(currentDir, token);
}

template <class Char>
std::basic_string<Char> RootOf(View<Char> programPath) {
    size_t cut = LastSeparator(programPath);
    if (cut == View<Char>::npos) return std::basic_string<Char>(programPath);
    // "E:\\kibolt.exe": the drive's root folder itself; "E:" alone would be
    // that drive's current folder.
    if (cut == 2 && StartsWithDrive(programPath)) ++cut;
    return std::basic_string<Char>(programPath.substr(0, cut));
}

}  // namespace

size_t ProgramNameEnd(std::string_view commandLine) {
    std::string_view token = FirstToken(commandLine);
    size_t end = static_cast<size_t>(token.data() - commandLine.data()) + token.size();
    if (end < commandLine.size() && commandLine[end] == '"') ++end;  // the closing quote of a quoted name
    return end;
}

const char* CategoryFolderName(Category c) {
    switch (c) {
    case Category::Playing: return "playing";
    case Category::Cleared: return "cleared";
    case Category::Others: return "others";
    }
    return "";
}

const char* CategoryTabText(Category c) {
    switch (c) {
    case Category::Playing: return "PLAYING";
    case Category::Cleared: return "CLEARED";
    case Category::Others: return "OTHERS";
    }
    return "";
}

bool PathFits(std::string_view path) { return Utf16Length(path) <= kMaxPathUnits; }

std::string ProgramPathFromCommandLine(std::string_view commandLine, std::string_view currentDir) {
    return ProgramPathOf(commandLine, currentDir);
}

std::u16string ProgramPathFromCommandLine(std::u16string_view commandLine, std::u16string_view currentDir) {
    return ProgramPathOf(commandLine, currentDir);
}

std::string LibraryRootOf(std::string_view programPath) { return RootOf(programPath); }

std::u16string LibraryRootOf(std::u16string_view programPath) { return RootOf(programPath); }

std::string CategoryFolderPath(std::string_view root, Category c) {
    return JoinPath(root, std::string_view(CategoryFolderName(c)));
}

std::optional<std::string> LogPath(std::string_view root, Category c, std::string_view title) {
    std::string path = CategoryFolderPath(root, c);
    path += '\\';
    path += title;
    path += kLogExtension;
    if (!PathFits(path + kTempSuffix)) return std::nullopt;
    return path;
}

std::string TitleFromFileName(std::string_view name) {
    if (EndsWithIgnoringAsciiCase(name, kLogExtension)) name.remove_suffix(kLogExtension.size());
    return std::string(name);
}

std::optional<LogLocation> LocateLog(std::string_view root, std::string_view logPath) {
    const std::string path = FoldAsciiCase(logPath);
    for (int i = 0; i < kCategoryCount; ++i) {
        const auto category = static_cast<Category>(i);
        const std::string folder = FoldAsciiCase(CategoryFolderPath(root, category)) + '\\';
        if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0) continue;
        // Folding keeps every byte where it was: the name starts at the same place.
        const std::string name(logPath.substr(folder.size()));
        if (FindLastSeparator(name) != std::string::npos || name.find('/') != std::string::npos) return std::nullopt;
        std::vector<std::string> titles = TitlesFromListing({name});
        if (titles.size() != 1) return std::nullopt;
        return LogLocation{category, std::move(titles.front())};
    }
    return std::nullopt;
}

std::string LibraryFilePath(std::string_view root, std::string_view name) {
    std::string path(root);
    if (!path.empty() && FindLastSeparator(path) != path.size() - 1) path += '\\';
    path += name;
    return path;
}

std::string FoldAsciiCase(std::string_view text) {
    std::string folded(text);
    for (size_t i = 0; i < folded.size(); i += CharacterLength(folded, i)) {
        // A trail byte in A-Z is part of a kanji or kana, not a letter.
        if (CharacterLength(folded, i) == 1) folded[i] = LowerAscii(folded[i]);
    }
    return folded;
}

std::vector<std::string> TitlesFromListing(const std::vector<std::string>& names) {
    struct Entry {
        std::string folded;
        std::string title;
    };
    std::vector<Entry> entries;
    for (const std::string& name : names) {
        // ".log" alone would give an empty title, which no game can have.
        if (name.size() > kLogExtension.size() && EndsWithIgnoringAsciiCase(name, kLogExtension)) {
            std::string title = TitleFromFileName(name);
            entries.push_back({FoldAsciiCase(title), std::move(title)});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.folded != b.folded) return a.folded < b.folded;
        return a.title < b.title;
    });
    std::vector<std::string> titles;
    titles.reserve(entries.size());
    for (Entry& e : entries) titles.push_back(std::move(e.title));
    return titles;
}

TitleProblem CheckTitle(std::string_view title) {
    if (title.empty()) return TitleProblem::Empty;
    if (title == "." || title == "..") return TitleProblem::DotName;

    // The characters as the system reads them when it converts the name: trail
    // bytes 0x5C and 0x7C belong to characters such as 表, ソ and 纊.
    constexpr std::string_view kReserved = "\\/:*?\"<>|";
    for (size_t i = 0, length; i < title.size(); i += length) {
        length = CharacterLength(title, i);
        const std::string_view character = title.substr(i, length);
        if (length == 1) {
            const auto b = static_cast<unsigned char>(title[i]);
            if (b < 0x20) return TitleProblem::ControlCharacter;
            if (kReserved.find(static_cast<char>(b)) != std::string_view::npos) return TitleProblem::ReservedCharacter;
        }
        // A character the system would replace gives a file of another name.
        if (!IsRoundTripCharacter(character)) return TitleProblem::Unconvertible;
    }

    // Windows drops trailing blanks and dots, so such a title names another file.
    char last = title.back();
    if (last == ' ' || last == '.') return TitleProblem::TrailingSpaceOrDot;

    // A device name stays a device with any extension, and the log adds one.
    std::string_view base = title.substr(0, title.find('.'));
    while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
    static constexpr std::array<std::string_view, 22> kDevices = {
        "con",  "prn",  "aux",  "nul",  "com1", "com2", "com3", "com4", "com5", "com6", "com7",
        "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7", "lpt8", "lpt9",
    };
    for (std::string_view device : kDevices)
        if (EqualsIgnoringAsciiCase(base, device)) return TitleProblem::DeviceName;
    return TitleProblem::None;
}

}  // namespace kibolt
