// How Kibolt handles a message taken from its thread's queue: one way for the
// program's loop and for everything that pumps messages in its stead.
#pragma once
#include <windows.h>

namespace kibolt {

// Keys go to the dialog manager of the dialog they are typed in (the main
// window or one of the modeless ones), which first offers them to the main
// window's key filter; the rest is translated and dispatched. Kibolt has no
// accelerator table.
void DispatchThreadMessage(MSG& message);

// Handles messages until WM_QUIT; its exit code.
int RunMessageLoop();

}  // namespace kibolt
