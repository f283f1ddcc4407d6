// The characters other systems write in another Unicode form than code page 932.
#include "library/cp932_forms.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace kibolt {
namespace {

// The C library's code page 932 bytes of one UTF-16 character; empty when it has none.
std::string LibraryCp932(char16_t c) {
    iconv_t cd = iconv_open("CP932", "UTF-16LE");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "no converter";
    char in[2] = {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 2, outLeft = sizeof out;
    const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1)) return {};
    return std::string(out, sizeof out - outLeft);
}

std::string Bytes(unsigned short sjis) { return {static_cast<char>(sjis >> 8), static_cast<char>(sjis & 0xFF)}; }

TEST(Cp932FormsTest, OtherSystemsFormsBecomeTheCodePageCharacters) {
    const struct {
        char16_t from;
        unsigned short sjis;
    } expected[] = {{u'\u301C', 0x8160}, {u'\u2016', 0x8161}, {u'\u2212', 0x817C},
                    {u'\u00A2', 0x8191}, {u'\u00A3', 0x8192}, {u'\u00AC', 0x81CA}};
    ASSERT_EQ(kCp932Forms.size(), std::size(expected));
    for (const auto& e : expected) {
        const char16_t to = Cp932FormOf(e.from);
        EXPECT_NE(to, e.from) << std::hex << int(e.from);
        EXPECT_EQ(LibraryCp932(to), Bytes(e.sjis)) << std::hex << int(e.from);
        EXPECT_EQ(Cp932FormOf(to), to) << "the code page's own form stays";
    }
    for (const Cp932Form& form : kCp932Forms) EXPECT_EQ(LibraryCp932(form.to), Bytes(form.sjis));
}

TEST(Cp932FormsTest, EveryOtherCharacterStaysAsItIs) {
    for (char16_t c : {u'A', u'~', u'\\', u'\u3042', u'\u8868', u'\uFF5E', u'\u2225', u'\u00A5', u'\u203E'})
        EXPECT_EQ(Cp932FormOf(c), c) << std::hex << int(c);
}

}  // namespace
}  // namespace kibolt
