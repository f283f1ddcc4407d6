#include "drop/dropped_games.h"

#include "library/library_paths.h"
#include "library/sjis.h"

namespace kibolt {

namespace {

std::string_view Extension(std::string_view path) {
    const size_t slash = FindLastSeparator(path);
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::string_view FileNameOf(std::string_view path) {
    const size_t slash = FindLastSeparator(path);
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\0')) text.remove_suffix(1);
    return text;
}

std::string ReasonOf(const DropOutcome& outcome) {
    using Problem = DropOutcome::Problem;
    switch (outcome.problem) {
    case Problem::None: return {};
    case Problem::NotAGame: return "プログラム（.exe）、バッチファイル、ショートカットではありません";
    case Problem::InternetShortcut:
        return "インターネットショートカットは追跡できません。ストアの起動オプションを使ってください";
    case Problem::ForeignCharacter:
        return "シフトJIS（コードページ932）にない文字" + outcome.character + "が含まれています";
    case Problem::Entry: break;
    }
    switch (outcome.entry.problem) {
    case GameEntryProblem::TitleExists: return "同じタイトルのゲームがあります";
    case GameEntryProblem::UnusableTitle:
    case GameEntryProblem::EmptyTitle: return "ファイル名にできないタイトルです";
    case GameEntryProblem::PathTooLong: return "ログのパスが長すぎます";
    case GameEntryProblem::EmptyPath: return "起動するファイルがありません";
    case GameEntryProblem::CannotWrite:
    case GameEntryProblem::CannotRead: return "ログを書き込めませんでした";
    case GameEntryProblem::None: break;
    }
    return {};
}

}  // namespace

DroppedKind KindOfDroppedFile(std::string_view path) {
    const std::string extension = FoldAsciiCase(Extension(path));
    if (extension == ".exe") return DroppedKind::Program;
    if (extension == ".bat" || extension == ".cmd") return DroppedKind::Script;
    if (extension == ".lnk") return DroppedKind::Shortcut;
    if (extension == ".url") return DroppedKind::InternetShortcut;
    return DroppedKind::Other;
}

std::string CommandLineOf(std::string_view program, std::string_view arguments) {
    const bool quoted = program.find_first_of(" \t") != std::string_view::npos;
    std::string line;
    if (quoted) line += '"';
    line += program;
    if (quoted) line += '"';
    arguments = Trimmed(arguments);
    if (!arguments.empty()) {
        line += ' ';
        line += arguments;
    }
    return OneLineFieldText(line);
}

TitleSource TitleSourceOf(const VersionStrings& version) {
    if (!Trimmed(version.productName).empty()) return TitleSource::ProductName;
    if (!Trimmed(version.fileDescription).empty()) return TitleSource::FileDescription;
    return TitleSource::FileName;
}

std::string_view FileStem(std::string_view path) {
    std::string_view name = FileNameOf(path);
    name.remove_suffix(Extension(name).size());
    return name;
}

std::string TitleOfProgram(const VersionStrings& version, std::string_view programPath) {
    switch (TitleSourceOf(version)) {
    case TitleSource::ProductName: return TitleFieldText(Trimmed(version.productName));
    case TitleSource::FileDescription: return TitleFieldText(Trimmed(version.fileDescription));
    case TitleSource::FileName: break;
    }
    return TitleFieldText(FileStem(programPath));
}

std::string DropSummary(const std::vector<DropOutcome>& outcomes) {
    std::string registered, refused;
    for (const DropOutcome& outcome : outcomes) {
        if (outcome.Registered()) {
            registered += "  " + outcome.title + "\r\n";
        } else {
            refused += "  " + outcome.fileName;
            if (!outcome.title.empty() && outcome.problem == DropOutcome::Problem::Entry)
                refused += "（" + outcome.title + "）";
            refused += ": " + ReasonOf(outcome) + "\r\n";
        }
    }
    std::string text;
    if (!registered.empty()) text += "登録したゲーム:\r\n" + registered;
    if (!refused.empty()) {
        if (!text.empty()) text += "\r\n";
        text += "登録しなかったファイル:\r\n" + refused;
    }
    if (text.empty()) text = "登録できるファイルがありませんでした。";
    while (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") text.resize(text.size() - 2);
    return text;
}

}  // namespace kibolt
