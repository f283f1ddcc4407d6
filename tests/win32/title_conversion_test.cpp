// The core's code page 932 rules against the system's own conversion: the
// double-byte table, and titles that CheckTitle accepts naming one file of
// exactly that name inside the category folder.
#include <windows.h>

#include <random>
#include <string>

#include <gtest/gtest.h>

#include "library/library_paths.h"
#include "library/sjis.h"

namespace kibolt {
namespace {

constexpr UINT kCp932 = 932;

// The system's reading of the bytes: their UTF-16 text, and whether it
// converts back to the same bytes. Nothing when they do not convert at all.
bool SystemRoundTrip(const std::string& bytes, std::wstring* wide = nullptr) {
    wchar_t w[512];
    const int n =
        MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), w, 512);
    if (n <= 0) return false;
    char back[1024];
    BOOL usedDefault = FALSE;
    const int m = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, w, n, back, sizeof back, nullptr, &usedDefault);
    if (wide) wide->assign(w, static_cast<size_t>(n));
    return !usedDefault && std::string(back, static_cast<size_t>(m > 0 ? m : 0)) == bytes;
}

TEST(Cp932Table, LeadBytesAreTheSystems) {
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(b)), IsDBCSLeadByteEx(kCp932, static_cast<BYTE>(b)) != 0)
            << "byte " << b;
}

TEST(Cp932Table, RoundTripCharactersAreTheSystems) {
    for (int b = 0; b < 256; ++b) {
        if (IsLeadByte(static_cast<unsigned char>(b))) continue;
        const std::string single(1, static_cast<char>(b));
        EXPECT_EQ(IsRoundTripCharacter(single), SystemRoundTrip(single)) << "byte " << b;
    }
    int differences = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            if (IsRoundTripCharacter(pair) != SystemRoundTrip(pair) && ++differences <= 10)
                ADD_FAILURE() << std::hex << "pair " << lead << " " << trail;
        }
    }
    EXPECT_EQ(differences, 0);
}

// What a log of this title would be called: the name the system keeps of
// "<folder>\<title>.log" once it has read the path, or a note of what went wrong.
std::wstring NameTheSystemKeeps(const std::wstring& folder, const std::wstring& title) {
    const std::wstring path = folder + L"\\" + title + L".log";
    wchar_t full[2048];
    wchar_t* name = nullptr;
    const DWORD n = GetFullPathNameW(path.c_str(), 2048, full, &name);
    if (n == 0 || n >= 2048) return L"<no full path>";
    const std::wstring fullPath(full, n);
    if (fullPath.compare(0, folder.size() + 1, folder + L"\\") != 0) return L"<outside the folder>";
    return fullPath.substr(folder.size() + 1);
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9, also with an extension or blanks before it.
bool IsDeviceName(std::wstring name) {
    name = name.substr(0, name.find(L'.'));
    while (!name.empty() && name.back() == L' ') name.pop_back();
    for (wchar_t& c : name) c = static_cast<wchar_t>(towlower(c));
    if (name == L"con" || name == L"prn" || name == L"aux" || name == L"nul") return true;
    return name.size() == 4 && (name.compare(0, 3, L"com") == 0 || name.compare(0, 3, L"lpt") == 0) &&
           name[3] >= L'1' && name[3] <= L'9';
}

// Random titles from bytes that make trouble: lead bytes of every range
// (0xE0-0xFC among them), trail bytes that are separators or reserved ASCII,
// device names, dots and blanks.
std::string RandomTitle(std::mt19937& gen) {
    static const std::string kPieces[] = {
        "\\",       "/",        ":",        "|",        "*",        "?",        "\"",       "<",        ">",
        ".",        " ",        "a",        "Z",        "con",      "NUL",      "com1",     "LPT9",     "aux",
        "\x95\x5C", "\x83\x7C", "\xFA\x5C", "\xFB\x5C", "\xFA\x95", "\xFB\xFC", "\xFA\xB1", "\xFC\x4B", "\xED\x40",
        "\xEE\xFC", "\x87\x90", "\xF0\x40", "\xA0",     "\xFD",     "\xFF",     "\xB1",     "\x1F",     "\x80",
    };
    std::string title;
    const int pieces = 1 + static_cast<int>(gen() % 6);
    for (int i = 0; i < pieces; ++i) {
        if (gen() % 4 == 0) {
            title += static_cast<char>(gen() & 0xFF);  // any byte, a lead byte without its trail among them
        } else {
            title += kPieces[gen() % std::size(kPieces)];
        }
    }
    return title;
}

TEST(Cp932Table, AcceptedTitlesNameTheirOwnFileInsideTheFolder) {
    const std::wstring folder = L"C:\\K\\playing";
    std::mt19937 gen(932);
    int accepted = 0;
    for (int i = 0; i < 200000; ++i) {
        const std::string title = RandomTitle(gen);
        if (CheckTitle(title) != TitleProblem::None) continue;
        ++accepted;
        std::wstring wide;
        ASSERT_TRUE(SystemRoundTrip(title, &wide)) << testing::PrintToString(title);
        for (wchar_t c : wide) {
            ASSERT_TRUE(c >= 0x20 && std::wstring_view(L"\\/:*?\"<>|").find(c) == std::wstring_view::npos)
                << testing::PrintToString(title) << " holds U+" << std::hex << static_cast<int>(c);
        }
        ASSERT_EQ(NameTheSystemKeeps(folder, wide), wide + L".log") << testing::PrintToString(title);
        ASSERT_FALSE(IsDeviceName(wide)) << testing::PrintToString(title);
    }
    EXPECT_GT(accepted, 1000) << "the generator must give many usable titles";
}

TEST(Cp932Table, RefusedExamplesWouldLeaveTheFolderOrNameAnotherFile) {
    const std::wstring folder = L"C:\\K\\playing";
    // U+5586 then a real backslash: the system reads a folder separator.
    std::wstring wide;
    ASSERT_TRUE(SystemRoundTrip("\xFA\x95\\x", &wide));
    EXPECT_EQ(wide.find(L'\\'), 1u);
    EXPECT_EQ(CheckTitle("\xFA\x95\\x"), TitleProblem::ReservedCharacter);
    // U+7E8A and U+72BE hold 0x5C as a trail byte only.
    ASSERT_TRUE(SystemRoundTrip("\xFA\x5C\xFB\x5C", &wide));
    EXPECT_EQ(wide, L"\x7E8A\x72BE");
    EXPECT_EQ(CheckTitle("\xFA\x5C\xFB\x5C"), TitleProblem::None);
    EXPECT_EQ(NameTheSystemKeeps(folder, wide), wide + L".log");
}

}  // namespace
}  // namespace kibolt
