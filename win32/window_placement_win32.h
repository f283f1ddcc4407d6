// Centring of windows in the work area or over their owner.
#pragma once
#include <windows.h>

namespace kibolt {

// Centres the window over its owner, or over the work area when the owner is
// missing, hidden or minimised; keeps it inside the work area. No resizing.
void CenterOverOwner(HWND window);
// The same over another window (one that does not own it).
void CenterOver(HWND window, HWND over);

}  // namespace kibolt
