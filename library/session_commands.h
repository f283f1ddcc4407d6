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

// Each command below changes the game's log as it lies on disk now: when it
// was changed there since it was read (an editor, a second PC syncing the
// folder), it is read again and the change applied to what it holds. The
// result tells whether it was read again (the views then show other rows)
// and what failed; a log that cannot be read again is not written.

// Stores `text` (as GameCommentText keeps it) as the game's comment when it
// differs, and rewrites the log. Nothing happens without a loaded game.
LogChange SaveGameComment(LibraryState& state, const std::string& text);

// Deletes the sessions of the given rows, recomputes the totals, rewrites and
// reloads the log. Rows name the sessions shown; when the log was changed on
// disk, the session lines with the same text are removed where still there.
// Nothing happens without a loaded game. When sessions were removed and the
// log written, the deletion can be undone.
LogChange DeleteSessions(LibraryState& state, const std::vector<int>& rows);

// Puts the sessions of the last deletion back in the current game, each after
// the session that was kept just before it (found by its start, end and
// measures, wherever it is now), recomputes the totals, rewrites and reloads
// the log. A session that is in the log again (put back by another program)
// is not added twice. Nothing changes (changed false) without such a deletion
// for the current game. When the log cannot be read or written the undo stays
// for a later try.
LogChange UndoSessionDeletion(LibraryState& state);

// Replaces the comment of the session at `row`, rewrites and reloads the log.
// When the log was changed on disk, the comment goes to the first session
// line with the same text as that row's, if one is still there. Nothing is
// changed when no game is loaded or the row names no session (changed false).
// A comment that could not be written does not stay in memory.
LogChange SetSessionComment(LibraryState& state, int row, const std::string& text);

}  // namespace kibolt
