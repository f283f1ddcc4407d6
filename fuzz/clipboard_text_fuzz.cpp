// The clipboard text builder over any log, flags and row selection: it never
// fails, copies all only when there are sessions, and copies nothing for a
// selection that names no session.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "export/clipboard_text.h"
#include "fuzz/fuzz_check.h"
#include "library/game_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kibolt;
    FuzzedDataProvider in(data, size);
    const int32_t viewFlags = in.ConsumeIntegral<int32_t>();
    const int32_t copySettings = in.ConsumeIntegral<int32_t>();
    const std::string title = in.ConsumeRandomLengthString(40);
    CopyHeaderValues header{in.ConsumeRandomLengthString(20), in.ConsumeRandomLengthString(20),
                            in.ConsumeRandomLengthString(20)};
    std::vector<int> rows;
    for (int n = in.ConsumeIntegralInRange(0, 8); n > 0; --n) rows.push_back(in.ConsumeIntegralInRange(-2, 40));
    const GameLogContent log = ParseGameLogFile(in.ConsumeRemainingBytesAsString());

    const std::optional<std::string> all = CopySessionsText(title, log, header, viewFlags, copySettings);
    FUZZ_CHECK(all.has_value() == !log.sessions.empty());
    const std::string selected = CopySelectedRowsText(log, rows, viewFlags, copySettings);
    bool anyRow = false;
    for (int row : rows) anyRow = anyRow || (row >= 0 && static_cast<size_t>(row) < log.sessions.size());
    if (!anyRow) FUZZ_CHECK(selected.empty());
    return 0;
}
