// A tiny stand-in for a game: one window that counts the keys and clicks it
// gets, and ends when closed or after "--exit-after=MS" milliseconds.
// With "--launcher" it is the game's launcher instead: it starts a copy of
// itself with the rest of its command line and exits at once.
#include <windows.h>

#include <cwchar>
#include <string>
#include <string_view>

namespace {

int g_inputs = 0;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        ++g_inputs;
        // The count in the title lets a test wait until an input has arrived.
        SetWindowTextW(window, (L"Sample Game " + std::to_wstring(g_inputs)).c_str());
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_TIMER: DestroyWindow(window); return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        std::wstring text = L"Sample Game \u2014 inputs: " + std::to_wstring(g_inputs);
        TextOutW(dc, 20, 20, text.c_str(), static_cast<int>(text.size()));
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Starts this program again with `arguments`; the copy's exit code is not waited for.
int Launch(const std::wstring& arguments) {
    wchar_t path[MAX_PATH] = {};
    if (!GetModuleFileNameW(nullptr, path, MAX_PATH)) return 1;
    std::wstring line = L"\"" + std::wstring(path) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(path, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return 1;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
    constexpr std::wstring_view kLauncher = L"--launcher";
    if (const wchar_t* option = std::wcsstr(commandLine, kLauncher.data())) {
        std::wstring rest =
            std::wstring(commandLine, static_cast<size_t>(option - commandLine)) + (option + kLauncher.size());
        return Launch(rest);
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"KiboltSampleGame";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowW(L"KiboltSampleGame", L"Sample Game", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                320, 200, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    if (const wchar_t* option = std::wcsstr(commandLine, L"--exit-after="))
        SetTimer(window, 1, static_cast<UINT>(std::wcstoul(option + 13, nullptr, 10)), nullptr);
    ShowWindow(window, showCommand);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
