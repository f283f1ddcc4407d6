#include "library/game_log.h"

#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "library/sjis.h"

namespace kibolt {

namespace {

constexpr size_t npos = std::string_view::npos;

// The executable's extension as it may be spelled; tried in this order.
constexpr std::string_view kExtensions[] = {".exe", ".EXE", ".eXe", ".ExE", ".Exe"};

constexpr std::string_view kMarkerLine = "=====Comment_Start====\n";
static_assert(kMarkerLine.substr(0, kMarkerLine.size() - 1) == kCommentMarker);
static_assert(sizeof(SessionRecord) <= 24);

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

// A text as it reads back from a line of the log: LF and 0x1A as blanks.
std::string LogLineText(std::string_view text) {
    std::string safe(text);
    Blank(safe, 0, '\n');
    Blank(safe, 0, '\x1A');
    return safe;
}

}  // namespace

std::string FieldText(std::string_view text) {
    std::string safe = LogLineText(text);
    Blank(safe, 0, ',');  // ',' is never a trail byte
    return safe;
}

std::string SessionCommentText(std::string_view text) {
    std::string safe = LogLineText(text);
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

// Reads a log from its bytes in one pass, without copying them: every session
// points into the buffer. In text mode (a file's bytes) CR LF ends a line as
// LF does, which is what decoding the file first would give, and the text ends
// at 0x1A; otherwise the text is already decoded. The bytes may come in
// pieces: each is read as far as its lines are whole.
class LogReader {
public:
    explicit LogReader(bool textMode) : textMode_(textMode) {}

    // Bytes [0, filled) of `bytes` are in; all of them when filled == bytes.size().
    void Arrived(const FileBuffer& bytes, size_t filled);
    // Once every byte has arrived.
    GameLogContent Finish(std::shared_ptr<const FileBuffer> buffer);

private:
    static constexpr size_t kBlock = 64;

    // Where the commas and the line ends (LF and, in text mode, 0x1A) lie
    // among the 64 bytes at p, one bit a byte; `size` of them are text.
    template <bool kText>
    static void BlockMarks(const char* p, size_t size, uint64_t& commas, uint64_t& ends) {
        if (size < kBlock) {
            char tail[kBlock] = {};  // a zero byte marks nothing
            std::memcpy(tail, p, size);
            BlockMarks<kText>(tail, kBlock, commas, ends);
            return;
        }
        commas = ends = 0;
#if defined(__SSE2__)
        for (int i = 0; i < 4; ++i) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
            // LF is 0x0A and 0x1A is LF with bit 4 set: in text mode one
            // comparison finds both.
            const __m128i end = kText ? _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x10)), _mm_set1_epi8('\x1A'))
                                      : _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'));
            const auto comma = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(','))));
            commas |= uint64_t{comma} << (16 * i);
            ends |= uint64_t{static_cast<uint32_t>(_mm_movemask_epi8(end))} << (16 * i);
        }
#else
        for (size_t i = 0; i < kBlock; ++i) {
            commas |= uint64_t{p[i] == ','} << i;
            ends |= uint64_t{p[i] == '\n' || (kText && p[i] == '\x1A')} << i;
        }
