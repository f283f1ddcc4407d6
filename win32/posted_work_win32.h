// Work the window's own thread runs a little later, from its message loop:
// once a click or key is done with, once the window shows, once the dialog
// manager has scaled the controls. A closure, not a message number of its own.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>

namespace kibolt {

class PostedWork {
public:
    // The one registered message that says posted work waits.
    static UINT Message();

    // Only the window's own thread posts: the queue is not guarded.
    void Post(HWND window, std::function<void()> work);
    // For the window's procedure: runs the oldest work when message is the carrier; true then.
    bool Run(UINT message);
    // The window is going: work still queued is dropped.
    void Clear() { queue_.clear(); }

private:
    std::deque<std::function<void()>> queue_;
};

}  // namespace kibolt
