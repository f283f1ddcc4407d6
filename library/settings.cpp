#include "library/settings.h"

#include <optional>
#include <vector>

#include "library/decimal.h"
#include "library/library_paths.h"

namespace kibolt {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kDefaultText = "262143";

struct IniLine {
    std::string_view text;  // without its line end
    std::string_view end;   // "\r\n", "\n", or "" for a last line without one
};

std::vector<IniLine> SplitLines(std::string_view content) {
    std::vector<IniLine> lines;
    while (!content.empty()) {
        size_t lf = content.find('\n');
        if (lf == std::string_view::npos) {
            lines.push_back({content, {}});
            break;
        }
        size_t textEnd = (lf > 0 && content[lf - 1] == '\r') ? lf - 1 : lf;
        lines.push_back({content.substr(0, textEnd), content.substr(textEnd, lf + 1 - textEnd)});
        content.remove_prefix(lf + 1);
    }
    return lines;
}

// Blank bytes are below 0x40, so they are never the trail of a double-byte character.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    return Trim(line.substr(0, line.find(']')));
}

struct Entry {
    std::string_view key;
    std::string_view value;
};

std::optional<Entry> EntryOf(std::string_view line) {
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return Entry{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

int32_t ReadFlag(std::string_view content, std::string_view section) {
    return ParseInt32(IniGetString(content, section, "flag", kDefaultText));
}

}  // namespace

std::string IniGetString(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view defaultValue) {
    const std::string wantedSection = FoldAsciiCase(section);
    const std::string wantedKey = FoldAsciiCase(key);
    bool inSection = false;
    for (const IniLine& line : SplitLines(content)) {
        if (auto name = SectionName(line.text)) {
            inSection = FoldAsciiCase(*name) == wantedSection;
            continue;
        }
        if (!inSection) continue;
        auto entry = EntryOf(line.text);
        if (entry && FoldAsciiCase(entry->key) == wantedKey) return std::string(Unquote(entry->value));
    }
    return std::string(defaultValue);
}

std::string IniSetString(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view value) {
    const std::string wantedSection = FoldAsciiCase(section);
    const std::string wantedKey = FoldAsciiCase(key);
    const std::vector<IniLine> lines = SplitLines(content);

    auto join = [&](size_t from, size_t to, std::string& out) {
        for (size_t i = from; i < to; ++i) {
            out += lines[i].text;
            out += lines[i].end;
        }
    };

    // The key is looked up where the reader would find it; a missing key goes
    // into the first section of that name, after its last non-blank line.
    std::optional<size_t> insertAfter;
    bool inSection = false;
    bool inFirstSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto name = SectionName(lines[i].text)) {
            inSection = FoldAsciiCase(*name) == wantedSection;
            inFirstSection = inSection && !insertAfter;
            if (inFirstSection) insertAfter = i;
            continue;
        }
        if (!inSection) continue;
        auto entry = EntryOf(lines[i].text);
        if (entry && FoldAsciiCase(entry->key) == wantedKey) {
            std::string out;
            join(0, i, out);
            out += entry->key;
            out += '=';
            out += value;
            if (!lines[i].end.empty()) out += kLineEnd;
            join(i + 1, lines.size(), out);
            return out;
        }
        if (inFirstSection && !Trim(lines[i].text).empty()) insertAfter = i;
    }

    std::string out;
    if (insertAfter) {
        join(0, *insertAfter + 1, out);
        if (lines[*insertAfter].end.empty()) out += kLineEnd;
        out += key;
        out += '=';
        out += value;
        out += kLineEnd;
        join(*insertAfter + 1, lines.size(), out);
        return out;
    }
    out = content;
    if (!out.empty() && out.back() != '\n') out += kLineEnd;
    out += '[';
    out += section;
    out += ']';
    out += kLineEnd;
    out += key;
    out += '=';
    out += value;
    out += kLineEnd;
    return out;
}

Settings ReadSettings(std::string_view content) {
    Settings s;
    s.viewFlags = ReadFlag(content, "view");
    s.copySettings = ReadFlag(content, "copy") & kCopyBitsMask;
    return s;
}

std::string WriteSettings(std::string_view content, const Settings& s) {
    std::string out = IniSetString(content, "view", "flag", FormatInt(s.viewFlags));
    return IniSetString(out, "copy", "flag", FormatInt(s.copySettings & kCopyBitsMask));
}

