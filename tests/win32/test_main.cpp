// Entry of the window tests: the same start-up as the program, then GoogleTest.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "tests/win32/win_test_support.h"

int main(int argc, char** argv) {
    CoInitialize(nullptr);
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
