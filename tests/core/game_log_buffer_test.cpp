// A loaded log keeps the file's bytes in one buffer and its sessions point
// into it: reading decodes as it goes, edits leave the other sessions where
// they lie, and writing sends untouched runs straight from the buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "library/game_log.h"
#include "library/session_commands.h"

namespace kibolt {
namespace {

const std::string kMarker = "=====Comment_Start====";

// Session n of a log: an hour of play, half of it active, 10 + n inputs,
// with the running totals of sessions 1 to n.
std::string Line(int n, const std::string& comment = "") {
    const std::string t = std::to_string(n);
    const int activeMinutes = 30 * n;
    char totalActive[24];
    std::snprintf(totalActive, sizeof totalActive, "%03d:%02d:00", activeMinutes / 60, activeMinutes % 60);
    return "05/06/0" + t + "-20:00:00,05/06/0" + t + "-21:00:00,001:00:00,00" + t + ":00:00,000:30:00," + totalActive +
           "," + std::to_string(10 + n) + "," + std::to_string(n * (21 + n) / 2) + "," + comment;
}

// A log as the program writes it: CR LF everywhere.
std::string FileOf(int sessions) {
    std::string bytes = "C:\\G\\g.exe\r\n";
    for (int n = 1; n <= sessions; ++n) bytes += Line(n, n % 2 ? "note, with comma" : "") + "\r\n";
    return bytes + kMarker + "\r\nmemo\r\nsecond line";
}

bool InBuffer(const GameLogContent& log, const SessionRecord& s) {
    if (!log.buffer) return false;
    const char* begin = log.buffer->data();
    const char* at = s.Line().data();
    return at >= begin && at < begin + log.buffer->size();
}

void ExpectSameLog(const GameLogContent& a, const GameLogContent& b, const std::string& trace) {
    SCOPED_TRACE(trace);
    EXPECT_EQ(a.commandLine, b.commandLine);
    EXPECT_EQ(a.workingDirectory, b.workingDirectory);
    EXPECT_EQ(a.comment, b.comment);
    ASSERT_EQ(a.sessions.size(), b.sessions.size());
    for (size_t i = 0; i < a.sessions.size(); ++i) {
        EXPECT_EQ(a.sessions[i].Fields(), b.sessions[i].Fields()) << "session " << i;
        EXPECT_EQ(a.sessions[i].number, b.sessions[i].number) << "session " << i;
    }
}

// Reading a file's bytes decodes CR LF and 0x1A while the lines are found:
// it must give exactly what decoding the whole text first gives.
TEST(LogBuffer, ReadingAsItGoesEqualsDecodingFirst) {
    const std::vector<std::string> cases = {
        FileOf(3),
        "",
        "\r\n" + Line(1) + "\r\n",
        "\r",
        "cmd\r\r\n" + Line(1) + "\r\r\n" + Line(2) + "\n" + kMarker + "\r\r\nnot yet\r\n" + kMarker + "\r\nc\r\n",
        "cmd\n" + Line(1) + "\r\n" + Line(2) + kMarker + "\r\n" + Line(3) + "\r\n",  // marker at a line's end
        "cmd\r\n" + Line(1) + "\r\n\r\n" + Line(2) + "\r\n" + kMarker + "\r\nafter the empty line",
        "cmd\r\n" + Line(1) + "\r\n" + Line(2).substr(0, 20) + "\x1A" + Line(3) + "\r\n",  // EOF inside a line
        "cm\x1A"
        "d\r\n" +
            Line(1) + "\r\n",
        "cmd\r\n" + Line(1) + "\r\n" + kMarker +
            "\r\nmemo\x1A"
            "gone\r\n",
        "cmd\r\nshort,line\r\n,,,\r\n" + Line(2) + "\r\nlast line without its end",
        "cmd\r\n" + Line(1) + "\r",
    };
    for (const std::string& bytes : cases) {
        std::string decoded = bytes;
        DecodeTextMode(decoded);
        ExpectSameLog(ParseGameLogFile(bytes), ParseGameLog(decoded), bytes);
    }
    // Random lines of the bytes that matter, marker pieces included.
    const std::string pieces[] = {",", "\r", "\n", "\r\n", Line(1), "\x1A", "a", "\x83\x5C", kMarker, "=", "x,y"};
    std::mt19937 gen(7);
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        for (int n = 1 + static_cast<int>(gen() % 60); n > 0; --n) {
            const bool rare = gen() % 16 == 0;
            const std::string& piece = pieces[gen() % (rare ? 11 : 5)];
            bytes += piece == "\x1A" && gen() % 4 ? "b" : piece;
        }
        std::string decoded = bytes;
        DecodeTextMode(decoded);
        ExpectSameLog(ParseGameLogFile(bytes), ParseGameLog(decoded), "round " + std::to_string(round));
    }
}

// A log read in pieces (a large one is parsed while the rest is still being
// read) must give what the whole bytes give, wherever the pieces end: inside
// a CR LF, a line, a 64-byte block or the marker, before a 0x1A. What has not
// arrived yet is poison (line ends, commas, 0x1A) that must never be looked at.
GameLogContent ParseInPieces(const std::string& bytes, const std::vector<size_t>& ends) {
    FileBuffer buffer = FileBuffer::Allocate(bytes.size());
    buffer.SetSize(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) buffer.data()[i] = "\n,\x1A\r"[i % 4];
    LogFileParser parser;
    size_t filled = 0;
    for (size_t end : ends) {
        std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(filled), bytes.begin() + static_cast<std::ptrdiff_t>(end),
                  buffer.data() + filled);
        filled = end;
        parser.Arrived(buffer, filled);
    }
    return parser.Finish(std::move(buffer));
}

