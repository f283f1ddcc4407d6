// The start options of a process command line as the system gives it (UTF-16).
#pragma once
#include <windows.h>

#include <string_view>

#include "launch/start_options.h"

namespace kibolt {

struct ReadStart {
    StartOptions options;
    // False when code page 932 cannot hold the title, or the game's command
    // line, exactly: such a title names no game, such a command line starts none.
    bool titleExact = true;
    bool commandExact = true;
};

ReadStart ReadStartOptions(std::wstring_view commandLine);

}  // namespace kibolt
