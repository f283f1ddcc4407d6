// What the user is told of each thing the recorder reports.
#pragma once
#include <string>
#include <string_view>

#include "play/session_recorder.h"

namespace kibolt {

enum class NoticeLevel { Information, Warning, Error };

struct NoticeMessage {
    std::string text;
    NoticeLevel level = NoticeLevel::Warning;
};

// root: the library, whose log paths name the games; checkpointSaved: whether
// the sessions that wait are on disk (in kibolt.checkpoint) or only in memory.
NoticeMessage RecorderNoticeMessage(const RecorderNotice& notice, std::string_view root, bool checkpointSaved);

}  // namespace kibolt
