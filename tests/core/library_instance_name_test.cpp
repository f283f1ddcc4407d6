#include <gtest/gtest.h>

#include "launch/library_instance_name.h"

namespace kibolt {
namespace {

TEST(LibraryInstanceNameTest, OneFolderHasOneName) {
    const char16_t* sameAsFirst[][2] = {
        {u"C:\\Games\\Kibolt", u"c:\\games\\KIBOLT"},
        {u"C:\\Games\\Kibolt", u"C:\\Games\\Kibolt\\"},
        {u"C:\\Games\\Kibolt", u"C:\\Games\\Kibolt\\\\"},
        {u"D:\\", u"d:\\"},
    };
    for (auto& pair : sameAsFirst) EXPECT_EQ(LibraryInstanceName(pair[0]), LibraryInstanceName(pair[1]));
}

TEST(LibraryInstanceNameTest, DifferentFoldersHaveDifferentNames) {
    const char16_t* folders[] = {
        u"C:\\Games\\Kibolt",
        u"C:\\Games\\Kibolt2",
        u"D:\\Games\\Kibolt",
        u"C:\\Games",
        u"C:\\",
        u"C:\\\u8868",             // 表, whose code page 932 trail byte is a backslash
        u"C:\\Jos\u00E9\\kibolt",  // written "Jose" by a look-alike conversion
        u"C:\\Jose\\kibolt",
        u"C:\\\u00C5ngstr\u00F6m\\kibolt",
        u"C:\\\u00E5ngstr\u00F6m\\kibolt",  // only ASCII letters are one in either case
    };
    for (size_t i = 0; i + 1 < std::size(folders); ++i)
        for (size_t j = i + 1; j < std::size(folders); ++j)
            EXPECT_NE(LibraryInstanceName(folders[i]), LibraryInstanceName(folders[j])) << i << " / " << j;
}

TEST(LibraryInstanceNameTest, IsAnObjectNameWhateverTheFolder) {
    std::u16string deep = u"C:";
    for (int i = 0; i < 60; ++i) deep += u"\\\u8868folder";
    for (const std::u16string& folder : {deep, std::u16string(u"C:\\a\"b"), std::u16string()}) {
        std::string name = LibraryInstanceName(folder);
        EXPECT_EQ(name.find('\\'), std::string::npos) << name;
        EXPECT_LE(name.size(), 40u) << name;
        EXPECT_EQ(name.rfind("Kibolt.", 0), 0u) << name;
    }
}

}  // namespace
}  // namespace kibolt
