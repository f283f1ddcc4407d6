// The settings reader against the system's own reading of the same files:
// sections and keys in any case, blanks, quotes, comments, empty values.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "library/settings.h"
#include "tests/win32/win_test_support.h"
#include "win32/text_win32.h"

namespace kibolt {
namespace {

TEST(SettingsReaderTest, ReadsFilesAsTheSystemDoes) {
    const char* files[] = {
        "[view]\r\nflag=12\r\n[copy]\r\nflag=34\r\n",
        "[View]\r\n  flag  =  77  \r\n",
        "; note\r\n[copy]\r\nflag=\r\n[view]\r\nother=1\r\nFlag=9\r\n",
        "[view]\nflag=\"42\"\n",
        "garbage without sections\r\nflag=3\r\n",
        "",
    };
    test::TempLibrary library;
    int index = 0;
    for (const char* content : files) {
        SCOPED_TRACE(content);
        std::string name = "s" + std::to_string(index++) + ".ini";
        library.WriteFile(name, content);
        std::wstring path = Widen(library.Path(name));
        for (const char* section : {"view", "copy"}) {
            wchar_t value[128] = {};
            GetPrivateProfileStringW(Widen(section).c_str(), L"flag", L"262143", value, 128, path.c_str());
            EXPECT_EQ(IniGetString(content, section, "flag", "262143"), Narrow(value)) << section;
        }
    }
}

}  // namespace
}  // namespace kibolt
