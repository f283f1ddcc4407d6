#include "play/session_checkpoint.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

#include "library/library_paths.h"
#include "library/time_text.h"

namespace kibolt {

namespace {

// Version 2 adds pending_base; a version 1 file from before still reads.
constexpr std::string_view kHeader = "Kibolt session checkpoint 2";
constexpr std::string_view kHeaderVersion1 = "Kibolt session checkpoint 1";

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

// Only a line end cannot be in a value: a comment may hold a TAB or other
// control characters, and the checksum catches damage.
bool HasLineEnd(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

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
        if (r.base) put("pending_base", std::to_string(*r.base));
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
    bool version1 = false;
    size_t at = 0;
    while (at < body.size()) {
        const size_t end = body.find('\n', at);
        const std::string_view line = body.substr(at, end - at);
        at = end + 1;
        if (first) {
            if (line != kHeader && line != kHeaderVersion1) return std::nullopt;
            version1 = line == kHeaderVersion1;
            first = false;
            continue;
        }
        const size_t space = line.find(' ');
        if (space == std::string_view::npos) return std::nullopt;
        const std::string_view key = line.substr(0, space), value = line.substr(space + 1);
        if (HasLineEnd(value)) return std::nullopt;
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
            c.pending.push_back({std::move(*pendingLog), std::string(value), std::nullopt});
            pendingLog.reset();
            continue;
        } else if (key == "pending_base") {
            int32_t base = 0;
            if (c.pending.empty() || c.pending.back().base || !ParseNumber(value, base) ||
                base < PendingRecord::kBeforeBases)
                return std::nullopt;
            c.pending.back().base = base;
            continue;
        } else {
            return std::nullopt;  // not a key of this version
        }
        if (!ok) return std::nullopt;
        ++sessionKeys;
    }
    if (first || pendingLog) return std::nullopt;
    if (version1)
        for (PendingRecord& r : c.pending) r.base = PendingRecord::kBeforeBases;
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
    return {session.logPath, std::string(SessionRecord(f).Line()), std::nullopt};
}

bool CoversSession(const SessionRecord& recorded, const SessionRecord& part) {
    auto count = [](std::string_view text) {
        int64_t n = -1;
        if (std::from_chars(text.data(), text.data() + text.size(), n).ec != std::errc()) return int64_t{-1};
        return n;
    };
    return recorded.Field(kStart) == part.Field(kStart) &&
           DurationSeconds(recorded.Field(kPlay)) >= DurationSeconds(part.Field(kPlay)) &&
           DurationSeconds(recorded.Field(kActive)) >= DurationSeconds(part.Field(kActive)) &&
           count(recorded.Field(kInputs)) >= count(part.Field(kInputs));
}

bool RecordedInFull(const Clock& clock, const GameLogContent& log, const SessionProgress& open) {
    const SessionRecord part = SessionRecord::FromLine(PendingFor(clock, FinishedAt(open), "").line);
    return std::any_of(log.sessions.begin(), log.sessions.end(),
                       [&](const SessionRecord& s) { return CoversSession(s, part); });
}

bool CheckpointSchedule::Due(int64_t nowMs) const {
    if (!written_) return true;
    const int64_t since = nowMs - lastMs_;
    if (since < 0) return true;  // a clock that went back: better one write too many
    return since >= kMaxIntervalMs || (changed_ && since >= kMinIntervalMs);
}

}  // namespace kibolt
