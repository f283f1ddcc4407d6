#include "launch/start_options_win32.h"

#include <shellapi.h>

#include <string>

#include "library/one_line_text.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace kibolt {

namespace {

// Whether one of the arguments the system splits the line into is `text`.
bool IsArgument(std::wstring_view commandLine, const std::wstring& text) {
    std::wstring line(commandLine);
    int count = 0;
    const UniqueLocal owner(CommandLineToArgvW(line.c_str(), &count));
    if (!owner) return false;
    auto* args = static_cast<LPWSTR*>(owner.Get());
    for (int i = 1; i < count; ++i)
        if (text == args[i]) return true;
    return false;
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
