// The monitor window's cost: the program started as a user starts it (offscreen, the simulated
// unit in the faults scenario, a config folder of its own) with --monitor at its 1 s interval,
// and once without, each left alone for LINKSMITH_BENCH_SECONDS (default 30) seconds; the
// processor time the program used, as a percentage of one processor. The monitor's own share
// (the difference) should stay under 2 %. Reported, not checked.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/ProcessCpu.h"

extern char** environ;

#if !defined(LINKSMITH_PROGRAM)
#define LINKSMITH_PROGRAM ""
#endif

namespace {
// The program's processor use in percent of one processor while left alone.
double ProgramCpuPercent(bool monitor, std::string* error) {
    namespace fs = std::filesystem;
    const fs::path home = fs::temp_directory_path() / ("linksmith-monitor-bench-" + std::to_string(getpid()));
    fs::create_directories(home);
    std::vector<std::string> args = {LINKSMITH_PROGRAM, "--scenario",
                                     std::string(LINKSMITH_EXAMPLES_DIR) + "/scenario-faults.txt",
                                     std::string(LINKSMITH_EXAMPLES_DIR) + "/plant-line1.lsm"};
    if (monitor) args.push_back("--monitor");
    std::vector<std::string> envText = {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + home.string(),
                                        "HOME=" + home.string()};
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (v.rfind("QT_QPA_PLATFORM=", 0) && v.rfind("XDG_CONFIG_HOME=", 0) && v.rfind("HOME=", 0)) envText.push_back(v);
    }
    std::vector<char*> env;
    for (auto& e : envText) env.push_back(e.data());
    env.push_back(nullptr);
    // Started, the splash gone, the first reads done after 3 s.
    const double percent = IdleCpuPercent(args, env.data(), std::chrono::seconds(3), SIGKILL);
    if (percent < 0) *error = "cannot start linksmith";
    std::error_code ignored;
    fs::remove_all(home, ignored);
    return percent;
}

void BM_MonitorWindowAtOneSecondCpu(benchmark::State& state) {
    if (std::string(LINKSMITH_PROGRAM).empty()) {
        state.SkipWithError("built without the program");
        return;
    }
    for (auto _ : state) {
        std::string error;
        const double without = ProgramCpuPercent(false, &error);
        const double with = ProgramCpuPercent(true, &error);
        if (without < 0 || with < 0) {
            state.SkipWithError(error.c_str());
            return;
        }
        state.SetIterationTime(2 * BenchSeconds());
        state.counters["program_cpu_percent"] = without;
        state.counters["with_monitor_cpu_percent"] = with;
        state.counters["monitor_cpu_percent"] = with - without;
    }
}
BENCHMARK(BM_MonitorWindowAtOneSecondCpu)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
}  // namespace
