#include "library/game_log.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace kibolt {
namespace {

using Fields = std::array<std::string, kSessionFieldCount>;

const std::string kMarker = "=====Comment_Start====";

const std::string kLine2 = "05/06/01-20:15:00,05/06/01-21:45:30,001:30:30,001:30:30,001:10:05,001:10:05,523,523,";
const std::string kLine3 =
    "05/06/02-19:00:00,05/06/02-19:40:00,000:40:00,002:10:30,000:35:10,001:45:15,210,733,boss, second try";

// The two-session example as it lies on disk.
std::string TwoSessionFile(bool commentEndsWithLineEnd) {
    return "C:\\Games\\Foo\\foo.exe\r\n" + kLine2 + "\r\n" + kLine3 + "\r\n" + kMarker + "\r\nroute A cleared" +
           (commentEndsWithLineEnd ? "\r\n" : "");
}

std::string RoundTrip(const std::string& bytes) { return SerializeGameLog(ParseGameLogFile(bytes)); }

// ---------------------------------------------------------------- text mode

TEST(TextMode, DecodeTurnsCrLfIntoLfKeepsLoneCrAndStopsAtEof) {
    struct Case {
        std::string disk, text;
    } cases[] = {
        {"", ""},
        {"a\r\nb\r\n", "a\nb\n"},
        {"a\nb", "a\nb"},        // a bare LF stays
        {"a\rb\r", "a\rb\r"},    // lone CRs stay, also at the very end
        {"a\r\r\nb", "a\r\nb"},  // CR CR LF is a CR then a line end
        {"\r\n\r\n", "\n\n"},
        {"ab\x1A"
         "cd\r\n",
         "ab"},  // reading ends at the first 0x1A
        {"\x1A"
         "abc",
         ""},
        {"a\r\x1A\nb", "a\r"},                                   // the CR before 0x1A has no LF left to pair with
        {std::string("a\0b\r\n", 5), std::string("a\0b\n", 4)},  // NUL is ordinary data
    };
    for (const Case& c : cases) {
        std::string bytes = c.disk;
        DecodeTextMode(bytes);
        EXPECT_EQ(bytes, c.text) << testing::PrintToString(c.disk);
    }
}

TEST(TextMode, TheGameCommentIsWrittenWithEveryLfAsCrLfAndReadsBack) {
    struct Case {
        std::string text, disk;
    } cases[] = {
        {"", ""},
        {"a\nb\n", "a\r\nb\r\n"},
        {"a\r\nb", "a\r\r\nb"},  // a CR already present is kept
        {"\n\n", "\r\n\r\n"},
        {"a\rb", "a\rb"},
    };
    for (const Case& c : cases) {
        GameLogContent log;
        log.commandLine = "C:\\G\\g.exe";
        log.comment = c.text;
        const std::string bytes = SerializeGameLog(log);
        EXPECT_EQ(bytes, "C:\\G\\g.exe\r\n" + kMarker + "\r\n" + c.disk) << testing::PrintToString(c.text);
        EXPECT_EQ(ParseGameLogFile(bytes).comment, c.text);
    }
}

// ---------------------------------------------------------------- working directory

TEST(WorkingDirectory, DerivedFromCommandLine) {
    struct Case {
        const char* commandLine;
        const char* directory;
    } cases[] = {
        {"C:\\Games\\Foo\\foo.exe -window", "C:\\Games\\Foo"},
        {"C:\\G\\g.exe", "C:\\G"},
        {"C:\\G\\G.EXE", "C:\\G"},
        {"C:\\G\\g.eXe", "C:\\G"},
        {"C:\\G\\g.ExE", "C:\\G"},
        {"C:\\Games\\Foo\\foo.Exe -save D:\\s", "C:\\Games\\Foo"},
        // ".EXe" is not a known spelling: nothing is cut after it, so the last
        // backslash of the arguments is taken.
        {"C:\\Games\\Foo\\foo.EXe -save D:\\s", "C:\\Games\\Foo\\foo.EXe -save D:"},
        {"C:\\Games\\Foo\\foo.EXe", "C:\\Games\\Foo"},
        // No extension at all: same rule, the last backslash of the line.
        {"C:\\Games\\Foo\\run.bat", "C:\\Games\\Foo"},
        {"C:\\Games\\Foo\\run.bat C:\\saves", "C:\\Games\\Foo\\run.bat C:"},
        {"game.exe", "game.exe"},  // no backslash: nothing cut
        {"", ""},
        // The first spelling in the list wins, even when another occurs earlier.
        {"D:\\Tools.EXE\\game.exe", "D:\\Tools.EXE"},
        // Only the first ".exe" counts.
        {"C:\\a\\b.exe C:\\c\\d.exe", "C:\\a"},
        // 0x95 0x5C is one double-byte character, not a backslash.
        {"C:\\G\\\x95\x5C.exe", "C:\\G"},
        {"C:\\\x95\x5C\\g.exe", "C:\\\x95\x5C"},
        // A quoted program path: the folder inside the quotes.
        {"\"C:\\Program Files\\Game\\game.exe\" -window", "C:\\Program Files\\Game"},
        {"\"C:\\Program Files\\Game\\game.exe\" -save \"D:\\x\\y.exe\"", "C:\\Program Files\\Game"},
        {"\"C:\\Program Files\\Game\\start\" -w", "C:\\Program Files\\Game"},
        {"\"C:\\Program Files\\Game\\game.exe", "C:\\Program Files\\Game"},  // no closing quote
        {"\"\"", ""},
        {"\"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(WorkingDirectoryOf(c.commandLine), c.directory) << c.commandLine;
}

// ---------------------------------------------------------------- parsing

TEST(ParseGameLog, TwoSessionExampleRoundTripsByteForByte) {
    for (bool lineEnd : {true, false}) {
        const std::string file = TwoSessionFile(lineEnd);
        const GameLogContent log = ParseGameLogFile(file);
        EXPECT_EQ(log.commandLine, "C:\\Games\\Foo\\foo.exe");
        EXPECT_EQ(log.workingDirectory, "C:\\Games\\Foo");
        EXPECT_EQ(log.comment, lineEnd ? "route A cleared\n" : "route A cleared");
        ASSERT_EQ(log.sessions.size(), 2u);
        const Fields first = {"05/06/01-20:15:00",
                              "05/06/01-21:45:30",
                              "001:30:30",
                              "001:30:30",
                              "001:10:05",
                              "001:10:05",
                              "523",
                              "523",
                              ""};
        const Fields second = {"05/06/02-19:00:00", "05/06/02-19:40:00", "000:40:00", "002:10:30",
                               "000:35:10",         "001:45:15",         "210",       "733",
                               "boss, second try"};
        EXPECT_EQ(log.sessions[0].Fields(), first);
        EXPECT_EQ(log.sessions[1].Fields(), second);
        EXPECT_EQ(log.sessions[0].number, 1);
        EXPECT_EQ(log.sessions[1].number, 2);
        EXPECT_EQ(SessionLine(log.sessions[0]), kLine2);
        EXPECT_EQ(SessionLine(log.sessions[1]), kLine3);
        EXPECT_EQ(SerializeGameLog(log), file);
    }
}

TEST(ParseGameLog, NewGameFileHasNoSessions) {
    const std::string file = "C:\\G\\g.exe\r\n" + kMarker + "\r\n";
    const GameLogContent log = ParseGameLogFile(file);
    EXPECT_EQ(log.commandLine, "C:\\G\\g.exe");
    EXPECT_EQ(log.workingDirectory, "C:\\G");
    EXPECT_TRUE(log.sessions.empty());
    EXPECT_EQ(log.comment, "");
    EXPECT_EQ(SerializeGameLog(log), file);
}

TEST(ParseGameLog, ShortAndLongSessionLines) {
    struct Case {
        std::string line;
        Fields fields;
    } cases[] = {
        {"05/06/01-20:15:00,05/06/01-21:45:30", {"05/06/01-20:15:00", "05/06/01-21:45:30"}},
        {"a", {"a"}},
        {",", {"", ""}},
        {"1,2,3,4,5,6,7,8,", {"1", "2", "3", "4", "5", "6", "7", "8", ""}},
        {"1,2,3,4,5,6,7,8,9,10,,", {"1", "2", "3", "4", "5", "6", "7", "8", "9,10,,"}},
        {" 1 ,\"2\",3\r", {" 1 ", "\"2\"", "3\r"}},  // nothing trimmed or unquoted
        {"\x81\x2C", {"\x81", ""}},                  // 0x2C is never a second byte
    };
    for (const Case& c : cases) {
        const GameLogContent log = ParseGameLog("cmd\n" + c.line + "\n" + kMarker + "\n");
        ASSERT_EQ(log.sessions.size(), 1u) << c.line;
        EXPECT_EQ(log.sessions[0].Fields(), c.fields) << c.line;
    }
}

TEST(ParseGameLog, SessionsStopAtEmptyLineAndAtLastLineWithoutLineEnd) {
    struct Case {
        std::string text;
        std::vector<std::string> firstFields;
    } cases[] = {
        {"cmd\na,1\n\nb,2\n" + kMarker + "\n", {"a"}},
        {"cmd\n\na,1\n" + kMarker + "\n", {}},
        {"cmd\na,1\nb,2", {"a"}},  // no marker, last line unterminated
        {"cmd\na,1\nb,2\n", {"a", "b"}},
        {"cmd\na,1\nb,2" + kMarker + "\n", {"a"}},
    };
    for (const Case& c : cases) {
        const GameLogContent log = ParseGameLog(c.text);
        std::vector<std::string> got;
        for (const SessionRecord& s : log.sessions) {
            got.emplace_back(s.Field(kStart));
            EXPECT_EQ(s.number, static_cast<int>(got.size()));
        }
        EXPECT_EQ(got, c.firstFields) << testing::PrintToString(c.text);
    }
}

TEST(ParseGameLog, OnlyTheFirstMarkerLineCounts) {
    const std::string comment = "line 1\n" + kMarker + "\nline 3\n" + kMarker;
    const GameLogContent log = ParseGameLog("cmd\na,b\n" + kMarker + "\n" + comment);
    EXPECT_EQ(log.comment, comment);
    ASSERT_EQ(log.sessions.size(), 1u);
    // The marker without its LF is not a marker line.
    EXPECT_EQ(ParseGameLog("cmd\na,b\n" + kMarker).comment, "");
    EXPECT_EQ(ParseGameLog("cmd\na,b\n" + kMarker).sessions.size(), 1u);
}

TEST(ParseGameLog, SessionCommentEndingWithMarkerStartsTheCommentBlock) {
    const std::string file = "C:\\G\\g.exe\r\n" + kLine2 + "\r\n" +
                             "05/06/02-19:00:00,05/06/02-19:40:00,000:40:00,002:10:30,000:35:10,001:45:15,210,733,"
                             "note" +
                             kMarker + "\r\n" + kMarker + "\r\ngame comment\r\n";
    const GameLogContent log = ParseGameLogFile(file);
    ASSERT_EQ(log.sessions.size(), 1u);  // the cut line has no line end left
    EXPECT_EQ(log.sessions[0].Field(kTotalInputs), "523");
    EXPECT_EQ(log.comment, kMarker + "\ngame comment\n");
}

TEST(ParseGameLog, HeaderEdgeCases) {
    struct Case {
        std::string text;
        std::string commandLine;
        size_t sessions;
        std::string comment;
    } cases[] = {
        {"", "", 0, ""},
        {"C:\\G\\g.exe", "", 0, ""},                         // no LF: no command line
        {"\nC:\\G\\g.exe\n" + kMarker + "\nc", "", 0, "c"},  // starts with an empty line
        {kMarker + "\na,b\n", kMarker, 1, ""},               // the first line is always the command line
        {"cmd\r\n" + kMarker + "\n", "cmd\r", 0, ""},
    };
    for (const Case& c : cases) {
        const GameLogContent log = ParseGameLog(c.text);
        EXPECT_EQ(log.commandLine, c.commandLine) << testing::PrintToString(c.text);
        EXPECT_EQ(log.sessions.size(), c.sessions) << testing::PrintToString(c.text);
        EXPECT_EQ(log.comment, c.comment) << testing::PrintToString(c.text);
    }
}

TEST(ParseGameLogFile, ReadingStopsAtFirstEofByte) {
    const GameLogContent inComment = ParseGameLogFile(TwoSessionFile(true) +
                                                      "more\x1A"
                                                      "lost\r\n");
    EXPECT_EQ(inComment.comment, "route A cleared\nmore");
    EXPECT_EQ(inComment.sessions.size(), 2u);

    const GameLogContent inSessions =
        ParseGameLogFile("C:\\G\\g.exe\r\n" + kLine2 + "\r\nab\x1A\r\n" + kMarker + "\r\ncomment\r\n");
    EXPECT_EQ(inSessions.sessions.size(), 1u);
    EXPECT_EQ(inSessions.comment, "");
}

// ---------------------------------------------------------------- writing

TEST(SerializeGameLog, CrLfInCommentIsWrittenAsCrCrLfAndReadsBack) {
    GameLogContent log;
    log.commandLine = "C:\\G\\g.exe";
    log.comment = "first\r\nsecond\r\n";
    AppendSession(log, {"s", "e", "p", "tp", "a", "ta", "1", "1", "multi\r\nline?"});
    const std::string bytes = SerializeGameLog(log);
    EXPECT_EQ(bytes, "C:\\G\\g.exe\r\ns,e,p,tp,a,ta,1,1,multi\r line?\r\n" + kMarker + "\r\nfirst\r\r\nsecond\r\r\n");
    const GameLogContent back = ParseGameLogFile(bytes);
    EXPECT_EQ(back.comment, log.comment);
    // A line break inside a session comment would split the line on disk: it is kept as a blank.
    ASSERT_EQ(back.sessions.size(), 1u);
    EXPECT_EQ(back.sessions[0].Field(kComment), "multi\r line?");
    EXPECT_EQ(back.sessions[0].Fields(), log.sessions[0].Fields());
}

// Every way text reaches a log, with text that reading would cut short or
// take for the marker line: what is written reads back as the same sessions
// and the same comment, and the log's earlier sessions survive.
TEST(SerializeGameLog, NoTextMakesSessionsOrCommentVanish) {
    struct Case {
        const char* name;
        std::string text;
        std::string kept;  // how the text reads back
    } cases[] = {
        {"marker at the end", "x" + kMarker, "x" + kMarker + " "},
        {"marker alone", kMarker, kMarker + " "},
        {"marker then blank", kMarker + " ", kMarker + " "},
        {"marker inside", "a" + kMarker + "b", "a" + kMarker + "b"},
        {"end-of-file byte",
         "ab\x1A"
         "cd",
         "ab cd"},
        {"line feed", "ab\ncd", "ab cd"},
        {"line feed before marker", "ab\n" + kMarker, "ab " + kMarker + " "},
        {"carriage return at the end", "ab\r", "ab\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Session comment through the record and through a changed field.
        GameLogContent log = ParseGameLogFile(TwoSessionFile(true));
        Fields third = {"05/06/03-10:00:00",
                        "05/06/03-10:00:05",
                        "000:00:05",
                        "002:10:35",
                        "000:00:05",
                        "001:45:20",
                        "0",
                        "733",
                        c.text};
        AppendSession(log, third);
        log.sessions[0].SetField(kComment, c.text);
        third[kComment] = c.kept;
        EXPECT_EQ(log.sessions[2].Fields(), third) << "memory holds what will read back";

        const std::string bytes = SerializeGameLog(log);
        const GameLogContent back = ParseGameLogFile(bytes);
        ASSERT_EQ(back.sessions.size(), 3u);
        EXPECT_EQ(back.sessions[0].Field(kComment), c.kept);
        EXPECT_EQ(back.sessions[1].Fields(), log.sessions[1].Fields());
        EXPECT_EQ(back.sessions[2].Fields(), third);
        EXPECT_EQ(back.comment, "route A cleared\n");
        EXPECT_EQ(SerializeGameLog(back), bytes) << "a second write is the same";

        // The game's comment: only 0x1A is changed, line breaks stay.
        log.comment = c.text;
        const GameLogContent withComment = ParseGameLogFile(SerializeGameLog(log));
        EXPECT_EQ(withComment.sessions.size(), 3u);
        std::string comment = c.text;
        std::replace(comment.begin(), comment.end(), '\x1A', ' ');
        EXPECT_EQ(withComment.comment, comment);
        EXPECT_EQ(GameCommentText(c.text), comment);

        // The command line: LF and 0x1A are changed, a lone CR stays.
        log.commandLine = c.text;
        const GameLogContent withCommand = ParseGameLogFile(SerializeGameLog(log));
        EXPECT_EQ(withCommand.sessions.size(), 3u);
        std::string command = comment;
        std::replace(command.begin(), command.end(), '\n', ' ');
        EXPECT_EQ(withCommand.commandLine, command);
        EXPECT_EQ(withCommand.comment, comment);
    }
}

// Found by fuzzing the edit commands: a comma inside fields 0-7 would move
// the later fields when read back; it is kept as a blank.
TEST(SerializeGameLog, ACommaInsideAFieldStaysInItsField) {
    GameLogContent log;
    log.commandLine = "cmd";
    AppendSession(log, {"s,1", "e", "p", "tp", "a", "ta", "1", "1", "boss, again"});
    log.sessions[0].SetField(kTotalInputs, "7,5");
    EXPECT_EQ(log.sessions[0].Field(kStart), "s 1");
    EXPECT_EQ(log.sessions[0].Field(kTotalInputs), "7 5");
    const GameLogContent back = ParseGameLogFile(SerializeGameLog(log));
    ASSERT_EQ(back.sessions.size(), 1u);
    EXPECT_EQ(back.sessions[0].Fields(), log.sessions[0].Fields());
    EXPECT_EQ(back.sessions[0].Field(kComment), "boss, again") << "field 8 keeps its commas";
}

// A log whose first line is empty has no sessions when read; so an empty
// command line is written as a blank once there are sessions to keep.
TEST(SerializeGameLog, EmptyCommandLineKeepsTheSessions) {
    GameLogContent log = ParseGameLogFile(TwoSessionFile(true));
    log.commandLine.clear();
    const std::string bytes = SerializeGameLog(log);
    EXPECT_EQ(bytes.substr(0, 3), " \r\n");
    const GameLogContent back = ParseGameLogFile(bytes);
    EXPECT_EQ(back.commandLine, " ");
    ASSERT_EQ(back.sessions.size(), 2u);
    EXPECT_EQ(back.sessions[1].Fields(), log.sessions[1].Fields());
    EXPECT_EQ(back.comment, log.comment);

    // Without sessions an empty first line reads back as it is.
    GameLogContent empty;
    empty.comment = "c";
    EXPECT_EQ(SerializeGameLog(empty), "\r\n" + kMarker + "\r\nc");
    EXPECT_EQ(ParseGameLogFile(SerializeGameLog(empty)).comment, "c");
}

// Logs written before these rules read exactly as they did.
TEST(ParseGameLog, OldLogsWithTheFaultsReadAsBefore) {
    const std::string sessionEndingWithMarker =
        "cmd\r\n" + kLine2 + "x" + kMarker + "\r\n" + kLine3 + "\r\n" + kMarker + "\r\nc";
    const GameLogContent a = ParseGameLogFile(sessionEndingWithMarker);
    EXPECT_EQ(a.sessions.size(), 0u);
    EXPECT_EQ(a.comment, kLine3 + "\n" + kMarker + "\nc");

    const GameLogContent b = ParseGameLogFile("\r\n" + kLine2 + "\r\n" + kMarker + "\r\nc");
    EXPECT_EQ(b.commandLine, "");
    EXPECT_EQ(b.sessions.size(), 0u);
    EXPECT_EQ(b.comment, "c");
}

TEST(SerializeGameLog, AppendedSessionsAreNumberedOnTheNextParse) {
    GameLogContent log = ParseGameLogFile(TwoSessionFile(false));
    const Fields third = {
        "05/06/03-10:00:00",       "05/06/03-10:00:05", "000:00:05", "002:10:35", "000:00:05", "001:45:20", "0", "733",
        "\x83\x51\x81\x5B\x83\x80"};
    AppendSession(log, third);
    ASSERT_EQ(log.sessions.size(), 3u);
    EXPECT_EQ(log.sessions[2].Fields(), third);
    EXPECT_EQ(log.sessions[1].Field(kComment), "boss, second try");  // earlier sessions untouched

    const std::string bytes = SerializeGameLog(log);
    EXPECT_EQ(bytes, "C:\\Games\\Foo\\foo.exe\r\n" + kLine2 + "\r\n" + kLine3 + "\r\n" + SessionLine(log.sessions[2]) +
                         "\r\n" + kMarker + "\r\nroute A cleared");
    const GameLogContent back = ParseGameLogFile(bytes);
    ASSERT_EQ(back.sessions.size(), 3u);
    EXPECT_EQ(back.sessions[2].Fields(), third);
    EXPECT_EQ(back.sessions[2].number, 3);
}

TEST(StreamGameLog, PiecesJoinToTheSerializedBytesForAnyPieceSize) {
    GameLogContent log = ParseGameLogFile(TwoSessionFile(true));
    log.comment = "first\nsecond\n";
    for (int i = 0; i < 40; ++i) AppendSession(log, {"s", "e", "p", "tp", "a", "ta", "1", "1", "c\nd"});
    const std::string whole = SerializeGameLog(log);
    for (size_t pieceBytes : {size_t{1}, size_t{37}, size_t{100}, whole.size(), kLogPieceBytes}) {
        SCOPED_TRACE(pieceBytes);
        std::string joined;
        size_t largest = 0;
        ASSERT_TRUE(StreamGameLog(
            log,
            [&](std::string_view piece) {
                EXPECT_FALSE(piece.empty());
                largest = std::max(largest, piece.size());
                joined.append(piece);
                return true;
            },
            pieceBytes));
        EXPECT_EQ(joined, whole);
        // A piece ends with the line that reached the size (the first also holds the command line).
        EXPECT_LE(largest, pieceBytes + 130);
    }
}

TEST(StreamGameLog, ARefusedPieceStopsTheStream) {
    GameLogContent log = ParseGameLogFile(TwoSessionFile(true));
    int calls = 0;
    EXPECT_FALSE(StreamGameLog(
        log, [&](std::string_view) { return ++calls < 2; }, 1));
    EXPECT_EQ(calls, 2);
}

// ---------------------------------------------------------------- bad input

// Random bytes from an alphabet (any byte when empty), cut into lines of
// 1 to 200 bytes, so that many of them are read as sessions.
std::string RandomLines(size_t size, uint32_t seed, std::string_view alphabet) {
    std::mt19937 gen(seed);
    std::string out;
    out.reserve(size + 256);
    while (out.size() < size) {
        for (uint32_t n = 1 + gen() % 200; n > 0; --n) {
            const uint32_t r = gen();
            char c = alphabet.empty() ? static_cast<char>(r & 0xFF) : alphabet[r % alphabet.size()];
            if (c == '\n' || c == '\x1A') c = '\r';
            out.push_back(c);
        }
        out += gen() % 2 ? "\r\n" : "\n";
    }
    return out;
}

// What the first rewrite drops or changes; after it the bytes are stable.
TEST(BadInput, FirstRewriteNormalisesThenStaysStable) {
    struct Case {
        std::string name, disk, firstRewrite;
    } cases[] = {
        {"empty file", "", "\r\n" + kMarker + "\r\n"},
        {"no line end at all", "just text", "\r\n" + kMarker + "\r\n"},
        {"no marker", "cmd\r\na,b\r\nc,d", "cmd\r\na,b,,,,,,,\r\n" + kMarker + "\r\n"},
        {"bare LF line ends", "cmd\na,b,c,d,e,f,g,h,i\n" + kMarker + "\nx\ny",
         "cmd\r\na,b,c,d,e,f,g,h,i\r\n" + kMarker + "\r\nx\r\ny"},
        {"lines after an empty line", "cmd\r\na\r\n\r\nb\r\n" + kMarker + "\r\nc",
         "cmd\r\na,,,,,,,,\r\n" + kMarker + "\r\nc"},
        {"starts with an empty line", "\r\na,b\r\n" + kMarker + "\r\nc", "\r\n" + kMarker + "\r\nc"},
        {"text after 0x1A",
         "cmd\r\n" + kMarker +
             "\r\nc\x1A"
             "d",
         "cmd\r\n" + kMarker + "\r\nc"},
        {"lone CRs", "cmd\r\r\na\rb\r\n" + kMarker + "\r\n\r", "cmd\r\r\na\rb,,,,,,,,\r\n" + kMarker + "\r\n\r"},
    };
    for (const Case& c : cases) {
        const std::string first = RoundTrip(c.disk);
        EXPECT_EQ(first, c.firstRewrite) << c.name;
        EXPECT_EQ(RoundTrip(first), first) << c.name;
    }
}

TEST(BadInput, TenMegabyteLines) {
    const std::string big(10 * 1024 * 1024, 'x');
    // Without a line end the single line is not a command line and is lost.
    EXPECT_EQ(RoundTrip(big), "\r\n" + kMarker + "\r\n");
    // As the command line or as a session comment it is read whole.
    const std::string asCommand = big + ".exe\r\n" + kMarker + "\r\n";
    EXPECT_EQ(RoundTrip(asCommand), asCommand);
    const std::string asSession = "cmd\r\n" + kLine2 + big + "\r\n" + kMarker + "\r\n";
    const GameLogContent log = ParseGameLogFile(asSession);
    ASSERT_EQ(log.sessions.size(), 1u);
    EXPECT_EQ(log.sessions[0].Field(kComment), big);
    EXPECT_EQ(SerializeGameLog(log), asSession);
}

TEST(BadInput, RandomBytesNeverCrashAndRewriteIsStable) {
    std::mt19937 gen(7);
    std::string anyBytes(1024 * 1024, '\0');
    for (char& c : anyBytes) c = static_cast<char>(gen() & 0xFF);

    std::string lines = RandomLines(1024 * 1024, 1, "");
    std::string structured = RandomLines(1024 * 1024, 2, std::string("ab,,,,\r\x95\x5C\\.exe=") + kMarker);
    // A marker line late in the text, so sessions and the comment block both get bytes.
    const size_t lf = structured.find('\n', structured.size() * 3 / 4);
    structured.insert(lf + 1, kMarker + "\r\n");

    struct Case {
        const char* name;
        const std::string& bytes;
    } cases[] = {{"any byte", anyBytes}, {"lines of any byte", lines}, {"structured lines", structured}};
    for (const Case& c : cases) {
        const GameLogContent log = ParseGameLogFile(c.bytes);
        for (size_t i = 0; i < log.sessions.size(); ++i) ASSERT_EQ(log.sessions[i].number, static_cast<int>(i + 1));
        const std::string first = SerializeGameLog(log);
        const GameLogContent again = ParseGameLogFile(first);
        EXPECT_EQ(again.commandLine, log.commandLine) << c.name;
        EXPECT_EQ(again.comment, log.comment) << c.name;
        ASSERT_EQ(again.sessions.size(), log.sessions.size()) << c.name;
        for (size_t i = 0; i < log.sessions.size(); ++i) {
            // Missing fields come back as empty fields: the same record.
            ASSERT_EQ(again.sessions[i].Fields(), log.sessions[i].Fields()) << c.name << " session " << i;
        }
        EXPECT_EQ(SerializeGameLog(again), first) << c.name;
    }
}

}  // namespace
}  // namespace kibolt

namespace kibolt {
namespace {

TEST(SessionRecord, ChangingOneFieldKeepsTheOthersAndTheLine) {
    SessionRecord s = SessionRecord::FromLine("a,bb,c");
    EXPECT_EQ(s.Line(), "a,bb,c,,,,,,") << "a short line gets the commas it will be written with";
    s.SetField(kEnd, "");
    s.SetField(kComment, "x, y");
    s.SetField(kStart, "start");
    EXPECT_EQ(s.Fields(), (SessionFieldTexts{"start", "", "c", "", "", "", "", "", "x, y"}));
    EXPECT_EQ(s.Line(), "start,,c,,,,,,x, y");
    EXPECT_EQ(SessionRecord().Line(), ",,,,,,,,");
}

}  // namespace
}  // namespace kibolt
