#include "win32/posted_work_win32.h"

namespace kibolt {

UINT PostedWork::Message() {
    static const UINT message = RegisterWindowMessageW(L"Kibolt posted work");
    return message;
}

void PostedWork::Post(HWND window, std::function<void()> work) {
    queue_.push_back(std::move(work));
    if (!PostMessageW(window, Message(), 0, 0)) queue_.pop_back();  // the queue is full or the window gone
}

bool PostedWork::Run(UINT message) {
    if (message != Message() || message == 0) return false;
    if (queue_.empty()) return true;
    // Taken out first: the work may post more, or run a message loop that reaches here again.
    std::function<void()> work = std::move(queue_.front());
    queue_.pop_front();
    work();
    return true;
}

}  // namespace kibolt
