#include "library/game_log.h"

#include <algorithm>
#include <cstring>

#include "library/sjis.h"

namespace kibolt {

namespace {

constexpr size_t npos = std::string_view::npos;

// The executable's extension as it may be spelled; tried in this order.
constexpr std::string_view kExtensions[] = {".exe", ".EXE", ".eXe", ".ExE", ".Exe"};

constexpr std::string_view kMarkerLine = "=====Comment_Start====\n";
static_assert(kMarkerLine.substr(0, kMarkerLine.size() - 1) == kCommentMarker);

// Logs run to hundreds of megabytes: every scan goes through memchr.
size_t Find(std::string_view text, char c, size_t from) {
    if (from >= text.size()) return npos;
    const void* hit = std::memchr(text.data() + from, c, text.size() - from);
    return hit ? static_cast<size_t>(static_cast<const char*>(hit) - text.data()) : npos;
}

size_t CountLineFeeds(std::string_view text) {
    size_t count = 0;
    for (size_t lf = Find(text, '\n', 0); lf != npos; lf = Find(text, '\n', lf + 1)) ++count;
    return count;
}

// Appends text as it goes to disk: every LF becomes CR LF.
void AppendEncoded(std::string& out, std::string_view text) {
    size_t pos = 0;
    for (size_t lf; (lf = Find(text, '\n', pos)) != npos; pos = lf + 1) {
        out.append(text.data() + pos, lf - pos);
        out.append("\r\n", 2);
    }
    out.append(text.data() + pos, text.size() - pos);
}

bool EndsWithMarker(std::string_view line) {
    return line.size() >= kCommentMarker.size() && line.substr(line.size() - kCommentMarker.size()) == kCommentMarker;
}

// Turns every `from` of text[begin..] into a blank.
void Blank(std::string& text, size_t begin, char from) {
    for (size_t at = Find(text, from, begin); at != npos; at = Find(text, from, at + 1)) text[at] = ' ';
}

// Appends one line as it goes to disk, without its line end: LF and 0x1A as
// blanks, and (for a session line) a blank after the marker text at its end.
void AppendLine(std::string& out, std::string_view line, bool sessionLine) {
    const size_t begin = out.size();
    out.append(line);
    Blank(out, begin, '\n');
    Blank(out, begin, '\x1A');
    if (sessionLine && EndsWithMarker(std::string_view(out).substr(begin))) out += ' ';
}

}  // namespace

std::string OneLineText(std::string_view text) {
    std::string safe(text);
    Blank(safe, 0, '\n');
    Blank(safe, 0, '\x1A');
    return safe;
}

std::string SessionCommentText(std::string_view text) {
    std::string safe = OneLineText(text);
    if (EndsWithMarker(safe)) safe += ' ';
    return safe;
}

std::string GameCommentText(std::string_view text) {
    std::string safe(text);
    Blank(safe, 0, '\x1A');
    return safe;
}

void DecodeTextMode(std::string& bytes) {
    if (const void* eof = std::memchr(bytes.data(), 0x1A, bytes.size())) {
        bytes.resize(static_cast<size_t>(static_cast<const char*>(eof) - bytes.data()));
    }
    // Compact in place: the write position never passes the read position.
    char* data = bytes.data();
    const size_t size = bytes.size();
    size_t read = 0, write = 0;
    for (;;) {
        const void* cr = std::memchr(data + read, '\r', size - read);
        const size_t end = cr ? static_cast<size_t>(static_cast<const char*>(cr) - data) : size;
        if (write != read) std::memmove(data + write, data + read, end - read);
        write += end - read;
        if (!cr) break;
        if (end + 1 < size && data[end + 1] == '\n') {
            data[write++] = '\n';
            read = end + 2;
        } else {
            data[write++] = '\r';  // a lone CR is text
            read = end + 1;
        }
    }
    bytes.resize(write);
}

std::string EncodeTextMode(std::string_view text) {
    std::string out;
    out.reserve(text.size() + CountLineFeeds(text));
    AppendEncoded(out, text);
    return out;
}

std::string WorkingDirectoryOf(std::string_view commandLine) {
    std::string_view path = commandLine;
    // A quoted program path may hold spaces; the folder is taken from inside the quotes.
    if (!path.empty() && path.front() == '"') {
        path.remove_prefix(1);
        if (const size_t close = path.find('"'); close != npos) path = path.substr(0, close);
    }
    for (std::string_view extension : kExtensions) {
        if (const size_t at = path.find(extension); at != npos) {
            path = path.substr(0, at + extension.size());
            break;
        }
    }
    if (const size_t slash = FindLastBackslash(path); slash != npos) path = path.substr(0, slash);
    return std::string(path);
}

GameLogContent ParseGameLog(std::string_view text) {
    GameLogContent log;

    size_t begin = 0;
    if (const size_t lf = Find(text, '\n', 0); lf != npos && lf > 0) {
        log.commandLine.assign(text.data(), lf);
        begin = lf + 1;
    }
    log.workingDirectory = WorkingDirectoryOf(log.commandLine);

    size_t end = text.size();
    if (const size_t marker = text.find(kMarkerLine, begin); marker != npos) {
        log.comment.assign(text.substr(marker + kMarkerLine.size()));
        end = marker;
    }

    // Sessions end at the first empty line and at a last line without its LF.
    // Counting them first sizes the vector once, which keeps peak memory down.
    const std::string_view body = text.substr(begin, end - begin);
    size_t count = 0;
    for (size_t pos = 0, lf; (lf = Find(body, '\n', pos)) != npos && lf != pos; pos = lf + 1) ++count;

    log.sessions.reserve(count);
    size_t pos = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t lf = Find(body, '\n', pos);
        SessionRecord& s = log.sessions.emplace_back(SessionRecord::FromLine(body.substr(pos, lf - pos)));
        s.number = static_cast<int>(i + 1);
        pos = lf + 1;
    }
    return log;
}

