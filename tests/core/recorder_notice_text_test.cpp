#include "play/recorder_notice_text.h"

#include <gtest/gtest.h>

#include <string>

namespace kibolt {
namespace {

using Kind = RecorderNotice::Kind;

constexpr const char* kRoot = "C:\\Games\\kibolt";
constexpr const char* kLog = "C:\\Games\\kibolt\\playing\\Alpha.log";

struct NoticeCase {
    Kind kind;
    const char* name;
    NoticeLevel level;
    bool namesTitle;  // 「Alpha」
    bool namesLog;    // the log's whole path
};

void PrintTo(const NoticeCase& c, std::ostream* os) { *os << c.name; }

class NoticeTexts : public testing::TestWithParam<NoticeCase> {};

TEST_P(NoticeTexts, SayWhatHappenedToWhichGameAtTheirLevel) {
    const NoticeCase& c = GetParam();
    const NoticeMessage m = RecorderNoticeMessage({c.kind, kLog, FsError::DiskFull}, kRoot, true);
    EXPECT_EQ(m.level, c.level);
    EXPECT_FALSE(m.text.empty());
    EXPECT_EQ(m.text.find("「Alpha」") != std::string::npos, c.namesTitle) << m.text;
    EXPECT_EQ(m.text.find(kLog) != std::string::npos, c.namesLog) << m.text;
}

INSTANTIATE_TEST_SUITE_P(
    Recorder, NoticeTexts,
    testing::Values(NoticeCase{Kind::Waiting, "Waiting", NoticeLevel::Error, false, true},
                    NoticeCase{Kind::Written, "Written", NoticeLevel::Information, false, true},
                    NoticeCase{Kind::CheckpointFailed, "CheckpointFailed", NoticeLevel::Warning, false, false},
                    NoticeCase{Kind::CheckpointUnreadable, "CheckpointUnreadable", NoticeLevel::Warning, false, false},
                    NoticeCase{Kind::Resumed, "Resumed", NoticeLevel::Information, true, false},
                    NoticeCase{Kind::Recorded, "Recorded", NoticeLevel::Information, true, false},
                    NoticeCase{Kind::Kept, "Kept", NoticeLevel::Warning, true, true},
                    NoticeCase{Kind::Refused, "Refused", NoticeLevel::Warning, false, true},
                    NoticeCase{Kind::EditRefused, "EditRefused", NoticeLevel::Warning, false, false}),
    [](const testing::TestParamInfo<NoticeCase>& info) { return std::string(info.param.name); });

TEST(NoticeTexts, AWaitingSessionSaysWhyAndWhetherItIsSafeOnDisk) {
    const RecorderNotice waiting{Kind::Waiting, kLog, FsError::DiskFull};
    const std::string onDisk = RecorderNoticeMessage(waiting, kRoot, true).text;
    const std::string inMemory = RecorderNoticeMessage(waiting, kRoot, false).text;
    EXPECT_NE(onDisk.find(FsErrorText(FsError::DiskFull)), std::string::npos) << onDisk;
    EXPECT_NE(onDisk.find("kibolt.checkpoint に残っていて"), std::string::npos) << onDisk;
    EXPECT_NE(inMemory.find("メモリにだけあります"), std::string::npos) << inMemory;
}

}  // namespace
}  // namespace kibolt
