// Centring of windows in the work area or over their owner.
#pragma once
#include <windows.h>

namespace kibolt {

// Centres the window over its owner, or over the work area when the owner is
// missing, hidden or minimised; keeps it inside the work area. No resizing.
void CenterOverOwner(HWND window);

}  // namespace kibolt
