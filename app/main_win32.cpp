// Process entry: one modeless main window and one message loop on the main thread.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "app/main_dialog_win32.h"
#include "app/text_win32.h"
#include "library/file_system_win32.h"

namespace {

std::string CurrentDirectory() {
    DWORD length = GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(length, L'\0');
    DWORD got = GetCurrentDirectoryW(length, dir.data());
    dir.resize(got);
    return kibolt::Narrow(dir);
}

int Run(HINSTANCE instance, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);

    kibolt::Win32FileSystem fs;
    kibolt::MainDialog dialog(instance, fs, kibolt::Narrow(GetCommandLineW()), CurrentDirectory());
    HWND window = dialog.Create();
    if (!window) return 0;
    ShowWindow(window, showCommand);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, Enter and Esc belong to the dialog manager while the window lives.
        if (dialog.Window() && IsDialogMessageW(dialog.Window(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    CoInitialize(nullptr);
    int code = Run(instance, showCommand);
    CoUninitialize();
    return code;
}
