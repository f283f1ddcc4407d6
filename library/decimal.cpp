#include "library/decimal.h"

#include <climits>
#include <cstdio>

namespace kibolt {

int32_t ParseInt32(std::string_view text) {
    size_t i = 0;
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) {  // keep scanning nothing more: the result is pinned
            value = limit;
            break;
        }
    }
    return static_cast<int32_t>(negative ? -value : value);
}

std::string FormatInt(int64_t value) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(value));
    return buf;
}

}  // namespace kibolt
