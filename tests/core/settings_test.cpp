#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "library/settings.h"

namespace kibolt {
namespace {

struct ReadCase {
    const char* content;
    int32_t viewFlags;
    int32_t copySettings;
};

TEST(ReadSettingsTest, Reads) {
    const ReadCase cases[] = {
        {"", 262143, 262143},
        {"[view]\r\nflag=0\r\n[copy]\r\nflag=7\r\n", 0, 7},
        {"[view]\r\nflag=-1\r\n", -1, 262143},
        {"[copy]\r\nflag=abc\r\n", 262143, 0},
        {"[view]\r\nflag=99999999999\r\n", INT32_MAX, 262143},
        {"[view]\r\nflag=-99999999999\r\n", INT32_MIN, 262143},
        {"[copy]\r\nflag=-1\r\n", 262143, 262143},  // bits 18-31 dropped
        {"[copy]\r\nflag=262144\r\n", 262143, 0},
        {"[VIEW]\r\nFLAG=5\r\n[Copy]\r\nFlag=6\r\n", 5, 6},
        {"  [ view ]  \r\n  flag  =  12  \r\n", 12, 262143},
        {"[view]\r\nflag=\r\n", 0, 262143},  // empty, not the default
        {"[view]\r\nflag=\"12\"\r\n[copy]\r\nflag='34'\r\n", 12, 34},
        {"[view]\nflag=3\n[copy]\nflag=4", 3, 4},  // LF ends, no final line end
        {"[view]\r\n;flag=1\r\nflags=2\r\n[other]\r\nflag=3\r\n", 262143, 262143},
        {"flag=1\r\n[copy]\r\nflag=2\r\n", 262143, 2},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.content);
        Settings s = ReadSettings(c.content);
        EXPECT_EQ(s.viewFlags, c.viewFlags);
        EXPECT_EQ(s.copySettings, c.copySettings);
    }
}

TEST(IniGetStringTest, RemovesOnePairOfMatchingQuotes) {
    const struct {
        const char* stored;
        const char* read;
    } cases[] = {
        {"\"a b\"", "a b"}, {"'a'", "a"},           {"\"\"", ""},           {"\"", "\""},
        {"\"a'", "\"a'"},   {"\"\"a\"\"", "\"a\""}, {"a \"b\"", "a \"b\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        std::string content = std::string("[s]\r\nk=") + c.stored + "\r\n";
        EXPECT_EQ(IniGetString(content, "s", "k", "default"), c.read);
    }
}

struct WriteCase {
    const char* before;
    const char* after;
};

TEST(WriteSettingsTest, ChangesOnlyItsOwnLines) {
    const WriteCase cases[] = {
        {"", "[view]\r\nflag=5\r\n[copy]\r\nflag=6\r\n"},
        {"[view]\r\nflag=1\r\n[copy]\r\nflag=2\r\n", "[view]\r\nflag=5\r\n[copy]\r\nflag=6\r\n"},
        // Comments, other sections, blank lines and odd spacing stay byte for byte.
        {"; kibolt\r\n[other]\r\nkey = x \r\n\r\n[View]\r\n  flag = 1 \r\nextra=2\r\n\r\n[tail]\r\nz=1",
         "; kibolt\r\n[other]\r\nkey = x \r\n\r\n[View]\r\nflag=5\r\nextra=2\r\n\r\n[tail]\r\nz=1\r\n"
         "[copy]\r\nflag=6\r\n"},
        // A missing key goes after the section's last entry, before its trailing blank lines.
        {"[view]\r\nother=1\r\n\r\n[copy]\r\nx=2\r\n\r\n",
         "[view]\r\nother=1\r\nflag=5\r\n\r\n[copy]\r\nx=2\r\nflag=6\r\n\r\n"},
        {"[view]", "[view]\r\nflag=5\r\n[copy]\r\nflag=6\r\n"},
        {"[copy]\r\nflag=2", "[copy]\r\nflag=6\r\n[view]\r\nflag=5\r\n"},
        {"[view]\nflag=1\nz=3\n", "[view]\nflag=5\r\nz=3\n[copy]\r\nflag=6\r\n"},
        {"[VIEW]\r\nFLAG=1\r\n", "[VIEW]\r\nFLAG=5\r\n[copy]\r\nflag=6\r\n"},
        {"[view]\r\n;flag=1\r\n", "[view]\r\n;flag=1\r\nflag=5\r\n[copy]\r\nflag=6\r\n"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.before);
        EXPECT_EQ(WriteSettings(c.before, Settings{5, 6}), c.after);
    }
}

TEST(SettingsTest, MissingFileWritesDefaultsBackWithCopyAsGiven) {
    Settings s = ReadSettings("");
    s.copySettings = 262070;  // three disabled boxes cleared
    EXPECT_EQ(WriteSettings("", s), "[view]\r\nflag=262143\r\n[copy]\r\nflag=262070\r\n");
}

TEST(SettingsTest, ValuesSurviveAWriteAndARead) {
    const Settings cases[] = {{-1, 0}, {0, 262143}, {INT32_MIN, 1}, {INT32_MAX, 262142}};
    for (const Settings& s : cases) {
        SCOPED_TRACE(s.viewFlags);
        Settings back = ReadSettings(WriteSettings("[view]\r\nflag=1\r\n", s));
        EXPECT_EQ(back.viewFlags, s.viewFlags);
        EXPECT_EQ(back.copySettings, s.copySettings);
    }
}

TEST(SettingsTest, CopyIsWrittenWithoutHighBits) {
    EXPECT_EQ(WriteSettings("", Settings{1, -1}), "[view]\r\nflag=1\r\n[copy]\r\nflag=262143\r\n");
}

TEST(SettingsPathTest, BesideTheProgramAndNeverTheProgramItself) {
    const struct {
        const char* program;
        const char* settings;
    } cases[] = {
        {"C:\\Games\\Kibolt\\Kibolt.exe", "C:\\Games\\Kibolt\\Kibolt.ini"},
        {"C:\\K\\KIBOLT.EXE", "C:\\K\\KIBOLT.ini"},
        {"C:\\K.exe\\kibolt.exe", "C:\\K.exe\\kibolt.ini"},
        {"C:\\K\\a.exe.exe", "C:\\K\\a.exe.ini"},
        {"/opt/kibolt/kibolt", "/opt/kibolt/kibolt.ini"},
        {"C:\\K\\kibolt.ini", "C:\\K\\kibolt.ini.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        EXPECT_EQ(SettingsPathOf(c.program), c.settings);
    }
}

TEST(WindowSettingsTest, RoundTripBesideViewAndCopyWhichStayByteForByte) {
    const std::string before = "; mine\r\n[view]\r\nflag=-1\r\n[copy]\r\nflag=abc\r\n";
    WindowSettings w;
    w.placed = true;
    w.left = -8;
    w.top = 20;
    w.width = 1024;
    w.height = 700;
    w.maximized = true;
    w.columnWidths = {20, 0, 140, 0, 0, 0, 0, 0, 0, 300};
    const std::string written = WriteWindowSettings(before, w);
    EXPECT_EQ(written.substr(0, before.size()), before) << "the other sections are untouched";
    EXPECT_EQ(ReadWindowSettings(written), w);
    EXPECT_EQ(ReadSettings(written).viewFlags, -1);

    // Written again over itself: the same keys replaced in place.
    w.maximized = false;
    w.columnWidths[9] = 0;
    const std::string again = WriteWindowSettings(written, w);
    EXPECT_EQ(ReadWindowSettings(again), w);
    EXPECT_EQ(again.size(), written.size() - 2);
}

TEST(WindowSettingsTest, MissingOrUnusableValuesReadAsNotStored) {
    const struct {
        const char* content;
        bool placed;
        int firstColumn;
        int lastColumn;
    } cases[] = {
        {"", false, 0, 0},
        {"[window]\r\nleft=1\r\ntop=2\r\nwidth=3\r\n", false, 0, 0},  // no height
        {"[window]\r\nleft=x\r\ntop=2\r\nwidth=3\r\nheight=4\r\n", false, 0, 0},
        {"[window]\r\nleft=1\r\ntop=2\r\nwidth=0\r\nheight=4\r\n", false, 0, 0},
        {"[WINDOW]\r\nLeft=-5\r\ntop=2\r\nwidth=3\r\nheight=4\r\n", true, 0, 0},
        {"[window]\r\ncolumns=25,abc,-3,99999\r\n", false, 25, 0},
        {"[window]\r\ncolumns=1,2,3,4,5,6,7,8,9,10,11\r\n", false, 1, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        WindowSettings w = ReadWindowSettings(c.content);
        EXPECT_EQ(w.placed, c.placed);
        EXPECT_EQ(w.columnWidths[0], c.firstColumn);
        EXPECT_EQ(w.columnWidths[9], c.lastColumn);
    }
    const WindowSettings mixed = ReadWindowSettings("[window]\r\ncolumns=25,abc,-3,99999,40\r\n");
    EXPECT_EQ(mixed.columnWidths, (std::array<int, kSessionColumnCount>{25, 0, 0, 0, 40, 0, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace kibolt

namespace kibolt {
namespace {

TEST(PlaySettingsTest, AutoDetectOnUnlessAZeroIsStored) {
    const struct {
        const char* content;
        bool autoDetect;
    } cases[] = {
        {"", true},
        {"[play]\r\n", true},
        {"[play]\r\nauto_detect=1\r\n", true},
        {"[PLAY]\r\nAUTO_DETECT=0\r\n", false},
        {"[play]\r\nauto_detect= 0 \r\n", false},
        {"[play]\r\nauto_detect=00\r\n", false},
        {"[play]\r\nauto_detect=\r\n", true},
        {"[play]\r\nauto_detect=off\r\n", true},
        {"[play]\r\nauto_detect=10\r\n", true},
        {"[view]\r\nauto_detect=0\r\n", true},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadPlaySettings(c.content).autoDetect, c.autoDetect) << c.content;
}

TEST(PlaySettingsTest, IdleMinutesAreAWholeNumberUpTo120ElseOff) {
    const struct {
        const char* content;
        int32_t minutes;
    } cases[] = {
        {"", 0},
        {"[play]\r\nauto_detect=0\r\n", 0},
        {"[play]\r\nidle_minutes=5\r\n", 5},
        {"[PLAY]\r\nIDLE_MINUTES= 120 \r\n", 120},
        {"[play]\r\nidle_minutes=0120\r\n", 120},
        {"[play]\r\nidle_minutes=0\r\n", 0},
        {"[play]\r\nidle_minutes=121\r\n", 0},
        {"[play]\r\nidle_minutes=99999999999999999999\r\n", 0},
        {"[play]\r\nidle_minutes=-5\r\n", 0},
        {"[play]\r\nidle_minutes=+5\r\n", 0},
        {"[play]\r\nidle_minutes=5 min\r\n", 0},
        {"[play]\r\nidle_minutes=abc\r\n", 0},
        {"[play]\r\nidle_minutes=\r\n", 0},
        {"[view]\r\nidle_minutes=5\r\n", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadPlaySettings(c.content).idleMinutes, c.minutes) << c.content;
}

TEST(PlaySettingsTest, IdleMinutesAsTyped) {
    const struct {
        const char* text;
        std::optional<int32_t> minutes;
    } cases[] = {
        {"0", 0},
        {"1", 1},
        {" 60 ", 60},
        {"120", 120},
        {"121", std::nullopt},
        {"1000", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"abc", std::nullopt},
        {"1.5", std::nullopt},
        {"-1", std::nullopt},
        {"\x82\x50", std::nullopt},  // a full-width digit
    };
    for (const auto& c : cases) EXPECT_EQ(ParseIdleMinutes(c.text), c.minutes) << c.text;
}

TEST(PlaySettingsTest, IdleMinutesWrittenAndReadBeside) {
    const std::string before = "[play]\r\nauto_detect=0\r\n";
    const std::string written = WritePlaySettings(before, {false, 45});
    EXPECT_EQ(ReadPlaySettings(written), (PlaySettings{false, 45}));
    EXPECT_NE(WritePlaySettings(written, {false, 0}).find("[play]\r\nauto_detect=0\r\nidle_minutes=0\r\n"),
              std::string::npos);
}

TEST(PlaySettingsTest, WrittenBesideTheOtherSectionsAndReadBack) {
    const std::string before = "[view]\r\nflag=5\r\n[window]\r\nleft=1\r\n";
    for (bool on : {false, true}) {
        const std::string written = WritePlaySettings(before, {on});
        EXPECT_EQ(ReadPlaySettings(written).autoDetect, on);
        EXPECT_EQ(written.substr(0, before.size()), before);
        EXPECT_EQ(WritePlaySettings(written, {on}), written);
    }
}

}  // namespace
}  // namespace kibolt
