#include "play/session_recorder.h"

#include <algorithm>
#include <utility>

#include "library/library_paths.h"
#include "library/session_commands.h"

namespace kibolt {

namespace {

bool SamePath(std::string_view a, std::string_view b) { return FoldAsciiCase(a) == FoldAsciiCase(b); }

// Sessions alike in all but their totals. The comment counts: two "SaveNowTime"
// splits within one second differ only in it. A comment the user changes
// later is no trouble: a log's sessions are changed only while nothing of it
// waits and the checkpoint on disk holds nothing of it (ReadyToChange).
int32_t CountLike(const GameLogContent& log, const SessionRecord& session) {
    int32_t n = 0;
    for (const SessionRecord& s : log.sessions)
        if (SameSessionAndComment(s, session)) ++n;
    return n;
}

}  // namespace

SessionRecorder::SessionRecorder(FileSystem& fs, const Clock& clock, LibraryState& state)
    : fs_(fs), clock_(clock), state_(state), checkpointPath_(CheckpointFilePath(state.Root())), session_(clock) {}

bool SessionRecorder::NeedsTicks() const {
    return session_.IsOpen() || !pending_.empty() || !checkpointSaved_ || checkpointUnreadable_;
}

void SessionRecorder::Notify(RecorderNotice::Kind kind, const std::string& logPath, FsError error) {
    report_.notices.push_back({kind, logPath, error});
}

RecorderReport SessionRecorder::TakeReport() { return std::exchange(report_, {}); }

// ---- start-up

std::vector<GameProcess> SessionRecorder::Start(const IsRunning& isRunning) {
    std::vector<GameProcess> resumed;
    TakeOverCheckpoint(isRunning, resumed, true);
    lastRetryMs_ = clock_.UnbiasedMs();
    return resumed;
}

bool SessionRecorder::TakeOverCheckpoint(const IsRunning& isRunning, std::vector<GameProcess>& resumed, bool atStart) {
    std::string bytes;
    const FsError read = fs_.ReadFile(checkpointPath_, bytes);
    if (read == FsError::NotFound) {
        checkpointUnreadable_ = false;
        return true;
    }
    if (read != FsError::None) {
        // Held open by a scanner, say: what it holds is not lost by waiting.
        if (!checkpointUnreadable_) Notify(RecorderNotice::Kind::CheckpointUnreadable, {}, read);
        checkpointUnreadable_ = true;
        return false;
    }
    checkpointUnreadable_ = false;
    std::optional<SessionCheckpoint> c = ParseCheckpoint(bytes);
    if (!c) {
        (void)fs_.RemoveFile(checkpointPath_);
        Notify(RecorderNotice::Kind::Refused);
        checkpointSaved_ = false;
        SaveCheckpoint();  // what this run holds already
        return true;
    }
    const std::string& root = state_.Root();
    // A log moved to another tab while the program was not running is followed there.
    auto follow = [&](const std::string& path) {
        if (fs_.Exists(path)) return path;
        if (const std::optional<LogLocation> at = LocateLog(root, path))
            for (int k = 0; k < kCategoryCount; ++k)
                if (const std::optional<std::string> there = LogPath(root, static_cast<Category>(k), at->title);
                    there && fs_.Exists(*there))
                    return *there;
        return path;
    };
    std::vector<PendingRecord> taken;
    for (PendingRecord& r : c->pending) {
        if (!LocateLog(root, r.logPath)) {
            Notify(RecorderNotice::Kind::Refused, r.logPath);
            continue;
        }
        r.logPath = follow(r.logPath);
        taken.push_back(std::move(r));
    }
    std::string recordedLog;
    if (c->open && !LocateLog(root, c->open->logPath)) {
        Notify(RecorderNotice::Kind::Refused, c->open->logPath);
        c->open.reset();
    }
    if (c->open) {
        SessionProgress open = *c->open;
        open.logPath = follow(open.logPath);
        GameLogContent log;
        const FsError error = ReadLogFile(fs_, open.logPath, log);
        if (error == FsError::None && RecordedInFull(clock_, log, open)) {
            // Recorded before the checkpoint could be updated: nothing more to do.
        } else {
            std::vector<GameProcess> running;
            for (const GameProcess& g : c->processes)
                if (isRunning(g)) running.push_back(g);
            if (!running.empty() && !session_.IsOpen() && session_.Resume(open)) {
                processes_ = running;
                resumed = running;
                Notify(RecorderNotice::Kind::Resumed, open.logPath);
            } else if (open.playMs < 1000 && open.inputCount == 0) {
                // Nothing played yet: not a session. (One of them could not be told
                // apart from a split in the same second before it.)
            } else {
                PendingRecord r = PendingFor(clock_, FinishedAt(open), "");
                // Until its log can be read it may be the one recorded in full.
                if (error != FsError::None)
                    r.base = PendingRecord::kFromOpenSession;
                else
                    report_.ended.push_back(r);
                taken.push_back(std::move(r));
                recordedLog = open.logPath;
            }
        }
    }
    // The earlier run's sessions ended before any of this run.
    pending_.insert(pending_.begin(), taken.begin(), taken.end());
    // At start-up told below, as one; read later, told as this run's sessions are.
    for (size_t i = taken.size(); i-- > 0;) waiting_.insert(waiting_.begin(), Waiting{atStart, !taken[i].base});
    checkpointSaved_ = false;
    WritePending();
    if (!atStart) return true;
    std::string keptLog;
    bool recordedWaits = false;
    for (size_t i = 0; i < pending_.size(); ++i) {
        if (!waiting_[i].told) continue;
        if (keptLog.empty()) keptLog = pending_[i].logPath;
        if (SamePath(pending_[i].logPath, recordedLog)) recordedWaits = true;
    }
    if (!recordedLog.empty() && !recordedWaits) Notify(RecorderNotice::Kind::Recorded, recordedLog);
    if (!keptLog.empty()) Notify(RecorderNotice::Kind::Kept, keptLog);
    // Those written just now were never told to wait: no Written notice for them.
    std::erase_if(report_.notices, [](const RecorderNotice& n) { return n.kind == RecorderNotice::Kind::Written; });
    return true;
}

// ---- the open session

void SessionRecorder::GameReady(const std::string& logPath) {
    // A resumed session is open already.
    if (session_.Begin(logPath)) CheckpointChanged(true);
}

void SessionRecorder::GameNoticed(const SessionProgress& progress) {
    if (session_.Resume(progress)) CheckpointChanged(true);
}

void SessionRecorder::Input() {
    if (!session_.IsOpen()) return;
    if (session_.CountInput()) WriteProgress();
    // Each input, not only each 50th: the schedule keeps a flood of them from flooding the disk.
    CheckpointChanged(false);
}

void SessionRecorder::Front() {
    session_.WindowActivated();
    CheckpointChanged(false);
}

void SessionRecorder::Back() {
    session_.WindowDeactivated();
    CheckpointChanged(false);
}

void SessionRecorder::ProcessesChanged(std::vector<GameProcess> running) {
    if (!running.empty()) processes_ = std::move(running);
    // At once: a checkpoint naming only a launcher that has gone would end the session at a restart.
    if (session_.IsOpen()) CheckpointChanged(true);
}

void SessionRecorder::WriteProgress() { (void)WriteProgressSnapshot(fs_, state_.Root(), session_, state_.Current()); }

void SessionRecorder::Split(const std::string& comment) { EndSession(session_.Split(), comment); }

void SessionRecorder::GameEnded() {
    EndSession(session_.End(), "");
    processes_.clear();
}

void SessionRecorder::EndSession(std::optional<FinishedSession> finished, const std::string& comment) {
    if (finished) Record(*finished, comment);
}

void SessionRecorder::Record(const FinishedSession& finished, const std::string& comment) {
    pending_.push_back(PendingFor(clock_, finished, comment));
    waiting_.push_back({});
    report_.ended.push_back(pending_.back());
    checkpointSaved_ = false;
    // Into the checkpoint with its base before its log is written (see
    // WriteLog), so a crash in between neither loses the session nor records
    // it twice.
    WritePending();
}

void SessionRecorder::CheckpointChanged(bool now) {
    if (!session_.IsOpen()) return;
    schedule_.Changed();
    checkpointSaved_ = false;
    if (now || schedule_.Due(clock_.UnbiasedMs())) SaveCheckpoint();
}

void SessionRecorder::Tick() {
    if (checkpointUnreadable_) {
        std::vector<GameProcess> resumed;  // a session is open or was never: nothing to resume now
        TakeOverCheckpoint([](const GameProcess&) { return false; }, resumed, false);
    }
    const int64_t now = clock_.UnbiasedMs();
    if (!pending_.empty() && (now - lastRetryMs_ >= kRetryMs || now < lastRetryMs_)) {
        lastRetryMs_ = now;
        WritePending();
    }
    if ((session_.IsOpen() && schedule_.Due(now)) || !checkpointSaved_) SaveCheckpoint();
}

void SessionRecorder::Close() {
    EndSession(session_.End(), "");
    processes_.clear();
    WritePending();
    if (!checkpointSaved_) SaveCheckpoint();
}

// ---- writing

FsError SessionRecorder::SaveCheckpoint() {
    // A checkpoint that could not be read is not replaced: it may hold sessions.
    if (checkpointUnreadable_) return FsError::AccessDenied;
    SessionCheckpoint checkpoint;
    checkpoint.open = session_.Progress();
    if (checkpoint.open) checkpoint.processes = processes_;
    checkpoint.pending = pending_;
    FsError error;
    if (checkpoint.Empty()) {
        error = fs_.RemoveFile(checkpointPath_);
        if (error == FsError::NotFound) error = FsError::None;
    } else {
        error = WriteFileAtomically(fs_, checkpointPath_, SerializeCheckpoint(checkpoint));
    }
    checkpointSaved_ = error == FsError::None;
    if (checkpointSaved_)
        for (size_t i = 0; i < pending_.size(); ++i) waiting_[i].onDiskWithoutBase = !pending_[i].base;
    if (checkpointSaved_) {
        schedule_.Written(clock_.UnbiasedMs());
        checkpointFailTold_ = false;
    } else if (!checkpointFailTold_) {
        checkpointFailTold_ = true;
        Notify(RecorderNotice::Kind::CheckpointFailed, {}, error);
    }
    return error;
}

bool SessionRecorder::WritePending() {
    // Log by log in the order of their oldest session; one that fails holds up only its own.
    std::vector<std::string> logs;
    for (const PendingRecord& r : pending_)
        if (std::none_of(logs.begin(), logs.end(), [&](const std::string& l) { return SamePath(l, r.logPath); }))
            logs.push_back(r.logPath);
    const size_t before = pending_.size();
    for (const std::string& log : logs) {
        const FsError error = WriteLog(log);
        if (error == FsError::None) continue;
        bool untold = false;
        for (size_t i = 0; i < pending_.size(); ++i)
            if (SamePath(pending_[i].logPath, log) && !waiting_[i].told) {
                waiting_[i].told = true;
                untold = true;
            }
        if (untold) Notify(RecorderNotice::Kind::Waiting, log, error);
    }
    if (pending_.size() != before || !checkpointSaved_) SaveCheckpoint();
    return pending_.size() != before;
}

FsError SessionRecorder::WriteLog(const std::string& logPath) {
    GameRecord& current = state_.Current();
    const bool isCurrent = IsGameAt(current, logPath);
    GameLogContent local;
    GameLogContent* log = &local;
    if (isCurrent) {
        bool reloaded = false;
        const FsError error = CatchUpWithDisk(fs_, current, &reloaded);
        if (reloaded) report_.currentChanged = true;
        if (error != FsError::None) return error;
        log = &current.log;
    } else if (const FsError error = ReadLogFile(fs_, logPath, local); error != FsError::None) {
        return error;  // a log that is gone is never made anew
    }

    const size_t shown = log->sessions.size();
    std::vector<size_t> mine;  // indexes into pending_, oldest first
    for (size_t i = 0; i < pending_.size(); ++i)
        if (SamePath(pending_[i].logPath, logPath)) mine.push_back(i);
    std::vector<size_t> newlyBased;
    std::vector<size_t> fromOpen;  // recovered open sessions found not yet recorded
    std::vector<bool> done(mine.size(), false);
    for (size_t k = 0; k < mine.size(); ++k) {
        PendingRecord& r = pending_[mine[k]];
        const SessionRecord own = SessionRecord::FromLine(r.line);
        if (r.base == PendingRecord::kBeforeBases) {
            const SessionRecord* last = LastSession(*log);
            if (last && SameSessionAndComment(*last, own)) {
                done[k] = true;
                continue;
            }
            r.base.reset();
        }
        if (r.base == PendingRecord::kFromOpenSession) {
            // Recorded in full by the run that ended: among the sessions the log held, not those added now.
            const auto held = log->sessions.begin() + static_cast<std::ptrdiff_t>(shown);
            if (std::any_of(log->sessions.begin(), held,
                            [&](const SessionRecord& s) { return CoversSession(s, own); })) {
                done[k] = true;
                continue;
            }
            r.base.reset();
            fromOpen.push_back(mine[k]);
        }
        const int32_t like = CountLike(*log, own);
        if (r.base && like > *r.base) {
            done[k] = true;  // written before, the checkpoint not updated since
            continue;
        }
        if (!r.base) {
            r.base = like;
            newlyBased.push_back(mine[k]);
        }
        SessionFields f = own.Fields();
        FillTotals(f, LastSession(*log));
        AppendSession(*log, f);
        log->sessions.back().number = static_cast<int>(log->sessions.size());
    }
    // Takes out those in the log now; the user hears once of those that were told to wait.
    auto settle = [&] {
        bool told = false;
        for (size_t k = mine.size(); k-- > 0;) {
            if (!done[k]) continue;
            told = told || waiting_[mine[k]].told;
            pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(mine[k]));
            waiting_.erase(waiting_.begin() + static_cast<std::ptrdiff_t>(mine[k]));
            checkpointSaved_ = false;  // the file still holds it
        }
        if (told) Notify(RecorderNotice::Kind::Written, logPath);
    };
    if (log->sessions.size() == shown) {
        settle();
        return FsError::None;
    }
    // The bases go to disk before the log: a crash after its write then finds the sessions there.
    FsError error = FsError::None;
    if (!newlyBased.empty()) {
        checkpointSaved_ = false;
        // Not saved: the log is written all the same, unless the file holds one of
        // them without its base, which the next start would add again. Without
        // them in it, the file holds at most the open session they came from,
        // which start-up finds recorded in full.
        const bool saved = SaveCheckpoint() == FsError::None;
        if (!saved && std::any_of(mine.begin(), mine.end(), [&](size_t i) { return waiting_[i].onDiskWithoutBase; })) {
            error = FsError::AccessDenied;
            for (size_t i : newlyBased) pending_[i].base.reset();
        }
        // On disk with their bases, recovered sessions are sessions from now on, written or not.
        if (saved) {
            for (size_t i : fromOpen) report_.ended.push_back(pending_[i]);
            fromOpen.clear();
        }
    }
    if (error == FsError::None) error = isCurrent ? WriteGameLogOf(fs_, current) : WriteLogFile(fs_, logPath, local);
    if (error != FsError::None) {
        // Memory keeps showing the log as it is on disk: a session not in it
        // could not be commented or deleted by its row.
        log->sessions.resize(shown);
        // Until written, they are still measured against what their log holds.
        for (size_t i : fromOpen) pending_[i].base = PendingRecord::kFromOpenSession;
        settle();
        return error;
    }
    if (isCurrent) report_.currentChanged = true;
    report_.libraryChanged = true;
    for (size_t i : fromOpen) report_.ended.push_back(pending_[i]);
    std::fill(done.begin(), done.end(), true);
    settle();  // which marks the checkpoint as behind
    return FsError::None;
}

