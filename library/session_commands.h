// The commands that change the current game's sessions or comment: each
// changes memory, rewrites the game's own log and, where it renumbers, reloads.
#pragma once
#include <string>
#include <vector>

#include "library/game_log.h"
#include "library/library_state.h"

namespace kibolt {

// Rebuilds fields 3, 5 and 7 of every session from fields 2, 4 and 6.
void RecomputeTotals(std::vector<SessionRecord>& sessions);

// Removes the sessions at the given 0-based rows (any order; rows outside
// the sequence are ignored) and recomputes the totals.
void RemoveSessions(GameLogContent& log, const std::vector<int>& rows);

// Stores `text` as the game's comment when it differs, and rewrites the log.
// Nothing happens without a loaded game. True when the log was rewritten.
bool SaveGameComment(LibraryState& state, const std::string& text);

// Deletes the sessions of the given rows, recomputes the totals, rewrites and
// reloads the log. Nothing happens without a loaded game. When sessions were
// removed and the log written, the deletion can be undone.
void DeleteSessions(LibraryState& state, const std::vector<int>& rows);

// Puts the sessions of the last deletion back at their places in the current
// game, recomputes the totals, rewrites and reloads the log. False (nothing
// changed) when there is no such deletion for the current game's log, or the
// log could not be written (the undo then stays possible).
bool UndoSessionDeletion(LibraryState& state);

// Replaces the comment of the session at `row`, rewrites and reloads the log.
// False (and nothing changed) when no game is loaded or the row names no session.
bool SetSessionComment(LibraryState& state, int row, const std::string& text);

}  // namespace kibolt
