#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "model/Prompter.h"
#include "model/SettingsFile.h"

extern char** environ;

#if !defined(LINKSMITH_PROGRAM)
#define LINKSMITH_PROGRAM ""  // built without the Qt program
#endif

// From process start to the main window shown, with a settings file holding all 128 nodes:
// the program is started as a user starts it (offscreen, a config folder of its own) and says
// when its window is up (LINKSMITH_STARTUP_REPORT). The splash never delays the window.
// Wall time is from the spawn to that line; "in_process_ms" is the program's own figure from
// entering main. Both are reported, not checked.

namespace {

namespace fs = std::filesystem;

// Every node of the table in use, each with a share of both common memory areas.
bool WriteLargestFile(const std::string& path) {
    CUnitSettings record;
    RecordingPrompter prompter;
    CSettingsFile file(record, prompter);
    record.ResetToDefaults();
    record.pc.entryCount = kMaxMappingEntries;
    for (uint16_t n = 0; n < kMaxMappingEntries; ++n) {
        MappingEntry& e = record.pc.entries[n];
        e = MappingEntry{};
        e.nodeNumber = static_cast<uint16_t>(n + 2);
        e.area1Size = 2;
        e.area1Offset = static_cast<uint16_t>(n * 2);
        e.area2Size = 32;
        e.area2Offset = static_cast<uint16_t>(n * 32);
    }
    record.comment = "start-up bench";
    if (!file.WriteFile(path)) return false;
    // It must read back without a warning, or the program would wait at a message box.
    CUnitSettings check;
    CSettingsFile reader(check, prompter);
    return reader.ReadFile(path, false) && prompter.shown.empty() && check.pc.entryCount == kMaxMappingEntries;
}

struct Run {
    bool ok = false;
    double wallMs = 0;
    double inProcessMs = 0;
    std::string error;
};

Run StartOnce(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
    Run run;
    int out[2];
    if (pipe(out) != 0) {
        run.error = "pipe";
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    std::vector<std::string> envText;
    for (char** e = environ; *e; ++e) envText.push_back(*e);
    for (const std::string& e : extraEnv) envText.push_back(e);
    std::vector<char*> env, argv;
    for (std::string& e : envText) env.push_back(e.data());
    env.push_back(nullptr);
    std::string program = LINKSMITH_PROGRAM;
    argv.push_back(program.data());
    std::vector<std::string> argText = args;
    for (std::string& a : argText) argv.push_back(a.data());
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
        close(out[0]);
        run.error = "cannot start " + program;
        return run;
    }
    std::string line;
    const auto deadline = start + std::chrono::seconds(20);
    while (line.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        pollfd p{out[0], POLLIN, 0};
        if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) break;
        char buf[256];
        const ssize_t n = read(out[0], buf, sizeof buf);
        if (n <= 0) break;
        line.append(buf, static_cast<size_t>(n));
    }
    const auto shown = std::chrono::steady_clock::now();
    close(out[0]);
    const size_t at = line.find("shown ");
    if (line.find('\n') == std::string::npos || at == std::string::npos) {
        kill(pid, SIGKILL);
        run.error = "no report from the program (a message box waiting?)";
    } else {
        run.ok = true;
        run.wallMs = std::chrono::duration<double, std::milli>(shown - start).count();
        run.inProcessMs = std::atof(line.c_str() + at + 6);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return run;
}

void BM_StartToMainWindowWith128Nodes(benchmark::State& state) {
    if (std::string(LINKSMITH_PROGRAM).empty()) {
        state.SkipWithError("built without the linksmith program");
        return;
    }
    const fs::path dir = fs::temp_directory_path() / ("linksmith-startup-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string file = (dir / "nodes128.lsm").string();
    if (!WriteLargestFile(file)) {
        state.SkipWithError("the 128-node settings file could not be made");
        return;
    }
    std::vector<std::string> args;
    if (state.range(0) == 1) args.push_back("--simulate");
    args.push_back(file);
    const std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "LINKSMITH_STARTUP_REPORT=1",
                                          "XDG_CONFIG_HOME=" + dir.string()};
    double inProcess = 0;
    int runs = 0;
    for (auto _ : state) {
        Run run = StartOnce(args, env);
        if (!run.ok) {
            state.SkipWithError(run.error.c_str());
            break;
        }
        state.SetIterationTime(run.wallMs / 1000.0);
        inProcess += run.inProcessMs;
        ++runs;
    }
    if (runs > 0) state.counters["in_process_ms"] = inProcess / runs;
    state.SetLabel(state.range(0) == 1 ? "--simulate" : "plain");
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

// The same start in Japanese and in English, one after the other in every iteration, so both meet
// the same machine load: the English texts come from the translations (the core's table and the
// Qt layer's .qm) and must not make the start noticeably slower. "en_over_ja" is the ratio of the
// mean wall times.
void BM_StartInEnglishBesideJapanese(benchmark::State& state) {
    if (std::string(LINKSMITH_PROGRAM).empty()) {
        state.SkipWithError("built without the linksmith program");
        return;
    }
    const fs::path dir = fs::temp_directory_path() / ("linksmith-startup-lang-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string file = (dir / "nodes128.lsm").string();
    if (!WriteLargestFile(file)) {
        state.SkipWithError("the 128-node settings file could not be made");
        return;
    }
    const std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "LINKSMITH_STARTUP_REPORT=1",
                                          "XDG_CONFIG_HOME=" + dir.string()};
    double wall[2] = {0, 0}, inProcess[2] = {0, 0};
    int runs = 0;
    for (auto _ : state) {
        double total = 0;
        bool ok = true;
        for (int language = 0; language < 2 && ok; ++language) {
            Run run = StartOnce({"--lang", language == 0 ? "ja" : "en", file}, env);
            if (!run.ok) {
                state.SkipWithError(run.error.c_str());
                ok = false;
                break;
            }
            wall[language] += run.wallMs;
            inProcess[language] += run.inProcessMs;
            total += run.wallMs;
        }
        if (!ok) break;
        state.SetIterationTime(total / 1000.0);
        ++runs;
    }
    if (runs > 0) {
        state.counters["ja_ms"] = wall[0] / runs;
        state.counters["en_ms"] = wall[1] / runs;
        state.counters["ja_in_process_ms"] = inProcess[0] / runs;
        state.counters["en_in_process_ms"] = inProcess[1] / runs;
        state.counters["en_over_ja"] = wall[0] > 0 ? wall[1] / wall[0] : 0;
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

}  // namespace

BENCHMARK(BM_StartInEnglishBesideJapanese)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_StartToMainWindowWith128Nodes)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond);