#endif
    }

    // The line being read: where it starts and where its first commas lie.
    struct Line {
        size_t start = 0;
        int commas = 0;
        std::array<uint8_t, kComment> ends{};

        // Takes the commas marked in `marks` (bits of the block at base).
        void TakeCommas(uint64_t marks, size_t base) {
            const size_t offset = base - start;
            if (offset + kBlock <= SessionRecord::kFar) {  // the usual: no end can lie too far
                for (; marks != 0 && commas < kComment; marks &= marks - 1)
                    ends[commas++] = static_cast<uint8_t>(offset + static_cast<size_t>(__builtin_ctzll(marks)));
                return;
            }
            for (; marks != 0 && commas < kComment; marks &= marks - 1) {
                const size_t at = offset + static_cast<size_t>(__builtin_ctzll(marks));
                ends[commas++] = static_cast<uint8_t>(std::min<size_t>(at, SessionRecord::kFar));
            }
        }
    };

    // Reads the blocks that lie whole in [0, filled), or all when `last`.
    template <bool kText>
    void ReadLines(size_t filled, bool last);
    // True when the reading ends with this line.
    template <bool kText>
    bool EndLine(Line& line, size_t lf);

    bool EndsWithMarker(size_t begin, size_t length) const {
        return length >= kCommentMarker.size() && data_[begin + length - 1] == kCommentMarker.back() &&
               std::string_view(data_ + begin + length - kCommentMarker.size(), kCommentMarker.size()) ==
                   kCommentMarker;
    }
    void AddSession(const Line& line, size_t length);
    [[gnu::noinline]] void MakeRoom(size_t lineStart);

    GameLogContent log_;
    const char* data_ = nullptr;
    size_t expected_ = 0;  // the size of all the bytes
    bool textMode_;
    size_t base_ = 0;  // the next block to read
    Line line_;
    bool firstLine_ = true;  // the command line is still being read
    bool stopped_ = false;   // the sessions and the marker line are read
    size_t textEnd_ = npos;  // the 0x1A that ends the text, when it was met
    bool inSessions_ = true;
    bool viewed_ = false;  // a session points into the buffer
    size_t comment_ = npos;
    size_t firstSession_ = npos;
};

void LogReader::MakeRoom(size_t lineStart) {
    // Sized from the lines so far, with room to spare: growing by doubling
    // would hold two copies of a large table at once. What is never filled
    // is never touched, so it takes no memory.
    std::vector<SessionRecord>& sessions = log_.sessions;
    if (firstSession_ == npos) firstSession_ = lineStart;
    const size_t done = sessions.size();
    const size_t rest = expected_ > lineStart ? expected_ - lineStart : 0;
    const size_t average = done ? std::max<size_t>((lineStart - firstSession_) / done, 1) : 64;
    sessions.reserve(done + rest / average + rest / average / 4 + 16);
}

inline void LogReader::AddSession(const Line& line, size_t length) {
    std::vector<SessionRecord>& sessions = log_.sessions;
    if (sessions.size() == sessions.capacity()) MakeRoom(line.start);
    if (line.commas == kComment) {
        sessions.push_back(SessionRecord(SessionRecord::View{}, data_ + line.start, length, line.ends));
        viewed_ = true;
    } else {
        sessions.push_back(SessionRecord::FromLine(std::string_view(data_ + line.start, length)));
    }
    sessions.back().number = static_cast<int>(sessions.size());
}

template <bool kText>
bool LogReader::EndLine(Line& line, size_t lf) {
    if (kText && data_[lf] != '\n') {  // 0x1A: the text ends here
        textEnd_ = lf;
        return true;
    }
    size_t length = lf - line.start;
    if (kText && length > 0 && data_[lf - 1] == '\r') --length;
    if (firstLine_) {
        // The command line, which may end with the marker text. An empty
        // first line is no command line: the sessions end there.
        firstLine_ = false;
        if (length > 0)
            log_.commandLine.assign(data_, length);
        else
            inSessions_ = false;
    } else if (EndsWithMarker(line.start, length)) {
        comment_ = lf + 1;
        return true;
    } else if (inSessions_) {
        // Sessions end at the first empty line, and at a line too long to hold.
        if (length == 0 || length > SessionRecord::kMaxLine)
            inSessions_ = false;
        else
            AddSession(line, length);
    }
    line.start = lf + 1;
    line.commas = 0;
    return false;
}

// The comment follows the first line after the command line that ends with
// the marker; a last line without its LF is no session. The bytes are looked
// at 64 at a time: the commas and line ends among them found at once.
template <bool kText>
void LogReader::ReadLines(size_t filled, bool last) {
    Line line = line_;  // kept in registers while the lines are read
    size_t base = base_;
    for (; base < filled && (last || filled - base >= kBlock); base += kBlock) {
        uint64_t commas, ends;
        BlockMarks<kText>(data_ + base, filled - base, commas, ends);
        for (; ends != 0; ends &= ends - 1) {
            const unsigned bit = static_cast<unsigned>(__builtin_ctzll(ends));
            const uint64_t before = (uint64_t{1} << bit) - 1;
            line.TakeCommas(commas & before, base);
            commas &= ~before;
            if (EndLine<kText>(line, base + bit)) {
                stopped_ = true;
                return;
            }
        }
        line.TakeCommas(commas, base);
    }
    line_ = line;
    base_ = base;
}

