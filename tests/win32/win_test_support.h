// Shared pieces of the window tests: a throw-away library folder, message
// pumping with a deadline, and real input through SendInput.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace kibolt::test {

// A library folder in the temp directory with "playing", "cleared" and
// "others" (unless told otherwise), removed again with everything in it.
class TempLibrary {
public:
    explicit TempLibrary(bool withFolders = true);
    ~TempLibrary();
    TempLibrary(const TempLibrary&) = delete;
    TempLibrary& operator=(const TempLibrary&) = delete;

    const std::string& Root() const { return root_; }           // CP932
    std::string ProgramPath() const { return root_ + "\\kibolt.exe"; }
    std::string CommandLine() const { return "\"" + ProgramPath() + "\""; }
    std::string IniPath() const { return root_ + "\\kibolt.ini"; }
    std::string Path(const std::string& relative) const { return root_ + "\\" + relative; }

    void MakeFolder(const std::string& relative) const;
    void WriteFile(const std::string& relative, const std::string& bytes) const;
    std::string ReadFile(const std::string& relative) const;  // empty when missing
    bool Exists(const std::string& relative) const;

private:
    std::string root_;
};

// Dispatches messages (through the dialog manager of `dialog` when given)
// until done() holds or timeoutMs passes. Returns done()'s last value.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000, HWND dialog = nullptr);
// Dispatches until WM_QUIT arrives; its exit code, or -1 on timeout.
int PumpUntilQuit(DWORD timeoutMs = 5000, HWND dialog = nullptr);
// Dispatches until nothing is queued for this thread: what was posted, sent
// or typed to it, the paints, and whatever handling those queued in turn.
void DispatchQueued(HWND dialog = nullptr);

// Tells when the inputs sent so far have passed the low-level hooks put in
// after it (the activity hook's thread), and everything those hooks posted to
// this thread has been handled. Make it before the hooks it is to wait for:
// the newest hook sees an input first. One at a time.
class InputFlush {
public:
    InputFlush();
    ~InputFlush();
    InputFlush(const InputFlush&) = delete;
    InputFlush& operator=(const InputFlush&) = delete;

    bool Installed() const { return hook_ != nullptr && window_ != nullptr; }
    bool Flush(HWND dialog = nullptr, DWORD timeoutMs = 5000);

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HHOOK hook_ = nullptr;
    HWND window_ = nullptr;  // message-only, on this thread
    bool markerSeen_ = false;
};

// Real mouse click at a point of a window's client area.
void ClickClient(HWND window, POINT client, bool right = false);
// The double-click time of the test process: two separate clicks of a test never
// make a double click (which would start a game).
inline constexpr UINT kTestDoubleClickMs = 1;

// Real double click (left button) at a point of a window's client area.
void DoubleClickClient(HWND window, POINT client);
// Real key press and release.
void PressKey(WORD virtualKey);
void KeyDown(WORD virtualKey);
void KeyUp(WORD virtualKey);

// Brings a top-level window to the foreground and waits until it is there.
bool BringToFront(HWND window);

// A Windows path for an environment variable that may hold a Unix path.
std::string WindowsPathFromEnv(const char* name);

}  // namespace kibolt::test
