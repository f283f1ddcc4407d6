// The checkpoint of an open play session: a small file beside the program
// that lets a session outlive the program being ended by force (a crash, the
// task manager, a power cut). It holds the open session's measures, the
// game's processes, and the sessions that have ended but are not yet known
// to be in their logs.
//
// A session is never recorded twice: before its log is written the session is
// put into the checkpoint as pending, together with how many sessions like it
// (same start, end, play and active time, inputs) the log held before it went
// in. A log that holds more of them than that already has it. So a crash after
// the log was written and before the checkpoint was updated changes nothing on
// the next start; the recorder (session_recorder.h) keeps that order.
#pragma once
#include <cstdint>
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
    // How many sessions like it its log held before it was first added; none
    // before the first try. kFromOpenSession: recovered from an open session
    // whose log could not be read, so not yet known to be apart from one that
    // was recorded in full before the checkpoint could be updated.
    std::optional<int32_t> base;
    static constexpr int32_t kFromOpenSession = -1;
    // From a checkpoint of before the bases were kept: written already when
    // it is its log's last session.
    static constexpr int32_t kBeforeBases = -2;
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

// A finished session as a pending record; its totals are left empty and
// worked out when it goes into its log.
PendingRecord PendingFor(const Clock& clock, const FinishedSession& session, std::string_view comment);

// True when `recorded` is the whole session that `part` is a moment of: the
// same start and at least its play and active time and inputs.
bool CoversSession(const SessionRecord& recorded, const SessionRecord& part);

// True when `log` holds the session that `open` was a moment of: one with its
// start and at least its play and active time and inputs. Such a session was
// recorded in full after the checkpoint was written and before it could be
// updated again.
bool RecordedInFull(const Clock& clock, const GameLogContent& log, const SessionProgress& open);

// When the checkpoint of an open session is written: at once for a start, a
// resume, a change of the game's processes, a split and an end (the recorder
// does not ask the schedule for those), at most every kMinIntervalMs for the
// changes in between (an input, a front/back change), so a flood of inputs
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
