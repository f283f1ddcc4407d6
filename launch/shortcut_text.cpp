#include "launch/shortcut_text.h"

namespace kibolt {

std::string ShortcutFileName(std::string_view title, int number) {
    std::string name(title);
    if (number > 1) name += " (" + std::to_string(number) + ")";
    return name + ".lnk";
}

std::string ShortcutArguments(std::string_view title) { return "--play \"" + std::string(title) + "\""; }

std::string ShortcutDescription(std::string_view title) {
    return "Kiboltで「" + std::string(title) + "」を起動し、プレイ時間を記録します";
}

std::string ShortcutMadeMessage(std::string_view fileName) {
    return "デスクトップに「" + std::string(fileName) + "」を作成しました";
}

}  // namespace kibolt
