// The measures of a play session (start, active time, inputs) and how they
// become the nine fields of a session line and the progress snapshot. Driven
// from the main thread only: the game's start, its end and the hook's
// notifications all arrive there as messages.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "library/clock.h"
#include "library/file_system.h"
#include "library/game_log.h"
#include "library/library_state.h"

namespace kibolt {

using SessionFields = std::array<std::string, kSessionFieldCount>;

// Every this many inputs of a session, a progress snapshot is due.
inline constexpr int32_t kInputsPerSnapshot = 50;

// What a session that has ended measured. Start and end are wall-clock
// stamps and give the texts of fields 0 and 1; play and active time come from
// the unbiased clock, so sleep and clock changes are not in them and end
// minus start may differ from the play time.
struct FinishedSession {
    std::string logPath;  // the log of the game that was played
    int64_t start = 0;
    int64_t end = 0;
    double playSeconds = 0;
    double activeSeconds = 0;
    int32_t inputCount = 0;
};

// The measures of an open session at one moment, to be carried over a restart
// of the program.
struct SessionProgress {
    std::string logPath;
    int64_t start = 0;     // wall-clock stamp of the session's start
    int64_t playMs = 0;    // up to `saved`
    int64_t activeMs = 0;  // up to `saved`, an open active interval included (idle time left out)
    int32_t inputCount = 0;
    int64_t saved = 0;            // wall-clock stamp of the moment
    int64_t savedUnbiasedMs = 0;  // the unbiased clock at that moment
    bool operator==(const SessionProgress&) const = default;
};

// Fields 0-8 of a finished session. The totals build on `previous`, the last
// session of the same game; without one they are copies of the session's own
// values. Line breaks and the end-of-file byte in the comment become blanks,
// as they would end the session line (or the whole log) when read back.
SessionFields BuildSessionFields(const Clock& clock, const FinishedSession& session, const SessionRecord* previous,
                                 std::string_view comment);
// Fields 3, 5 and 7 (the totals) from fields 2, 4 and 6 and `previous`.
void FillTotals(SessionFields& fields, const SessionRecord* previous);

// True when `game` is loaded from the log at logPath (paths compared as the system does).
bool IsGameAt(const GameRecord& game, std::string_view logPath);
const SessionRecord* LastSession(const GameLogContent& log);

class PlaySession {
public:
    explicit PlaySession(const Clock& clock) : clock_(clock) {}

    bool IsOpen() const { return open_; }
    // Idle time: with a limit above 0, a stretch in front without input
    // longer than the limit (from the last input, or from the moment the
    // window came to the front, to the next input or the window leaving the
    // front) is left out of active time. 0 counts all time in front. It
    // applies from now on, to the stretch already open too.
    void SetIdleLimit(int64_t ms) { idleLimitMs_ = ms > 0 ? ms : 0; }
    int64_t IdleLimit() const { return idleLimitMs_; }
    // The log of the game being played; empty when no session is open.
    const std::string& LogPath() const { return logPath_; }

    // Opens a session of the game whose log lies at logPath: it starts now,
    // with the game's window taken as active. False, changing nothing, when a
    // session is already open (one game at a time) or logPath is empty.
    bool Begin(std::string logPath);

    // Closes the session now, counting an open active interval, and returns
    // its measures. Nothing when no session is open.
    std::optional<FinishedSession> End();

    // "SaveNowTime": returns the session up to now (an open active interval
    // counted up to now) and opens the next one now with no inputs and no
    // active time; the window stays as active or inactive as it was, and a
    // stretch without input starts anew.
    // Nothing, and nothing changes, when no session is open.
    std::optional<FinishedSession> Split();

    // The play time of the open session up to now, as its play time field
    // will read ("000:12:34"); empty when no session is open.
    std::string PlayTimeSoFar() const;

    // Opens the session again as `progress` left it, after the program was
    // ended while the game ran on: the time since then counts as play time
    // but not as active time, and the window is taken as active from now
    // (a stretch without input starts then).
    // False, changing nothing, when a session is open or the log path is empty.
    bool Resume(const SessionProgress& progress);

    // The open session measured up to now; nothing when none is open.
    std::optional<SessionProgress> Progress() const;

    // The played game's log was moved or renamed from `from` to `to`.
    void FollowMove(std::string_view from, std::string to);

    // The hook's notifications; each is ignored while no session is open.
    // A second activation in a row restarts the active interval; a second
    // deactivation in a row adds the time since the first one.
    void WindowActivated();
    void WindowDeactivated();
    // Counts one input; true when a progress snapshot is due.
    bool CountInput();

    // The progress snapshot of the open session up to now, without line end:
    // start, now, play time, its total, active time, its total, inputs. Only
    // closed active intervals count. `previous` as for BuildSessionFields.
    // Empty when no session is open.
    std::string ProgressLine(const SessionRecord* previous) const;

private:
    // The session up to the given wall stamp and unbiased time; with
    // openInterval, an active interval still open is counted up to then.
    FinishedSession Measure(int64_t now, int64_t nowMs, bool openInterval) const;
    // Play and active time up to nowMs on the unbiased clock, an open active interval included.
    int64_t PlayMsAt(int64_t nowMs) const;
    int64_t ActiveMsAt(int64_t nowMs) const;
    // A stretch in front without input, as it counts towards active time.
    int64_t Counted(int64_t stretchMs) const;

    const Clock& clock_;
    bool open_ = false;
    bool windowActive_ = false;
    std::string logPath_;
    int64_t start_ = 0;         // wall clock
    int64_t playBaseMs_ = 0;    // play time before playSinceMs_ (time from before a restart)
    int64_t playSinceMs_ = 0;   // unbiased clock
    int64_t quietSinceMs_ = 0;  // unbiased clock: the last input, or when the window came to the front
    int64_t activeMs_ = 0;      // closed active intervals
    int64_t openActiveMs_ = 0;  // the open active interval's stretches closed by inputs, as they count
    int64_t idleLimitMs_ = 0;
    int32_t inputCount_ = 0;
};

// The session as it stood at `progress`: ended at its moment.
FinishedSession FinishedAt(const SessionProgress& progress);

// LibraryRoot + "\kibolt.tmp".
std::string ProgressFilePath(std::string_view root);

// Writes the progress snapshot of the open session to the progress file,
// with the totals of the played game's log (its log in memory when it is
// `current`, else as it is on disk).
FsError WriteProgressSnapshot(FileSystem& fs, std::string_view root, const PlaySession& session,
                              const GameRecord& current);

}  // namespace kibolt
