#include "views/command_state.h"

#include <gtest/gtest.h>

#include <string>

namespace kibolt {
namespace {

// What a command needs to be enabled: every fact that may grey it.
enum Need : unsigned {
    kGame = 1,              // a current game
    kNoPlay = 2,            // no game being played
    kNotThePlayedGame = 4,  // the current game is not the one being played
    kUndo = 8,              // a deletion to put back
    kNoDialog = 16,         // no dialog holding the window
    kNoPlayOrInFront = 32,  // no game being played, or Kibolt in front
};

struct Rule {
    Command command;
    const char* name;
    unsigned needs;
};

constexpr Rule kRules[] = {
    {Command::StartGame, "StartGame", kGame | kNoPlay},
    {Command::StartFromOutside, "StartFromOutside", kNoPlay | kNoDialog},
    {Command::AddGame, "AddGame", kNoDialog},
    {Command::PickGame, "PickGame", kNoPlay},
    {Command::SwitchCategory, "SwitchCategory", kNoPlay},
    {Command::GameProperties, "GameProperties", kGame | kNotThePlayedGame},
    {Command::MoveGame, "MoveGame", kGame | kNotThePlayedGame},
    {Command::DeleteGame, "DeleteGame", kGame | kNotThePlayedGame},
    {Command::Chart, "Chart", kGame},
    {Command::CreateShortcut, "CreateShortcut", kGame},
    {Command::EditSessions, "EditSessions", kNoPlay},
    {Command::DeleteSessions, "DeleteSessions", kGame | kNoPlay},
    {Command::UndoDeletion, "UndoDeletion", kNoPlay | kUndo},
    {Command::CommentSession, "CommentSession", kGame | kNoPlay},
    {Command::CloseBySlip, "CloseBySlip", kNoPlay},
    {Command::AutoDetect, "AutoDetect", 0},
    {Command::ComeForward, "ComeForward", kNoPlay},
    {Command::TellAboutStart, "TellAboutStart", kNoPlayOrInFront},
    {Command::TellRecorderNotice, "TellRecorderNotice", kNoPlay},
};

void PrintTo(const Rule& r, std::ostream* os) { *os << r.name; }

// Every combination of the facts; "the current game is playing" only where a game plays and is current.
template <typename F>
void ForEachFacts(F&& check) {
    for (unsigned bits = 0; bits < 128; ++bits) {
        CommandFacts f;
        f.hasGame = bits & 1;
        f.playing = bits & 2;
        f.currentIsPlaying = bits & 4;
        f.canUndo = bits & 8;
        f.dialogOpen = bits & 16;
        f.autoDetect = bits & 32;
        f.inFront = bits & 64;
        if (f.currentIsPlaying && !(f.playing && f.hasGame)) continue;
        check(f);
    }
}

std::string Describe(const CommandFacts& f) {
    std::string s;
    auto add = [&](bool on, const char* name) {
        if (on) s += std::string(s.empty() ? "" : ", ") + name;
    };
    add(f.hasGame, "a current game");
    add(f.playing, "a game playing");
    add(f.currentIsPlaying, "the current one");
    add(f.canUndo, "undo possible");
    add(f.dialogOpen, "a dialog open");
    add(f.autoDetect, "auto detect on");
    add(f.inFront, "Kibolt in front");
    return s.empty() ? "no facts" : s;
}

class CommandRules : public testing::TestWithParam<Rule> {};

TEST_P(CommandRules, EnabledExactlyWhenEverythingItNeedsHolds) {
    const Rule& rule = GetParam();
    ForEachFacts([&](const CommandFacts& f) {
        const bool expected = (!(rule.needs & kGame) || f.hasGame) && (!(rule.needs & kNoPlay) || !f.playing) &&
                              (!(rule.needs & kNotThePlayedGame) || !f.currentIsPlaying) &&
                              (!(rule.needs & kUndo) || f.canUndo) && (!(rule.needs & kNoDialog) || !f.dialogOpen) &&
                              (!(rule.needs & kNoPlayOrInFront) || !f.playing || f.inFront);
        EXPECT_EQ(StateOf(rule.command, f).enabled, expected) << Describe(f);
    });
}

INSTANTIATE_TEST_SUITE_P(MainWindow, CommandRules, testing::ValuesIn(kRules),
                         [](const testing::TestParamInfo<Rule>& info) { return std::string(info.param.name); });

TEST(CommandState, OnlyTheAutoDetectItemIsChecked) {
    ForEachFacts([&](const CommandFacts& f) {
        for (const Rule& rule : kRules)
            EXPECT_EQ(StateOf(rule.command, f).checked, rule.command == Command::AutoDetect && f.autoDetect)
                << rule.name << ": " << Describe(f);
    });
}

TEST(CommandState, ThePlayedGamesLogStaysPutWhileOtherGamesMayBeManaged) {
    CommandFacts f;
    f.hasGame = f.playing = f.currentIsPlaying = true;
    for (Command c : {Command::GameProperties, Command::MoveGame, Command::DeleteGame, Command::StartGame,
                      Command::PickGame, Command::DeleteSessions, Command::CloseBySlip})
        EXPECT_FALSE(StateOf(c, f).enabled) << static_cast<int>(c);
    // Another current game (start-up may show a recovered game after the one it resumed) may be managed.
    f.currentIsPlaying = false;
    for (Command c : {Command::GameProperties, Command::MoveGame, Command::DeleteGame, Command::Chart})
        EXPECT_TRUE(StateOf(c, f).enabled) << static_cast<int>(c);
}

}  // namespace
}  // namespace kibolt
