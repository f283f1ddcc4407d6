// One process of a running game, named so that a process id the system has
// handed to another program since is never taken for the game.
#pragma once
#include <cstdint>

namespace kibolt {

struct GameProcess {
    uint32_t id = 0;
    uint64_t created = 0;  // creation time in the system's 100 ns units; 0 when unknown
    bool operator==(const GameProcess&) const = default;
};

}  // namespace kibolt
