// The name one library's running Kibolt is known by among the processes of a
// logon session: a mutex and a shared memory block are created under it.
#pragma once
#include <string>
#include <string_view>

namespace kibolt {

// From the library folder as a full path, in the system's UTF-16 (so folders
// that code page 932 would write alike stay apart): the same for every spelling of one
// folder that differs only in the case of its ASCII letters or in a trailing
// backslash, different for different folders. Holds no backslash and is short
// whatever the folder's length, so the system takes it as an object name.
std::string LibraryInstanceName(std::u16string_view libraryRoot);

}  // namespace kibolt
