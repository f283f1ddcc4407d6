// What Kibolt's own command line asks for:
//   kibolt.exe                                     open the library
//   kibolt.exe --play "<title>"                    also start that game
//   kibolt.exe --play "<title>" -- <command line>  start it with that command line,
//                                                  registering the title first if it is new
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace kibolt {

struct StartOptions {
    enum class Kind { Open, Play, Malformed };
    Kind kind = Kind::Open;
    std::string title;  // Play: the game's title, unquoted
    // Play: the text after "--" as given, made one line (OneLineText): it
    // becomes a line of the game's log.
    std::optional<std::string> gameCommandLine;
};

// The one-line usage a malformed command line is answered with.
extern const char kStartUsage[];

// Reads a whole process command line (CP932, the program's name first) by the
// rules Windows programs split their arguments with: blanks separate, double
// quotes group, backslashes escape a quote. A double-byte character's trail
// byte is never a backslash or a quote. After a "--" argument the rest of the
// line is taken unchanged.
StartOptions ParseStartOptions(std::string_view commandLine);

}  // namespace kibolt