GameLogContent ParseGameLogFile(std::string bytes) {
    DecodeTextMode(bytes);
    return ParseGameLog(bytes);
}

std::string SessionLine(const SessionRecord& s) { return s.Line(); }

namespace {

// Encodes the log into `out`, handing it to flush() (which empties it)
// whenever it has reached pieceBytes after a session line.
template <class Flush>
bool EncodeGameLog(const GameLogContent& log, std::string& out, size_t pieceBytes, Flush&& flush) {
    // The marker is looked for only after the command line, which may so end with it.
    AppendLine(out, log.commandLine.empty() && !log.sessions.empty() ? std::string_view(" ") : log.commandLine,
               false);
    out.append("\r\n", 2);
    for (const SessionRecord& s : log.sessions) {
        AppendLine(out, s.Line(), true);
        out.append("\r\n", 2);
        if (out.size() >= pieceBytes && !flush(out)) return false;
    }
    out.append(kCommentMarker);
    out.append("\r\n", 2);
    const size_t comment = out.size();
    AppendEncoded(out, log.comment);
    Blank(out, comment, '\x1A');
    return true;
}

}  // namespace

std::string SerializeGameLog(const GameLogContent& log) {
    // The exact size but for the few blanks the writing may add.
    size_t size = log.commandLine.size() + 1 + 2 + kMarkerLine.size() + 1 +
                  log.comment.size() + CountLineFeeds(log.comment);
    for (const SessionRecord& s : log.sessions) size += s.Line().size() + 2;
    std::string out;
    out.reserve(size);
    EncodeGameLog(log, out, npos, [](std::string&) { return true; });
    return out;
}

bool StreamGameLog(const GameLogContent& log, const std::function<bool(std::string_view)>& sink,
                   size_t pieceBytes) {
    // One buffer, reused: cache-warm, and no page of it is touched for the first time after the first piece.
    std::string piece;
    piece.reserve(std::min(pieceBytes, size_t{1} << 24) + 256);
    const bool complete = EncodeGameLog(log, piece, pieceBytes, [&](std::string& out) {
        const bool taken = sink(out);
        out.clear();
        return taken;
    });
    return complete && (piece.empty() || sink(piece));
}

SessionRecord::SessionRecord() : line_(kComment, ',') {
    for (int k = 0; k < kSessionFieldCount; ++k) start_[k] = static_cast<uint32_t>(k);
}

SessionRecord::SessionRecord(const SessionFieldTexts& fields) {
    size_t size = kComment + 1;
    for (const std::string& f : fields) size += f.size();
    line_.reserve(size);
    for (int k = 0; k < kSessionFieldCount; ++k) {
        start_[k] = static_cast<uint32_t>(line_.size());
        line_ += k == kComment ? SessionCommentText(fields[k]) : OneLineText(fields[k]);
        if (k < kComment) line_ += ',';
    }
}

// Fields 0-7 end at the next ","; field 8 takes the rest of the line, commas
// included. A line that ends early leaves the later fields empty (and gets
// their commas, as it will be written).
SessionRecord SessionRecord::FromLine(std::string_view line) {
    SessionRecord s;
    s.line_.assign(line.data(), line.size());
    size_t pos = 0;
    int k = 0;
    for (; k < kComment; ++k) {
        s.start_[k] = static_cast<uint32_t>(pos);
        const size_t comma = Find(s.line_, ',', pos);
        if (comma == npos) break;
        pos = comma + 1;
    }
    if (k == kComment) {
        s.start_[kComment] = static_cast<uint32_t>(pos);
        return s;
    }
    // Field k ran to the end of the line: close it and give the rest their commas.
    for (++k; k <= kComment; ++k) {
        s.line_ += ',';
        s.start_[k] = static_cast<uint32_t>(s.line_.size());
    }
    return s;
}

void SessionRecord::SetField(int k, std::string_view typed) {
    const std::string text = k == kComment ? SessionCommentText(typed) : OneLineText(typed);
    const std::string_view old = Field(k);
    const size_t at = start_[k];
    const size_t oldSize = old.size();
    line_.replace(at, oldSize, text.data(), text.size());
    for (int j = k + 1; j < kSessionFieldCount; ++j)
        start_[j] = static_cast<uint32_t>(start_[j] - oldSize + text.size());
}

SessionFieldTexts SessionRecord::Fields() const {
    SessionFieldTexts fields;
    for (int k = 0; k < kSessionFieldCount; ++k) fields[k] = std::string(Field(k));
    return fields;
}

void AppendSession(GameLogContent& log, const SessionFieldTexts& fields) { log.sessions.emplace_back(fields); }

}  // namespace kibolt
