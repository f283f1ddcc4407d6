// Decimal text <-> integer, with the C library's atoi reading but no undefined
// behaviour: values beyond the 32-bit range saturate, as the Windows runtime does.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kibolt {

// Leading white space, optional sign, leading digits; anything else ends the
// number; no digits gives 0. Saturates at INT32_MIN / INT32_MAX.
int32_t ParseInt32(std::string_view text);

// "%d" of a 64-bit value (sums of two 32-bit values never overflow it).
std::string FormatInt(int64_t value);

}  // namespace kibolt
