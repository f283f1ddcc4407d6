// The recording of play sessions: the open session, the sessions that have
// ended and are not yet in their logs, the checkpoint that carries both over
// a program that was ended by force, and the order in which files are written.
// The window forwards what happens (the game is ready, an input, a split, the
// game ended, a tick, the user's edits of a log, close) and shows what the
// recorder reports; every decision about what is written lives here.
//
// What it keeps, whatever fails and whenever the program is ended:
// - a session that ended is added to its log once: it is put into the
//   checkpoint as pending (with how many sessions like it the log held) before
//   the log is written, and taken out only after;
// - a log that cannot be written holds up only its own sessions, not those of
//   other games or the open session;
// - a session the user deleted never comes back: a deletion waits until the
//   checkpoint on disk holds no session already written;
// - the user is told once when a session waits to be written, and once when
//   it has been.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "library/clock.h"
#include "library/file_system.h"
#include "library/library_state.h"
#include "play/game_process.h"
#include "play/play_session.h"
#include "play/session_checkpoint.h"

namespace kibolt {

// Something the user is to be told.
struct RecorderNotice {
    enum class Kind {
        Waiting,               // a session could not be written to its log; it waits (error)
        Written,               // a session that was waiting is now in its log
        CheckpointFailed,      // the checkpoint could not be written (error); told once until it can
        CheckpointUnreadable,  // start-up: kibolt.checkpoint is there but could not be read; kept, tried again
        Resumed,               // start-up: the game played when the program ended still runs
        Recorded,              // start-up: the session of a game that has gone was recorded
        Kept,                  // start-up: sessions of an earlier run wait to be written
        Refused,               // start-up: the checkpoint was damaged or named a log outside the library
        EditRefused,           // a deletion or comment was not done: the log's sessions still wait, or
                               // the checkpoint could not be brought up to date
    };
    Kind kind;
    std::string logPath;  // the log concerned, where there is one
    FsError error = FsError::None;
    bool operator==(const RecorderNotice&) const = default;
};

// What changed with the last events, for the window to show.
struct RecorderReport {
    bool currentChanged = false;  // the current game's sessions changed in memory: refresh its views
    bool libraryChanged = false;  // a log was written: the statistics read the library again
    std::vector<RecorderNotice> notices;
    std::vector<PendingRecord> ended;  // the sessions that ended, to be recorded (totals still empty)
};

class SessionRecorder {
public:
    using IsRunning = std::function<bool(const GameProcess&)>;

    // `state` holds the current game, whose log in memory is kept as on disk.
    SessionRecorder(FileSystem& fs, const Clock& clock, LibraryState& state);

    // Start-up: deals with a checkpoint left over by an earlier run. Sessions
    // that had ended are written; the open one is resumed when one of its
    // processes still runs (isRunning must check the creation time), else
    // recorded up to the checkpoint. The processes to follow, for Resumed.
    std::vector<GameProcess> Start(const IsRunning& isRunning);

    bool IsOpen() const { return session_.IsOpen(); }
    const PlaySession& Session() const { return session_; }
    size_t PendingCount() const { return pending_.size(); }
    // The checkpoint file holds what memory holds.
    bool CheckpointSaved() const { return checkpointSaved_; }
    const std::vector<PendingRecord>& Pending() const { return pending_; }
    // Ticks are wanted while a session is open or anything waits to be written.
    bool NeedsTicks() const;

    // The game started for the log at logPath takes input: its session begins now.
    void GameReady(const std::string& logPath);
    // A game started elsewhere was found running: its session opens as one
    // carried over a restart does, from `progress` (its start, the play time
    // since then); GameReady then finds it open.
    void GameNoticed(const SessionProgress& progress);
    // Idle time left out of active time (see PlaySession::SetIdleLimit); 0 = none.
    void SetIdleLimit(int64_t ms) { session_.SetIdleLimit(ms); }
    void Input();
    void Front();
    void Back();
    // The game's processes as the launcher now sees them.
    void ProcessesChanged(std::vector<GameProcess> running);
    // "SaveNowTime": the session up to now is recorded with `comment`, the next begins.
    void Split(const std::string& comment);
    void GameEnded();
    // A session that ended, measured elsewhere: recorded as GameEnded records one.
    void Record(const FinishedSession& finished, const std::string& comment);
    // About once a second: the checkpoint when due, a retry of waiting sessions every 30 s.
    void Tick();
    // The program closes, or Windows ends the user's session: the open session
    // is recorded up to now and everything waiting is tried once more.
    void Close();

    // The user's edits of the current game's log (see session_commands.h). A
    // deletion or a comment is refused (nothing changes, an EditRefused
    // notice) unless ReadyToChange: a session pending in the checkpoint would
    // otherwise come back, or be added again beside its commented copy.
    LogChange DeleteSessions(const std::vector<int>& rows);
    LogChange CommentSession(int row, const std::string& text);
    LogChange UndoDeletion();

    // Before a log's sessions are deleted or commented, or the log is moved,
    // renamed or sent to the Recycle Bin: its waiting sessions are tried once
    // more. False while any of them still waits, or the checkpoint on disk may
    // still hold one of them (it could not be saved, or not yet read): the log
    // and its sessions must stay as they are to be written once (a checkpoint
    // naming a path that is gone would hold them for ever).
    bool ReadyToChange(const std::string& logPath);
    // A game's log was moved or renamed: an open session follows it.
    void GameMoved(const std::string& from, const std::string& to);

    // What happened since the last call.
    RecorderReport TakeReport();

    // The retry of waiting sessions, in milliseconds of the unbiased clock.
    static constexpr int64_t kRetryMs = 30000;

private:
    struct Waiting {
        bool told = false;               // the user was told it waits
        bool onDiskWithoutBase = false;  // the checkpoint file holds it without its base
    };
    void EndSession(std::optional<FinishedSession> finished, const std::string& comment);
    // Writes every waiting session it can, log by log; true when one was written.
    bool WritePending();
    // Tries the sessions of one log; the error that stopped them.
    FsError WriteLog(const std::string& logPath);
    // Writes the checkpoint as memory holds it (removes it when empty).
    FsError SaveCheckpoint();
    void CheckpointChanged(bool now);
    // Start-up's reading of a checkpoint left over; false when it could not be read.
    // atStart: at start-up, rather than once a checkpoint that could not be read can be.
    bool TakeOverCheckpoint(const IsRunning& isRunning, std::vector<GameProcess>& resumed, bool atStart);
    void Notify(RecorderNotice::Kind kind, const std::string& logPath = {}, FsError error = FsError::None);
    void WriteProgress();

    FileSystem& fs_;
    const Clock& clock_;
    LibraryState& state_;
    std::string checkpointPath_;
    PlaySession session_;
    std::vector<GameProcess> processes_;  // the open session's, as last known
    std::vector<PendingRecord> pending_;  // oldest first
    std::vector<Waiting> waiting_;        // beside pending_
    CheckpointSchedule schedule_;
    bool checkpointSaved_ = true;  // the file holds what memory holds
    bool checkpointFailTold_ = false;
    bool checkpointUnreadable_ = false;  // left alone until it can be read
    int64_t lastRetryMs_ = 0;
    RecorderReport report_;
};

}  // namespace kibolt
