#pragma once
// The processor time a program of ours uses while the benchmark leaves it alone, and how long
// to leave it: LINKSMITH_BENCH_SECONDS (default 30, at least 1).
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

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
