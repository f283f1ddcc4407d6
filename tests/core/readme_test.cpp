// The players' readme keeps up with the program: every command of the main
// menu, as the resource script names it, is named in package/readme.txt.
#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace {

std::string ReadSource(const std::string& relative) {
    std::ifstream file(std::string(KIBOLT_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Text from one encoding to another; nullopt when a character has no place in it.
std::optional<std::string> Convert(const std::string& text, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in = text;
    std::string out(text.size() * 4 + 16, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1) || inLeft) return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

// The MENUITEM texts of one MENU block of a resource script (UTF-8).
std::vector<std::string> MenuItems(const std::string& script, const std::string& menu) {
    std::vector<std::string> items;
    const size_t start = script.find(menu + " MENU");
    if (start == std::string::npos) return items;
    const std::regex item(R"rx(^\s*MENUITEM\s+"([^"]*)")rx");
    const std::regex begin(R"(^\s*BEGIN\s*$)"), end(R"(^\s*END\s*$)");
    int depth = 0;
    size_t at = script.find('\n', start) + 1;
    while (at > 0 && at < script.size()) {
        const size_t lineEnd = script.find('\n', at);
        std::string line = script.substr(at, lineEnd == std::string::npos ? std::string::npos : lineEnd - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::smatch match;
        if (std::regex_search(line, begin))
            ++depth;
        else if (std::regex_search(line, end) && --depth == 0)
            break;
        else if (std::regex_search(line, match, item))
            items.push_back(match[1]);
        if (lineEnd == std::string::npos) break;
        at = lineEnd + 1;
    }
    return items;
}

TEST(Readme, NamesEveryCommandOfTheMainMenuAndIsCodePage932) {
    const std::string readme = ReadSource("package/readme.txt");
    ASSERT_FALSE(readme.empty());
    ASSERT_NE(readme.rfind("\xEF\xBB\xBF", 0), 0u) << "code page 932, without a UTF-8 mark";
    ASSERT_TRUE(Convert(readme, "CP932", "UTF-8")) << "readme.txt is not code page 932 text";

    const std::vector<std::string> items = MenuItems(ReadSource("resources/kibolt.rc"), "IDR_MAIN_MENU");
    ASSERT_FALSE(items.empty()) << "the main menu in resources/kibolt.rc";
    for (const std::string& item : items) {
        const std::optional<std::string> name = Convert(item, "UTF-8", "CP932");
        ASSERT_TRUE(name) << item;
        EXPECT_NE(readme.find("「" + *name + "」"), std::string::npos)
            << "readme.txt does not name the menu command " << item;
    }
}

}  // namespace
