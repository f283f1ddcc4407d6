// The "グラフ" window: a modeless, resizable window with the play-time chart
// of one game, the period buttons and the two copy buttons.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "history/chart_area_win32.h"
#include "history/play_chart.h"
#include "library/game_log.h"
#include "win32/dialog_object_win32.h"
#include "win32/dpi_win32.h"

namespace kibolt {

class ChartWindow {
public:
    explicit ChartWindow(HINSTANCE instance) : instance_(instance) {}
    ~ChartWindow();
    ChartWindow(const ChartWindow&) = delete;
    ChartWindow& operator=(const ChartWindow&) = delete;

    // Opens the window centred over `over`, or brings the open one to the
    // front, showing this game. False when the window could not be made.
    bool Show(HWND over, const std::string& title, const std::string& logPath,
              const std::vector<SessionRecord>& sessions);
    // The shown game's sessions changed (a recorded session, a deletion).
    void Update(const std::vector<SessionRecord>& sessions);
    // The shown game's log was moved or renamed.
    void FollowMove(const std::string& from, const std::string& to, const std::string& title);

    void Close() {
        if (window_) DestroyWindow(window_);
    }
    bool IsOpen() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    const std::string& LogPath() const { return logPath_; }
    PeriodKind Kind() const { return kind_; }
    ChartArea* Area() const;

private:
    friend INT_PTR CALLBACK DialogProcOf<ChartWindow>(HWND, UINT, WPARAM, LPARAM);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(int id, int code);
    void LayOut();
    void SetKind(PeriodKind kind);
    void Redraw();
    void SetCaption();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    std::string title_;
    std::string logPath_;
    SessionSpans spans_;
    PeriodKind kind_ = PeriodKind::Month;
    SmallestSize smallest_;
};

}  // namespace kibolt