void LogReader::Arrived(const FileBuffer& bytes, size_t filled) {
    if (!data_) data_ = bytes.data();
    expected_ = bytes.size();
    if (stopped_) return;
    const bool last = filled >= bytes.size();
    if (textMode_)
        ReadLines<true>(filled, last);
    else
        ReadLines<false>(filled, last);
}

GameLogContent LogReader::Finish(std::shared_ptr<const FileBuffer> buffer) {
    log_.workingDirectory = WorkingDirectoryOf(log_.commandLine);
    if (comment_ != npos) {
        size_t end = textEnd_ != npos ? textEnd_ : buffer->size();
        if (const void* eof =
                textMode_ && comment_ < end ? std::memchr(data_ + comment_, 0x1A, end - comment_) : nullptr)
            end = static_cast<size_t>(static_cast<const char*>(eof) - data_);
        log_.comment.assign(data_ + comment_, end - comment_);
        if (textMode_) DecodeTextMode(log_.comment);
    }
    // Nothing points into the buffer: it need not be kept.
    if (viewed_) log_.buffer = std::move(buffer);
    return std::move(log_);
}

namespace {

GameLogContent ReadAll(FileBuffer bytes, bool textMode) {
    LogReader reader(textMode);
    reader.Arrived(bytes, bytes.size());
    return reader.Finish(std::make_shared<const FileBuffer>(std::move(bytes)));
}

}  // namespace

GameLogContent ParseGameLog(std::string_view text) { return ReadAll(FileBuffer(std::string(text)), false); }

GameLogContent ParseGameLogFile(FileBuffer bytes) { return ReadAll(std::move(bytes), true); }

GameLogContent ParseGameLogFile(std::string bytes) { return ParseGameLogFile(FileBuffer(std::move(bytes))); }

LogFileParser::LogFileParser() : reader_(std::make_unique<LogReader>(true)) {}

LogFileParser::~LogFileParser() = default;

void LogFileParser::Arrived(const FileBuffer& bytes, size_t filled) { reader_->Arrived(bytes, filled); }

GameLogContent LogFileParser::Finish(FileBuffer bytes) {
    return reader_->Finish(std::make_shared<const FileBuffer>(std::move(bytes)));
}

std::string SessionLine(const SessionRecord& s) { return std::string(s.Line()); }

// Writes a log: the sessions read from a file that still lie in its buffer,
// one after another with their CR LF, go out straight from it; every other
// line is encoded.
class LogWriter {
public:
    // Encodes the log into `out`, handing it to flush() (which empties it)
    // whenever it has reached pieceBytes after a session line, and runs of
    // the buffer to raw(out, bytes).
    template <class Flush, class Raw>
    static bool Encode(const GameLogContent& log, std::string& out, size_t pieceBytes, Flush&& flush, Raw&& raw) {
        // The marker is looked for only after the command line, which may so end with it.
        AppendLine(out, log.commandLine.empty() && !log.sessions.empty() ? std::string_view(" ") : log.commandLine,
                   false);
        out.append("\r\n", 2);
        const std::vector<SessionRecord>& sessions = log.sessions;
        for (size_t i = 0; i < sessions.size();) {
            const SessionRecord& s = sessions[i];
            if (InBuffer(s)) {
                const char* runEnd = s.data_ + s.Size() + 2;
                for (++i; i < sessions.size() && sessions[i].data_ == runEnd && InBuffer(sessions[i]); ++i)
                    runEnd = sessions[i].data_ + sessions[i].Size() + 2;
                if (!raw(out, std::string_view(s.data_, static_cast<size_t>(runEnd - s.data_)))) return false;
                continue;
            }
            AppendLine(out, s.Line(), true);
            out.append("\r\n", 2);
            ++i;
            if (out.size() >= pieceBytes && !flush(out)) return false;
        }
        out.append(kCommentMarker);
        out.append("\r\n", 2);
        const size_t comment = out.size();
        AppendEncoded(out, log.comment);
        Blank(out, comment, '\x1A');
        return true;
    }

private:
    // A line read from a file, followed there by CR LF: it holds no LF, no
    // 0x1A and does not end with the marker, so it goes out as it lies.
    static bool InBuffer(const SessionRecord& s) {
        return !s.Owned() && s.data_[s.size_] == '\r' && s.data_[s.size_ + 1] == '\n';
    }
};

