// Parse and write speed of game logs, and the memory a large log takes to load.
//   kibolt_bench [--peak-memory] [benchmark flags]
//   kibolt_bench --make N FILE     writes a log of N sessions
//   kibolt_bench --load FILE       reads and parses FILE as the program does, then exits;
//                                  prints the sessions and the peak memory against the file size
//   kibolt_bench --read FILE       only reads FILE into memory as the program does: the floor of --load
//   kibolt_bench --save FILE OUT   loads FILE, then writes it to OUT as the program saves
//                                  (a temporary file beside OUT, then a rename; no flush to disk);
//                                  prints the time the writing took
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <fcntl.h>
#include <unistd.h>

#include "library/file_system_posix.h"
#include "library/game_log.h"
#include "library/library_state.h"
#include "library/time_text.h"

namespace {

using kibolt::GameLogContent;
using kibolt::SessionRecord;

constexpr const char* kCommandLine = "C:\\Games\\\x83\x51\x81\x5B\x83\x80\\game.exe -window";

// Cheap deterministic numbers, so every run measures the same bytes.
struct Lcg {
    uint64_t state;
    uint32_t Next(uint32_t bound) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(state >> 33) % bound;
    }
};

kibolt::LocalTime Utc(int64_t stamp) {
    const time_t t = static_cast<time_t>(stamp);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// Produces sessions one after another with consistent running totals,
// about 100 bytes a line, one in four with a comment.
class SessionMaker {
public:
    SessionRecord Next() {
        kibolt::SessionFieldTexts f;
        const int64_t start = stamp_;
        const int32_t play = 60 + static_cast<int32_t>(rng_.Next(20000));
        const int32_t active = play - static_cast<int32_t>(rng_.Next(static_cast<uint32_t>(play)));
        const int32_t inputs = static_cast<int32_t>(rng_.Next(5000));
        f[kibolt::kStart] = kibolt::FormatDateTime(Utc(start));
        f[kibolt::kEnd] = kibolt::FormatDateTime(Utc(start + play));
        f[kibolt::kPlay] = kibolt::FormatDuration(play);
        f[kibolt::kActive] = kibolt::FormatDuration(active);
        f[kibolt::kInputs] = std::to_string(inputs);
        f[kibolt::kTotalPlay] = kibolt::AddDurations(totalPlay_, f[kibolt::kPlay]);
        f[kibolt::kTotalActive] = kibolt::AddDurations(totalActive_, f[kibolt::kActive]);
        f[kibolt::kTotalInputs] = kibolt::AddCounts(totalInputs_, f[kibolt::kInputs]);
        switch (rng_.Next(8)) {
        case 0: f[kibolt::kComment] = "\x83\x7B\x83\x58\x90\xED, second try"; break;
        case 1: f[kibolt::kComment] = "route A cleared, saved at chapter 3"; break;
        default: break;
        }
        totalPlay_ = f[kibolt::kTotalPlay];
        totalActive_ = f[kibolt::kTotalActive];
        totalInputs_ = f[kibolt::kTotalInputs];
        stamp_ += play + 3600 + rng_.Next(86400);
        return SessionRecord(f);
    }

private:
    Lcg rng_{42};
    int64_t stamp_ = 1117656900;
    std::string totalPlay_, totalActive_, totalInputs_;
};

const char kGameComment[] = "\x83\x81\x83\x82: route A cleared\r\nroute B next\r\n";
// As the log holds it: every LF written as CR LF.
const char kGameCommentOnDisk[] = "\x83\x81\x83\x82: route A cleared\r\r\nroute B next\r\r\n";

struct Fixture {
    GameLogContent log;
    std::string bytes;  // as on disk
};

const Fixture& FixtureOf(size_t sessions) {
    static std::map<size_t, std::unique_ptr<Fixture>> cache;
    auto& slot = cache[sessions];
    if (!slot) {
        slot = std::make_unique<Fixture>();
        slot->log.commandLine = kCommandLine;
        slot->log.comment = kGameComment;
        slot->log.sessions.reserve(sessions);
        SessionMaker maker;
        for (size_t i = 0; i < sessions; ++i) slot->log.sessions.push_back(maker.Next());
        slot->bytes = kibolt::SerializeGameLog(slot->log);
    }
    return *slot;
}

void BM_ParseGameLogFile(benchmark::State& state) {
    const std::string& bytes = FixtureOf(static_cast<size_t>(state.range(0))).bytes;
    for (auto _ : state) {
        // Neither the copy (it stands for the file read) nor freeing the result is timed.
        state.PauseTiming();
        std::string onDisk = bytes;
        state.ResumeTiming();
        GameLogContent log = kibolt::ParseGameLogFile(std::move(onDisk));
        benchmark::DoNotOptimize(log.sessions.data());
        state.PauseTiming();
        log = GameLogContent();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
}

void BM_SerializeGameLog(benchmark::State& state) {
    const Fixture& f = FixtureOf(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        std::string bytes = kibolt::SerializeGameLog(f.log);
        benchmark::DoNotOptimize(bytes.data());
        state.PauseTiming();
        bytes = std::string();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.bytes.size()));
    state.counters["file_MB"] = static_cast<double>(f.bytes.size()) / 1e6;
}

// How the program saves: the log in pieces, each handed to the file as it is
// made. Here the file is a temporary one, written without the final flush to disk.
void BM_StreamGameLogToFile(benchmark::State& state) {
    const Fixture& f = FixtureOf(static_cast<size_t>(state.range(0)));
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kibolt_bench_stream_" + std::to_string(getpid()) + ".log");
    for (auto _ : state) {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const bool written = fd >= 0 && kibolt::StreamGameLog(f.log, [fd](std::string_view piece) {
                                 return write(fd, piece.data(), piece.size()) == static_cast<ssize_t>(piece.size());
                             });
        if (fd >= 0) close(fd);
        if (!written) state.SkipWithError("cannot write the temporary file");
        state.PauseTiming();
        std::filesystem::remove(path);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.bytes.size()));
    state.counters["file_MB"] = static_cast<double>(f.bytes.size()) / 1e6;
}

