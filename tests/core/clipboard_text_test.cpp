#include "export/clipboard_text.h"

#include <gtest/gtest.h>

#include "tests/core/clipboard_expected_rows.h"

#include <string>
#include <vector>

namespace kibolt {
namespace {

using namespace test;

constexpr int32_t kDefaultView = 262143;

// Three sessions: no comment, a one-byte comment, a one-character (two-byte) comment.
GameLogContent SampleGame() {
    return ParseGameLog(
        "C:\\G\\sample.exe\n"
        "05/12/01-20:15:30,05/12/01-21:00:00,000:44:30,000:44:30,000:40:00,000:40:00,120,120,\n"
        "05/12/02-19:00:00,05/12/02-19:30:00,000:30:00,001:14:30,000:25:00,001:05:00,80,200,x\n"
        "05/12/03-18:00:00,05/12/03-18:10:00,000:10:00,001:24:30,000:05:00,001:10:00,15,215,良\n"
        "=====Comment_Start====\n"
        "ルートA\r\nクリア");
}

const CopyHeaderValues kHeader = {"001:24:30", "001:10:00", "215"};

int32_t Bits(std::initializer_list<int> bits) {
    int32_t flags = 0;
    for (int b : bits) flags |= int32_t{1} << b;
    return flags;
}

// The check boxes as they start without a settings file: all on but the three disabled ones.
int32_t DefaultCopySettings() {
    std::array<bool, kCopyCheckCount> checked;
    checked.fill(true);
    checked[0] = checked[3] = checked[6] = false;
    return CopySettingsFromChecks(checked);
}

TEST(ClipboardText, WorkedExampleWithCountAndStartEndPlay) {
    GameLogContent game = ParseGameLog(
        "C:\\G\\sample.exe\n"
        "05/12/01-20:15:30,05/12/01-21:00:00,000:44:30,000:44:30,000:40:00,000:40:00,120,120,first\n"
        "05/12/02-19:00:00,05/12/02-19:30:00,000:30:00,001:14:30,000:25:00,001:05:00,80,200,second\n"
        "=====Comment_Start====\n"
        "memo");
    EXPECT_EQ(CopySessionsText("Sample", game, kHeader, kDefaultView, Bits({2, 8, 9, 10})),
              "Sample\r\n"
              "プレイ回数2\r\n"
              "開始05/12/01-20:15:30終了05/12/01-21:00:00プレイ000:44:30\r\n"
              "開始05/12/02-19:00:00終了05/12/02-19:30:00プレイ000:30:00\r\n");
}

TEST(ClipboardText, DefaultSettingsCopyOnlyCommentedSessionsAndTheGameComment) {
    const int32_t defaults = DefaultCopySettings();
    EXPECT_EQ(defaults, 262070);
    const std::string expected = kAllHeaders + kRow3 + "\r\n" + "ルートA\r\nクリア";
    EXPECT_EQ(CopySessionsText("Sample", SampleGame(), kHeader, kDefaultView, defaults), expected);
    // Bits 0, 3, 6 and 17 change nothing.
    EXPECT_EQ(CopySessionsText("Sample", SampleGame(), kHeader, kDefaultView, 262143), expected);
}

TEST(ClipboardText, WithoutCommentFilterEverySessionIsCopiedWithTheOtherActiveLabel) {
    EXPECT_EQ(CopySessionsText("Sample", SampleGame(), kHeader, kDefaultView, 262143 & ~Bits({7})),
              kAllHeaders + kRow1All + "\r\n" + kRow2All + "\r\n" + kRow3All + "\r\n" + "ルートA\r\nクリア");
}

TEST(ClipboardText, HeaderBitsAndRowsWithoutPieces) {
    // Distinct header values, so a field read for the wrong line shows.
    const CopyHeaderValues header = {"011:11:11", "022:22:22", "333"};
    struct Case {
        int32_t copy;
        std::string text;
    } cases[] = {
        {0, "Sample\r\n\r\n\r\n\r\n"},  // every row an empty line
        {Bits({7}), "Sample\r\n\r\n"},  // only the session with a two-byte comment
        {Bits({2}), "Sample\r\nプレイ回数3\r\n\r\n\r\n\r\n"},
        {Bits({1}), "Sample\r\nプレイ時間011:11:11\r\n\r\n\r\n\r\n"},
        {Bits({4}), "Sample\r\nアクティブなプレイ時間022:22:22\r\n\r\n\r\n\r\n"},
        {Bits({5}), "Sample\r\nクリック数333\r\n\r\n\r\n\r\n"},
        {Bits({14}), "Sample\r\n\r\nコメントx\r\nコメント良\r\nルートA\r\nクリア"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.copy);
        EXPECT_EQ(CopySessionsText("Sample", SampleGame(), header, kDefaultView, c.copy), c.text);
    }
}

TEST(ClipboardText, LineEndsFollowViewBits8To16Only) {
    const int32_t copy = Bits({14, 15});
    const std::vector<int> rows = {0, 2};
    struct Case {
        int32_t view;
        bool lineEnds;
    } cases[] = {
        {kDefaultView, true}, {0x100, true}, {0x10000, true},  {-1, true},
        {0, false},           {0xFF, false}, {0x200FF, false}, {~0x1FF00, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.view);
        EXPECT_EQ(CopySessionsText("Sample", SampleGame(), kHeader, c.view, copy),
                  c.lineEnds ? "Sample\r\nキー120\r\nキー80コメントx\r\nキー15コメント良\r\nルートA\r\nクリア"
                             : "Sample\r\nキー120キー80コメントxキー15コメント良ルートA\r\nクリア");
        EXPECT_EQ(CopySelectedRowsText(SampleGame(), rows, c.view, copy),
                  c.lineEnds ? "キー120\r\nキー15コメント良\r\n" : "キー120キー15コメント良");
    }
}

TEST(ClipboardText, SelectedRowsInAscendingOrderWithoutTitleHeadersFilterOrGameComment) {
    const std::vector<int> rows = {2, 0};
    const std::string expected = kRow1 + "\r\n" + kRow3 + "\r\n";
    EXPECT_EQ(CopySelectedRowsText(SampleGame(), rows, kDefaultView, 262143), expected);
    EXPECT_EQ(CopySelectedRowsText(SampleGame(), rows, kDefaultView, 262143 & ~Bits({7})), expected);
}

TEST(ClipboardText, NoSelectionGivesEmptyTextButNoSessionsLeavesClipboardAlone) {
    EXPECT_EQ(CopySelectedRowsText(SampleGame(), {}, kDefaultView, 262143), "");

    GameLogContent empty = ParseGameLog("C:\\G\\sample.exe\n=====Comment_Start====\nmemo");
    ASSERT_TRUE(empty.sessions.empty());
    EXPECT_EQ(CopySessionsText("Sample", empty, kHeader, kDefaultView, 262143), std::nullopt);
    EXPECT_EQ(CopySelectedRowsText(empty, {}, kDefaultView, 262143), "");
}

TEST(ClipboardText, SelectedRowsOutsideTheSessionsOrRepeatedAreCopiedOnce) {
    const std::vector<int> rows = {5, 0, -1, 3, 0};
    EXPECT_EQ(CopySelectedRowsText(SampleGame(), rows, kDefaultView, Bits({15})), "キー120\r\n");
}

TEST(ClipboardText, CountHeaderCountsSessionsNotYetNumbered) {
    GameLogContent game = SampleGame();
    AppendSession(game, {"05/12/05-10:00:00", "05/12/05-10:01:00", "000:01:00", "001:25:30", "000:01:00", "001:11:00",
                         "1", "216", ""});
    EXPECT_EQ(CopySessionsText("Sample", game, kHeader, kDefaultView, Bits({2})),
              "Sample\r\nプレイ回数4\r\n\r\n\r\n\r\n\r\n");
}

TEST(ClipboardText, LongHeaderValuesAreCopiedWhole) {
    std::string longValue;
    for (int i = 0; i < 100; ++i) longValue += "累";  // 200 bytes: no cut can split a character
    const CopyHeaderValues header = {longValue, longValue, longValue};
    EXPECT_EQ(CopySessionsText("Sample", SampleGame(), header, 0, Bits({1, 4, 5})),
              "Sample\r\nプレイ時間" + longValue + "\r\nアクティブなプレイ時間" + longValue + "\r\nクリック数" +
                  longValue + "\r\n");
}

}  // namespace
}  // namespace kibolt
