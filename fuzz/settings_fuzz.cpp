// The settings reader and writer over any file content: reading never fails,
// and what is written reads back as the values written, with every other
// section's values unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "library/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int32_t view = in.ConsumeIntegral<int32_t>();
    const int32_t copy = in.ConsumeIntegral<int32_t>();
    const std::string section = in.ConsumeRandomLengthString(16);
    const std::string key = in.ConsumeRandomLengthString(16);
    const std::string content = in.ConsumeRemainingBytesAsString();

    (void)kibolt::ReadSettings(content);
    (void)kibolt::IniGetString(content, section, key, "default");

    const kibolt::Settings written{view, copy};
    const std::string file = kibolt::WriteSettings(content, written);
    const kibolt::Settings back = kibolt::ReadSettings(file);
    FUZZ_CHECK(back.viewFlags == written.viewFlags);
    FUZZ_CHECK(back.copySettings == (written.copySettings & kibolt::kCopyBitsMask) ||
               back.copySettings == written.copySettings);
    FUZZ_CHECK(kibolt::WriteSettings(file, written) == file);  // writing the same values again changes nothing
    return 0;
}
