#include "command_line/start_options_win32.h"

#include <shellapi.h>

#include <string>

#include "library/one_line_text.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

// Whether one of the arguments the system splits the line into is `text`.
bool IsArgument(std::wstring_view commandLine, const std::wstring& text) {
    std::wstring line(commandLine);
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(line.c_str(), &count);
    if (!args) return false;
    bool found = false;
    for (int i = 1; i < count && !found; ++i) found = text == args[i];
    LocalFree(args);
    return found;
}

}  // namespace

ReadStart ReadStartOptions(std::wstring_view commandLine) {
    ReadStart start;
    start.options = ParseStartOptions(Narrow(commandLine));
    if (start.options.kind != StartOptions::Kind::Play) return start;
    // The title converted back must be what the system read from the line;
    // the game's command line, what the line ends with.
    start.titleExact = IsArgument(commandLine, Widen(start.options.title));
    if (start.options.gameCommandLine) {
        std::wstring command = Widen(*start.options.gameCommandLine);
        if (commandLine.size() < command.size()) return start.commandExact = false, start;
        // Made one line as the parser made its text.
        start.commandExact = OneLineText(commandLine.substr(commandLine.size() - command.size())) == command;
    }
    return start;
}

}  // namespace kibolt