std::string SerializeGameLog(const GameLogContent& log) {
    // The exact size but for the few blanks the writing may add.
    size_t size =
        log.commandLine.size() + 1 + 2 + kMarkerLine.size() + 1 + log.comment.size() + CountLineFeeds(log.comment);
    for (const SessionRecord& s : log.sessions) size += s.Line().size() + 2;
    std::string out;
    out.reserve(size);
    LogWriter::Encode(
        log, out, npos, [](std::string&) { return true; },
        [](std::string& out, std::string_view bytes) {
            out.append(bytes);
            return true;
        });
    return out;
}

bool StreamGameLog(const GameLogContent& log, const std::function<bool(std::string_view)>& sink, size_t pieceBytes) {
    pieceBytes = std::max<size_t>(pieceBytes, 1);
    // One buffer, reused: cache-warm, and no page of it is touched for the first time after the first piece.
    std::string piece;
    piece.reserve(std::min(pieceBytes, size_t{1} << 24) + 256);
    auto flush = [&](std::string& out) {
        const bool taken = sink(out);
        out.clear();
        return taken;
    };
    // Runs of the log's buffer go to the sink as they lie, in pieces of the same size.
    auto raw = [&](std::string& out, std::string_view bytes) {
        if (!out.empty() && !flush(out)) return false;
        for (size_t at = 0; at < bytes.size(); at += pieceBytes)
            if (!sink(bytes.substr(at, pieceBytes))) return false;
        return true;
    };
    const bool complete = LogWriter::Encode(log, piece, pieceBytes, flush, raw);
    return complete && (piece.empty() || sink(piece));
}

SessionRecord::SessionRecord() { Own(std::string_view(",,,,,,,,", kComment)); }

SessionRecord::SessionRecord(const SessionFieldTexts& fields) {
    std::string line;
    size_t size = kComment + 1;
    for (const std::string& f : fields) size += f.size();
    line.reserve(size);
    std::array<size_t, kComment> ends{};
    for (int k = 0; k < kSessionFieldCount; ++k) {
        line += k == kComment ? SessionCommentText(fields[k]) : FieldText(fields[k]);
        if (k < kComment) {
            ends[k] = line.size();
            line += ',';
        }
    }
    Own(line);
    for (int k = 0; k < kComment; ++k) ends_[k] = static_cast<uint8_t>(std::min<size_t>(ends[k], kFar));
}

SessionRecord::SessionRecord(View, const char* data, size_t size, const std::array<uint8_t, kComment>& ends)
    : data_(data), size_(static_cast<uint32_t>(size)), ends_(ends) {}

SessionRecord::SessionRecord(const SessionRecord& other) : ends_(other.ends_), number(other.number) {
    Own(other.Line());
}

SessionRecord& SessionRecord::operator=(const SessionRecord& other) {
    if (this != &other) *this = SessionRecord(other);
    return *this;
}

SessionRecord::SessionRecord(SessionRecord&& other) noexcept
    : data_(other.data_), size_(other.size_), ends_(other.ends_), number(other.number) {
    other.data_ = nullptr;
    other.size_ = 0;
}

SessionRecord& SessionRecord::operator=(SessionRecord&& other) noexcept {
    if (this != &other) {
        Release();
        number = other.number;
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        ends_ = other.ends_;
    }
    return *this;
}

SessionRecord::~SessionRecord() { Release(); }

void SessionRecord::Release() {
    if (Owned()) delete[] data_;
    data_ = nullptr;
    size_ = 0;
}

