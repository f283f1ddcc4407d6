#include "launch/start_options.h"

#include <vector>

#include "library/library_paths.h"
#include "library/one_line_text.h"
#include "library/sjis.h"

namespace kibolt {

const char kStartUsage[] = "使い方: kibolt.exe [--play \"タイトル\" [-- コマンドライン]]";

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

struct Argument {
    std::string text;      // with quotes and escapes resolved
    std::string_view raw;  // as it stood on the line
    size_t end = 0;        // where it ended on the line
};

// One argument from `from` on, or nothing at the end of the line.
std::optional<Argument> NextArgument(std::string_view line, size_t from) {
    size_t i = from;
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) return std::nullopt;
    Argument arg;
    size_t start = i;
    bool quoted = false;
    while (i < line.size()) {
        auto b = static_cast<unsigned char>(line[i]);
        if (IsLeadByte(b) && i + 1 < line.size() && IsTrailByte(static_cast<unsigned char>(line[i + 1]))) {
            arg.text.append(line.substr(i, 2));  // its trail byte may be 0x5C: not an escape
            i += 2;
            continue;
        }
        char c = line[i];
        if (c == '\\') {
            size_t count = 0;
            while (i < line.size() && line[i] == '\\') ++count, ++i;
            if (i < line.size() && line[i] == '"') {
                // 2n backslashes and a quote: n backslashes, and the quote groups;
                // 2n+1: n backslashes and a quote that is text.
                arg.text.append(count / 2, '\\');
                if (count % 2) {
                    arg.text += '"';
                    ++i;
                }
            } else {
                arg.text.append(count, '\\');
            }
            continue;
        }
        if (c == '"') {
            if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                arg.text += '"';  // "" inside quotes is a quote
                i += 2;
                continue;
            }
            quoted = !quoted;
            ++i;
            continue;
        }
        if (!quoted && IsBlank(c)) break;
        arg.text += c;
        ++i;
    }
    arg.raw = line.substr(start, i - start);
    arg.end = i;
    return arg;
}

StartOptions Malformed() {
    StartOptions options;
    options.kind = StartOptions::Kind::Malformed;
    return options;
}

}  // namespace

StartOptions ParseStartOptions(std::string_view line) {
    StartOptions options;
    size_t at = ProgramNameEnd(line);
    bool haveTitle = false;
    while (auto arg = NextArgument(line, at)) {
        at = arg->end;
        if (arg->raw == "--") {
            if (!haveTitle) return Malformed();
            size_t rest = at;
            while (rest < line.size() && IsBlank(line[rest])) ++rest;
            if (rest >= line.size()) return Malformed();  // nothing to start
            // It becomes one line of the game's log.
            options.gameCommandLine = OneLineText(line.substr(rest));
            return options;
        }
        if (arg->raw != "--play" || haveTitle) return Malformed();
        auto title = NextArgument(line, at);
        if (!title || title->text.empty()) return Malformed();
        at = title->end;
        options.kind = StartOptions::Kind::Play;
        options.title = title->text;
        haveTitle = true;
    }
    return options;
}

}  // namespace kibolt
