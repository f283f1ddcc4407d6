// Readable test output for what the recorder tells.
#pragma once
#include <ostream>

#include "play/session_recorder.h"

namespace kibolt {

inline void PrintTo(const RecorderNotice& n, std::ostream* os) {
    static const char* const kNames[] = {"Waiting",  "Written", "CheckpointFailed", "CheckpointUnreadable", "Resumed",
                                         "Recorded", "Kept",    "Refused",          "EditRefused"};
    *os << kNames[static_cast<int>(n.kind)];
    if (!n.logPath.empty()) *os << " " << n.logPath;
    if (n.error != FsError::None) *os << " (error " << static_cast<int>(n.error) << ")";
}

inline void PrintTo(RecorderNotice::Kind kind, std::ostream* os) {
    PrintTo(RecorderNotice{kind, {}, FsError::None}, os);
}

}  // namespace kibolt
