// Text that must stay on one line (a command line, a session comment): what
// would end the line or, in a log, the file becomes a blank.
#pragma once
#include <string>
#include <string_view>

namespace kibolt {

// CR, LF and 0x1A each become one blank; nothing else changes (TAB stays,
// runs and trailing ones keep their length). None of the three can be the
// second byte of a CP932 double-byte character, nor half of a UTF-16
// surrogate pair, so no character is split.
std::string OneLineText(std::string_view text);
std::wstring OneLineText(std::wstring_view text);

}  // namespace kibolt
