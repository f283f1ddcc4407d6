// The session recorder against its model (tests/core/recorder_model.h): the
// input is read as events, injected failures and kills, and every check of
// the model must hold after every step.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/fuzz_check.h"
#include "tests/core/recorder_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string broken = kibolt::test::RunRecorderModel(data, size);
    if (!broken.empty()) std::fprintf(stderr, "%s\n", broken.c_str());
    FUZZ_CHECK(broken.empty());
    return 0;
}
