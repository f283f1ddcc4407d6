// Shared pieces of the window tests: a throw-away library folder, message
// pumping with a deadline, and real input through SendInput.
#pragma once
#include <windows.h>

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kibolt::test {

// A library folder in the temp directory with "playing", "cleared" and
// "others" (unless told otherwise), removed again with everything in it.
class TempLibrary {
public:
    explicit TempLibrary(bool withFolders = true);
    // The library is the folder "kibolt" inside a folder of that name, which
    // may hold characters code page 932 cannot.
    explicit TempLibrary(std::wstring_view parentName);
    ~TempLibrary();
    TempLibrary(const TempLibrary&) = delete;
    TempLibrary& operator=(const TempLibrary&) = delete;

    const std::string& Root() const { return root_; }  // CP932, for a folder it can name
    std::string ProgramPath() const { return root_ + "\\kibolt.exe"; }
    std::string CommandLine() const { return "\"" + ProgramPath() + "\""; }
    std::string IniPath() const { return root_ + "\\kibolt.ini"; }
    std::string Path(const std::string& relative) const { return root_ + "\\" + relative; }
    // The same as the system names them.
    const std::wstring& WideRoot() const { return wideRoot_; }
    std::wstring WidePath(const std::string& relative) const;
    std::wstring WideCommandLine() const { return L"\"" + WidePath("kibolt.exe") + L"\""; }

    // Files and folders under the library (relative paths in CP932).
    void MakeFolder(const std::string& relative) const;
    void WriteFile(const std::string& relative, const std::string& bytes) const;
    std::string ReadFile(const std::string& relative) const;  // empty when missing
    bool Exists(const std::string& relative) const;

    // A file's size and time of last write, taken without opening it.
    struct Stamp {
        bool exists = false;
        ULONGLONG size = 0;
        ULONGLONG written = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp StampOf(const std::string& relative) const;
    // Waits (pumping) until holds() is true of the file's bytes, reading them
    // only when its stamp differs from the last one read (from `seen` at first,
    // when given). A file held open cannot be replaced, under wine whatever its
    // share mode: a read just as Kibolt writes would put that write off to its
    // next try, half a minute later.
    bool WaitForFile(const std::string& relative, const std::function<bool(const std::string&)>& holds, DWORD timeoutMs,
                     std::optional<Stamp> seen = std::nullopt) const;

private:
    std::wstring top_;  // what the destructor removes
    std::wstring wideRoot_;
    std::string root_;
};

// Dispatches messages (as the program's loop does while `dialog` is open,
// plainly otherwise) until done() holds or timeoutMs passes. Returns done()'s last value.
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
// The first top-level window of any process for which match holds; null when none.
HWND FindTopLevelWindow(const std::function<bool(HWND)>& match);
// A visible dialog of this thread with an owner (so not the main window):
// with that caption, or owned by that window.
HWND FindDialog(const std::string& caption);
HWND FindDialogOwnedBy(HWND owner);
// The popup menu shown by this thread, if any.
HWND FindMenu();

// The static that holds a message box's text.
inline constexpr int kMessageBoxText = 0xFFFF;
// A visible message box of the thread owned by `owner` (by any window when
// null); null when none shows.
HWND FindMessageBox(DWORD threadId, HWND owner);
// Closes a message box with OK (posted) and returns its text.
std::string DismissMessageBox(HWND box);

// Calls probe on every tick of a thread timer for as long as it lives, so it
// also runs inside whatever modal loop the thread is in meanwhile: for a
// message box the program shows at a moment no call of the test's chooses.
// WM_TIMER comes only when nothing else is queued. A probe is not entered
// again while it runs.
class TickProbe {
public:
    explicit TickProbe(std::function<void()> probe);
    ~TickProbe();
    TickProbe(const TickProbe&) = delete;
    TickProbe& operator=(const TickProbe&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD);

    std::function<void()> probe_;
    UINT_PTR timer_ = 0;
    bool busy_ = false;
};

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
    void Tick(ULONGLONG deadline);

    std::vector<Step> steps_;
    size_t next_ = 0;
    bool timedOut_ = false;
};

// Steps shared by the tests.
ModalScript::Step WaitForDialog(const std::string& caption, HWND& dialog);
// A dialog owned by `owner`, which an earlier step may have found.
ModalScript::Step WaitForDialogOwnedBy(const HWND& owner, HWND& dialog);
ModalScript::Step WaitUntilClosed(const HWND& window);
ModalScript::Step Do(std::function<void()> action);
// Waits for the message box of that caption, keeps its text and closes it with OK.
ModalScript::Step AnswerMessageBox(std::vector<std::string>& texts, std::string caption = "error");

// ---- Keys and popup menus inside a modal loop ----

// A key as the keyboard would deliver it to that window (posted).
void PostKey(HWND target, WORD key);
// The same to the window with the focus.
void PostKeyToFocus(WORD key);

struct MenuItem {
    int command;
    std::string text;
    bool operator==(const MenuItem& o) const { return command == o.command && text == o.text; }
};
void PrintTo(const MenuItem& item, std::ostream* os);
std::vector<MenuItem> ItemsOf(HMENU menu);

// What a shown popup menu held and where it was.
struct MenuSeen {
    std::vector<MenuItem> items;
    RECT rect{};
};

// Steps that wait for the popup menu, note it, then highlight item `choose`
// with the arrow keys and take it with Enter (or close the menu with Esc when -1).
void ChooseFromMenu(ModalScript& script, MenuSeen& seen, int choose);

// ---- The sample game (tools/sample_game_win32.cpp) ----

// Its window, of whichever process; null when none shows.
HWND FindSampleGame();
// Closes a sample game left running and waits (pumping) until its window is gone.
void CloseSampleGame();
// The inputs the sample game has received, from its title.
int SampleGameInputs(HWND game);

// The clipboard as another program sees it. Opening waits (pumping) until no
// other window holds it.
bool OpenClipboardSoon();
// The bytes of a format before its first NUL; nullopt when the format is
// missing or its block holds no NUL (a text without its terminator).
std::optional<std::string> ClipboardBytes(UINT format);
std::optional<std::wstring> ClipboardUnicode();

}  // namespace kibolt::test
