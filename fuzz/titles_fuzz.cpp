// The title and path rules: an accepted title holds no separator, reserved or
// control character, no character the code page would replace, and no device
// name, in the system's reading of its bytes; its log lies in the category
// folder under exactly that name. Path searches step over double-byte
// characters the same way everywhere.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "library/game_log.h"
#include "library/library_paths.h"
#include "library/sjis.h"

namespace {

using namespace kibolt;

bool IsDevice(std::string_view title) {
    std::string base = FoldAsciiCase(title.substr(0, title.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    if (base == "con" || base == "prn" || base == "aux" || base == "nul") return true;
    return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string root = in.ConsumeBool() ? "C:\\K" : in.ConsumeRandomLengthString(40);
    const std::string text = in.ConsumeRemainingBytesAsString();

    // The character walk: pairs and singles cover the text exactly.
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); i += CharacterLength(text, i)) ++characters;
    FUZZ_CHECK(Utf16Length(text) == characters);
    const std::string folded = FoldAsciiCase(text);
    FUZZ_CHECK(folded.size() == text.size());
    for (size_t i = 0; i < text.size(); i += CharacterLength(text, i)) {
        FUZZ_CHECK(CharacterLength(folded, i) == CharacterLength(text, i));
        if (CharacterLength(text, i) == 2) FUZZ_CHECK(folded.compare(i, 2, text, i, 2) == 0);
    }
    const size_t slash = FindLastBackslash(text);
    FUZZ_CHECK(slash == std::string::npos || (text[slash] == '\\' && CharacterLength(text, slash) == 1));
    (void)WorkingDirectoryOf(text);
    (void)ProgramPathFromCommandLine(text, root);
    (void)TitlesFromListing({text, text + ".log", folded + ".LOG"});

    if (CheckTitle(text) != TitleProblem::None) return 0;
    FUZZ_CHECK(!text.empty() && text != "." && text != "..");
    FUZZ_CHECK(FindUnconvertible(text) == std::string::npos);
    for (size_t i = 0; i < text.size(); i += CharacterLength(text, i)) {
        if (CharacterLength(text, i) == 2) continue;
        const auto b = static_cast<unsigned char>(text[i]);
        FUZZ_CHECK(b >= 0x20 && std::string_view("\\/:*?\"<>|").find(text[i]) == std::string_view::npos);
    }
    FUZZ_CHECK(text.back() != ' ' && text.back() != '.');
    FUZZ_CHECK(!IsDevice(text));
    if (const std::optional<std::string> path = LogPath(root, Category::Others, text)) {
        const std::string folder = CategoryFolderPath(root, Category::Others);
        FUZZ_CHECK(FindLastSeparator(*path) == folder.size());
        FUZZ_CHECK(TitleFromFileName(path->substr(folder.size() + 1)) == text);
    }
    return 0;
}
