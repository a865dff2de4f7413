// The exporter's cost. A scrape of a 40-unit network whose units answer after 20 ms: wall time
// against the floor of one unit's read sequence (5 exchanges x 20 ms), target ratio <= 1.3. And
// the exporter program between scrapes: its processor use over LINKSMITH_BENCH_SECONDS (default
// 30) seconds, target under 2 % of one processor. Both are reported as counters.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "bench/ProcessCpu.h"
#include "monitor/MonitorTargets.h"
#include "monitor/ScrapeCache.h"
#include "monitor/UnitPool.h"
#include "sim/SimServer.h"
#include "sim/UdpSimServer.h"
#include "sim/UnitSimulatorAdapter.h"

extern char** environ;

#if !defined(LINKSMITHCTL)
#define LINKSMITHCTL ""
#endif

namespace {
constexpr int kUnits = 40;
constexpr int kReplyDelayMs = 20;
constexpr int kExchangesPerRead = 5;

// The simulator hosting 40 PLCs on loopback UDP, each reply 20 ms late.
struct FortyUnits {
    FortyUnits() : sim(Faults()), server(sim) {
        for (int n = 1; n <= kUnits; ++n) sim.AddPlc(0, static_cast<uint8_t>(n), std::make_unique<CUnitSimulatorAdapter>());
        std::string error;
        server.Bind("127.0.0.1", 0, &error);
        thread = std::thread([this] { server.Run(); });
    }
    ~FortyUnits() {
        server.Stop();
        thread.join();
    }
    static SimFaults Faults() {
        SimFaults f;
        f.delay = std::chrono::milliseconds(kReplyDelayMs);
        f.delayFraction = 1;
        return f;
    }
    std::vector<MonitorTarget> Targets() const {
        std::vector<MonitorTarget> targets;
        for (int n = 1; n <= kUnits; ++n) {
            MonitorTarget t = CMonitorTargets::Single(
                "[NET]HOST:127.0.0.1;PORT:" + std::to_string(server.Port()) + ";[ADDRESS]DNA:0;DA1:" + std::to_string(n) +
                    ";",
                "", 0, 2000);
            t.label = std::to_string(n);
            targets.push_back(t);
        }
        return targets;
    }
    CSimServer sim;
    CUdpSimServer server;
    std::thread thread;
};

void BM_ScrapeFortyUnitsAnsweringAfter20ms(benchmark::State& state) {
    FortyUnits units;
    CUnitPool pool(units.Targets(), nullptr, false);
    CScrapeCache cache(pool, std::chrono::milliseconds(0));
    cache.Scrape();  // the connections opened once, as a running exporter has them
    double worst = 0;
    double total = 0;
    int scrapes = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const std::string text = cache.Scrape();
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (text.find("linksmith_up{target=\"40\"} 1") == std::string::npos) state.SkipWithError("a unit was down");
        state.SetIterationTime(ms / 1000);
        worst = std::max(worst, ms);
        total += ms;
        ++scrapes;
    }
    const double floor = kExchangesPerRead * kReplyDelayMs;
    state.counters["floor_ms"] = floor;
    state.counters["mean_ms"] = total / scrapes;
    state.counters["ratio_mean"] = total / scrapes / floor;
    state.counters["ratio_worst"] = worst / floor;
}
BENCHMARK(BM_ScrapeFortyUnitsAnsweringAfter20ms)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_ExporterBetweenScrapesCpu(benchmark::State& state) {
    if (std::string(LINKSMITHCTL).empty()) {
        state.SkipWithError("built without linksmithctl");
        return;
    }
    for (auto _ : state) {
        std::vector<std::string> args = {LINKSMITHCTL, "exporter", "--simulate", "--listen", "127.0.0.1:0"};
        const double percent = IdleCpuPercent(args, environ, std::chrono::seconds(1), SIGTERM);  // listening by then
        if (percent < 0) {
            state.SkipWithError("cannot start linksmithctl");
            return;
        }
        state.SetIterationTime(BenchSeconds());
        state.counters["cpu_percent"] = percent;
    }
}
BENCHMARK(BM_ExporterBetweenScrapesCpu)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
}  // namespace
