#include "views/main_window_layout.h"

#include <algorithm>
#include <array>

#include "resources/resource_ids.h"

namespace kibolt {

namespace {

constexpr Follow N = Follow::None, T = Follow::Table, A = Follow::All;

constexpr std::array kAnchors = {
    // The tabs span the window under every other control.
    ControlAnchor{IDC_TAB, N, N, A, A},
    // The game list grows downwards; the session table to the right and by its
    // share of the height; the comment field lies under it and takes the rest.
    ControlAnchor{IDC_GAME_LIST, N, N, N, A},
    ControlAnchor{IDC_SESSION_TABLE, N, N, A, T},
    ControlAnchor{IDC_GAME_COMMENT, N, T, A, A},
    // The unlabelled copy box just left of the comment field goes with it.
    ControlAnchor{IDC_COPY_SPARE_BIT17, N, T, N, T},
    // The rest stays where the dialog has it: the top row, the detail panel,
    // the display boxes above the table, and the copy boxes and group boxes
    // in the left column beside the game list.
    ControlAnchor{IDC_NEW_FILE, N, N, N, N},
    ControlAnchor{IDC_SAVE_NOW_TIME, N, N, N, N},
    ControlAnchor{IDC_NOW_COMMENT, N, N, N, N},
    ControlAnchor{IDC_DETAIL_TITLE, N, N, N, N},
    ControlAnchor{IDC_PLAY_STATUS, N, N, N, N},
    ControlAnchor{IDC_COPY, N, N, N, N},
    ControlAnchor{IDC_EXTRA, N, N, N, N},
    ControlAnchor{IDC_COPY_SETTING, N, N, N, N},
    ControlAnchor{IDC_DETAIL_PLAY, N, N, N, N},
    ControlAnchor{IDC_DETAIL_ACTIVE, N, N, N, N},
    ControlAnchor{IDC_DETAIL_INPUTS, N, N, N, N},
    ControlAnchor{IDC_DETAIL_SESSION_COUNT, N, N, N, N},
    ControlAnchor{IDC_DETAIL_TOTAL_PLAY, N, N, N, N},
    ControlAnchor{IDC_DETAIL_TOTAL_ACTIVE, N, N, N, N},
    ControlAnchor{IDC_DETAIL_TOTAL_INPUTS, N, N, N, N},
    ControlAnchor{IDC_VIEW_START, N, N, N, N},
    ControlAnchor{IDC_VIEW_END, N, N, N, N},
    ControlAnchor{IDC_VIEW_PLAY, N, N, N, N},
    ControlAnchor{IDC_VIEW_TOTAL, N, N, N, N},
    ControlAnchor{IDC_VIEW_ACTIVE, N, N, N, N},
    ControlAnchor{IDC_VIEW_TOTAL_ACTIVE, N, N, N, N},
    ControlAnchor{IDC_VIEW_INPUTS, N, N, N, N},
    ControlAnchor{IDC_VIEW_TOTAL_INPUTS, N, N, N, N},
    ControlAnchor{IDC_VIEW_COMMENT, N, N, N, N},
    ControlAnchor{IDC_COPY_SPARE_BIT0, N, N, N, N},
    ControlAnchor{IDC_COPY_HEADER_TOTAL_PLAY, N, N, N, N},
    ControlAnchor{IDC_COPY_HEADER_COUNT, N, N, N, N},
    ControlAnchor{IDC_COPY_SPARE_BIT3, N, N, N, N},
    ControlAnchor{IDC_COPY_HEADER_TOTAL_ACTIVE, N, N, N, N},
    ControlAnchor{IDC_COPY_HEADER_TOTAL_INPUTS, N, N, N, N},
    ControlAnchor{IDC_COPY_SPARE_BIT6, N, N, N, N},
    ControlAnchor{IDC_COPY_ONLY_COMMENTED, N, N, N, N},
    ControlAnchor{IDC_COPY_COMMENT, N, N, N, N},
    ControlAnchor{IDC_COPY_START, N, N, N, N},
    ControlAnchor{IDC_COPY_END, N, N, N, N},
    ControlAnchor{IDC_COPY_PLAY, N, N, N, N},
    ControlAnchor{IDC_COPY_ACTIVE, N, N, N, N},
    ControlAnchor{IDC_COPY_INPUTS, N, N, N, N},
    ControlAnchor{IDC_COPY_TOTAL_PLAY, N, N, N, N},
    ControlAnchor{IDC_COPY_TOTAL_ACTIVE, N, N, N, N},
    ControlAnchor{IDC_COPY_TOTAL_INPUTS, N, N, N, N},
    ControlAnchor{IDC_STATIC, N, N, N, N},
};

int Shift(Follow follow, int all, int table) {
    switch (follow) {
    case Follow::None: return 0;
    case Follow::Table: return table;
    case Follow::All: return all;
    }
    return 0;
}

}  // namespace

std::span<const ControlAnchor> MainWindowAnchors() { return kAnchors; }

const ControlAnchor* MainWindowAnchor(int id) {
    const auto found =
        std::find_if(kAnchors.begin(), kAnchors.end(), [id](const ControlAnchor& a) { return a.id == id; });
    return found == kAnchors.end() ? nullptr : &*found;
}

int TableShare(int dy) { return dy * 2 / 3; }

Box LaidOut(const ControlAnchor& anchor, const Box& start, int dx, int dy) {
    dx = std::max(dx, 0);  // never smaller than the dialog's own size
    dy = std::max(dy, 0);
    const int table = TableShare(dy);
    return {start.left + Shift(anchor.left, dx, table), start.top + Shift(anchor.top, dy, table),
            start.right + Shift(anchor.right, dx, table), start.bottom + Shift(anchor.bottom, dy, table)};
}

}  // namespace kibolt
