#include <gtest/gtest.h>

#include <algorithm>

#include "library/file_system.h"
#include "library/library_paths.h"

namespace kibolt {
namespace {

// CP932 characters whose trail byte is '\' or '|'.
#define SJIS_HYOU "\x95\x5C"  // 表
#define SJIS_SO "\x83\x5C"    // ソ
#define SJIS_NO "\x83\x6D"    // ノ
#define SJIS_KA "\x83\x4A"    // カ

// ASCII text as UTF-16.
std::u16string Ascii16(std::string_view text) { return std::u16string(text.begin(), text.end()); }

struct CommandLineCase {
    const char* commandLine;
    const char* currentDir;
    const char* programPath;
};

TEST(ProgramPathTest, TakesTheProgramFileOnly) {
    const CommandLineCase cases[] = {
        {"\"C:\\Games\\Kibolt\\Kibolt.exe\"", "D:\\", "C:\\Games\\Kibolt\\Kibolt.exe"},
        {"\"C:\\Games\\Kibolt\\Kibolt.exe\" -x \"D:\\a b\\c\"", "D:\\", "C:\\Games\\Kibolt\\Kibolt.exe"},
        {"C:\\Games\\Kibolt\\Kibolt.exe", "D:\\", "C:\\Games\\Kibolt\\Kibolt.exe"},
        {"C:\\Games\\Kibolt\\Kibolt.exe ", "D:\\", "C:\\Games\\Kibolt\\Kibolt.exe"},
        {"C:\\K\\kibolt.exe D:\\save\\x.log", "D:\\", "C:\\K\\kibolt.exe"},
        {"C:\\K\\kibolt.exe\tD:\\save\\x.log", "D:\\", "C:\\K\\kibolt.exe"},
        {"C:\\Program Files\\K\\kibolt.exe", "D:\\", "C:\\Program Files\\K\\kibolt.exe"},
        {"C:\\Program Files\\K\\KIBOLT.EXE C:\\x\\y", "D:\\", "C:\\Program Files\\K\\KIBOLT.EXE"},
        // ".exe" inside a folder name does not end the path.
        {"C:\\K\\a.exec\\kibolt.exe -x", "D:\\", "C:\\K\\a.exec\\kibolt.exe"},
        {"C:\\K\\kibolt -x C:\\y", "D:\\", "C:\\K\\kibolt"},
        {"C:\\K\\" SJIS_HYOU ".exe", "D:\\", "C:\\K\\" SJIS_HYOU ".exe"},
        {"\"C:\\K\\kibolt.exe", "D:\\", "C:\\K\\kibolt.exe"},  // unclosed quote
        // Started by bare or relative name: taken from the current folder.
        {"kibolt.exe", "C:\\Games\\K", "C:\\Games\\K\\kibolt.exe"},
        {"kibolt", "C:\\Games\\K", "C:\\Games\\K\\kibolt"},
        {"\"kibolt.exe\" a\\b", "C:\\Games\\K", "C:\\Games\\K\\kibolt.exe"},
        {"kibolt.exe C:\\x\\y", "C:\\Games\\K", "C:\\Games\\K\\kibolt.exe"},
        {"kibolt.exe", "C:\\", "C:\\kibolt.exe"},
        {"kibolt.exe", "C:\\" SJIS_HYOU, "C:\\" SJIS_HYOU "\\kibolt.exe"},
        {"bin\\kibolt.exe -x", "C:\\K", "C:\\K\\bin\\kibolt.exe"},
        {"C:kibolt.exe", "C:\\K", "C:\\K\\kibolt.exe"},
        {"\\K\\kibolt.exe", "D:\\Work", "D:\\K\\kibolt.exe"},
        {"\\\\srv\\share\\kibolt.exe", "D:\\Work", "\\\\srv\\share\\kibolt.exe"},
        {"", "C:\\K", ""},
    };
    for (const CommandLineCase& c : cases) {
        SCOPED_TRACE(c.commandLine);
        EXPECT_EQ(ProgramPathFromCommandLine(c.commandLine, c.currentDir), c.programPath);
        // The system's UTF-16 text follows the same rule.
        const std::string all = std::string(c.commandLine) + c.currentDir;
        if (std::all_of(all.begin(), all.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; })) {
            EXPECT_EQ(ProgramPathFromCommandLine(Ascii16(c.commandLine), Ascii16(c.currentDir)),
                      Ascii16(c.programPath));
        }
    }
}

// Folders code page 932 cannot name are read from the system's own text.
TEST(ProgramPathTest, TakesTheProgramFileFromUtf16Text) {
    const struct {
        const char16_t* commandLine;
        const char16_t* currentDir;
        const char16_t* programPath;
        const char16_t* root;
    } cases[] = {
        {u"\"C:\\Users\\Jos\u00E9\\kibolt\\kibolt.exe\" --play x", u"D:\\", u"C:\\Users\\Jos\u00E9\\kibolt\\kibolt.exe",
         u"C:\\Users\\Jos\u00E9\\kibolt"},
        {u"C:\\\u00C5ngstr\u00F6m\\kibolt\\kibolt.exe -x", u"D:\\", u"C:\\\u00C5ngstr\u00F6m\\kibolt\\kibolt.exe",
         u"C:\\\u00C5ngstr\u00F6m\\kibolt"},
        {u"kibolt.exe", u"C:\\\U0001F600", u"C:\\\U0001F600\\kibolt.exe", u"C:\\\U0001F600"},
        {u"E:\\kibolt.exe", u"C:\\", u"E:\\kibolt.exe", u"E:\\"},
    };
    for (const auto& c : cases) {
        const std::u16string program = ProgramPathFromCommandLine(c.commandLine, c.currentDir);
        EXPECT_EQ(program, c.programPath);
        EXPECT_EQ(LibraryRootOf(program), c.root);
    }
}

struct RootCase {
    const char* programPath;
    const char* root;
};

TEST(LibraryRootTest, CutsBeforeTheLastRealSeparator) {
    const RootCase cases[] = {
        {"C:\\Games\\Kibolt\\Kibolt.exe", "C:\\Games\\Kibolt"},
        {"C:\\Games\\Kibolt\\Kibolt" SJIS_HYOU ".exe", "C:\\Games\\Kibolt"},  // 0x5C trail byte is no separator
        {"C:\\" SJIS_SO "\\k.exe", "C:\\" SJIS_SO},
        {"C:\\kibolt.exe", "C:\\"},  // the drive's root folder, not the drive's current folder
        {"c:/kibolt.exe", "c:/"},
        {"/opt/kibolt/kibolt", "/opt/kibolt"},
        {"kibolt.exe", "kibolt.exe"},
    };
    for (const RootCase& c : cases) {
        SCOPED_TRACE(c.programPath);
        EXPECT_EQ(LibraryRootOf(c.programPath), c.root);
    }
}

TEST(LibraryRootTest, QuotedStartListsThePlayingFolderBesideTheProgram) {
    std::string root = LibraryRootOf(ProgramPathFromCommandLine("\"C:\\Games\\Kibolt\\Kibolt.exe\"", "C:\\Windows"));
    EXPECT_EQ(CategoryFolderPath(root, Category::Playing), "C:\\Games\\Kibolt\\playing");
}

TEST(LibraryRootTest, ALibraryAtADrivesRootHasItsPathsThere) {
    const std::string root = LibraryRootOf(ProgramPathFromCommandLine("E:\\kibolt.exe", "C:\\Windows"));
    EXPECT_EQ(CategoryFolderPath(root, Category::Cleared), "E:\\cleared");
    EXPECT_EQ(LogPath(root, Category::Playing, "Game"), "E:\\playing\\Game.log");
    EXPECT_EQ(LibraryFilePath(root, "kibolt.tmp"), "E:\\kibolt.tmp");
    const std::optional<LogLocation> located = LocateLog(root, "e:\\OTHERS\\Game.log");
    ASSERT_TRUE(located.has_value());
    EXPECT_EQ(located->category, Category::Others);
    EXPECT_EQ(located->title, "Game");
}

TEST(LogPathTest, FolderNamesAreLowerCaseBesideUpperCaseTabs) {
    const struct {
        Category category;
        const char* tab;
        const char* logPath;
    } cases[] = {
        {Category::Playing, "PLAYING", "C:\\K\\playing\\Game.log"},
        {Category::Cleared, "CLEARED", "C:\\K\\cleared\\Game.log"},
        {Category::Others, "OTHERS", "C:\\K\\others\\Game.log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tab);
        EXPECT_STREQ(CategoryTabText(c.category), c.tab);
        EXPECT_EQ(LogPath("C:\\K", c.category, "Game"), c.logPath);
    }
}

TEST(LogPathTest, RefusedWhenItsTemporaryFileWouldNotFit) {
    const std::string root = "C:\\K";
    const size_t fixed = std::string("C:\\K\\playing\\.log").size() + std::string(kTempSuffix).size();
    const std::string longest(kMaxPathUnits - fixed, 'a');
    EXPECT_TRUE(LogPath(root, Category::Playing, longest).has_value());
    EXPECT_FALSE(LogPath(root, Category::Playing, longest + "a").has_value());

    // Limits count characters, not bytes: a double-byte character is one unit.
    std::string wide;
    for (size_t i = 0; i < longest.size(); ++i) wide += SJIS_KA;
    EXPECT_TRUE(LogPath(root, Category::Playing, wide).has_value());
    EXPECT_FALSE(LogPath(root, Category::Playing, wide + SJIS_KA).has_value());
}

TEST(TitleTest, FromFileNameDropsOnlyTheFinalExtension) {
    const struct {
        const char* name;
        const char* title;
    } cases[] = {
        {"Game.log", "Game"},
        {"Game.LOG", "Game"},
        {"a.log.log", "a.log"},
        {"a.logx.log", "a.logx"},
        {"my.log game.log", "my.log game"},
        {SJIS_HYOU ".Log", SJIS_HYOU},
        {"x.txt", "x.txt"},
        {"log", "log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TitleFromFileName(c.name), c.title);
    }
}

TEST(TitleTest, ListingKeepsLogsOnlyAndSortsWithoutRegardToCase) {
    const std::vector<std::string> names = {
        "x.txt", "b.log", "Game.LOG", ".log",     "a.log.log", "a.logx.log",  "a.log",
        "A.log", "xlog",  "log",      "game.txt", "Beta.log",  "c.log.kbtmp", SJIS_KA ".log",
    };
    const std::vector<std::string> expected = {"A", "a", "a.log", "a.logx", "b", "Beta", "Game", SJIS_KA};
    EXPECT_EQ(TitlesFromListing(names), expected);
}

TEST(TitleTest, CaseFoldingLeavesEveryTrailByteAlone) {
    EXPECT_EQ(FoldAsciiCase("AB\xFA\x41\x83\x41Z"), "ab\xFA\x41\x83\x41z");
    EXPECT_EQ(FoldAsciiCase("\xFC\x4B"
                            "A\xFD"
                            "A"),
              "\xFC\x4B"
              "a\xFD"
              "a");
    EXPECT_EQ(FoldAsciiCase("\xFA"), "\xFA");
}

struct TitleCase {
    std::string title;
    TitleProblem problem;
};

TEST(CheckTitleTest, Classifies) {
    const TitleCase cases[] = {
        {"Game", TitleProblem::None},
        {"Final Fantasy.IV", TitleProblem::None},
        {SJIS_HYOU, TitleProblem::None},
        {SJIS_SO SJIS_NO, TitleProblem::None},
        {"\x83\x7C", TitleProblem::None},  // trail byte '|'
        {"con.log", TitleProblem::DeviceName},
        {"", TitleProblem::Empty},
        {".", TitleProblem::DotName},
        {"..", TitleProblem::DotName},
        {"a\\b", TitleProblem::ReservedCharacter},
        {"a/b", TitleProblem::ReservedCharacter},
        {"a:b", TitleProblem::ReservedCharacter},
        {"a*", TitleProblem::ReservedCharacter},
        {"a?", TitleProblem::ReservedCharacter},
        {"\"a\"", TitleProblem::ReservedCharacter},
        {"<a>", TitleProblem::ReservedCharacter},
        {"a|b", TitleProblem::ReservedCharacter},
        {SJIS_HYOU "\\", TitleProblem::ReservedCharacter},  // a real '\' after a double-byte character
        {"a\tb", TitleProblem::ControlCharacter},
        {"a\x1F", TitleProblem::ControlCharacter},
        {std::string("a\0b", 3), TitleProblem::ControlCharacter},
        {"Game ", TitleProblem::TrailingSpaceOrDot},
        {"Game.", TitleProblem::TrailingSpaceOrDot},
        {"CON", TitleProblem::DeviceName},
        {"con", TitleProblem::DeviceName},
        {"Nul", TitleProblem::DeviceName},
        {"prn", TitleProblem::DeviceName},
        {"AUX", TitleProblem::DeviceName},
        {"COM1", TitleProblem::DeviceName},
        {"lpt9", TitleProblem::DeviceName},
        {"con.txt", TitleProblem::DeviceName},
        {"con  .txt", TitleProblem::DeviceName},
        {"COM0", TitleProblem::None},
        {"LPT10", TitleProblem::None},
        {"console", TitleProblem::None},
        {"a.con", TitleProblem::None},
        // Codes led by 0xF6-0xFC are characters as the system converts them.
        {"\xFA\x5C\x82\xCC\x8F\xCD", TitleProblem::None},  // U+7E8A, then "no sho": the 0x5C is a trail byte
        {"\xFB\x5C", TitleProblem::None},                  // U+72BE
        {"\xFB\xFC\x8B\xB4", TitleProblem::None},          // taka-hashi with U+9AD9
        {"\xFA\xB1", TitleProblem::None},                  // U+FA11
        {"\xFA\x95\\x", TitleProblem::ReservedCharacter},  // U+5586 then a real backslash
        {"\xFC\x4B|", TitleProblem::ReservedCharacter},
        // Bytes the code page does not convert, or converts back to other bytes.
        {"a\xA0", TitleProblem::Unconvertible},
        {"a\xFD", TitleProblem::Unconvertible},
        {"a\xFF", TitleProblem::Unconvertible},
        {"a\x81", TitleProblem::Unconvertible},     // a lead byte at the end
        {"\x81 a", TitleProblem::Unconvertible},    // a lead byte before a non-trail byte
        {"\x85\x40", TitleProblem::Unconvertible},  // unassigned
        {"\xED\x40", TitleProblem::Unconvertible},  // the second code of U+7E8A
        {"\xFC\x4C", TitleProblem::Unconvertible},
        {"\x81\x7F", TitleProblem::Unconvertible},  // 0x7F is no trail byte
    };
    for (const TitleCase& c : cases) {
        SCOPED_TRACE(c.title);
        EXPECT_EQ(CheckTitle(c.title), c.problem);
    }
}

TEST(LocateLogTest, OnlyLogsRightInsideACategoryFolderOfTheLibraryAreFound) {
    const struct {
        std::string path;
        bool inside = false;
        Category category = Category::Playing;
        std::string title = {};
    } cases[] = {
        {"C:\\K\\playing\\Alpha.log", true, Category::Playing, "Alpha"},
        {"C:\\K\\cleared\\表示.log", true, Category::Cleared, "表示"},  // 表 ends in byte 0x5C
        {"c:\\k\\OTHERS\\Gamma.LOG", true, Category::Others, "Gamma"},
        {"C:\\K\\playing\\.log", false},
        {"C:\\K\\playing\\Alpha.txt", false},
        {"C:\\K\\playing\\sub\\Alpha.log", false},
        {"C:\\K\\playing\\..\\..\\Windows\\win.log", false},
        {"C:\\K\\Alpha.log", false},
        {"C:\\Other\\playing\\Alpha.log", false},
        {"C:\\K\\playing\\a/b.log", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const std::optional<LogLocation> location = LocateLog("C:\\K", c.path);
        EXPECT_EQ(location.has_value(), c.inside);
        if (!location || !c.inside) continue;
        EXPECT_EQ(location->category, c.category);
        EXPECT_EQ(location->title, c.title);
    }
}

}  // namespace
}  // namespace kibolt
