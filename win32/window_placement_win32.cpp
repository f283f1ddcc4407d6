#include "win32/window_placement_win32.h"

#include "library/placement.h"

namespace kibolt {

void CenterOverOwner(HWND window) { CenterOver(window, GetWindow(window, GW_OWNER)); }

void CenterOver(HWND window, HWND owner) {
    RECT work{}, rect{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &rect);
    Box area{work.left, work.top, work.right, work.bottom};
    Box over = area;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) {
        RECT ownerRect{};
        GetWindowRect(owner, &ownerRect);
        over = {ownerRect.left, ownerRect.top, ownerRect.right, ownerRect.bottom};
    }
    Point at = CenterInside(over, area, rect.right - rect.left, rect.bottom - rect.top);
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kibolt
