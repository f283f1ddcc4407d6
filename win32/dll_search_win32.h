// Where the system looks for libraries loaded by name on our behalf.
#pragma once

namespace kibolt {

// From the system folder only: a portable copy may lie in a downloads folder
// beside any DLL, and neither that folder nor the current one is searched.
// Libraries of our own (kibolt.dll) are loaded by their full path.
void LoadLibrariesFromSystemFolderOnly();

}  // namespace kibolt
