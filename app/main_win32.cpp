// Process entry: one modeless main window and one message loop on the main thread.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "app/main_dialog_win32.h"
#include "launch/library_instance_win32.h"
#include "library/file_system_win32.h"
#include "library/library_paths.h"
#include "win32/dll_search_win32.h"
#include "win32/message_loop_win32.h"
#include "win32/text_win32.h"

namespace {

// How long a second start waits for the first one's window to appear.
constexpr DWORD kRunningWindowWaitMs = 15000;

std::wstring CurrentDirectory() {
    DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(length, L'\0');
    DWORD got = GetCurrentDirectoryW(length, dir.data());
    dir.resize(got);
    return dir;
}

int Run(HINSTANCE instance, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    // The system's own text: the library folder may hold characters code page 932 cannot.
    const std::wstring commandLine = GetCommandLineW();
    const std::wstring currentDir = CurrentDirectory();

    // A second start for the same library shows the running Kibolt and ends:
    // two windows on the same logs would each overwrite the other's sessions.
    kibolt::LibraryInstance library(kibolt::ToWide(kibolt::LibraryRootOf(
        kibolt::ProgramPathFromCommandLine(kibolt::AsUtf16(commandLine), kibolt::AsUtf16(currentDir)))));
    if (!library.Claim()) {
        HWND running = library.WaitForRunningWindow(kRunningWindowWaitMs);
        if (running) {
            // A Kibolt of higher rights may refuse the request: it still comes forward.
            if (!kibolt::HandOverToRunning(running, GetCommandLineW())) kibolt::BringToFront(running);
            return 0;
        }
        if (library.Refused())
            kibolt::MessageBoxNaming(nullptr,
                                     "このフォルダのKiboltはすでに起動していますが、ここからは呼び出せません"
                                     "（管理者として実行しているときなど）。\r\n",
                                     library.Folder(), "\r\n\r\n起動しているKiboltを使ってください。", "Kibolt",
                                     MB_OK | MB_ICONINFORMATION);
        if (!library.Claimed()) return 0;  // it is still starting or hangs: never a second window
    }

    kibolt::Win32FileSystem fs;
    kibolt::MainDialog dialog(instance, fs, commandLine, currentDir);
    HWND window = dialog.Create();
    if (!window) return 0;
    library.Publish(window);
    ShowWindow(window, dialog.ShowCommandFor(showCommand));
    dialog.QueueStart(GetCommandLineW());  // "--play": acted on once the window runs

    return kibolt::RunMessageLoop();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    kibolt::LoadLibrariesFromSystemFolderOnly();
    // The file-open dialog hosts shell components that need COM on this
    // thread. Without it the program still runs; only a successful call is
    // paired with CoUninitialize.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int code = Run(instance, showCommand);
    if (SUCCEEDED(com)) CoUninitialize();
    return code;
}
