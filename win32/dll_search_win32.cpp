#include "win32/dll_search_win32.h"

#include <windows.h>

namespace kibolt {

void LoadLibrariesFromSystemFolderOnly() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");  // takes the current folder out of the older search too
}

}  // namespace kibolt
