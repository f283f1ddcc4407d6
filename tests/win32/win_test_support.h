// Shared pieces of the window tests: a throw-away library folder, message
// pumping with a deadline, and real input through SendInput.
#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

// Real mouse move to a point of a window's client area.
void MoveMouseTo(HWND window, POINT client);

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

// ---- Windows of a thread, and acting inside a modal loop ----

// The first window of the thread, in z order, for which match holds; null when none.
HWND FindThreadWindow(DWORD threadId, const std::function<bool(HWND)>& match);
// A visible dialog of this thread with an owner (so not the main window):
// with that caption, or owned by that window.
HWND FindDialog(const std::string& caption);
HWND FindDialogOwnedBy(HWND owner);
// The popup menu shown by this thread, if any.
HWND FindMenu();

// Steps run one per tick of a thread timer, so they run inside whatever modal
// loop the thread is in. WM_TIMER comes only when nothing else is queued, so
// what a step posted has been handled when the next step runs. Steps post;
// they never send what would open another modal loop.
class ModalScript {
public:
    using Step = std::function<bool()>;  // true when done, false to be asked again

    ModalScript& Then(Step step) {
        steps_.push_back(std::move(step));
        return *this;
    }
    // Calls open, which returns when the modal loop it starts has ended. At the
    // deadline every owned dialog and the menu are closed, so a test fails
    // instead of hanging.
    void Run(const std::function<void()>& open, DWORD timeoutMs = 15000);
    bool Finished() const { return next_ == steps_.size(); }
    size_t StepsDone() const { return next_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);

    static ModalScript* current_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    ULONGLONG deadline_ = 0;
    bool busy_ = false;
    bool timedOut_ = false;
};

// Steps shared by the tests.
ModalScript::Step WaitForDialog(const std::string& caption, HWND& dialog);
ModalScript::Step WaitUntilClosed(const HWND& window);
ModalScript::Step Do(std::function<void()> action);

// The clipboard as another program sees it. Opening waits (pumping) until no
// other window holds it.
bool OpenClipboardSoon();
// The bytes of a format before its first NUL; nullopt when the format is
// missing or its block holds no NUL (a text without its terminator).
std::optional<std::string> ClipboardBytes(UINT format);
std::optional<std::wstring> ClipboardUnicode();

}  // namespace kibolt::test
