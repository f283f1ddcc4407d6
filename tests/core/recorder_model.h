// A model-based check of the session recorder: a sequence of bytes is read as
// events (play, inputs, splits, ends, ticks, the user's edits, moves,
// renames, deletions, close, shutdown), failures injected at file operations
// and the program killed at any file operation; after every step the files
// are compared with a simple model of what must hold. Shared by the unit test
// (fixed seeds) and the fuzz target.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kibolt::test {

struct ModelStats {
    size_t sequences = 0;
    size_t steps = 0;
    size_t faults = 0;    // file operations refused by an injected failure
    size_t kills = 0;     // restarts from the files alone after a kill
    size_t sessions = 0;  // sessions that ended
};

// Runs the events of `bytes`; empty when every check held, else what broke
// and the events up to there.
std::string RunRecorderModel(const uint8_t* bytes, size_t size, ModelStats* stats = nullptr);

// The shortest sequence found, by cutting pieces out, that still breaks a check.
std::vector<uint8_t> ShrinkModelSequence(std::vector<uint8_t> bytes);

// Random bytes of a fixed seed, for a reproducible sequence.
std::vector<uint8_t> ModelSequence(uint32_t seed, size_t size);

}  // namespace kibolt::test