TEST(LogBuffer, ParsingPiecesAsTheyArriveEqualsParsingTheWhole) {
    const std::string longLine = std::string(150, 'x') + "," + Line(3) + std::string(70, 'c');
    const std::vector<std::string> cases = {
        FileOf(4),
        "",
        "cmd",
        "cmd\r\n" + Line(1),  // no line end after the last line
        "cmd\r\n" + Line(1) + "\r\n" + Line(2).substr(0, 20) + "\x1A" + Line(3) + "\r\n",
        "cmd\r\n" + Line(1) + "\r\n" + kMarker +
            "\r\nmemo\x1A"
            "gone\r\n",
        "cmd" + kMarker + "\r\n" + Line(1) + "\r\n" + kMarker + "\r\n" + Line(2) + "\r\n",
        "\r\n" + Line(1) + "\r\n" + kMarker + "\r\nc",
        "cmd\r\nshort,line\r\n" + longLine + "\r\n" + longLine + "\r\r\n\r\n" + Line(4) + "\r\n",
    };
    for (const std::string& bytes : cases) {
        SCOPED_TRACE(bytes);
        const GameLogContent whole = ParseGameLogFile(bytes);
        for (size_t split = 0; split <= bytes.size(); ++split) {
            const GameLogContent log = ParseInPieces(bytes, {split, bytes.size()});
            ExpectSameLog(log, whole, "split at " + std::to_string(split));
            EXPECT_EQ(SerializeGameLog(log), SerializeGameLog(whole));
        }
    }
    // A longer log in many pieces of every size.
    const std::string file = FileOf(9) + "\r\nmore memo";
    std::mt19937 gen(11);
    for (int round = 0; round < 50; ++round) {
        std::vector<size_t> ends;
        for (size_t at = 0; at < file.size();) ends.push_back(at = std::min(file.size(), at + gen() % 97));
        if (ends.empty() || ends.back() != file.size()) ends.push_back(file.size());
        const GameLogContent log = ParseInPieces(file, ends);
        ExpectSameLog(log, ParseGameLogFile(file), "round " + std::to_string(round));
        EXPECT_EQ(SerializeGameLog(log), file);
    }
}

TEST(LogBuffer, EditsLeaveTheOtherSessionsInTheBufferAndWriteExactly) {
    const std::string file = FileOf(5);
    GameLogContent log = ParseGameLogFile(file);
    ASSERT_EQ(log.sessions.size(), 5u);
    for (const SessionRecord& s : log.sessions) EXPECT_TRUE(InBuffer(log, s));
    EXPECT_EQ(SerializeGameLog(log), file);

    // Setting a field to what it holds changes nothing; another text moves only that session out.
    log.sessions[1].SetField(kComment, "");
    EXPECT_TRUE(InBuffer(log, log.sessions[1]));
    log.sessions[1].SetField(kComment, "boss, second try");
    EXPECT_FALSE(InBuffer(log, log.sessions[1]));
    for (size_t i : {0u, 2u, 3u, 4u}) EXPECT_TRUE(InBuffer(log, log.sessions[i])) << i;
    AppendSession(log, {"a", "b", "c", "d", "e", "f", "g", "h", "new"});

    std::string expected = file;
    expected.replace(expected.find(Line(2)), Line(2).size(), Line(2, "boss, second try"));
    expected.insert(expected.find(kMarker), "a,b,c,d,e,f,g,h,new\r\n");
    EXPECT_EQ(SerializeGameLog(log), expected);
    for (size_t pieceBytes : {size_t{1}, size_t{7}, size_t{64}, size_t{100000}}) {
        std::string joined;
        ASSERT_TRUE(StreamGameLog(
            log,
            [&](std::string_view piece) {
                EXPECT_FALSE(piece.empty());
                EXPECT_LE(piece.size(), pieceBytes + 130);
                joined.append(piece);
                return true;
            },
            pieceBytes));
        EXPECT_EQ(joined, expected) << pieceBytes;
    }
}

