// Every edit command applied to a parsed log, with any text: the sessions and
// comments survive a write and a read. After each command the log on disk
// reads back as exactly what the program holds in memory, and no command
// loses a session it did not mean to remove. Another program may change the
// file between commands.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "library/game_commands.h"
#include "library/game_log.h"
#include "library/library_state.h"
#include "library/session_commands.h"
#include "tests/core/memory_file_system.h"

namespace {

using namespace kibolt;

const std::string kRoot = "C:\\K";
const std::string kPath = "C:\\K\\playing\\G.log";

// The log on disk reads back as the log in memory.
void CheckDiskMatchesMemory(test::MemoryFileSystem& fs, const GameLogContent& memory) {
    const GameLogContent disk = ParseGameLogFile(fs.FileBytes(kPath).value_or(""));
    FUZZ_CHECK(disk.commandLine == memory.commandLine || (memory.commandLine.empty() && disk.commandLine == " "));
    FUZZ_CHECK(disk.comment == memory.comment);
    FUZZ_CHECK(disk.sessions.size() == memory.sessions.size());
    for (size_t i = 0; i < disk.sessions.size(); ++i)
        FUZZ_CHECK(disk.sessions[i].Fields() == memory.sessions[i].Fields());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    test::MemoryFileSystem fs;
    fs.AddFolder("C:\\K\\playing");
    fs.PutFile(kPath, in.ConsumeRandomLengthString(4096));
    LibraryState state(fs, kRoot);
    if (state.LoadGame("G") != LoadResult::Loaded) return 0;

    bool changedElsewhere = false;
    for (int step = 0; step < 16 && in.remaining_bytes() > 0; ++step) {
        const size_t before = state.Current().log.sessions.size();
        const int rows = static_cast<int>(before);
        bool wrote = true;
        size_t expected = before;
        switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0: {
            const std::string text = in.ConsumeRandomLengthString(300);
            SaveGameComment(state, text);
            FUZZ_CHECK(state.Current().log.comment == GameCommentText(text));
            break;
        }
        case 1: {
            const int row = in.ConsumeIntegralInRange(-1, rows);
            const std::string text = in.ConsumeRandomLengthString(300);
            const LogChange change = SetSessionComment(state, row, text);
            if (change.changed && !change.reloaded) {
                FUZZ_CHECK(state.Current().log.sessions[static_cast<size_t>(row)].Field(kComment) ==
                           SessionCommentText(text));
            }
            wrote = change.changed;
            break;
        }
        case 2: {
            std::vector<int> doomed;
            for (int n = in.ConsumeIntegralInRange(0, 4); n > 0; --n)
                doomed.push_back(in.ConsumeIntegralInRange(-1, rows));
            std::vector<bool> gone(before, false);
            for (int row : doomed)
                if (row >= 0 && row < rows) gone[static_cast<size_t>(row)] = true;
            for (bool g : gone) expected -= g ? 1 : 0;
            DeleteSessions(state, doomed);
            break;
        }
        case 3: {
            SessionFieldTexts fields;
            for (std::string& f : fields) f = in.ConsumeRandomLengthString(40);
            state.ChangeLog([&](GameLogContent& log) {
                AppendSession(log, fields);
                return true;
            });
            expected = before + 1;
            break;
        }
        case 4: {
            // The properties with any command line (the dialogs take one line; other callers may not).
            const GameEntryResult result = UpdateGame(state, fs, in.ConsumeRandomLengthString(200), "G");
            wrote = result.Ok();
            break;
        }
        default:
            // Another program rewrites the file: the next command starts from it.
            fs.PutFile(kPath, in.ConsumeRandomLengthString(2048));
            changedElsewhere = true;
            continue;
        }
        if (!wrote) continue;
        // Counted on the rows shown; after a change elsewhere the rows are the file's.
        if (!changedElsewhere) FUZZ_CHECK(state.Current().log.sessions.size() == expected);
        changedElsewhere = false;
        CheckDiskMatchesMemory(fs, state.Current().log);
    }
    return 0;
}