// ---- the user's edits

LogChange SessionRecorder::DeleteSessions(const std::vector<int>& rows) {
    if (!state_.HasGame()) return {};
    // A session written since the checkpoint was last saved is still pending
    // there: deleted now, the next start would add it again.
    if (!ReadyToChange(state_.Current().logPath)) {
        Notify(RecorderNotice::Kind::EditRefused, state_.Current().logPath);
        report_.currentChanged = true;
        return {};
    }
    const LogChange change = kibolt::DeleteSessions(state_, rows);
    report_.currentChanged = true;
    if (change.changed && change.Ok()) report_.libraryChanged = true;
    return change;
}

LogChange SessionRecorder::CommentSession(int row, const std::string& text) {
    if (!state_.HasGame()) return {};
    // A session still pending in the checkpoint under its old comment would be added again.
    if (!ReadyToChange(state_.Current().logPath)) {
        Notify(RecorderNotice::Kind::EditRefused, state_.Current().logPath);
        report_.currentChanged = true;
        return {};
    }
    const LogChange change = kibolt::SetSessionComment(state_, row, text);
    report_.currentChanged = true;
    return change;
}

LogChange SessionRecorder::UndoDeletion() {
    const LogChange change = kibolt::UndoSessionDeletion(state_);
    report_.currentChanged = true;
    if (change.changed && change.Ok()) report_.libraryChanged = true;
    return change;
}

bool SessionRecorder::ReadyToChange(const std::string& logPath) {
    auto waits = [&] {
        return std::any_of(pending_.begin(), pending_.end(),
                           [&](const PendingRecord& r) { return SamePath(r.logPath, logPath); });
    };
    if (waits()) WriteLog(logPath);
    if (!checkpointSaved_) SaveCheckpoint();
    // A checkpoint not yet read may hold sessions of that log too.
    return !waits() && checkpointSaved_ && !checkpointUnreadable_;
}

void SessionRecorder::GameMoved(const std::string& from, const std::string& to) {
    session_.FollowMove(from, to);
    for (PendingRecord& r : pending_)
        if (SamePath(r.logPath, from)) r.logPath = to;
    checkpointSaved_ = false;
    SaveCheckpoint();
}

}  // namespace kibolt