namespace {

constexpr std::string_view kWindowSection = "window";

// A stored number, or nothing when the key is missing or holds no number.
std::optional<int32_t> WindowNumber(std::string_view content, std::string_view key) {
    const std::string text = IniGetString(content, kWindowSection, key, "");
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return std::nullopt;
    const size_t digit = text[start] == '-' || text[start] == '+' ? start + 1 : start;
    if (digit >= text.size() || text[digit] < '0' || text[digit] > '9') return std::nullopt;
    return ParseInt32(text);
}

}  // namespace

WindowSettings ReadWindowSettings(std::string_view content) {
    WindowSettings w;
    auto left = WindowNumber(content, "left");
    auto top = WindowNumber(content, "top");
    auto width = WindowNumber(content, "width");
    auto height = WindowNumber(content, "height");
    if (left && top && width && height && *width > 0 && *height > 0) {
        w.placed = true;
        w.left = *left;
        w.top = *top;
        w.width = *width;
        w.height = *height;
    }
    w.maximized = WindowNumber(content, "maximized").value_or(0) != 0;
    const std::string columns = IniGetString(content, kWindowSection, "columns", "");
    size_t at = 0;
    for (int i = 0; i < kSessionColumnCount && at <= columns.size(); ++i) {
        size_t comma = columns.find(',', at);
        if (comma == std::string::npos) comma = columns.size();
        const std::string_view item = std::string_view(columns).substr(at, comma - at);
        const int32_t width = item.find_first_of("0123456789") == std::string_view::npos ? 0 : ParseInt32(item);
        w.columnWidths[static_cast<size_t>(i)] = width > 0 && width <= kLongestColumnWidth ? width : 0;
        at = comma + 1;
    }
    return w;
}

std::string WriteWindowSettings(std::string_view content, const WindowSettings& w) {
    std::string out(content);
    if (w.placed) {
        out = IniSetString(out, kWindowSection, "left", FormatInt(w.left));
        out = IniSetString(out, kWindowSection, "top", FormatInt(w.top));
        out = IniSetString(out, kWindowSection, "width", FormatInt(w.width));
        out = IniSetString(out, kWindowSection, "height", FormatInt(w.height));
    }
    out = IniSetString(out, kWindowSection, "maximized", w.maximized ? "1" : "0");
    std::string columns;
    for (size_t i = 0; i < w.columnWidths.size(); ++i) {
        if (i) columns += ',';
        columns += FormatInt(w.columnWidths[i]);
    }
    return IniSetString(out, kWindowSection, "columns", columns);
}

PlaySettings ReadPlaySettings(std::string_view content) {
    PlaySettings p;
    const std::string autoDetect = IniGetString(content, "play", "auto_detect", "1");
    // Only a stored 0 turns it off: anything else, damage included, reads as the default.
    const size_t digits = autoDetect.find_first_not_of(" \t");
    p.autoDetect = digits == std::string::npos || autoDetect.find_first_not_of("0 \t", digits) != std::string::npos;
    p.idleMinutes = ParseIdleMinutes(IniGetString(content, "play", "idle_minutes", "")).value_or(0);
    return p;
}

std::string WritePlaySettings(std::string_view content, const PlaySettings& p) {
    const std::string out = IniSetString(content, "play", "auto_detect", p.autoDetect ? "1" : "0");
    return IniSetString(out, "play", "idle_minutes", FormatInt(p.idleMinutes));
}

std::optional<int32_t> ParseIdleMinutes(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    const size_t last = text.find_last_not_of(" \t");
    std::string_view digits = text.substr(first, last - first + 1);
    if (digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    // More than three digits are out of range anyway, and never overflow.
    if (digits.size() > 3) return std::nullopt;
    int32_t minutes = 0;
    for (char c : digits) minutes = minutes * 10 + (c - '0');
    if (minutes > kMaxIdleMinutes) return std::nullopt;
    return minutes;
}

std::string SettingsPathOf(std::string_view programPath) {
    constexpr std::string_view kExe = ".exe";
    std::string path(programPath);
    if (path.size() >= kExe.size() && FoldAsciiCase(programPath.substr(path.size() - kExe.size())) == kExe)
        path.resize(path.size() - kExe.size());
    path += ".ini";
    return path;
}

}  // namespace kibolt
