#include "library/session_commands.h"

#include <algorithm>

#include "library/time_text.h"

namespace kibolt {

void RecomputeTotals(std::vector<SessionRecord>& sessions) {
    for (size_t i = 0; i < sessions.size(); ++i) {
        SessionRecord& s = sessions[i];
        if (i == 0) {
            // Copies of the session's own values, whatever their form.
            s.SetField(kTotalPlay, std::string(s.Field(kPlay)));
            s.SetField(kTotalActive, std::string(s.Field(kActive)));
            s.SetField(kTotalInputs, std::string(s.Field(kInputs)));
            continue;
        }
        const SessionRecord& previous = sessions[i - 1];
        s.SetField(kTotalPlay, AddDurations(previous.Field(kTotalPlay), s.Field(kPlay)));
        s.SetField(kTotalActive, AddDurations(previous.Field(kTotalActive), s.Field(kActive)));
        s.SetField(kTotalInputs, AddCounts(previous.Field(kTotalInputs), s.Field(kInputs)));
    }
}

void RemoveSessions(GameLogContent& log, const std::vector<int>& rows) {
    std::vector<bool> doomed(log.sessions.size(), false);
    for (int row : rows)
        if (row >= 0 && static_cast<size_t>(row) < doomed.size()) doomed[static_cast<size_t>(row)] = true;
    size_t kept = 0;
    for (size_t i = 0; i < log.sessions.size(); ++i)
        if (!doomed[i]) {
            if (kept != i) log.sessions[kept] = std::move(log.sessions[i]);
            ++kept;
        }
    log.sessions.resize(kept);
    RecomputeTotals(log.sessions);
}

LogChange SaveGameComment(LibraryState& state, const std::string& typed) {
    if (!state.HasGame()) return {};
    const std::string text = GameCommentText(typed);  // as it will read back
    // On failure the text stays in memory until the next load.
    return state.ChangeLog([&](GameLogContent& log) {
        if (log.comment == text) return false;
        log.comment = text;
        return true;
    });
}

namespace {

// The reload renumbers; when it fails memory keeps the change, numbered here.
void ReloadOrRenumber(LibraryState& state) {
    if (state.Reload() == LoadResult::Loaded) return;
    for (size_t i = 0; i < state.Current().log.sessions.size(); ++i)
        state.Current().log.sessions[i].number = static_cast<int>(i) + 1;
}

// The row of the session whose line is `line`: the row it was shown at when
// that still holds it (two sessions may have the same line), else the first
// from `from` on; -1 when none.
int FindSessionLine(const std::vector<SessionRecord>& sessions, const std::string& line, size_t shownAt,
                    size_t from = 0) {
    if (shownAt >= from && shownAt < sessions.size() && sessions[shownAt].Line() == line)
        return static_cast<int>(shownAt);
    for (size_t i = from; i < sessions.size(); ++i)
        if (sessions[i].Line() == line) return static_cast<int>(i);
    return -1;
}

}  // namespace

LogChange DeleteSessions(LibraryState& state, const std::vector<int>& rows) {
    if (!state.HasGame()) return {};
    const std::vector<SessionRecord>& shown = state.Current().log.sessions;
    std::vector<int> ordered;
    for (int row : rows)
        if (row >= 0 && static_cast<size_t>(row) < shown.size()) ordered.push_back(row);
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    std::vector<std::string> lines;  // the doomed lines by their text, in file order
    for (int row : ordered) lines.emplace_back(shown[static_cast<size_t>(row)].Line());

    SessionUndo undo{state.Current().logPath, {}, {}, 0};
    const LogChange change = state.ChangeLog([&](GameLogContent& log) {
        // Each doomed line takes the first like line after the previous one: the rows shown
        // when nothing changed on disk, the same lines where still there when it did.
        std::vector<int> found;
        size_t from = 0;
        for (size_t k = 0; k < lines.size(); ++k) {
            const int at = FindSessionLine(log.sessions, lines[k], static_cast<size_t>(ordered[k]), from);
            if (at < 0) continue;
            found.push_back(at);
            from = static_cast<size_t>(at) + 1;
        }
        if (found.empty() && !lines.empty()) return false;
        for (size_t k = 0; k < found.size(); ++k) {
            const size_t at = static_cast<size_t>(found[k]);
            undo.removed.emplace_back(at, log.sessions[at].Fields());
            const bool afterRemoved = k > 0 && found[k - 1] + 1 == found[k];
            undo.after.push_back(at == 0 || afterRemoved ? std::nullopt
                                                         : std::optional<std::string>(log.sessions[at - 1].Line()));
        }
        RemoveSessions(log, found);
        undo.remaining = log.sessions.size();
        return true;
    });
    // A deletion of nothing leaves the undo of the one before.
    if (change.changed && change.Ok() && !undo.removed.empty()) state.SetSessionUndo(std::move(undo));
    ReloadOrRenumber(state);
    return change;
}

LogChange UndoSessionDeletion(LibraryState& state) {
    if (!state.CanUndoSessionDeletion()) return {};
    SessionUndo undo = *state.TakeSessionUndo();
    const GameLogContent before = state.Current().log;
    const LogChange change = state.ChangeLog([&](GameLogContent& log) {
        bool added = false;
        size_t next = 0;      // where the session after the last one put back goes
        size_t inserted = 0;  // how many are back so far
        for (size_t k = 0; k < undo.removed.size(); ++k) {
            const auto& [place, fields] = undo.removed[k];
            const SessionRecord session(fields);
            // Back already (another program put it there): not twice.
            if (std::any_of(log.sessions.begin(), log.sessions.end(),
                            [&](const SessionRecord& s) { return SameSessionAndComment(s, session); }))
                continue;
            size_t at = 0;
            if (k > 0 && undo.removed[k - 1].first + 1 == place) {
                at = next;  // right after the one before it, which was deleted with it
            } else if (undo.after[k]) {
                const SessionRecord anchor = SessionRecord::FromLine(*undo.after[k]);
                // The like session nearest the place it had after the deletion: with
                // its comment as it was, else one commented since.
                // Where it goes when nothing changed since: those before it are back already.
                const size_t hint = place - (k - inserted);
                const size_t anchorAt = hint - 1;  // where the session before it then is
                auto distance = [anchorAt](size_t i) { return i > anchorAt ? i - anchorAt : anchorAt - i; };
                std::optional<size_t> found;
                for (const bool sameComment : {true, false}) {
                    for (size_t i = 0; i < log.sessions.size(); ++i)
                        if (SameSession(log.sessions[i], anchor) &&
                            (!sameComment || log.sessions[i].Field(kComment) == anchor.Field(kComment)) &&
                            (!found || distance(i) < distance(*found)))
                            found = i;
                    if (found) break;
                }
                at = found ? *found + 1 : std::min(hint, log.sessions.size());
            }
            at = std::min(at, log.sessions.size());
            log.sessions.insert(log.sessions.begin() + static_cast<std::ptrdiff_t>(at), session);
            next = at + 1;
            added = true;
            ++inserted;
        }
        if (added) RecomputeTotals(log.sessions);
        return added;
    });
    if (change.changed && change.Ok()) {
        ReloadOrRenumber(state);
        return change;
    }
    if (!change.Ok()) {
        if (change.writeError != FsError::None && !change.reloaded) state.Current().log = before;
        if (change.writeError != FsError::None && change.reloaded) ReloadOrRenumber(state);
        state.SetSessionUndo(std::move(undo));  // it can be tried again
    }
    return change;
}

LogChange SetSessionComment(LibraryState& state, int row, const std::string& text) {
    if (!state.HasGame() || row < 0 || static_cast<size_t>(row) >= state.Current().log.sessions.size()) return {};
    const std::string line(state.Current().log.sessions[static_cast<size_t>(row)].Line());
    const LogChange change = state.ChangeLog([&](GameLogContent& log) {
        const int at = FindSessionLine(log.sessions, line, static_cast<size_t>(row));
        if (at < 0) return false;
        log.sessions[static_cast<size_t>(at)].SetField(kComment, text);
        return true;
    });
    // Not written: memory goes back to the log as it is, so the comment the
    // user was told is not saved is not written by a later change either.
    if (change.Ok() || change.writeError != FsError::None) ReloadOrRenumber(state);
    return change;
}

}  // namespace kibolt
