// Whether each of the main window's commands may run now, decided in one
// place from a few facts: the menus, the locked controls, the keys, the close
// path and the starts from outside all ask here.
#pragma once

namespace kibolt {

enum class Command {
    StartGame,         // "起動", Enter or a double click on the game list
    StartFromOutside,  // a later start's "--play", a game noticed running
    AddGame,           // "新しいゲームを登録", "NewFile", a dropped file
    PickGame,          // the game list, a game shown from "統計"
    SwitchCategory,    // the tabs, Ctrl+Tab
    GameProperties,
    MoveGame,  // to any of the three tabs
    DeleteGame,
    Chart,
    CreateShortcut,
    EditSessions,    // the session table: select, comment
    DeleteSessions,  // the selected ones; with none, the totals are worked out again
    UndoDeletion,
    CommentSession,
    CloseBySlip,  // Esc and the dialog's own close; "終了" and the close box always end Kibolt
    AutoDetect,   // the check item "起動を自動で記録"
    // Not commands of the user's, but the same kind of question:
    ComeForward,         // a later start of Kibolt brings this window to the front
    TellAboutStart,      // a message about a later start shows now, rather than held
    TellRecorderNotice,  // what the recorder has to say shows now, rather than held
};

struct CommandFacts {
    bool hasGame = false;           // a game is current
    bool playing = false;           // a game is being played (started here, followed or noticed)
    bool currentIsPlaying = false;  // the current game is the one being played
    bool canUndo = false;           // sessions deleted last can be put back
    bool dialogOpen = false;        // a dialog or message box holds the main window
    bool inFront = false;           // the main window is the foreground window
    bool autoDetect = false;        // the option is on
};

struct CommandState {
    bool enabled = true;
    bool checked = false;
};

CommandState StateOf(Command command, const CommandFacts& facts);

}  // namespace kibolt
