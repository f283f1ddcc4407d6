// The log reader and writer: what is written reads back as the same content,
// a second write is byte-identical to the first, and the pieces a save
// streams join to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "library/game_log.h"

namespace {

void CheckSame(const kibolt::GameLogContent& a, const kibolt::GameLogContent& b) {
    FUZZ_CHECK(a.comment == b.comment);
    FUZZ_CHECK(a.sessions.size() == b.sessions.size());
    for (size_t i = 0; i < a.sessions.size(); ++i) {
        FUZZ_CHECK(a.sessions[i].Fields() == b.sessions[i].Fields());
        FUZZ_CHECK(b.sessions[i].number == static_cast<int>(i + 1));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const kibolt::GameLogContent log = kibolt::ParseGameLogFile(bytes);
    const std::string first = kibolt::SerializeGameLog(log);
    const kibolt::GameLogContent again = kibolt::ParseGameLogFile(first);
    // An empty command line before sessions is written as a blank: the only change.
    FUZZ_CHECK(again.commandLine == log.commandLine || (log.commandLine.empty() && again.commandLine == " "));
    CheckSame(log, again);
    FUZZ_CHECK(kibolt::SerializeGameLog(again) == first);

    std::string joined;
    const size_t pieceBytes = 1 + (size % 97);
    FUZZ_CHECK(kibolt::StreamGameLog(
        log,
        [&](std::string_view piece) {
            joined.append(piece);
            return true;
        },
        pieceBytes));
    FUZZ_CHECK(joined == first);
    return 0;
}
