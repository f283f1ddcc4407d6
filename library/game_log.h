// The byte format of a game's log: the command line, one line per session,
// the comment marker and the game's free comment.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kibolt {

inline constexpr std::string_view kCommentMarker = "=====Comment_Start====";

enum SessionField {
    kStart = 0, kEnd, kPlay, kTotalPlay, kActive, kTotalActive, kInputs, kTotalInputs, kComment,
    kSessionFieldCount
};

using SessionFieldTexts = std::array<std::string, kSessionFieldCount>;

// Reading ends a line at LF and the whole file at 0x1A, and takes a line that
// ends with the marker text for the marker line. So that what is written reads
// back as the same sessions and comment, no text is written that way:
// In a one-line text (command line, session field) LF and 0x1A become blanks.
std::string OneLineText(std::string_view text);
// A session comment is a one-line text; one ending with the marker text gets
// a blank after it, so its line is never taken for the marker line.
std::string SessionCommentText(std::string_view text);
// In the game's comment 0x1A becomes a blank; line breaks stay.
std::string GameCommentText(std::string_view text);

// One play session. Its nine fields are kept as the line they form in the log
// (fields 0-7 each followed by ",", then field 8): one string per session, so
// a log of a million sessions loads fast and stays small in memory.
class SessionRecord {
public:
    SessionRecord();
    // Fields are kept as they will read back (see OneLineText, SessionCommentText).
    explicit SessionRecord(const SessionFieldTexts& fields);
    // A session line as read from a log (without its line end).
    static SessionRecord FromLine(std::string_view line);

    // Valid until the record changes.
    const std::string_view Field(int k) const {
        const size_t end = k + 1 < kSessionFieldCount ? start_[k + 1] - 1 : line_.size();
        return std::string_view(line_).substr(start_[k], end - start_[k]);
    }
    void SetField(int k, std::string_view text);
    SessionFieldTexts Fields() const;
    // Fields 0-7 each followed by ",", then field 8.
    const std::string& Line() const { return line_; }

    int number = 0;  // 1, 2, 3 ... in file order; assigned on parse, never stored

private:
    std::string line_;
    std::array<uint32_t, kSessionFieldCount> start_{};
};

struct GameLogContent {
    std::string commandLine;
    std::string workingDirectory;
    std::string comment;
    std::vector<SessionRecord> sessions;
};

// Text-mode reading: CR LF becomes LF, a lone CR stays, the text ends at 0x1A.
void DecodeTextMode(std::string& bytes);
// Text-mode writing: every LF becomes CR LF, every other byte unchanged.
std::string EncodeTextMode(std::string_view text);

// Folder the game is started in, derived from its command line.
std::string WorkingDirectoryOf(std::string_view commandLine);

// Parses decoded text (LF line ends). Never fails.
GameLogContent ParseGameLog(std::string_view text);
// Parses the bytes of a file as they lie on disk.
GameLogContent ParseGameLogFile(std::string bytes);

// One session line without its line end: fields 0-7 each followed by ",", then field 8.
std::string SessionLine(const SessionRecord& s);
// The bytes of the file as they go to disk (CR LF line ends). Whatever the
// log holds, the bytes read back as the same sessions and comment: texts are
// written as OneLineText, SessionCommentText and GameCommentText make them,
// and an empty command line is written as a blank when sessions follow it
// (a log starting with an empty line has no sessions when read).
std::string SerializeGameLog(const GameLogContent& log);
// The same bytes handed to `sink` in pieces of about `pieceBytes`, so that
// saving a large log needs no second copy of it in memory. False as soon as
// the sink refuses a piece.
inline constexpr size_t kLogPieceBytes = 1 << 20;
bool StreamGameLog(const GameLogContent& log, const std::function<bool(std::string_view)>& sink,
                   size_t pieceBytes = kLogPieceBytes);

// Appends a session with the given fields, in memory only (number assigned on the next parse).
void AppendSession(GameLogContent& log, const SessionFieldTexts& fields);

}  // namespace kibolt
