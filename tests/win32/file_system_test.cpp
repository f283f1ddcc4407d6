// The Win32 file system under the writes and reads the program makes: a log
// larger than one piece goes to disk whole and reads back as written, and a
// write that stops part way leaves the old file as it was, with no temporary
// file beside it.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "library/file_system_win32.h"
#include "library/game_log.h"
#include "library/library_state.h"
#include "tests/win32/win_test_support.h"

namespace kibolt {
namespace {

const std::string kOldLog = "C:\\G\\old.exe\r\n=====Comment_Start====\r\nold\r\n";

class Win32FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { library.WriteFile("playing\\\x83\x51\x81\x5B\x83\x80.log", kOldLog); }

    std::string LogPath() const { return library.Path("playing\\\x83\x51\x81\x5B\x83\x80.log"); }

    test::TempLibrary library;
    Win32FileSystem fs;
};

TEST_F(Win32FileSystemTest, ALogOfManyPiecesIsWrittenWhole) {
    GameLogContent log;
    log.commandLine = "C:\\G\\game.exe";
    log.comment = "route A\n";
    while (log.sessions.size() < 25000)
        AppendSession(log, {"05/06/01-20:15:00", "05/06/01-21:45:30", "001:30:30", "001:30:30", "001:10:05",
                            "001:10:05", "523", "523", "\x83\x7B\x83\x58 second try"});
    const std::string expected = SerializeGameLog(log);
    ASSERT_GT(expected.size(), 2 * kLogPieceBytes);

    ASSERT_EQ(WriteLogFile(fs, LogPath(), log), FsError::None);
    EXPECT_EQ(library.ReadFile("playing\\\x83\x51\x81\x5B\x83\x80.log"), expected);
    EXPECT_FALSE(library.Exists("playing\\\x83\x51\x81\x5B\x83\x80.log.kbtmp"));
}

// A log is read into one buffer of the file's size and parsed: it reads back
// as written; a missing or empty file is no failure of the parse.
TEST_F(Win32FileSystemTest, ALogReadsBackAsWritten) {
    // Read at once, and (over 8 MB) in pieces on a second thread while it is parsed.
    GameLogContent back;
    for (const size_t sessions : {size_t{3000}, size_t{120000}}) {
        GameLogContent log;
        log.commandLine = "C:\\G\\game.exe";
        log.comment = "memo\n";
        while (log.sessions.size() < sessions)
            AppendSession(log, {"05/06/01-20:15:00", "05/06/01-21:45:30", "001:30:30", "001:30:30", "001:10:05",
                                "001:10:05", "523", "523", log.sessions.size() % 2 ? "a, b" : ""});
        ASSERT_EQ(WriteLogFile(fs, LogPath(), log), FsError::None);
        ASSERT_EQ(ReadLogFile(fs, LogPath(), back), FsError::None);
        EXPECT_EQ(back.sessions.size(), sessions);
        EXPECT_EQ(back.sessions[1].Field(kComment), "a, b");
        EXPECT_EQ(back.comment, "memo\n");
        EXPECT_EQ(SerializeGameLog(back), SerializeGameLog(log)) << sessions << " sessions";
    }
    ASSERT_GT(library.ReadFile("playing\\\x83\x51\x81\x5B\x83\x80.log").size(), size_t{8} << 20);
    const size_t kept = back.sessions.size();

    EXPECT_EQ(ReadLogFile(fs, library.Path("playing\\missing.log"), back), FsError::NotFound);
    EXPECT_EQ(back.sessions.size(), kept) << "a failed read leaves the log as it was";
    library.WriteFile("playing\\empty.log", "");
    ASSERT_EQ(ReadLogFile(fs, library.Path("playing\\empty.log"), back), FsError::None);
    EXPECT_TRUE(back.sessions.empty());
    EXPECT_TRUE(back.commandLine.empty());
}

TEST_F(Win32FileSystemTest, AWriteThatStopsPartWayKeepsTheOldFile) {
    int pieces = 0;
    const ByteSource stopsAtTheThirdPiece = [&](const ByteSink& sink) {
        for (; pieces < 5; ++pieces)
            if (pieces == 2 || !sink(std::string(1000, 'x'))) return false;
        return true;
    };
    EXPECT_NE(WriteFileAtomically(fs, LogPath(), stopsAtTheThirdPiece), FsError::None);
    EXPECT_EQ(pieces, 2);
    EXPECT_EQ(library.ReadFile("playing\\\x83\x51\x81\x5B\x83\x80.log"), kOldLog);
    EXPECT_FALSE(library.Exists("playing\\\x83\x51\x81\x5B\x83\x80.log.kbtmp"));
}

TEST_F(Win32FileSystemTest, AMissingFolderIsReportedAndNothingIsCreated) {
    EXPECT_EQ(WriteFileAtomically(fs, library.Path("nowhere\\Game.log"), kOldLog), FsError::NotFound);
    EXPECT_FALSE(library.Exists("nowhere"));
}

}  // namespace
}  // namespace kibolt
