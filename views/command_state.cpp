#include "views/command_state.h"

namespace kibolt {

CommandState StateOf(Command command, const CommandFacts& f) {
    switch (command) {
    case Command::StartGame:
        return {f.hasGame && !f.playing};  // one game at a time
    // A dialog waits for an answer: what comes from outside does not go past it.
    case Command::StartFromOutside: return {!f.playing && !f.dialogOpen};
    case Command::AddGame:
        return {!f.dialogOpen};  // also while a game is played
    // While a game is played its game stays current, and the table shows its log.
    case Command::PickGame:
    case Command::SwitchCategory:
    case Command::EditSessions: return {!f.playing};
    // The played game's log must stay where its session will be written.
    case Command::GameProperties:
    case Command::MoveGame:
    case Command::DeleteGame: return {f.hasGame && !f.currentIsPlaying};
    case Command::Chart:
    case Command::CreateShortcut: return {f.hasGame};
    case Command::DeleteSessions: return {f.hasGame && !f.playing};
    case Command::UndoDeletion: return {f.canUndo && !f.playing};
    case Command::CommentSession: return {f.hasGame && !f.playing};
    case Command::CloseBySlip: return {!f.playing};  // a slip during play must not end the recording
    case Command::AutoDetect: return {true, f.autoDetect};
    // The game being played keeps the front and its active time.
    case Command::ComeForward:
    case Command::TellRecorderNotice: return {!f.playing};
    // The user came to Kibolt during play: a message is no longer in the game's way.
    case Command::TellAboutStart: return {!f.playing || f.inFront};
    }
    return {};
}

}  // namespace kibolt
