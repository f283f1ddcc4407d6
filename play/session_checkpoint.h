// The checkpoint of an open play session: a small file beside the program
// that lets a session outlive the program being ended by force (a crash, the
// task manager, a power cut). It holds the open session's measures, the
// game's processes, and the sessions that have ended but are not yet known
// to be in their logs.
//
// A session is never recorded twice: before a log is written the session is
// put into the checkpoint as pending, and a pending session whose own fields
// (start, end, play and active time, inputs, comment) are those of its log's
// last session is taken as recorded and not added again. So a crash after the
// log was written and before the checkpoint was updated changes nothing on
// the next start.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/clock.h"
#include "library/file_system.h"
#include "library/library_state.h"
#include "play/game_process.h"
#include "play/play_session.h"

namespace kibolt {

inline constexpr std::string_view kCheckpointFileName = "kibolt.checkpoint";

// LibraryRoot + "\kibolt.checkpoint".
std::string CheckpointFilePath(std::string_view root);

// A session that has ended and is not yet known to be in its log.
struct PendingRecord {
    std::string logPath;
    std::string line;  // its session line, the totals (fields 3, 5, 7) left empty
    bool operator==(const PendingRecord&) const = default;
};

struct SessionCheckpoint {
    std::optional<SessionProgress> open;  // the session being played, if any
    std::vector<GameProcess> processes;   // the game's processes while it is open
    std::vector<PendingRecord> pending;   // ended sessions, oldest first
    bool Empty() const { return !open && pending.empty(); }
    bool operator==(const SessionCheckpoint&) const = default;
};

// The file's bytes: a header line, one "key value" line each, and a last
// line with a checksum of everything before it.
std::string SerializeCheckpoint(const SessionCheckpoint& checkpoint);
// `body` followed by its checksum line.
std::string SealCheckpoint(std::string body);
// Nothing when the bytes are not a whole, undamaged checkpoint.
std::optional<SessionCheckpoint> ParseCheckpoint(std::string_view bytes);

// Adds each pending session to its log, its totals built on the log's last
// session, unless it is that last session already, and writes the log. The
// current game's log gets it in memory (with changes not yet written, or as
// it is on disk now when another program changed it; see ChangeGameLog),
// numbered. Stops at the first failure; what is recorded leaves `pending`.
// The log is never created: a missing log fails with NotFound.
FsError RecordPending(FileSystem& fs, GameRecord& current, std::vector<PendingRecord>& pending);

// A finished session as a pending record; its totals are left empty and
// worked out when it goes into its log.
PendingRecord PendingFor(const Clock& clock, const FinishedSession& session, std::string_view comment);

// What was found at start-up.
struct Recovery {
    enum class Outcome {
        Nothing,   // no checkpoint
        Resumed,   // the game still runs: its session goes on (resume, processes)
        Recorded,  // the game is gone: its session was recorded up to the checkpoint
        Refused,   // damaged or pointing at a wrong log: removed, no log changed
        Kept,      // a log could not be written: the checkpoint stays for the next try
    };
    Outcome outcome = Outcome::Nothing;
    std::string logPath;                   // the game concerned (may be empty when Refused)
    std::optional<SessionProgress> resume;  // for Resumed
    std::vector<GameProcess> processes;     // for Resumed: those still running
    std::vector<PendingRecord> pending;     // for Kept: still to be recorded
};

// Deals with a checkpoint left over from an earlier run, from the library at
// `root`: records what had ended, then resumes the open session if one of
// its processes still runs (isRunning says so; it must check the creation
// time) or records it up to the checkpoint. The checkpoint file is removed,
// or rewritten with what is left to resume.
Recovery RecoverCheckpoint(FileSystem& fs, const Clock& clock, std::string_view root, GameRecord& current,
                           const std::function<bool(const GameProcess&)>& isRunning);

// When the checkpoint of an open session is written: at once for a start, a
// split and an end (WriteNow), at most every kMinIntervalMs for the changes in
// between (a front/back change, a progress snapshot), so a flood of inputs
// does not turn into a flood of flushes, and at least every kMaxIntervalMs.
class CheckpointSchedule {
public:
    static constexpr int64_t kMinIntervalMs = 5000;
    static constexpr int64_t kMaxIntervalMs = 60000;

    void Changed() { changed_ = true; }
    // True when a write is due at nowMs (unbiased clock).
    bool Due(int64_t nowMs) const;
    void Written(int64_t nowMs) {
        lastMs_ = nowMs;
        written_ = true;
        changed_ = false;
    }

private:
    bool written_ = false;
    bool changed_ = false;
    int64_t lastMs_ = 0;
};

}  // namespace kibolt
