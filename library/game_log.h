// The byte format of a game's log: the command line, one line per session,
// the comment marker and the game's free comment.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kibolt {

inline constexpr std::string_view kCommentMarker = "=====Comment_Start====";

enum SessionField {
    kStart = 0, kEnd, kPlay, kTotalPlay, kActive, kTotalActive, kInputs, kTotalInputs, kComment,
    kSessionFieldCount
};

struct SessionRecord {
    std::array<std::string, kSessionFieldCount> fields;
    int number = 0;  // 1, 2, 3 ... in file order; assigned on parse, never stored
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
// The bytes of the file as they go to disk (CR LF line ends).
std::string SerializeGameLog(const GameLogContent& log);

// Appends a session with the given fields, in memory only (number assigned on the next parse).
void AppendSession(GameLogContent& log, const std::array<std::string, kSessionFieldCount>& fields);

}  // namespace kibolt
