// The recorder against the model, with fixed seeds: a few seconds of random
// sequences of events, failures and kills (see recorder_model.h).
#include "tests/core/recorder_model.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace kibolt {
namespace {

using test::ModelSequence;
using test::ModelStats;
using test::RunRecorderModel;

TEST(RecorderModel, EverySessionOnceWhateverFailsWithFixedSeeds) {
    ModelStats stats;
    // KIBOLT_MODEL_SEEDS=N runs more of them, for a long search.
    const char* more = std::getenv("KIBOLT_MODEL_SEEDS");
    const uint32_t seeds = more ? static_cast<uint32_t>(std::atol(more)) : 3000;
    for (uint32_t seed = 1; seed <= seeds; ++seed) {
        const std::vector<uint8_t> bytes = ModelSequence(seed, 400);
        const std::string broken = RunRecorderModel(bytes.data(), bytes.size(), &stats);
        ASSERT_EQ(broken, "") << "seed " << seed;
    }
    std::printf("%zu sequences, %zu steps, %zu sessions, %zu injected failures, %zu kills\n", stats.sequences,
                stats.steps, stats.sessions, stats.faults, stats.kills);
}

// For a seed that breaks: KIBOLT_MODEL_SEED=N kibolt_core_tests
// --gtest_also_run_disabled_tests --gtest_filter='*Shrink*' prints the shortest
// sequence that still breaks, as bytes for a named test.
TEST(RecorderModel, DISABLED_ShrinkASeed) {
    const char* seed = std::getenv("KIBOLT_MODEL_SEED");
    ASSERT_TRUE(seed);
    const std::vector<uint8_t> bytes =
        test::ShrinkModelSequence(ModelSequence(static_cast<uint32_t>(std::atoi(seed)), 400));
    std::printf("%s\n{", RunRecorderModel(bytes.data(), bytes.size()).c_str());
    for (uint8_t b : bytes) std::printf("%d, ", b);
    std::printf("}\n");
}

}  // namespace
}  // namespace kibolt
