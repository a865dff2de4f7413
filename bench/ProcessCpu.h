#pragma once
// The processor time a program of ours uses while the benchmark leaves it alone, and how long
// to leave it: LINKSMITH_BENCH_SECONDS (default 30, at least 1).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

// utime + stime of a process, in seconds; -1 when it cannot be read.
inline double ProcessCpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(text.substr(close + 2));
    std::string f;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> f; ++i) {
        if (i == 14) utime = std::stoull(f);
        if (i == 15) stime = std::stoull(f);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

inline double BenchSeconds() {
    const char* s = std::getenv("LINKSMITH_BENCH_SECONDS");
    return s ? std::max(1.0, std::atof(s)) : 30.0;
}

// Starts the program (args[0]) with env and its output thrown away, leaves it `settle` to start,
// then returns its processor use over BenchSeconds() in percent of one processor; -1 when it
// does not start. Stopped with `stop` afterwards.
inline double IdleCpuPercent(std::vector<std::string> args, char* const* env, std::chrono::seconds settle,
                             int stop) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    std::this_thread::sleep_for(settle);
    const double before = ProcessCpuSeconds(pid);
    const double seconds = BenchSeconds();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double used = ProcessCpuSeconds(pid) - before;
    kill(pid, stop);
    waitpid(pid, nullptr, 0);
    return 100.0 * used / seconds;
}
