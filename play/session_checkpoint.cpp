#include "play/session_checkpoint.h"

#include <charconv>
#include <cstdio>
#include <utility>

#include "library/library_paths.h"

namespace kibolt {

namespace {

constexpr std::string_view kHeader = "Kibolt session checkpoint 1";

// FNV-1a over the bytes: catches a damaged or cut file, not tampering.
uint32_t Checksum(std::string_view bytes) {
    uint32_t hash = 2166136261u;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 16777619u;
    }
    return hash;
}

std::string Hex8(uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", value);
    return text;
}

template <typename T>
bool ParseNumber(std::string_view text, T& value) {
    if (text.empty() || text.size() > 20) return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool HasControlCharacter(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

// The session's own fields (no totals) of a line.
bool SameOwnFields(const SessionRecord& a, const SessionRecord& b) {
    for (int k : {kStart, kEnd, kPlay, kActive, kInputs, kComment})
        if (a.Field(k) != b.Field(k)) return false;
    return true;
}

}  // namespace

std::string CheckpointFilePath(std::string_view root) { return LibraryFilePath(root, kCheckpointFileName); }

std::string SerializeCheckpoint(const SessionCheckpoint& c) {
    std::string text(kHeader);
    text += '\n';
    auto put = [&](std::string_view key, const std::string& value) {
        text += key;
        text += ' ';
        text += value;
        text += '\n';
    };
    if (c.open) {
        const SessionProgress& p = *c.open;
        put("log", p.logPath);
        put("start", std::to_string(p.start));
        put("play_ms", std::to_string(p.playMs));
        put("active_ms", std::to_string(p.activeMs));
        put("inputs", std::to_string(p.inputCount));
        put("saved", std::to_string(p.saved));
        put("saved_unbiased_ms", std::to_string(p.savedUnbiasedMs));
        for (const GameProcess& g : c.processes) put("process", std::to_string(g.id) + ' ' + std::to_string(g.created));
    }
    for (const PendingRecord& r : c.pending) {
        put("pending_log", r.logPath);
        put("pending_line", r.line);
    }
    return SealCheckpoint(std::move(text));
}

std::string SealCheckpoint(std::string body) {
    body += "check " + Hex8(Checksum(body)) + '\n';
    return body;
}

std::optional<SessionCheckpoint> ParseCheckpoint(std::string_view bytes) {
    // The checksum line ends the file; everything before it is what it covers.
    if (bytes.empty() || bytes.back() != '\n') return std::nullopt;
    const size_t lastStart = bytes.rfind('\n', bytes.size() - 2);
    if (lastStart == std::string_view::npos) return std::nullopt;
    const std::string_view body = bytes.substr(0, lastStart + 1);
    const std::string_view last = bytes.substr(lastStart + 1, bytes.size() - lastStart - 2);
    if (last != "check " + Hex8(Checksum(body))) return std::nullopt;

    SessionCheckpoint c;
    SessionProgress p;
    int sessionKeys = 0;
    std::optional<std::string> pendingLog;
    bool first = true;
    size_t at = 0;
    while (at < body.size()) {
        const size_t end = body.find('\n', at);
        const std::string_view line = body.substr(at, end - at);
        at = end + 1;
        if (first) {
            if (line != kHeader) return std::nullopt;
            first = false;
            continue;
        }
        const size_t space = line.find(' ');
        if (space == std::string_view::npos) return std::nullopt;
        const std::string_view key = line.substr(0, space), value = line.substr(space + 1);
        if (HasControlCharacter(value)) return std::nullopt;
        if (pendingLog && key != "pending_line") return std::nullopt;  // a log without its line
        bool ok = true;
        if (key == "log") {
            ok = p.logPath.empty() && !value.empty();
            p.logPath = value;
        } else if (key == "start") {
            ok = ParseNumber(value, p.start);
        } else if (key == "play_ms") {
            ok = ParseNumber(value, p.playMs) && p.playMs >= 0;
        } else if (key == "active_ms") {
            ok = ParseNumber(value, p.activeMs) && p.activeMs >= 0;
        } else if (key == "inputs") {
            ok = ParseNumber(value, p.inputCount) && p.inputCount >= 0;
        } else if (key == "saved") {
            ok = ParseNumber(value, p.saved);
        } else if (key == "saved_unbiased_ms") {
            ok = ParseNumber(value, p.savedUnbiasedMs);
        } else if (key == "process") {
            const size_t blank = value.find(' ');
            GameProcess g;
            ok = blank != std::string_view::npos && ParseNumber(value.substr(0, blank), g.id) &&
                 ParseNumber(value.substr(blank + 1), g.created) && g.id != 0;
            if (!ok) return std::nullopt;
            c.processes.push_back(g);
            continue;
        } else if (key == "pending_log") {
            if (value.empty()) return std::nullopt;
            pendingLog = std::string(value);
            continue;
        } else if (key == "pending_line") {
            if (!pendingLog) return std::nullopt;
            c.pending.push_back({std::move(*pendingLog), std::string(value)});
            pendingLog.reset();
            continue;
        } else {
            return std::nullopt;  // not a key of this version
        }
        if (!ok) return std::nullopt;
        ++sessionKeys;
    }
    if (first || pendingLog) return std::nullopt;
    // The session's keys come all together, each once, or not at all.
    if (sessionKeys == 7) {
        if (p.activeMs > p.playMs) return std::nullopt;
        c.open = std::move(p);
    } else if (sessionKeys != 0 || !c.processes.empty()) {
        return std::nullopt;
    }
    return c;
}

PendingRecord PendingFor(const Clock& clock, const FinishedSession& session, std::string_view comment) {
    SessionFields f = BuildSessionFields(clock, session, nullptr, comment);
    // The totals are worked out when the line goes into its log, from the log's last session then.
    f[kTotalPlay].clear();
    f[kTotalActive].clear();
    f[kTotalInputs].clear();
    return {session.logPath, std::string(SessionRecord(f).Line())};
}

FsError RecordPending(FileSystem& fs, GameRecord& current, std::vector<PendingRecord>& pending) {
    while (!pending.empty()) {
        const SessionRecord own = SessionRecord::FromLine(pending.front().line);
        const std::string& logPath = pending.front().logPath;
        // Added after the log's last session, its totals built on it, unless
        // that is this session already (recorded before a crash); false then.
        auto append = [&own](GameLogContent& log) {
            const SessionRecord* last = LastSession(log);
            if (last && SameOwnFields(*last, own)) return false;
            SessionFields f = own.Fields();
            FillTotals(f, last);
            AppendSession(log, f);
            log.sessions.back().number = static_cast<int>(log.sessions.size());
            return true;
        };
        FsError error = FsError::None;
        if (IsGameAt(current, logPath)) {
            // Onto the log as it is on disk now, with the changes not yet
            // written; written even when the session is there, since an
            // earlier write of it may have failed.
            const LogChange change = ChangeGameLog(fs, current, [&append](GameLogContent& log) {
                append(log);
                return true;
            });
            error = change.readError != FsError::None ? change.readError : change.writeError;
        } else {
            GameLogContent log;
            error = ReadLogFile(fs, logPath, log);
            if (error == FsError::None && append(log)) error = WriteLogFile(fs, logPath, log);
        }
        if (error != FsError::None) return error;
        pending.erase(pending.begin());
    }
    return FsError::None;
}

Recovery RecoverCheckpoint(FileSystem& fs, const Clock& clock, std::string_view root, GameRecord& current,
                           const std::function<bool(const GameProcess&)>& isRunning) {
    Recovery result;
    const std::string path = CheckpointFilePath(root);
    std::string bytes;
    const FsError read = fs.ReadFile(path, bytes);
    if (read == FsError::NotFound) return result;
    std::optional<SessionCheckpoint> c;
    if (read == FsError::None) c = ParseCheckpoint(bytes);
    auto refuse = [&](std::string logPath) {
        (void)fs.RemoveFile(path);
        result.outcome = Recovery::Outcome::Refused;
        result.logPath = std::move(logPath);
        return result;
    };
    if (!c) return refuse("");
    // Every log it names must be a game's log of this library that exists.
    std::vector<std::string> logs;
    if (c->open) logs.push_back(c->open->logPath);
    for (const PendingRecord& r : c->pending) logs.push_back(r.logPath);
    for (const std::string& log : logs)
        if (!LocateLog(root, log) || !fs.Exists(log)) return refuse(log);
    result.logPath = logs.empty() ? std::string() : logs.front();
    if (c->Empty()) {
        (void)fs.RemoveFile(path);
        return result;
    }

    // A session still open whose game has gone ends at the checkpoint.
    std::vector<GameProcess> running;
    if (c->open)
        for (const GameProcess& g : c->processes)
            if (isRunning(g)) running.push_back(g);
    if (c->open && running.empty()) {
        c->pending.push_back(PendingFor(clock, FinishedAt(*c->open), ""));
        c->open.reset();
        c->processes.clear();
        // First into the checkpoint, so a crash during the log's write cannot add it twice.
        if (WriteFileAtomically(fs, path, SerializeCheckpoint(*c)) != FsError::None) {
            result.outcome = Recovery::Outcome::Kept;
            result.pending = c->pending;
            return result;
        }
    }
    const bool hadPending = !c->pending.empty();
    const FsError recorded = RecordPending(fs, current, c->pending);
    if (c->open) {
        result.outcome = Recovery::Outcome::Resumed;
        result.resume = c->open;
        result.processes = running;
        c->processes = running;
    } else {
        result.outcome = recorded == FsError::None ? Recovery::Outcome::Recorded : Recovery::Outcome::Kept;
    }
    result.pending = c->pending;
    if (c->Empty())
        (void)fs.RemoveFile(path);
    else if (hadPending || c->open)
        (void)WriteFileAtomically(fs, path, SerializeCheckpoint(*c));
    return result;
}

bool CheckpointSchedule::Due(int64_t nowMs) const {
    if (!written_) return true;
    const int64_t since = nowMs - lastMs_;
    if (since < 0) return true;  // a clock that went back: better one write too many
    return since >= kMaxIntervalMs || (changed_ && since >= kMinIntervalMs);
}

}  // namespace kibolt
