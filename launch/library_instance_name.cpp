#include "launch/library_instance_name.h"

#include <cstdint>
#include <cstdio>

namespace kibolt {

std::string LibraryInstanceName(std::u16string_view libraryRoot) {
    std::u16string folded(libraryRoot);
    for (char16_t& c : folded)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    auto separator = [](char16_t c) { return c == u'\\' || c == u'/'; };
    // A drive root keeps its backslash ("C:\"); any other folder is named without one.
    while (folded.size() > 3 && separator(folded.back())) folded.pop_back();
    // FNV-1a over the folded units: the path itself may be longer than an object name may be.
    uint64_t hash = 14695981039346656037ull;
    for (char16_t unit : folded)
        for (unsigned char b : {static_cast<unsigned char>(unit & 0xFF), static_cast<unsigned char>(unit >> 8)}) {
            hash ^= b;
            hash *= 1099511628211ull;
        }
    char name[48];
    std::snprintf(name, sizeof name, "Kibolt.Library.%016llx", static_cast<unsigned long long>(hash));
    return name;
}

}  // namespace kibolt
