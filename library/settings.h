// The two numbers kept between runs, in a private-profile INI file beside the
// program. One reader and writer for every platform.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kibolt {

inline constexpr int32_t kDefaultFlags = 262143;  // the lowest 18 bits
inline constexpr int32_t kCopyBitsMask = 0x3FFFF;

struct Settings {
    int32_t viewFlags = kDefaultFlags;
    int32_t copySettings = kDefaultFlags;
};

// Private-profile reading: sections and keys match without regard to ASCII
// case; missing file/section/key gives the default; an empty value gives "";
// blanks around a value and one pair of enclosing quotes are removed.
std::string IniGetString(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view defaultValue);
// Private-profile writing: replaces the value in place, or adds the key at the
// end of its section, or the section at the end; every other line is kept.
std::string IniSetString(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view value);

// content is the file's bytes, empty when it is missing.
Settings ReadSettings(std::string_view content);
std::string WriteSettings(std::string_view content, const Settings& s);

// The main window as the user left it: section [window], beside [view] and
// [copy], which it never touches.
inline constexpr int kSessionColumnCount = 10;    // "回" and the nine fields
inline constexpr int kLongestColumnWidth = 4096;  // a wider stored width is taken for damage
struct WindowSettings {
    bool placed = false;  // left, top, width and height were stored
    int left = 0, top = 0, width = 0, height = 0;
    bool maximized = false;
    // Widths the user gave the session table's columns ("回", then fields 0-8);
    // 0 where the program lays the column out itself.
    std::array<int, kSessionColumnCount> columnWidths{};
    bool operator==(const WindowSettings&) const = default;
};
// Missing or unusable values (not numbers, sizes not above 0, widths out of
// 1-4096) read as not stored.
WindowSettings ReadWindowSettings(std::string_view content);
std::string WriteWindowSettings(std::string_view content, const WindowSettings& w);

// How sessions are noticed and measured: section [play]. auto_detect: games
// started outside Kibolt are recorded (on unless it reads 0). idle_minutes: a
// stretch in front without input longer than this is left out of active
// time; 0 leaves nothing out. A stored value that is no whole number of
// 0-120 reads as 0.
inline constexpr int32_t kMaxIdleMinutes = 120;
struct PlaySettings {
    bool autoDetect = true;
    int32_t idleMinutes = 0;
    bool operator==(const PlaySettings&) const = default;
};
PlaySettings ReadPlaySettings(std::string_view content);
std::string WritePlaySettings(std::string_view content, const PlaySettings& p);
// Minutes as typed or stored: a whole number of 0-120, blanks around it
// allowed; nothing for anything else.
std::optional<int32_t> ParseIdleMinutes(std::string_view text);

// Beside the program file, with its name: ".exe" (any case) becomes ".ini",
// any other name gets ".ini" appended, so it is never the program file itself.
std::string SettingsPathOf(std::string_view programPath);

}  // namespace kibolt
