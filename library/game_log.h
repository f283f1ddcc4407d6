// The byte format of a game's log: the command line, one line per session,
// the comment marker and the game's free comment.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "library/file_buffer.h"

namespace kibolt {

class LogReader;

inline constexpr std::string_view kCommentMarker = "=====Comment_Start====";

enum SessionField {
    kStart = 0,
    kEnd,
    kPlay,
    kTotalPlay,
    kActive,
    kTotalActive,
    kInputs,
    kTotalInputs,
    kComment,
    kSessionFieldCount
};

using SessionFieldTexts = std::array<std::string, kSessionFieldCount>;

// Reading ends a line at LF and the whole file at 0x1A, and takes a line that
// ends with the marker text for the marker line. So that what is written reads
// back as the same sessions and comment, no text is written that way. In a
// line of the log (command line, session field) LF and 0x1A become blanks; a
// lone CR reads back as itself and stays (text typed into a one-line field
// loses it earlier, see OneLineText).
// Fields 0-7 of a session are such lines without ',' (a comma would end the
// field when read): a comma becomes a blank too.
std::string FieldText(std::string_view text);
// A session comment is such a line; one ending with the marker text gets
// a blank after it, so its line is never taken for the marker line.
std::string SessionCommentText(std::string_view text);
// In the game's comment 0x1A becomes a blank; line breaks stay.
std::string GameCommentText(std::string_view text);

// One play session. Its nine fields are kept as the line they form in the log
// (fields 0-7 each followed by ",", then field 8), with the ends of fields 0-7.
// A session read from a file points into the log's buffer, the file's bytes
// (see GameLogContent): loading a million sessions allocates nothing per
// session. A new or edited session holds its own line. Copying a record gives
// one that holds its own line; moving it keeps it pointing into the buffer.
class SessionRecord {
public:
    // The longest line a session can hold.
    static constexpr size_t kMaxLine = 0x7FFFFFFF;

    SessionRecord();
    // Fields are kept as they will read back (see FieldText, SessionCommentText).
    explicit SessionRecord(const SessionFieldTexts& fields);
    // A session line as read from a log (without its line end); holds its own copy.
    static SessionRecord FromLine(std::string_view line);

    SessionRecord(const SessionRecord& other);
    SessionRecord& operator=(const SessionRecord& other);
    SessionRecord(SessionRecord&& other) noexcept;
    SessionRecord& operator=(SessionRecord&& other) noexcept;
    ~SessionRecord();

    // Valid until the record changes.
    std::string_view Field(int k) const {
        const size_t begin = k == 0 ? 0 : FieldEnd(k - 1) + 1;
        const size_t end = k < kComment ? FieldEnd(k) : Size();
        return std::string_view(data_ + begin, end - begin);
    }
    // A field set to the text it already holds leaves the record as it is.
    void SetField(int k, std::string_view text);
    SessionFieldTexts Fields() const;
    // Fields 0-7 each followed by ",", then field 8.
    std::string_view Line() const { return std::string_view(data_, Size()); }

private:
    friend struct GameLogContent;
    friend class LogReader;
    friend class LogWriter;

    static constexpr uint8_t kFar = 0xFF;  // the field end lies further: found by a scan
    static constexpr uint32_t kOwned = 0x80000000u;
    struct View {};
    // A record pointing at a line that lives elsewhere, with its field ends.
    SessionRecord(View, const char* data, size_t size, const std::array<uint8_t, kComment>& ends);
    SessionRecord Viewing() const;  // the same line, not owned
    size_t FieldEnd(int k) const { return ends_[k] != kFar ? ends_[k] : ScanFieldEnd(k); }
    size_t ScanFieldEnd(int k) const;
    void Own(std::string_view line);  // takes a copy of line, which must hold its eight commas
    void FindEnds();
    void Release();
    size_t Size() const { return size_ & ~kOwned; }
    bool Owned() const { return (size_ & kOwned) != 0; }

    // 24 bytes a session: a million of them take a fifth of their log's size.
    const char* data_ = nullptr;
    uint32_t size_ = 0;                     // the line's length; kOwned: data_ is ours to free
    std::array<uint8_t, kComment> ends_{};  // where the commas after fields 0-7 lie

public:
    int number = 0;  // 1, 2, 3 ... in file order; assigned on parse, never stored
};

// A log as it sits in memory. `buffer` holds the bytes of the file it was
// read from; the sessions read from it point into it. Copies of a log share
// the buffer.
struct GameLogContent {
    std::string commandLine;
    std::string workingDirectory;
    std::string comment;
    std::vector<SessionRecord> sessions;
    std::shared_ptr<const FileBuffer> buffer;

    GameLogContent() = default;
    GameLogContent(const GameLogContent& other);
    GameLogContent& operator=(const GameLogContent& other);
    GameLogContent(GameLogContent&&) noexcept = default;
    GameLogContent& operator=(GameLogContent&&) noexcept = default;
};

// Text-mode reading: CR LF becomes LF, a lone CR stays, the text ends at 0x1A.
// (Writing, inside SerializeGameLog, turns every LF into CR LF and leaves every
// other byte unchanged.)
void DecodeTextMode(std::string& bytes);

// Folder the game is started in, derived from its command line.
std::string WorkingDirectoryOf(std::string_view commandLine);

// Parses decoded text (LF line ends). Never fails.
GameLogContent ParseGameLog(std::string_view text);
// Parses the bytes of a file as they lie on disk; the sessions point into them.
GameLogContent ParseGameLogFile(FileBuffer bytes);
GameLogContent ParseGameLogFile(std::string bytes);

// The same while the file is being read (see FileSystem::ReadFileBuffer):
// each piece is parsed as it arrives, as far as its lines are whole.
class LogFileParser {
public:
    LogFileParser();
    ~LogFileParser();
    LogFileParser(const LogFileParser&) = delete;
    LogFileParser& operator=(const LogFileParser&) = delete;

    // Bytes [0, filled) of `bytes` are in; all of them when filled == bytes.size().
    void Arrived(const FileBuffer& bytes, size_t filled);
    // The log, once every byte has arrived; it keeps `bytes` while sessions point into them.
    GameLogContent Finish(FileBuffer bytes);

private:
    std::unique_ptr<LogReader> reader_;
};

// One session line without its line end: fields 0-7 each followed by ",", then field 8.
std::string SessionLine(const SessionRecord& s);
// The bytes of the file as they go to disk (CR LF line ends). Whatever the
// log holds, the bytes read back as the same sessions and comment: texts are
// written as the rules above make them (the command line as a line of the
// log, its commas kept), and an empty command line is written as a blank when
// sessions follow it (a log starting with an empty line has no sessions when
// read).
std::string SerializeGameLog(const GameLogContent& log);
// The same bytes handed to `sink` in pieces of about `pieceBytes`, so that
// saving a large log needs no second copy of it in memory. False as soon as
// the sink refuses a piece.
inline constexpr size_t kLogPieceBytes = 1 << 20;
bool StreamGameLog(const GameLogContent& log, const std::function<bool(std::string_view)>& sink,
                   size_t pieceBytes = kLogPieceBytes);

// True when two session lines are the same session: the same start, end,
// play and active time and inputs. The comment and the totals may differ.
bool SameSession(const SessionRecord& a, const SessionRecord& b);
// The same session with the same comment: alike in all but the totals.
bool SameSessionAndComment(const SessionRecord& a, const SessionRecord& b);

// Appends a session with the given fields, in memory only (number assigned on the next parse).
void AppendSession(GameLogContent& log, const SessionFieldTexts& fields);

}  // namespace kibolt
