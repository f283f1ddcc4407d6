// Entry of the window tests: the same start-up as the program, then GoogleTest.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/win32/win_test_support.h"
#include "win32/dll_search_win32.h"

int main(int argc, char** argv) {
    kibolt::LoadLibrariesFromSystemFolderOnly();
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(com)) {
        std::fprintf(stderr, "COM could not be initialised (0x%08lx)\n", static_cast<unsigned long>(com));
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    SetDoubleClickTime(kibolt::test::kTestDoubleClickMs);
    const char* locale = std::getenv("LC_ALL");
    std::printf("system ANSI code page %u (LC_ALL=%s)\n", GetACP(), locale ? locale : "");
    testing::InitGoogleTest(&argc, argv);
    int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
