#include "play/play_session.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "library/decimal.h"
#include "library/library_paths.h"
#include "library/one_line_text.h"
#include "library/time_text.h"

namespace kibolt {

namespace {

constexpr std::string_view kProgressFileName = "kibolt.tmp";

}  // namespace

void FillTotals(SessionFields& f, const SessionRecord* previous) {
    if (previous) {
        f[kTotalPlay] = AddDurations(previous->Field(kTotalPlay), f[kPlay]);
        f[kTotalActive] = AddDurations(previous->Field(kTotalActive), f[kActive]);
        f[kTotalInputs] = AddCounts(previous->Field(kTotalInputs), f[kInputs]);
    } else {
        f[kTotalPlay] = f[kPlay];
        f[kTotalActive] = f[kActive];
        f[kTotalInputs] = f[kInputs];
    }
}

namespace {

// Fields 0-7 of a session; the comment is left empty.
SessionFields MeasuredFields(const Clock& clock, const FinishedSession& s, const SessionRecord* previous) {
    SessionFields f;
    f[kStart] = FormatDateTime(clock.ToLocal(s.start));
    f[kEnd] = FormatDateTime(clock.ToLocal(s.end));
    f[kPlay] = FormatDuration(TruncateSeconds(s.playSeconds));
    f[kActive] = FormatDuration(TruncateSeconds(s.activeSeconds));
    f[kInputs] = FormatInt(s.inputCount);
    FillTotals(f, previous);
    return f;
}

bool SamePath(std::string_view a, std::string_view b) { return FoldAsciiCase(a) == FoldAsciiCase(b); }

}  // namespace

bool IsGameAt(const GameRecord& game, std::string_view logPath) {
    return !game.logPath.empty() && SamePath(game.logPath, logPath);
}

const SessionRecord* LastSession(const GameLogContent& log) {
    return log.sessions.empty() ? nullptr : &log.sessions.back();
}

SessionFields BuildSessionFields(const Clock& clock, const FinishedSession& session, const SessionRecord* previous,
                                 std::string_view comment) {
    SessionFields f = MeasuredFields(clock, session, previous);
    f[kComment] = OneLineText(comment);
    return f;
}

bool PlaySession::Begin(std::string logPath) {
    if (open_ || logPath.empty()) return false;
    const int64_t nowMs = clock_.UnbiasedMs();
    open_ = true;
    windowActive_ = true;
    logPath_ = std::move(logPath);
    start_ = clock_.Now();
    playBaseMs_ = 0;
    playSinceMs_ = nowMs;
    quietSinceMs_ = nowMs;
    activeMs_ = 0;
    openActiveMs_ = 0;
    inputCount_ = 0;
    return true;
}

std::string PlaySession::PlayTimeSoFar() const {
    if (!open_) return {};
    return FormatDuration(TruncateSeconds(static_cast<double>(PlayMsAt(clock_.UnbiasedMs())) / 1000.0));
}

bool PlaySession::Resume(const SessionProgress& progress) {
    if (open_ || progress.logPath.empty()) return false;
    const int64_t now = clock_.Now();
    const int64_t nowMs = clock_.UnbiasedMs();
    // The game still runs, so the computer has not restarted and the unbiased
    // clock goes on from the checkpoint; should it not, the wall clock stands in.
    int64_t awayMs = nowMs - progress.savedUnbiasedMs;
    if (awayMs < 0) awayMs = (now - progress.saved) * 1000;
    if (awayMs < 0) awayMs = 0;
    open_ = true;
    windowActive_ = true;
    logPath_ = progress.logPath;
    start_ = progress.start;
    playBaseMs_ = std::max<int64_t>(progress.playMs, 0) + awayMs;
    playSinceMs_ = nowMs;
    quietSinceMs_ = nowMs;
    activeMs_ = std::max<int64_t>(progress.activeMs, 0);
    openActiveMs_ = 0;
    inputCount_ = std::max<int32_t>(progress.inputCount, 0);
    return true;
}

FinishedSession PlaySession::Measure(int64_t now, int64_t nowMs, bool openInterval) const {
    const int64_t activeMs = openInterval ? ActiveMsAt(nowMs) : activeMs_;
    return {
        logPath_,   start_, now, static_cast<double>(PlayMsAt(nowMs)) / 1000.0, static_cast<double>(activeMs) / 1000.0,
        inputCount_};
}

int64_t PlaySession::PlayMsAt(int64_t nowMs) const { return playBaseMs_ + (nowMs - playSinceMs_); }

int64_t PlaySession::Counted(int64_t stretchMs) const {
    return idleLimitMs_ > 0 && stretchMs > idleLimitMs_ ? 0 : stretchMs;
}

// A stretch still open counts as it stands now: a checkpoint taken within it
// holds it only while it is within the limit.
int64_t PlaySession::ActiveMsAt(int64_t nowMs) const {
    return windowActive_ ? activeMs_ + openActiveMs_ + Counted(nowMs - quietSinceMs_) : activeMs_;
}

std::optional<SessionProgress> PlaySession::Progress() const {
    if (!open_) return std::nullopt;
    const int64_t nowMs = clock_.UnbiasedMs();
    return SessionProgress{logPath_, start_, PlayMsAt(nowMs), ActiveMsAt(nowMs), inputCount_, clock_.Now(), nowMs};
}

std::optional<FinishedSession> PlaySession::End() {
    if (!open_) return std::nullopt;
    FinishedSession s = Measure(clock_.Now(), clock_.UnbiasedMs(), true);
    open_ = false;
    logPath_.clear();
    return s;
}

std::optional<FinishedSession> PlaySession::Split() {
    if (!open_) return std::nullopt;
    const int64_t now = clock_.Now();
    const int64_t nowMs = clock_.UnbiasedMs();
    // The open active interval goes into the session recorded now: the next
    // session's interval starts now, so it would otherwise be counted nowhere.
    FinishedSession s = Measure(now, nowMs, true);
    start_ = now;
    playBaseMs_ = 0;
    playSinceMs_ = nowMs;
    quietSinceMs_ = nowMs;
    activeMs_ = 0;
    openActiveMs_ = 0;
    inputCount_ = 0;
    return s;
}

void PlaySession::FollowMove(std::string_view from, std::string to) {
    if (open_ && SamePath(logPath_, from)) logPath_ = std::move(to);
}

void PlaySession::WindowActivated() {
    if (!open_) return;
    quietSinceMs_ = clock_.UnbiasedMs();
    openActiveMs_ = 0;
    windowActive_ = true;
}

void PlaySession::WindowDeactivated() {
    if (!open_) return;
    const int64_t nowMs = clock_.UnbiasedMs();
    activeMs_ += openActiveMs_ + Counted(nowMs - quietSinceMs_);
    openActiveMs_ = 0;
    quietSinceMs_ = nowMs;
    windowActive_ = false;
}

bool PlaySession::CountInput() {
    // Outside a session there is nothing a snapshot could describe.
    if (!open_) return false;
    if (windowActive_) {
        // The stretch since the last input closes; the next one starts now.
        const int64_t nowMs = clock_.UnbiasedMs();
        openActiveMs_ += Counted(nowMs - quietSinceMs_);
        quietSinceMs_ = nowMs;
    }
    if (inputCount_ == std::numeric_limits<int32_t>::max()) return false;
    ++inputCount_;
    return inputCount_ % kInputsPerSnapshot == 0;
}

std::string PlaySession::ProgressLine(const SessionRecord* previous) const {
    if (!open_) return {};
    const FinishedSession s = Measure(clock_.Now(), clock_.UnbiasedMs(), false);
    const SessionFields f = MeasuredFields(clock_, s, previous);
    std::string line;
    for (int i = kStart; i <= kTotalActive; ++i) {
        line += f[i];
        line += ',';
    }
    line += f[kInputs];
    return line;
}

FinishedSession FinishedAt(const SessionProgress& p) {
    return {
        p.logPath,   p.start, p.saved, static_cast<double>(p.playMs) / 1000.0, static_cast<double>(p.activeMs) / 1000.0,
        p.inputCount};
}

std::string ProgressFilePath(std::string_view root) { return LibraryFilePath(root, kProgressFileName); }

FsError WriteProgressSnapshot(FileSystem& fs, std::string_view root, const PlaySession& session,
                              const GameRecord& current) {
    if (!session.IsOpen()) return FsError::None;
    GameLogContent fromDisk;
    const SessionRecord* previous = nullptr;
    if (IsGameAt(current, session.LogPath())) {
        previous = LastSession(current.log);
    } else if (ReadLogFile(fs, session.LogPath(), fromDisk) == FsError::None) {
        previous = LastSession(fromDisk);
    }
    // A display of progress, rewritten often: not worth a flush to disk (what
    // must survive a power cut is in the checkpoint).
    return fs.WriteNewFileUnflushed(ProgressFilePath(root), session.ProgressLine(previous));
}

}  // namespace kibolt
