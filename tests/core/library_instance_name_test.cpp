#include <gtest/gtest.h>

#include "instance/library_instance_name.h"

namespace kibolt {
namespace {

#define SJIS_HYOU "\x95\x5C"  // 表: its trail byte is '\'

TEST(LibraryInstanceNameTest, OneFolderHasOneName) {
    const char* sameAsFirst[][2] = {
        {"C:\\Games\\Kibolt", "c:\\games\\KIBOLT"},
        {"C:\\Games\\Kibolt", "C:\\Games\\Kibolt\\"},
        {"C:\\Games\\Kibolt", "C:\\Games\\Kibolt\\\\"},
        {"D:\\", "d:\\"},
    };
    for (auto& pair : sameAsFirst)
        EXPECT_EQ(LibraryInstanceName(pair[0]), LibraryInstanceName(pair[1])) << pair[0] << " / " << pair[1];
}

TEST(LibraryInstanceNameTest, DifferentFoldersHaveDifferentNames) {
    const char* folders[] = {
        "C:\\Games\\Kibolt",
        "C:\\Games\\Kibolt2",
        "D:\\Games\\Kibolt",
        "C:\\Games",
        "C:\\",
        "C:\\" SJIS_HYOU,  // the trailing 0x5C belongs to the kanji: not cut off
    };
    for (size_t i = 0; i + 1 < std::size(folders); ++i)
        for (size_t j = i + 1; j < std::size(folders); ++j)
            EXPECT_NE(LibraryInstanceName(folders[i]), LibraryInstanceName(folders[j]))
                << folders[i] << " / " << folders[j];
}

TEST(LibraryInstanceNameTest, IsAnObjectNameWhateverTheFolder) {
    std::string deep = "C:";
    for (int i = 0; i < 60; ++i) deep += "\\" SJIS_HYOU "folder";
    for (const std::string& folder : {deep, std::string("C:\\a\"b"), std::string()}) {
        std::string name = LibraryInstanceName(folder);
        EXPECT_EQ(name.find('\\'), std::string::npos) << name;
        EXPECT_LE(name.size(), 40u) << name;
        EXPECT_EQ(name.rfind("Kibolt.", 0), 0u) << name;
    }
}

}  // namespace
}  // namespace kibolt
