// The texts of a game's desktop shortcut: its file name, the arguments that
// start the game through Kibolt, and its description.
#pragma once
#include <string>
#include <string_view>

namespace kibolt {

// "<title>.lnk" for number 1, "<title> (<number>).lnk" for 2 and on: the
// names tried in turn until one is free, so no file is ever replaced.
std::string ShortcutFileName(std::string_view title, int number);
// How many names are tried before giving up.
inline constexpr int kMaxShortcutNumber = 999;

// --play "<title>" (a title holds no double quote).
std::string ShortcutArguments(std::string_view title);

std::string ShortcutDescription(std::string_view title);

// What the user is told once a shortcut is made, naming its file.
std::string ShortcutMadeMessage(std::string_view fileName);

}  // namespace kibolt
