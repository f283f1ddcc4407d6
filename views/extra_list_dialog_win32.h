// The resizable window listing every session of the current game with all
// nine data columns, whatever the session table hides.
#pragma once
#include <windows.h>

#include <vector>

#include "library/game_log.h"
#include "views/session_table_win32.h"
#include "win32/dialog_object_win32.h"

namespace kibolt {

class ExtraListDialog {
public:
    // Runs the dialog modally over owner; `sessions` is what it shows first.
    static void Run(HINSTANCE instance, HWND owner, const std::vector<SessionRecord>* sessions,
                    ExtraListDialog** openDialog);

    // Shows another state of the sessions (while the dialog is open).
    void Refill(const std::vector<SessionRecord>* sessions) {
        list_.Show(sessions);
        list_.FitNumberColumn();
    }
    HWND Window() const { return window_; }
    SessionListView& List() { return list_; }

private:
    friend INT_PTR CALLBACK DialogProcOf<ExtraListDialog>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void FillClientArea();
    int ListWidth() const;

    HWND window_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;  // the DPI the columns are laid out at
    SessionListView list_;
    const std::vector<SessionRecord>* initial_ = nullptr;
    ExtraListDialog** openDialog_ = nullptr;  // set while the dialog is open
};

}  // namespace kibolt
