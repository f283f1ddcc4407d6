#include "win32/message_loop_win32.h"

#include "win32/dialog_object_win32.h"

namespace kibolt {

void DispatchThreadMessage(MSG& message) {
    if (HWND dialog = DialogOf(message.hwnd); dialog && IsDialogMessageW(dialog, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

int RunMessageLoop() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchThreadMessage(message);
    return static_cast<int>(message.wParam);
}

}  // namespace kibolt