TEST(LogBuffer, DeletingTheLastSessionRecomputesNothingElse) {
    GameLogContent log = ParseGameLogFile(FileOf(4));
    RemoveSessions(log, {3});
    ASSERT_EQ(log.sessions.size(), 3u);
    for (const SessionRecord& s : log.sessions) EXPECT_TRUE(InBuffer(log, s));
    // The first one goes: every running total after it changes.
    RemoveSessions(log, {0});
    EXPECT_EQ(log.sessions[0].Field(kTotalPlay), log.sessions[0].Field(kPlay));
    EXPECT_EQ(log.sessions[1].Field(kTotalInputs), "25");  // 12 + 13
}

TEST(LogBuffer, LinesWithBareLfOrShortLinesAreWrittenAsBefore) {
    const std::string file =
        "cmd\n" + Line(1) + "\n" + Line(2) + "\r\n" + "1,2,3\r\n" + Line(4) + "\r\n" + kMarker + "\nmemo\n";
    std::string decoded = file;
    DecodeTextMode(decoded);
    const std::string written = SerializeGameLog(ParseGameLogFile(file));
    EXPECT_EQ(written, "cmd\r\n" + Line(1) + "\r\n" + Line(2) + "\r\n1,2,3,,,,,,\r\n" + Line(4) + "\r\n" + kMarker +
                           "\r\nmemo\r\n");
    EXPECT_EQ(SerializeGameLog(ParseGameLogFile(written)), written);
}

TEST(LogBuffer, CopiesOutliveTheLogTheyCameFrom) {
    SessionRecord kept;
    GameLogContent copy;
    {
        GameLogContent log = ParseGameLogFile(FileOf(3));
        kept = log.sessions[0];
        copy = log;
        EXPECT_EQ(copy.buffer, log.buffer) << "a copy shares the bytes";
        EXPECT_TRUE(InBuffer(copy, copy.sessions[2]));
    }
    EXPECT_EQ(kept.Field(kStart), "05/06/01-20:00:00");
    EXPECT_EQ(kept.Field(kComment), "note, with comma");
    EXPECT_EQ(copy.sessions[2].Field(kTotalInputs), "36");
    EXPECT_EQ(SerializeGameLog(copy), FileOf(3));
}

// Field ends beyond what a session keeps inline are found by a scan.
TEST(LogBuffer, LongFieldsReadAndEditWhole) {
    const std::string longStart(300, 's');
    const std::string longTotal(70000, '9');
    const std::string line = longStart + ",e,p," + longTotal + ",a,ta,1,2,comment, and more";
    const std::string file = "cmd\r\n" + line + "\r\n" + Line(2) + "\r\n" + kMarker + "\r\n";
    GameLogContent log = ParseGameLogFile(file);
    ASSERT_EQ(log.sessions.size(), 2u);
    const SessionFieldTexts fields = log.sessions[0].Fields();
    EXPECT_EQ(fields[kStart], longStart);
    EXPECT_EQ(fields[kTotalPlay], longTotal);
    EXPECT_EQ(fields[kTotalInputs], "2");
    EXPECT_EQ(fields[kComment], "comment, and more");
    log.sessions[0].SetField(kActive, "A");
    EXPECT_EQ(log.sessions[0].Field(kTotalActive), "ta");
    EXPECT_EQ(log.sessions[0].Field(kTotalPlay), longTotal);
    std::string expected = file;
    expected.replace(expected.find(",a,ta,"), 6, ",A,ta,");
    EXPECT_EQ(SerializeGameLog(log), expected);
}

}  // namespace
}  // namespace kibolt
