#include "tests/core/recorder_model.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <random>

#include "library/game_commands.h"
#include "library/library_paths.h"
#include "library/library_state.h"
#include "library/time_text.h"
#include "play/session_recorder.h"
#include "tests/core/fake_clock.h"
#include "tests/core/memory_file_system.h"

namespace kibolt::test {
namespace {

using Op = MemoryFileSystem::Op;

const std::string kRoot = "C:\\K";
constexpr int kGames = 3;
constexpr int kCheckpointTarget = kGames;  // a fault's target: a game's log, or the checkpoint

// What tells sessions apart: all but the totals and the comment.
std::string KeyOf(const SessionRecord& s) {
    std::string key;
    for (int k : {kStart, kEnd, kPlay, kActive, kInputs}) {
        key += s.Field(k);
        key += ',';
    }
    return key;
}

bool SamePath(std::string_view a, std::string_view b) { return FoldAsciiCase(a) == FoldAsciiCase(b); }

// A session the model expects in a log.
struct Entry {
    std::string key;
    std::string comment;
    std::vector<std::string> maybeComments;  // from a comment edit the kill cut short
    bool deleted = false;
    // Held by a checkpoint start-up could not read: written once it can be,
    // after sessions that ended meanwhile.
    bool anyOrder = false;
    enum class Doubt { None, Deleting, Undoing } doubt = Doubt::None;  // an edit the kill cut short
};

struct Game {
    std::string title;
    Category category = Category::Playing;
    bool gone = false;           // deleted by the user
    std::vector<Entry> entries;  // in log order
    std::string Path() const { return *LogPath(kRoot, category, title); }
};

struct Fault {
    int target;
    Op op;
    FsError error;
};

class Model {
public:
    Model(const uint8_t* data, size_t size, ModelStats* stats) : data_(data), size_(size), stats_(stats) {}
    std::string Run();

private:
    uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
    void Note(const std::string& step) {
        trace_ += step;
        trace_ += '\n';
        if (stats_) ++stats_->steps;
    }
    bool Fail(const std::string& why) {
        if (error_.empty()) {
            error_ = why + "\nafter:\n" + trace_;
        }
        return false;
    }

    void SetUp();
    void StartRecorder();
    void Event();
    void AfterEvent();
    void TakeReport();
    void Check();
    void Kill();
    void Restart();
    void Heal();

    int GameOf(const std::string& path) const {
        for (int g = 0; g < kGames; ++g)
            if (!games_[g].gone && SamePath(games_[g].Path(), path)) return g;
        return -1;
    }
    bool Load(int g) {
        return !games_[g].gone && state_->LoadGame(games_[g].title, games_[g].category) == LoadResult::Loaded;
    }
    // A log's sessions as on disk (they point into the returned log's bytes).
    GameLogContent LogOnDisk(int g) const {
        const std::optional<std::string> bytes = fs_.FileBytes(games_[g].Path());
        if (!bytes) return {};
        return ParseGameLogFile(*bytes);
    }
    std::optional<SessionCheckpoint> CheckpointOnDisk() const {
        const std::optional<std::string> bytes = fs_.FileBytes(CheckpointFilePath(kRoot));
        if (!bytes) return SessionCheckpoint{};
        return ParseCheckpoint(*bytes);
    }
    // The model's entry for a session shown in a log, or null.
    Entry* EntryFor(int g, const SessionRecord& s) {
        Entry* byKey = nullptr;
        for (Entry& e : games_[g].entries) {
            if (e.deleted || e.key != KeyOf(s)) continue;
            if (e.comment == s.Field(kComment)) return &e;
            if (!byKey) byKey = &e;
        }
        return byKey;
    }
    void ResolveDoubts();
    bool CheckLogs(bool all);

    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
    ModelStats* stats_;
    std::string trace_;
    std::string error_;

