// The list of the shown category's games: one column, one row per log.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace kibolt {

class GameListView {
public:
    void Attach(HWND list) { list_ = list; }
    HWND Window() const { return list_; }

    // The single column "名前", as wide as the list less its edges.
    void SetUpColumn();
    // Its width again, after the list changed size or DPI.
    void FitColumn();
    void Fill(const std::vector<std::string>& titles);
    int RowCount() const;
    std::string Title(int row) const;
    // The row of a title (ASCII letters in any case, as file names match), or -1.
    int RowOf(const std::string& title) const;
    int SelectedRow() const;  // -1 when none
    // Selects and focuses the row and scrolls it into view; -1 selects nothing.
    void Select(int row);

private:
    HWND list_ = nullptr;
};

}  // namespace kibolt
