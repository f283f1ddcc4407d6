// What the timing programs share: milliseconds between two readings of the
// performance counter, and handling what is queued as the program would.
#pragma once
#include <windows.h>

#include "win32/message_loop_win32.h"

namespace kibolt::timing {

inline double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Messages handled as the program's own loop handles them (win32/message_loop_win32.h).
inline void DrainMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchThreadMessage(message);
}

}  // namespace kibolt::timing