    MemoryFileSystem fs_;
    FakeClock clock_{StampOf(2026, 12, 10, 20, 0, 0)};
    std::unique_ptr<LibraryState> state_;
    std::unique_ptr<SessionRecorder> recorder_;
    Game games_[kGames];
    std::vector<Fault> faults_;
    std::optional<int> killIn_;  // the program dies at the file operation after this many more
    bool dead_ = false;
    bool checkpointUnread_ = false;       // start-up could not read the checkpoint
    bool ticked_ = false;                 // the event was a tick
    bool starting_ = false;               // what start-up reports
    std::vector<std::string> recovered_;  // lines waiting since start-up
    bool running_ = false;                // the game's process runs (followed or not)
    int playing_ = -1;
    std::vector<GameProcess> processes_;
    uint32_t nextPid_ = 100;
    int names_ = 0;
    // The last deletion that can be undone: its game and entries.
    int undoGame_ = -1;
    std::vector<size_t> undoEntries_;
    // Notices of this run, by game.
    bool told_[kGames] = {};
    bool endedSinceTold_[kGames] = {};
};

void Model::SetUp() {
    const char* titles[kGames] = {"Alpha", "表示", "Gamma"};  // 表 ends in byte 0x5C
    const Category categories[kGames] = {Category::Playing, Category::Playing, Category::Cleared};
    for (int c = 0; c < kCategoryCount; ++c) fs_.AddFolder(CategoryFolderPath(kRoot, static_cast<Category>(c)));
    for (int g = 0; g < kGames; ++g) {
        games_[g].title = titles[g];
        games_[g].category = categories[g];
        const std::string line = "26/12/0" + std::to_string(g + 1) + "-10:00:00,26/12/0" + std::to_string(g + 1) +
                                 "-11:00:00,001:00:00,001:00:00,000:30:00,000:30:00,5,5,seed";
        fs_.PutFile(games_[g].Path(), "C:\\G\\game.exe\r\n" + line + "\r\n=====Comment_Start====\r\nnotes\r\n");
        Entry seed;
        seed.key = KeyOf(SessionRecord::FromLine(line));
        seed.comment = "seed";
        games_[g].entries.push_back(seed);
    }
    fs_.fault = [this](Op op, const std::string& path) {
        if (dead_) return FsError::Other;
        if (killIn_ && (*killIn_)-- == 0) {
            dead_ = true;
            return FsError::Other;
        }
        for (const Fault& f : faults_) {
            if (f.op != op) continue;
            const std::string target =
                f.target == kCheckpointTarget ? CheckpointFilePath(kRoot) : games_[f.target].Path();
            if (FoldAsciiCase(path).rfind(FoldAsciiCase(target), 0) == 0) {
                if (stats_) ++stats_->faults;
                return f.error;
            }
        }
        return FsError::None;
    };
    StartRecorder();
}

void Model::StartRecorder() {
    recorder_.reset();
    state_ = std::make_unique<LibraryState>(fs_, kRoot);
    recorder_ = std::make_unique<SessionRecorder>(fs_, clock_, *state_);
    std::fill(std::begin(told_), std::end(told_), false);
    std::fill(std::begin(endedSinceTold_), std::end(endedSinceTold_), false);
    undoGame_ = -1;
    const std::vector<GameProcess> alive = running_ ? processes_ : std::vector<GameProcess>{};
    recorder_->Start([&](const GameProcess& p) { return std::find(alive.begin(), alive.end(), p) != alive.end(); });
    starting_ = true;
    TakeReport();
    starting_ = false;
    if (recorder_->IsOpen()) {
        playing_ = GameOf(recorder_->Session().LogPath());
    } else {
        running_ = false;  // not followed: played on without Kibolt
        playing_ = -1;
    }
    // Whatever waits from an earlier run was told at start-up.
    for (const PendingRecord& r : recorder_->Pending())
        if (const int g = GameOf(r.logPath); g >= 0) told_[g] = true;
    recovered_.clear();
    for (const PendingRecord& r : recorder_->Pending()) recovered_.push_back(r.line);
}

void Model::TakeReport() {
    const RecorderReport report = recorder_->TakeReport();
    for (const PendingRecord& r : report.ended) {
        const int g = GameOf(r.logPath);
        if (g < 0) {
            Fail("a session ended for no game of the library: " + r.logPath);
            continue;
        }
        const SessionRecord s = SessionRecord::FromLine(r.line);
        Entry entry;
        entry.key = KeyOf(s);
        entry.comment = std::string(s.Field(kComment));
        games_[g].entries.push_back(entry);
        // A tick that could read the checkpoint at last records its open session before this
        // run's sessions; so does the first write to a log start-up could not read.
        games_[g].entries.back().anyOrder = (checkpointUnread_ && ticked_) || starting_ ||
                                            std::find(recovered_.begin(), recovered_.end(), r.line) != recovered_.end();
        endedSinceTold_[g] = true;
        if (stats_) ++stats_->sessions;
    }
    for (const RecorderNotice& n : report.notices) {
        if (n.kind == RecorderNotice::Kind::CheckpointUnreadable) checkpointUnread_ = true;
        const int g = GameOf(n.logPath);
        if (g < 0) continue;
        if (n.kind == RecorderNotice::Kind::Waiting) {
            if (told_[g] && !endedSinceTold_[g]) Fail("told twice that the same sessions wait: " + n.logPath);
            told_[g] = true;
            endedSinceTold_[g] = false;
        } else if (n.kind == RecorderNotice::Kind::Written) {
            if (!told_[g]) Fail("told written, never told waiting: " + n.logPath);
            // Some of them may wait on, still told.
            told_[g] = std::any_of(recorder_->Pending().begin(), recorder_->Pending().end(),
                                   [&](const PendingRecord& r) { return SamePath(r.logPath, n.logPath); });
        }
    }
}

void Model::Event() {
    const uint8_t op = Next() % 16;
    const int g = Next() % kGames;
    const std::string name = std::to_string(++names_);
    switch (op) {
    case 0:
    case 1:
        if (recorder_->IsOpen() || running_ || games_[g].gone) break;
        Note("start " + games_[g].title);
        clock_.Advance(1);  // a game takes a moment to start: no two sessions alike to the comment
        recorder_->GameReady(games_[g].Path());
        running_ = true;
        playing_ = g;
        processes_ = {{nextPid_, nextPid_}};
        ++nextPid_;
        recorder_->ProcessesChanged(processes_);
        break;
    case 2: {
        const int n = 1 + Next() % 8;
        Note("inputs " + std::to_string(n));
        for (int i = 0; i < n; ++i) recorder_->Input();
        break;
    }
    case 3:
        if (Next() & 1) {
            Note("front");
            recorder_->Front();
        } else {
            Note("back");
            recorder_->Back();
        }
        break;
    case 4: {
        const int b = Next();
        const int64_t ms = b > 240 ? 3'600'000 : b * 250;
        Note("wait " + std::to_string(ms) + " ms");
        clock_.AdvanceMs(ms);
        break;
    }
    case 5: {
        // Sometimes twice in the same second; a comment may hold a TAB.
        const std::string comment = (Next() & 1) ? "c\t" + name : "c" + name;
        Note("split \"" + comment + "\"");
        recorder_->Split(comment);
        break;
    }
    case 6:
        if (!recorder_->IsOpen()) break;
        Note("game ended");
        recorder_->GameEnded();
        running_ = false;
        playing_ = -1;
        break;
    case 7: {
        const int seconds = 1 + Next() % 40;
        Note("tick after " + std::to_string(seconds) + " s");
        clock_.Advance(seconds);
        recorder_->Tick();
        ticked_ = true;
        // Read at last, the checkpoint may bring sessions of its own to wait.
        if (checkpointUnread_) {
            std::fill(std::begin(endedSinceTold_), std::end(endedSinceTold_), true);
            for (const PendingRecord& r : recorder_->Pending()) recovered_.push_back(r.line);
        }
        break;
    }
    case 8: {
        if (!Load(g) || state_->Current().log.sessions.empty()) break;
        const int row = Next() % static_cast<int>(state_->Current().log.sessions.size());
        const SessionRecord shown = state_->Current().log.sessions[static_cast<size_t>(row)];
        const std::string text = "u" + name;
        Note("comment " + games_[g].title + " row " + std::to_string(row) + " \"" + text + "\"");
        const LogChange change = recorder_->CommentSession(row, text);
        if (Entry* e = EntryFor(g, shown)) {
            if (dead_)
                e->maybeComments.push_back(text);
            else if (change.changed && change.Ok())
                e->comment = text;
        }
        break;
    }
    case 9: {
        if (!Load(g) || state_->Current().log.sessions.empty()) break;
        const int count = static_cast<int>(state_->Current().log.sessions.size());
        std::vector<int> rows = {Next() % count};
        if (Next() & 1) rows.push_back(Next() % count);
        std::vector<Entry*> doomed;
        for (int row : rows)
            if (Entry* e = EntryFor(g, state_->Current().log.sessions[static_cast<size_t>(row)]))
                if (std::find(doomed.begin(), doomed.end(), e) == doomed.end()) doomed.push_back(e);
        Note("delete " + games_[g].title + " row " + std::to_string(rows[0]) +
             (rows.size() > 1 ? " and " + std::to_string(rows[1]) : ""));
        const LogChange change = recorder_->DeleteSessions(rows);
        if (dead_) {
            for (Entry* e : doomed) e->doubt = Entry::Doubt::Deleting;
        } else if (change.changed && change.Ok()) {
            undoGame_ = g;
            undoEntries_.clear();
            for (Entry* e : doomed) {
                e->deleted = true;
                undoEntries_.push_back(static_cast<size_t>(e - games_[g].entries.data()));
            }
        }
        break;
    }
    case 10: {
        if (!Load(g)) break;
        Note("undo " + games_[g].title);
        const LogChange change = recorder_->UndoDeletion();
        if (undoGame_ == g && (dead_ || (change.changed && change.Ok()))) {
            for (size_t i : undoEntries_) {
                Entry& e = games_[g].entries[i];
                if (dead_)
                    e.doubt = Entry::Doubt::Undoing;
                else
                    e.deleted = false;
            }
            if (!dead_) undoGame_ = -1;
        }
        break;
    }
    case 11:
    case 12: {
        if (games_[g].gone || (recorder_->IsOpen() && playing_ == g) || !Load(g)) break;
        const std::string from = games_[g].Path();
        const bool ready = recorder_->ReadyToChange(from);
        TakeReport();  // of the log under its old name
        if (!ready) {
            Note("move or rename of " + games_[g].title + " refused: its sessions wait");
            break;
        }
        if (op == 11) {
            const auto target = static_cast<Category>(Next() % kCategoryCount);
            Note("move " + games_[g].title + " to tab " + std::to_string(static_cast<int>(target)));
            const MoveResult moved = MoveGame(*state_, fs_, target);
            if (moved.problem != MoveProblem::None) break;
            games_[g].category = target;
        } else {
            const std::string title = games_[g].title + "+";
            Note("rename " + games_[g].title + " to " + title);
            const GameEntryResult renamed = UpdateGame(*state_, fs_, state_->Current().log.commandLine, title);
            if (!renamed.Moved()) break;
            games_[g].title = title;
        }
        recorder_->GameMoved(from, games_[g].Path());
        break;
    }
    case 13: {
        if (games_[g].gone || (recorder_->IsOpen() && playing_ == g) || !Load(g)) break;
        // One game always stays, so the run keeps something to play.
        if (std::count_if(std::begin(games_), std::end(games_), [](const Game& x) { return !x.gone; }) < 2) break;
        Note("delete game " + games_[g].title);
        const std::string path = games_[g].Path();
        const bool ready = recorder_->ReadyToChange(path);
        TakeReport();
        if (!ready) {
            Note("refused: its sessions wait");
            break;
        }
        const DeleteResult deleted = DeleteGame(*state_, fs_);
        if (!deleted.Ok()) break;
        games_[g].gone = true;
        told_[g] = false;
        if (undoGame_ >= 0) undoGame_ = -1;  // a game's deletion ends the undo
        break;
    }
    case 14: {
        const uint8_t b = Next();
        if (b % 3 == 0) {
            Note("faults cleared");
            faults_.clear();
            break;
        }
        static const Op kOps[] = {Op::Read, Op::Write, Op::Replace, Op::Remove, Op::Stamp, Op::Rename, Op::Recycle};
        static const FsError kErrors[] = {FsError::AccessDenied, FsError::DiskFull, FsError::Other};
        const Fault f{static_cast<int>(Next() % (kGames + 1)), kOps[Next() % 7], kErrors[Next() % 3]};
        Note("fault: op " + std::to_string(static_cast<int>(f.op)) + " on " +
             (f.target == kCheckpointTarget ? std::string("checkpoint") : games_[f.target].title));
        faults_.push_back(f);
        break;
    }
    case 15:
        switch (Next() % 4) {
        case 0:
            killIn_ = Next() % 12;
            Note("killed at the file operation after " + std::to_string(*killIn_) + " more");
            break;
        case 1:
            Note("killed");
            Kill();
            break;
        case 2:
            Note("closed (or Windows ends the session)");
            recorder_->Close();
            TakeReport();
            running_ = running_ && !dead_;  // the game plays on, no longer followed
            Kill();
            break;
        default: break;
        }
        break;
    }
}

void Model::ResolveDoubts() {
    for (int g = 0; g < kGames; ++g) {
        if (games_[g].gone) continue;
        std::map<std::string, int> inLog;  // by key and comment
        const GameLogContent log = LogOnDisk(g);
        const std::vector<SessionRecord>& sessions = log.sessions;
        for (const SessionRecord& s : sessions) ++inLog[KeyOf(s) + std::string(s.Field(kComment))];
        for (Entry& e : games_[g].entries) {
            if (e.doubt != Entry::Doubt::None) e.deleted = inLog[e.key + e.comment] == 0;
            e.doubt = Entry::Doubt::None;
            if (!e.maybeComments.empty()) {
                for (const SessionRecord& s : sessions)
                    if (KeyOf(s) == e.key && std::find(e.maybeComments.begin(), e.maybeComments.end(),
                                                       s.Field(kComment)) != e.maybeComments.end())
                        e.comment = std::string(s.Field(kComment));
                e.maybeComments.clear();
            }
        }
    }
}

// Each log holds no session twice, none deleted, in the order they ended,
// with their comments; with `all`, every session that ended, once.
bool Model::CheckLogs(bool all) {
    for (int g = 0; g < kGames; ++g) {
        if (games_[g].gone) continue;
        const std::string& title = games_[g].title;
        if (!fs_.FileBytes(games_[g].Path())) return Fail("the log of " + title + " is gone");
        const GameLogContent log = LogOnDisk(g);
        std::vector<const Entry*> expected;
        std::multimap<std::string, const Entry*> unordered;
        for (const Entry& e : games_[g].entries)
            if (!e.deleted) {
                if (e.anyOrder)
                    unordered.emplace(e.key, &e);
                else
                    expected.push_back(&e);
            }
        // Comments by key: sessions alike but for their comments may be written in either order.
        std::multimap<std::string, std::string> comments;
        size_t next = 0;
        for (const SessionRecord& s : log.sessions) {
            const std::string key = KeyOf(s);
            comments.emplace(key, std::string(s.Field(kComment)));
            // One held back by an unread checkpoint, if it has this comment.
            auto [from, to] = unordered.equal_range(key);
            if (const auto it =
                    std::find_if(from, to, [&](const auto& u) { return u.second->comment == s.Field(kComment); });
                it != to) {
                unordered.erase(it);
                continue;
            }
            size_t ahead = next;
            while (ahead < expected.size() && expected[ahead]->key != key) ++ahead;
            if (ahead == expected.size() && from != to) {
                unordered.erase(from);
                continue;
            }
            while (next < expected.size() && expected[next]->key != key) {
                if (all) return Fail(title + ": missing " + expected[next]->key);
                ++next;
            }
            if (next == expected.size()) {
                std::string text = title + ": twice, out of order, or deleted yet back: " + key + "\nexpected:";
                for (const Entry& e : games_[g].entries) text += "\n  " + e.key + (e.deleted ? " (deleted)" : "");
                return Fail(text);
            }
            ++next;
        }
        if (all && next != expected.size()) return Fail(title + ": missing " + expected[next]->key);
        if (all && !unordered.empty()) return Fail(title + ": missing " + unordered.begin()->first);
        for (const Entry& e : games_[g].entries) {
            if (e.deleted || !e.maybeComments.empty()) continue;
            auto [from, to] = comments.equal_range(e.key);
            const auto it = std::find_if(from, to, [&](const auto& c) { return c.second == e.comment; });
            if (it != to) {
                comments.erase(it);
            } else if (from != to) {
                return Fail(title + ": " + e.key + " has the comment \"" + from->second + "\", not \"" + e.comment +
                            "\"");
            }
        }
    }
    return true;
}

void Model::Check() {
    if (!CheckLogs(false)) return;
    // Nothing lost while the program runs: what is not in its log waits in memory.
    for (int g = 0; g < kGames; ++g) {
        if (games_[g].gone) continue;
        std::map<std::string, int> have;
        const GameLogContent log = LogOnDisk(g);
        for (const SessionRecord& s : log.sessions) ++have[KeyOf(s)];
        for (const PendingRecord& r : recorder_->Pending())
            if (SamePath(r.logPath, games_[g].Path())) ++have[KeyOf(SessionRecord::FromLine(r.line))];
        // A checkpoint that could not be read at start-up still holds its own.
        if (const std::optional<SessionCheckpoint> c = CheckpointOnDisk())
            for (const PendingRecord& r : c->pending) ++have[KeyOf(SessionRecord::FromLine(r.line))];
        for (const Entry& e : games_[g].entries)
            if (!e.deleted && have[e.key]-- <= 0)
                return (void)Fail(games_[g].title + ": lost while running: " + e.key + " (" +
                                  std::to_string(std::count_if(games_[g].entries.begin(), games_[g].entries.end(),
                                                               [&](const Entry& x) { return x.key == e.key; })) +
                                  " expected)");
        if (told_[g] && std::none_of(recorder_->Pending().begin(), recorder_->Pending().end(),
                                     [&](const PendingRecord& r) { return SamePath(r.logPath, games_[g].Path()); }))
            return (void)Fail(games_[g].title + ": written, and the user never told");
    }
}

// The program ends with no further call; a new one starts from the files.
void Model::Kill() {
    if (stats_) ++stats_->kills;
    dead_ = true;  // nothing more reaches the disk from the old run
    ResolveDoubts();
    // What survives is what is on disk: sessions in their logs, and those
    // the checkpoint holds. The rest never reached the disk.
    const std::optional<SessionCheckpoint> checkpoint = CheckpointOnDisk();
    if (!checkpoint) return (void)Fail("the checkpoint on disk is damaged");
    for (int g = 0; g < kGames; ++g) {
        if (games_[g].gone) continue;
        std::map<std::string, int> durable;
        const GameLogContent log = LogOnDisk(g);
        for (const SessionRecord& s : log.sessions) ++durable[KeyOf(s)];
        for (const PendingRecord& r : checkpoint->pending) ++durable[KeyOf(SessionRecord::FromLine(r.line))];
        std::vector<Entry>& entries = games_[g].entries;
        for (size_t i = entries.size(); i-- > 0;) {
            if (entries[i].deleted) continue;
            int expected = 0;
            for (const Entry& e : entries)
                if (!e.deleted && e.key == entries[i].key) ++expected;
            if (expected > durable[entries[i].key]) {
                if (undoGame_ == g) undoGame_ = -1;
                entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
    }
    dead_ = false;
    killIn_.reset();
    checkpointUnread_ = false;
    StartRecorder();
    TakeReport();
    if (checkpointUnread_)
        for (int g = 0; g < kGames; ++g) {
            std::map<std::string, int> inLog;
            const GameLogContent log = LogOnDisk(g);
            for (const SessionRecord& s : log.sessions) ++inLog[KeyOf(s)];
            for (Entry& e : games_[g].entries)
                if (!e.deleted && inLog[e.key]-- <= 0) e.anyOrder = true;
        }
    // The open session on disk goes on, is recorded, or was recorded in full
    // already; or waits in the file until it can be read.
    const bool played = checkpoint->open && (checkpoint->open->playMs >= 1000 || checkpoint->open->inputCount > 0);
    if (played && !recorder_->IsOpen() && !checkpointUnread_) {
        const int g = GameOf(checkpoint->open->logPath);
        const std::string start = FormatDateTime(clock_.ToLocal(checkpoint->open->start)) + ",";
        const bool waits = std::any_of(recorder_->Pending().begin(), recorder_->Pending().end(),
                                       [&](const PendingRecord& r) { return r.line.rfind(start, 0) == 0; });
        if (g >= 0 && !waits && std::none_of(games_[g].entries.begin(), games_[g].entries.end(), [&](const Entry& e) {
                return !e.deleted && e.key.rfind(start, 0) == 0;
            }))
            Fail("the open session in the checkpoint was lost: " + checkpoint->open->logPath);
    }
}

void Model::AfterEvent() {
    TakeReport();
    ticked_ = false;
    if (dead_) {
        Note("(died)");
        Kill();
    }
    if (error_.empty()) Check();
}

void Model::Heal() {
    Note("heal: faults cleared, the game ends, a retry, close, start again");
    faults_.clear();
    killIn_.reset();
    if (recorder_->IsOpen()) recorder_->GameEnded();
    running_ = false;
    clock_.Advance(SessionRecorder::kRetryMs / 1000 + 1);
    recorder_->Tick();
    ticked_ = true;
    TakeReport();
    ticked_ = false;
    recorder_->Close();
    TakeReport();
    Kill();
    ResolveDoubts();
    if (!CheckLogs(true)) return;
    if (!recorder_->Pending().empty()) {
        std::string waiting = "sessions still wait with nothing failing:";
        for (const PendingRecord& r : recorder_->Pending()) waiting += "\n  " + r.logPath + " " + r.line;
        return (void)Fail(waiting);
    }
    if (fs_.FileBytes(CheckpointFilePath(kRoot))) {
        recorder_->Close();
        if (fs_.FileBytes(CheckpointFilePath(kRoot))) return (void)Fail("the checkpoint stays with nothing in it");
    }
}

std::string Model::Run() {
    if (stats_) ++stats_->sequences;
    SetUp();
    AfterEvent();
    while (at_ < size_ && error_.empty()) {
        Event();
        AfterEvent();
    }
    if (error_.empty()) Heal();
    return error_;
}

}  // namespace

std::string RunRecorderModel(const uint8_t* bytes, size_t size, ModelStats* stats) {
    Model model(bytes, size, stats);
    return model.Run();
}

std::vector<uint8_t> ShrinkModelSequence(std::vector<uint8_t> bytes) {
    // The same check must break, not just any.
    auto kind = [](const std::string& broken) { return broken.substr(0, broken.find_first_of(":\n")); };
    const std::string first = kind(RunRecorderModel(bytes.data(), bytes.size()));
    auto breaks = [&](const std::vector<uint8_t>& b) {
        const std::string broken = RunRecorderModel(b.data(), b.size());
        return !broken.empty() && kind(broken) == first;
    };
    if (!breaks(bytes)) return bytes;
    for (size_t chunk = bytes.size() / 2; chunk >= 1; chunk /= 2) {
        bool cut = true;
        while (cut) {
            cut = false;
            for (size_t at = 0; at + chunk <= bytes.size(); at += chunk) {
                std::vector<uint8_t> shorter = bytes;
                shorter.erase(shorter.begin() + static_cast<std::ptrdiff_t>(at),
                              shorter.begin() + static_cast<std::ptrdiff_t>(at + chunk));
                if (breaks(shorter)) {
                    bytes = std::move(shorter);
                    cut = true;
                    break;
                }
            }
        }
        if (chunk == 1) break;
    }
    return bytes;
}

std::vector<uint8_t> ModelSequence(uint32_t seed, size_t size) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

}  // namespace kibolt::test
