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

bool SaveGameComment(LibraryState& state, const std::string& typed) {
    std::string text = GameCommentText(typed);  // as it will read back
    if (!state.HasGame() || state.Current().log.comment == text) return false;
    state.Current().log.comment = std::move(text);
    state.WriteGameLog();  // on failure the text stays in memory until the next load
    return true;
}

namespace {

// The reload renumbers; when it fails memory keeps the change, numbered here.
void ReloadOrRenumber(LibraryState& state) {
    if (state.Reload() == LoadResult::Loaded) return;
    for (size_t i = 0; i < state.Current().log.sessions.size(); ++i)
        state.Current().log.sessions[i].number = static_cast<int>(i) + 1;
}

}  // namespace

void DeleteSessions(LibraryState& state, const std::vector<int>& rows) {
    if (!state.HasGame()) return;
    std::vector<SessionRecord>& sessions = state.Current().log.sessions;
    SessionUndo undo{state.Current().logPath, {}, 0};
    std::vector<bool> doomed(sessions.size(), false);
    for (int row : rows)
        if (row >= 0 && static_cast<size_t>(row) < doomed.size()) doomed[static_cast<size_t>(row)] = true;
    for (size_t i = 0; i < doomed.size(); ++i)
        if (doomed[i]) undo.removed.emplace_back(i, sessions[i].Fields());
    RemoveSessions(state.Current().log, rows);
    undo.remaining = sessions.size();
    const bool written = state.WriteGameLog() == FsError::None;
    // A deletion of nothing leaves the undo of the one before.
    if (written && !undo.removed.empty()) state.SetSessionUndo(std::move(undo));
    ReloadOrRenumber(state);
}

bool UndoSessionDeletion(LibraryState& state) {
    if (!state.CanUndoSessionDeletion()) return false;
    SessionUndo undo = *state.TakeSessionUndo();
    GameLogContent& log = state.Current().log;
    const GameLogContent before = log;
    for (const auto& [place, fields] : undo.removed) {
        const size_t at = std::min(place, log.sessions.size());
        log.sessions.insert(log.sessions.begin() + static_cast<std::ptrdiff_t>(at), SessionRecord(fields));
    }
    RecomputeTotals(log.sessions);
    if (state.WriteGameLog() != FsError::None) {
        log = before;
        state.SetSessionUndo(std::move(undo));
        return false;
    }
    ReloadOrRenumber(state);
    return true;
}

bool SetSessionComment(LibraryState& state, int row, const std::string& text) {
    if (!state.HasGame() || row < 0 || static_cast<size_t>(row) >= state.Current().log.sessions.size())
        return false;
    state.Current().log.sessions[static_cast<size_t>(row)].SetField(kComment, text);
    state.ForgetSessionUndo(state.Current().logPath);
    state.WriteGameLog();
    state.Reload();
    return true;
}

}  // namespace kibolt
