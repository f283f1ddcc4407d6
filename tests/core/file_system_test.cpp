#include <gtest/gtest.h>

#include <algorithm>

#include "library/file_system.h"
#include "tests/core/memory_file_system.h"

namespace kibolt {
namespace {

using test::MemoryFileSystem;

const std::string kPath = "C:\\K\\playing\\Game.log";
const std::string kOld = "C:\\G\\old.exe\r\n=====Comment_Start====\r\nold\r\n";
const std::string kNew =
    "C:\\G\\g.exe\r\n05/06/01-20:15:00,05/06/01-21:45:30,001:30:30,001:30:30,001:10:05,001:10:05,523,523,\r\n"
    "=====Comment_Start====\r\n";

class AtomicWriteTest : public ::testing::Test {
protected:
    void SetUp() override { fs.PutFile(kPath, kOld); }

    // The old log is whole and nothing else lies beside it.
    void ExpectOldIntact() {
        EXPECT_EQ(fs.FileBytes(kPath), kOld);
        EXPECT_EQ(fs.FilePaths(), std::vector<std::string>{kPath});
    }

    MemoryFileSystem fs;
};

TEST_F(AtomicWriteTest, ReplacesContentAndLeavesNoTemporaryFile) {
    ASSERT_EQ(WriteFileAtomically(fs, kPath, kNew), FsError::None);
    EXPECT_EQ(fs.FileBytes(kPath), kNew);
    EXPECT_EQ(fs.FilePaths(), std::vector<std::string>{kPath});
}

TEST_F(AtomicWriteTest, CreatesMissingFile) {
    const std::string path = "C:\\K\\playing\\New.log";
    ASSERT_EQ(WriteFileAtomically(fs, path, kNew), FsError::None);
    EXPECT_EQ(fs.FileBytes(path), kNew);
    EXPECT_EQ(fs.FileBytes(kPath), kOld);
    EXPECT_FALSE(fs.Exists(path + kTempSuffix));
}

TEST_F(AtomicWriteTest, WriteFailingAfterAnyByteCountKeepsOldContent) {
    for (size_t n = 0; n <= kNew.size(); ++n) {
        SCOPED_TRACE(n);
        fs.failWriteAfter = n;
        EXPECT_EQ(WriteFileAtomically(fs, kPath, kNew), FsError::DiskFull);
        ExpectOldIntact();
    }
}

TEST_F(AtomicWriteTest, FailingReplaceKeepsOldContent) {
    fs.replaceError = FsError::AccessDenied;
    EXPECT_EQ(WriteFileAtomically(fs, kPath, kNew), FsError::AccessDenied);
    ExpectOldIntact();
}

TEST_F(AtomicWriteTest, FailedCleanupStillReportsTheFirstError) {
    fs.replaceError = FsError::AccessDenied;
    fs.removeError = FsError::Other;
    EXPECT_EQ(WriteFileAtomically(fs, kPath, kNew), FsError::AccessDenied);
    EXPECT_EQ(fs.FileBytes(kPath), kOld);
}

TEST_F(AtomicWriteTest, MissingFolderCreatesNothing) {
    EXPECT_EQ(WriteFileAtomically(fs, "C:\\K\\others\\Game.log", kNew), FsError::NotFound);
    ExpectOldIntact();
}

// The fake must match paths as Windows does, or tests of case handling prove nothing.
TEST(MemoryFileSystemTest, MatchesAsciiCaseButNotDoubleByteCharacters) {
    MemoryFileSystem fs;
    fs.PutFile("C:\\K\\playing\\Game.log", "x");
    fs.PutFile("C:\\K\\playing\\\x83\x41.log", "a");  // trail byte 0x41 is not the letter A
    EXPECT_TRUE(fs.Exists("c:/k/PLAYING/game.LOG"));
    EXPECT_FALSE(fs.Exists("C:\\K\\playing\\\x83\x61.log"));

    std::vector<std::string> names;
    ASSERT_EQ(fs.ListFolder("c:\\k\\playing\\", names), FsError::None);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Game.log", "\x83\x41.log"}));
    EXPECT_EQ(fs.ListFolder("C:\\K\\cleared", names), FsError::NotFound);
    EXPECT_TRUE(names.empty());
}

}  // namespace
}  // namespace kibolt