void SessionRecord::Own(std::string_view line) {
    line = line.substr(0, kMaxLine);
    char* copy = new char[std::max<size_t>(line.size(), 1)];
    std::memcpy(copy, line.data(), line.size());
    Release();
    data_ = copy;
    size_ = static_cast<uint32_t>(line.size()) | kOwned;
}

SessionRecord SessionRecord::Viewing() const {
    SessionRecord view(View{}, data_, Size(), ends_);
    view.number = number;
    return view;
}

size_t SessionRecord::ScanFieldEnd(int k) const {
    const size_t begin = k == 0 ? 0 : FieldEnd(k - 1) + 1;
    const void* comma = begin < Size() ? std::memchr(data_ + begin, ',', Size() - begin) : nullptr;
    return comma ? static_cast<size_t>(static_cast<const char*>(comma) - data_) : Size();
}

void SessionRecord::FindEnds() {
    size_t pos = 0;
    for (int k = 0; k < kComment; ++k) {
        const void* comma = std::memchr(data_ + pos, ',', Size() - pos);
        pos = static_cast<size_t>(static_cast<const char*>(comma) - data_);
        ends_[k] = static_cast<uint8_t>(std::min<size_t>(pos, kFar));
        ++pos;
    }
}

// Fields 0-7 end at the next ","; field 8 takes the rest of the line, commas
// included. A line that ends early leaves the later fields empty (and gets
// their commas, as it will be written).
SessionRecord SessionRecord::FromLine(std::string_view line) {
    size_t commas = 0;
    for (size_t at = Find(line, ',', 0); at != npos && commas < kComment; at = Find(line, ',', at + 1)) ++commas;
    SessionRecord s;
    if (commas == kComment) {
        s.Own(line);
    } else {
        std::string closed(line);
        closed.append(kComment - commas, ',');
        s.Own(closed);
    }
    s.FindEnds();
    return s;
}

void SessionRecord::SetField(int k, std::string_view typed) {
    const std::string text = k == kComment ? SessionCommentText(typed) : FieldText(typed);
    if (Field(k) == text) return;  // left alone: a session read from a file stays in its buffer
    const size_t begin = k == 0 ? 0 : FieldEnd(k - 1) + 1;
    const size_t oldEnd = k < kComment ? FieldEnd(k) : Size();
    std::array<size_t, kComment> ends{};
    for (int j = 0; j < kComment; ++j) ends[j] = FieldEnd(j);
    std::string line;
    line.reserve(Size() - (oldEnd - begin) + text.size());
    line.append(data_, begin);
    line.append(text);
    line.append(data_ + oldEnd, Size() - oldEnd);
    Own(line);
    // The fields keep their bounds, even where a field holds a comma.
    for (int j = k; j < kComment; ++j)
        ends_[j] = static_cast<uint8_t>(std::min<size_t>(ends[j] - (oldEnd - begin) + text.size(), kFar));
}

SessionFieldTexts SessionRecord::Fields() const {
    SessionFieldTexts fields;
    for (int k = 0; k < kSessionFieldCount; ++k) fields[k] = std::string(Field(k));
    return fields;
}

GameLogContent::GameLogContent(const GameLogContent& other)
    : commandLine(other.commandLine),
      workingDirectory(other.workingDirectory),
      comment(other.comment),
      buffer(other.buffer) {
    // The copy shares the buffer: what points into it may go on doing so.
    sessions.reserve(other.sessions.size());
    for (const SessionRecord& s : other.sessions) sessions.push_back(s.Owned() ? SessionRecord(s) : s.Viewing());
}

GameLogContent& GameLogContent::operator=(const GameLogContent& other) {
    if (this != &other) *this = GameLogContent(other);
    return *this;
}

void AppendSession(GameLogContent& log, const SessionFieldTexts& fields) { log.sessions.emplace_back(fields); }

bool SameSession(const SessionRecord& a, const SessionRecord& b) {
    for (int k : {kStart, kEnd, kPlay, kActive, kInputs})
        if (a.Field(k) != b.Field(k)) return false;
    return true;
}

bool SameSessionAndComment(const SessionRecord& a, const SessionRecord& b) {
    return SameSession(a, b) && a.Field(kComment) == b.Field(kComment);
}

}  // namespace kibolt