void BM_StreamGameLog(benchmark::State& state) {
    const Fixture& f = FixtureOf(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        size_t total = 0;
        kibolt::StreamGameLog(f.log, [&total](std::string_view piece) {
            benchmark::DoNotOptimize(piece.data());
            total += piece.size();
            return true;
        });
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.bytes.size()));
    state.counters["file_MB"] = static_cast<double>(f.bytes.size()) / 1e6;
}

BENCHMARK(BM_ParseGameLogFile)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseGameLogFile)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SerializeGameLog)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SerializeGameLog)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StreamGameLog)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreamGameLog)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_StreamGameLogToFile)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreamGameLogToFile)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);

// Kilobytes of a "Vm...:" line of /proc/self/status, or -1.
long StatusKilobytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t keyLength = std::strlen(key);
    while (std::getline(status, line)) {
        if (line.compare(0, keyLength, key) == 0) return std::atol(line.c_str() + keyLength);
    }
    return -1;
}

// Writes a log of `sessions` sessions without holding it in memory.
bool MakeLog(const std::filesystem::path& path, size_t sessions) {
    std::ofstream out(path, std::ios::binary);
    std::string chunk = std::string(kCommandLine) + "\r\n";
    SessionMaker maker;
    for (size_t i = 0; i < sessions; ++i) {
        chunk += kibolt::SessionLine(maker.Next());
        chunk += "\r\n";
        if (chunk.size() > (1 << 20)) {
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            chunk.clear();
        }
    }
    chunk += std::string(kibolt::kCommentMarker) + "\r\n" + kGameCommentOnDisk;
    out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    out.close();
    if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

// A monotonic clock (<chrono> cannot be compiled with the CP932 literals).
double Milliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The program's file operations, here on this system's files. Writes are
// not flushed to disk, so that they compare with `cp`.
kibolt::PosixFileSystem& Files() {
    static kibolt::PosixFileSystem fs(false);
    return fs;
}

// Loads a log the way the program does: its stamp, the whole file into one
// buffer, then the parse.
bool Load(const char* path, GameLogContent& log, double& fileSize) {
    kibolt::GameRecord game;
    game.logPath = path;
    if (kibolt::ReadGameLog(Files(), game) != kibolt::FsError::None) {
        std::fprintf(stderr, "cannot read %s\n", path);
        return false;
    }
    fileSize = static_cast<double>(game.stamp ? game.stamp->size : 0);
    log = std::move(game.log);
    return true;
}

void PrintPeak(size_t sessions, double fileSize, long baseline) {
    const long peak = StatusKilobytes("VmHWM:");
    std::printf(
        "peak memory loading %zu sessions: file %.1f MB, peak RSS %.1f MB = %.2fx file size "
        "(%.2fx above the %.1f MB before loading)\n",
        sessions, fileSize / 1e6, peak * 1024.0 / 1e6, peak * 1024.0 / fileSize, (peak - baseline) * 1024.0 / fileSize,
        baseline * 1024.0 / 1e6);
    std::fflush(stdout);
}

int LoadOnly(const char* path) {
    const long baseline = StatusKilobytes("VmRSS:");
    GameLogContent log;
    double fileSize = 0;
    if (!Load(path, log, fileSize)) return 1;
    PrintPeak(log.sessions.size(), fileSize, baseline);
    // Left to the system, as when the program exits.
    new GameLogContent(std::move(log));
    return 0;
}

int LoadAndSave(const char* path, const char* out) {
    GameLogContent log;
    double fileSize = 0;
    if (!Load(path, log, fileSize)) return 1;
    const double start = Milliseconds();
    const bool written = kibolt::WriteLogFile(Files(), out, log) == kibolt::FsError::None;
    const double end = Milliseconds();
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", out);
        return 1;
    }
    std::printf("write %zu sessions (%.1f MB): %.1f ms\n", log.sessions.size(), fileSize / 1e6, end - start);
    new GameLogContent(std::move(log));
    return 0;
}

// Writes a 1 000 000-session log without holding it in memory, loads it the
// way the program does (whole file, then parse) and reports the peak RSS.
// Runs before any benchmark so nothing else has raised the high-water mark.
int MeasurePeakMemory() {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kibolt_bench_" + std::to_string(getpid()) + ".log");
    if (!MakeLog(path, 1000000)) return 1;
    const long baseline = StatusKilobytes("VmRSS:");
    double fileSize = 0;
    size_t sessions = 0;
    {
        GameLogContent log;
        if (!Load(path.c_str(), log, fileSize)) return 1;
        sessions = log.sessions.size();
    }
    std::filesystem::remove(path);
    PrintPeak(sessions, fileSize, baseline);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int kept = 1;
    bool peakMemory = false;
    if (argc == 4 && std::strcmp(argv[1], "--make") == 0) {
        const long sessions = std::atol(argv[2]);
        return sessions >= 0 && MakeLog(argv[3], static_cast<size_t>(sessions)) ? 0 : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--load") == 0) return LoadOnly(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "--read") == 0) {
        auto* bytes = new kibolt::FileBuffer;  // left to the system, as --load leaves the log
        return Files().ReadFileBuffer(argv[2], *bytes, {}) == kibolt::FsError::None ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "--save") == 0) return LoadAndSave(argv[2], argv[3]);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--peak-memory") == 0) {
            peakMemory = true;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    if (peakMemory && MeasurePeakMemory() != 0) return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
