// One Kibolt per library: the first process started for a library folder
// holds a named mutex and publishes its main window; a later one finds that
// window, hands its request over and ends.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "win32/handles_win32.h"

namespace kibolt {

class LibraryInstance {
public:
    // libraryRoot: the library folder as the command line names it.
    explicit LibraryInstance(const std::wstring& libraryRoot);
    ~LibraryInstance();
    LibraryInstance(const LibraryInstance&) = delete;
    LibraryInstance& operator=(const LibraryInstance&) = delete;

    // True when this process is (now) the library's one Kibolt. Also true
    // when the system has no named objects at all: better one window than
    // none. Any other failure to claim the library is another Kibolt's hold.
    bool Claim();
    bool Claimed() const { return claimed_; }
    // The claim was refused outright ("access denied"): another Kibolt runs
    // with rights this process lacks, and may be out of its reach.
    bool Refused() const { return refused_; }
    // The library folder, as the system names it (for messages).
    const std::wstring& Folder() const { return folder_; }

    // Makes the main window findable by later starts; null withdraws it.
    void Publish(HWND window);

    // For a process that could not claim the library: the running Kibolt's
    // main window, waiting up to timeoutMs while it starts up. Null when the
    // time ran out, or when the running one ended meanwhile and this process
    // claimed the library in its place (then Claimed() is true).
    HWND WaitForRunningWindow(DWORD timeoutMs);

private:
    HWND PublishedWindow() const;

    std::wstring folder_;
    std::wstring name_;
    UniqueHandle mutex_;
    UniqueHandle published_;  // the shared block naming the main window
    void* view_ = nullptr;    // its mapping, while this process publishes
    bool claimed_ = false;
    bool refused_ = false;
};

// The running Kibolt's part: WM_COPYDATA with this tag carries a later
// start's whole command line (UTF-16); anything else is not ours.
inline constexpr ULONG_PTR kStartRequestTag = 0x4B424C54;  // "KBLT"
// WM_COPYDATA with this tag and no data: the later start, having let the
// running Kibolt take the foreground, asks it to come forward.
inline constexpr ULONG_PTR kComeForwardTag = 0x4B424C46;  // "KBLF"

// The running Kibolt's answers to a request. While a game is played it stays
// behind the game, and the later start must not hand it the foreground.
inline constexpr LRESULT kRequestRefused = 0;
inline constexpr LRESULT kRequestTakenComeForward = 1;
inline constexpr LRESULT kRequestTakenStayBehind = 2;

// The later start's part: hands the running Kibolt this process's command
// line and, when it answers so, lets it come to the front. False when the
// window did not take the request.
bool HandOverToRunning(HWND window, std::wstring_view commandLine);

// Restores a minimised window and brings it, or the dialog it shows, to the front.
void BringToFront(HWND window);

// Flashes the window's taskbar button until the user brings it forward: it
// wants attention without taking the front from what the user is doing.
void FlashTaskbarButton(HWND window);

}  // namespace kibolt
