// The time texts and the sums of the running totals: any text is read
// without fault, the sums are symmetric, and on texts the program writes they
// agree with plain arithmetic.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "library/decimal.h"
#include "library/time_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kibolt;
    FuzzedDataProvider in(data, size);
    const int32_t x = in.ConsumeIntegral<int32_t>();
    const int32_t y = in.ConsumeIntegral<int32_t>();
    const double seconds = in.ConsumeFloatingPoint<double>();
    LocalTime t;
    t.year = in.ConsumeIntegral<int>();
    t.month = in.ConsumeIntegral<int>();
    t.day = in.ConsumeIntegral<int>();
    t.hour = in.ConsumeIntegral<int>();
    t.minute = in.ConsumeIntegral<int>();
    t.second = in.ConsumeIntegral<int>();
    const std::string a = in.ConsumeRandomLengthString(64);
    const std::string b = in.ConsumeRemainingBytesAsString();

    (void)FormatDateTime(t);
    (void)TruncateSeconds(seconds);
    FUZZ_CHECK(AddDurations(a, b) == AddDurations(b, a));
    FUZZ_CHECK(AddCounts(a, b) == AddCounts(b, a));
    (void)ParseInt32(a);

    // Durations and counts as the program writes them add up exactly.
    const int64_t px = x < 0 ? -(int64_t{x} + 1) : x, py = y < 0 ? -(int64_t{y} + 1) : y;
    if (px + py <= INT32_MAX) {
        FUZZ_CHECK(AddDurations(FormatDuration(static_cast<int32_t>(px)), FormatDuration(static_cast<int32_t>(py))) ==
                   FormatDuration(static_cast<int32_t>(px + py)));
    }
    FUZZ_CHECK(AddCounts(FormatInt(x), FormatInt(y)) == FormatInt(int64_t{x} + y));
    FUZZ_CHECK(ParseInt32(FormatInt(x)) == x);
    return 0;
}
