// The file operations the benchmark loads and saves logs through, on real
// files: a log is read into one buffer, parsed as it comes in.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "library/file_system_posix.h"
#include "library/game_log.h"
#include "library/library_state.h"

namespace kibolt {
namespace {

class PosixFileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() / ("kibolt_posix_test_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Put(const std::string& name, const std::string& bytes) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::filesystem::path folder_;
    PosixFileSystem fs_{false};
};

// A log of `sessions` lines as the program writes it.
std::string LogOf(size_t sessions) {
    std::string bytes = "C:\\G\\g.exe\r\n";
    for (size_t n = 1; n <= sessions; ++n) {
        const std::string t = std::to_string(n);
        bytes += "05/06/01-20:00:00,05/06/01-21:00:00,001:00:00," + t + ":00:00,000:30:00,000:30:00,7," + t +
                 (n % 3 ? "," : ",note, with comma") + "\r\n";
    }
    return bytes + "=====Comment_Start====\r\nmemo\r\n";
}

TEST_F(PosixFileSystemTest, ReadsSmallAndLargeFilesWhole) {
    // Empty, small, and large enough to be read ahead on a second thread.
    for (const size_t sessions : {size_t{0}, size_t{3}, size_t{200000}}) {
        SCOPED_TRACE(sessions);
        const std::string bytes = sessions ? LogOf(sessions) : "";
        const std::string path = Put("game.log", bytes);
        FileBuffer read;
        size_t calls = 0, last = 0;
        ASSERT_EQ(fs_.ReadFileBuffer(path, read,
                                     [&](const FileBuffer& in, size_t filled) {
                                         EXPECT_GE(filled, last) << "progress only goes forward";
                                         EXPECT_LE(filled, in.size());
                                         ++calls;
                                         last = filled;
                                     }),
                  FsError::None);
        EXPECT_EQ(read.View(), bytes);
        EXPECT_EQ(last, bytes.size()) << "the last call has every byte";
        EXPECT_GE(calls, 1u);  // how many pieces a large file comes in depends on the threads' turns

        // The program's read of a log: parsed as it comes, the same as parsing the bytes.
        GameLogContent log;
        ASSERT_EQ(ReadLogFile(fs_, path, log), FsError::None);
        EXPECT_EQ(log.sessions.size(), sessions);
        EXPECT_EQ(SerializeGameLog(log), SerializeGameLog(ParseGameLogFile(bytes)));
        if (sessions > 0) {
            EXPECT_EQ(log.sessions.back().Field(kComment), sessions % 3 ? "" : "note, with comma");
        }
    }
}

TEST_F(PosixFileSystemTest, FailedReadsLeaveTheLogAsItWas) {
    GameLogContent log = ParseGameLogFile(LogOf(2));
    EXPECT_EQ(ReadLogFile(fs_, (folder_ / "missing.log").string(), log), FsError::NotFound);
    EXPECT_EQ(ReadLogFile(fs_, folder_.string(), log), FsError::AccessDenied) << "a folder is no file";
    EXPECT_EQ(log.sessions.size(), 2u);
}

TEST_F(PosixFileSystemTest, SavesAtomicallyAndRenamesWithoutReplacing) {
    const std::string path = Put("game.log", "old");
    const GameLogContent log = ParseGameLogFile(LogOf(5));
    ASSERT_EQ(WriteLogFile(fs_, path, log), FsError::None);
    std::string back;
    ASSERT_EQ(fs_.ReadFile(path, back), FsError::None);
    EXPECT_EQ(back, LogOf(5));
    EXPECT_FALSE(fs_.Exists(path + kTempSuffix));

    const std::string other = Put("other.log", "x");
    EXPECT_NE(fs_.Rename(other, path), FsError::None) << "never over an existing file";
    ASSERT_EQ(fs_.ReadFile(path, back), FsError::None);
    EXPECT_EQ(back, LogOf(5));
    EXPECT_EQ(fs_.RecycleFile(other), FsError::NoRecycleBin);
    EXPECT_TRUE(fs_.Exists(other)) << "without a recycle bin the file stays";
}

}  // namespace
}  // namespace kibolt
