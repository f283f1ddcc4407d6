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
    void Fill(const std::vector<std::string>& titles);
    int RowCount() const;
    std::string Title(int row) const;

private:
    HWND list_ = nullptr;
};

}  // namespace kibolt
