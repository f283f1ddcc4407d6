// What the timing programs share: milliseconds between two readings of the
// performance counter, and handling what is queued as the program would.
#pragma once
#include <windows.h>

#include "win32/dialog_object_win32.h"

namespace kibolt::timing {

inline double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Keys go through the dialog they are typed in, as the program's loop sends
// them; nothing is translated into characters, as these programs type no text.
inline void DrainMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        HWND dialog = DialogOf(message.hwnd);
        if (!dialog || !IsDialogMessageW(dialog, &message)) DispatchMessageW(&message);
    }
}

}  // namespace kibolt::timing
