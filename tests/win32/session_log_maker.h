// Log files for the window tests: n sessions with consistent totals.
#pragma once
#include <string>

#include "library/game_log.h"
#include "library/time_text.h"

namespace kibolt::test {

// Session i (0-based) plays 100 + i seconds, is active 50 + i and has 10 + i inputs.
inline GameLogContent MakeSessions(int count, const std::string& commandLine = "C:\\G\\g.exe",
                                   const std::string& comment = "") {
    GameLogContent log;
    log.commandLine = commandLine;
    log.comment = comment;
    for (int i = 0; i < count; ++i) {
        std::array<std::string, kSessionFieldCount> f;
        f[kStart] = FormatDateTime({2026, 1, 1 + i % 28, 10, 0, 0});
        f[kEnd] = FormatDateTime({2026, 1, 1 + i % 28, 10, 1, 40 + i % 20});
        f[kPlay] = FormatDuration(100 + i);
        f[kActive] = FormatDuration(50 + i);
        f[kInputs] = std::to_string(10 + i);
        f[kTotalPlay] = i ? AddDurations(log.sessions.back().Field(kTotalPlay), f[kPlay]) : f[kPlay];
        f[kTotalActive] = i ? AddDurations(log.sessions.back().Field(kTotalActive), f[kActive]) : f[kActive];
        f[kTotalInputs] = i ? AddCounts(log.sessions.back().Field(kTotalInputs), f[kInputs]) : f[kInputs];
        f[kComment] = "note " + std::to_string(i + 1);
        AppendSession(log, f);
    }
    return log;
}

inline std::string MakeLogBytes(int count, const std::string& commandLine = "C:\\G\\g.exe",
                                const std::string& comment = "") {
    return SerializeGameLog(MakeSessions(count, commandLine, comment));
}

}  // namespace kibolt::test
