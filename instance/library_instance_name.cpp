#include "instance/library_instance_name.h"

#include <cstdint>
#include <cstdio>

#include "library/library_paths.h"
#include "library/sjis.h"

namespace kibolt {

std::string LibraryInstanceName(std::string_view libraryRoot) {
    std::string folded = FoldAsciiCase(libraryRoot);
    // A drive root keeps its backslash ("C:\"); any other folder is named without one.
    while (folded.size() > 3 && FindLastSeparator(folded) == folded.size() - 1) folded.pop_back();
    // FNV-1a over the folded bytes: the path itself may be longer than an object name may be.
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char b : folded) {
        hash ^= b;
        hash *= 1099511628211ull;
    }
    char name[48];
    std::snprintf(name, sizeof name, "Kibolt.Library.%016llx", static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace kibolt
