// Writes the demo library that ships in the portable folder: two sample games
// with a few sessions each, in the log format and with the totals the program
// itself would have written.
#include <array>
#include <cstdio>
#include <iterator>
#include <fstream>
#include <string>
#include <vector>

#include "library/game_log.h"
#include "library/time_text.h"

namespace {

using kibolt::GameLogContent;

struct DemoSession {
    kibolt::LocalTime start;
    int playSeconds;
    int activeSeconds;
    int inputs;
    const char* comment;
};

kibolt::LocalTime Plus(kibolt::LocalTime t, int seconds) {
    int total = t.hour * 3600 + t.minute * 60 + t.second + seconds;
    t.day += total / 86400;
    total %= 86400;
    t.hour = total / 3600;
    t.minute = total / 60 % 60;
    t.second = total % 60;
    return t;
}

GameLogContent MakeGame(const std::string& commandLine, const DemoSession* sessions, size_t count,
                        const char* comment) {
    GameLogContent log;
    log.commandLine = commandLine;
    log.comment = comment;
    for (size_t i = 0; i < count; ++i) {
        const DemoSession& s = sessions[i];
        std::array<std::string, kibolt::kSessionFieldCount> f;
        f[kibolt::kStart] = kibolt::FormatDateTime(s.start);
        f[kibolt::kEnd] = kibolt::FormatDateTime(Plus(s.start, s.playSeconds));
        f[kibolt::kPlay] = kibolt::FormatDuration(s.playSeconds);
        f[kibolt::kActive] = kibolt::FormatDuration(s.activeSeconds);
        f[kibolt::kInputs] = std::to_string(s.inputs);
        if (log.sessions.empty()) {
            f[kibolt::kTotalPlay] = f[kibolt::kPlay];
            f[kibolt::kTotalActive] = f[kibolt::kActive];
            f[kibolt::kTotalInputs] = f[kibolt::kInputs];
        } else {
            const kibolt::SessionRecord& last = log.sessions.back();
            f[kibolt::kTotalPlay] = kibolt::AddDurations(last.Field(kibolt::kTotalPlay), f[kibolt::kPlay]);
            f[kibolt::kTotalActive] = kibolt::AddDurations(last.Field(kibolt::kTotalActive), f[kibolt::kActive]);
            f[kibolt::kTotalInputs] = kibolt::AddCounts(last.Field(kibolt::kTotalInputs), f[kibolt::kInputs]);
        }
        f[kibolt::kComment] = s.comment;
        kibolt::AppendSession(log, f);
    }
    return log;
}

bool Write(const std::string& path, const GameLogContent& log) {
    std::ofstream out(path, std::ios::binary);
    out << kibolt::SerializeGameLog(log);
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LIBRARY_FOLDER SAMPLE_GAME_WINDOWS_PATH\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    const std::string game = argv[2];
    // Half a year of evenings, so the chart of the demo game has something to show.
    std::vector<DemoSession> playing;
    for (int i = 0; i < 60; ++i) {
        const int month = 6 + i / 12, day = 1 + (i % 12) * 5 / 2;
        const int minutes = 35 + (i * 37) % 110 + (month == 8 ? 30 : 0);
        playing.push_back(
            {{2026, month, day, 18 + i % 2, (i * 13) % 60, 0}, minutes * 60, minutes * 48, minutes * 9, ""});
    }
    const DemoSession lastEvenings[] = {
        {{2026, 11, 28, 20, 15, 0}, 5430, 4205, 523, ""},
        {{2026, 11, 29, 19, 0, 0}, 2400, 2110, 210, "ボス戦, 二回目"},
        {{2026, 12, 1, 21, 30, 0}, 3725, 3600, 388, "二章クリア"},
    };
    playing.insert(playing.end(), std::begin(lastEvenings), std::end(lastEvenings));
    const DemoSession cleared[] = {
        {{2026, 10, 3, 10, 0, 0}, 7200, 6900, 1204, "最初から"},
        {{2026, 10, 4, 13, 20, 5}, 9015, 8010, 1530, ""},
        {{2026, 10, 5, 22, 1, 0}, 4800, 4795, 880, "エンディング"},
        {{2026, 10, 12, 9, 45, 30}, 1830, 1200, 95, "おまけ要素"},
    };
    // File names go to the Linux file system, which wine reads as UTF-8.
    const std::string playingName = reinterpret_cast<const char*>(u8"サンプルゲーム.log");
    bool ok = Write(root + "/playing/" + playingName,
                    MakeGame(game + " --exit-after=5000", playing.data(), playing.size(), "ルートAを進行中\n"));
    ok = Write(root + "/cleared/Sample Quest.log", MakeGame(game, cleared, std::size(cleared), "全実績解除済み\n")) &&
         ok;
    return ok ? 0 : 1;
}
