#include <CLI/CLI.hpp>

#include <atomic>
#include <chrono>
#include <memory>
#include <ostream>
#include <thread>

#include "cli/Commands.h"
#include "cli/ConnectionOptions.h"
#include "monitor/MonitorEvents.h"
#include "monitor/MonitorTargets.h"
#include "monitor/UnitPool.h"
#include "platform/StopSignals.h"
#include "sim/SimServer.h"
#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
#include "sim/UnitSimulatorAdapter.h"
#endif

// linksmithctl watch: reads the unit (or every unit of a network) at an interval and prints what
// changed, one line per event, the first read as the starting state.
namespace {
struct WatchOptions {
    ConnectionOptions connection;
    std::string network;
    int intervalMs = 1000;
    int count = 0;  // 0: until a signal
    bool json = false;
};

std::atomic<bool> g_stop{false};
void OnStopSignal(int) { g_stop = true; }

void RunWatch(const WatchOptions& o, const CLI::App& cmd, CliContext& ctx) {
    std::vector<MonitorTarget> targets;
    std::unique_ptr<CSimServer> sim;
    if (!MonitorTargetsOf("watch", o.network, o.connection, cmd, ctx.err, &targets, &sim)) {
        ctx.exitCode = kExitRefused;
        return;
    }
    // SIGINT and SIGTERM (Ctrl+C on Windows) end the watch after the read under way; the
    // previous handlers come back after.
    g_stop = false;
    CStopSignals signals(&OnStopSignal);
    CUnitPool pool(targets, sim.get(), true);
    std::vector<MonitorReading> last;
    auto print = [&](const std::vector<MonitorEvent>& events) {
        for (const auto& e : events)
            ctx.out << (o.json ? CMonitorEvents::JsonLine(e) : CMonitorEvents::TextLine(e)) << "\n";
        ctx.out.flush();
    };
    for (int round = 0; !g_stop && (o.count == 0 || round < o.count); ++round) {
        const auto started = std::chrono::steady_clock::now();
        std::vector<MonitorReading> readings = pool.ReadAll();
        for (size_t i = 0; i < readings.size(); ++i)
            print(last.empty() ? CMonitorEvents::StartingState(pool.Target(i), readings[i])
                               : CMonitorEvents::Detect(pool.Target(i), last[i], readings[i]));
        last = std::move(readings);
        if (o.count != 0 && round + 1 >= o.count) break;
        const auto next = started + std::chrono::milliseconds(o.intervalMs);
        while (!g_stop && std::chrono::steady_clock::now() < next)
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
                std::chrono::milliseconds(20), next - std::chrono::steady_clock::now()));
    }
    ctx.exitCode = kExitClean;
}
}  // namespace

void AddWatchCommand(CLI::App& app, CliContext& ctx) {
    auto options = std::make_shared<WatchOptions>();
    auto* cmd = app.add_subcommand("watch",
                                   "Read the unit (or every unit of a network file) at an interval and print each "
                                   "change as a line: the first read as the starting state, then nodes joining or "
                                   "leaving the data link, upper layer changes, error bits, new error history "
                                   "records, reads failing and recovering; exit 0 after --count reads or on "
                                   "SIGINT/SIGTERM, 2 when refused");
    AddConnectionOptions(*cmd, options->connection);
    cmd->add_option("--network", options->network, "Watch every node of this network file instead of one unit");
    cmd->add_option("--interval", options->intervalMs, "Milliseconds from one read to the next (default 1000)")
        ->check(CLI::Range(100, 3600000));
    cmd->add_option("--count", options->count, "Stop after this many reads (default: until a signal)")
        ->check(CLI::Range(1, 100000000));
    cmd->add_flag("--json", options->json,
                  "One JSON object per line: time (ISO 8601), target, kind, node, old, new (and bit, label)");
    cmd->callback([&ctx, options, cmd] { RunWatch(*options, *cmd, ctx); });
}
