// The whole-network commands on the largest network: 254 nodes, 128 of them sending (area 1 and
// area 2 shared out to the last word), so the 126 silent nodes' mapping tables are full with 128
// records and the senders' hold the 127 others; every second table holds a stale area-2 size,
// so sync has work on half the nodes. Measured in
// process, from reading the network file to the last line printed. Target: under 50 ms each.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Cli.h"
#include "model/AreaType.h"
#include "model/Prompter.h"
#include "model/SettingsFile.h"
#include "network/NetworkCheck.h"
#include "network/NetworkPlan.h"
#include "network/NetworkSync.h"

namespace {

constexpr int kNodes = 254;
constexpr int kSenders = 128;

struct BigNetwork {
    std::filesystem::path dir;
    std::string net;
    BigNetwork() {
        dir = std::filesystem::temp_directory_path() / "linksmith-network-bench";
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        net = (dir / "big.toml").string();
        std::ofstream toml(net);
        toml << "name = \"big\"\n";
        for (int number = 1; number <= kNodes; ++number) {
            CUnitSettings record;
            SettingsImage& pc = record.pc;
            pc.mappingTableMethod = 1;  // 128 records need the table in the unit
            const bool sends = number <= kSenders;
            pc.localArea1Type = AreaType::CIO;
            pc.localArea1Start = 1000;
            pc.localArea1Size = sends ? 4 : 0;
            pc.localArea1ComStart = static_cast<uint16_t>(sends ? 4 * (number - 1) : 0);
            pc.localArea2Type = AreaType::DM;
            pc.localArea2Start = 10000;
            pc.localArea2Size = sends ? 64 : 0;
            pc.localArea2ComStart = static_cast<uint16_t>(sends ? 64 * (number - 1) : 0);
            pc.mapArea1Type = AreaType::CIO;
            pc.mapArea2Type = AreaType::DM;
            // Every sender but the node itself.
            uint32_t count = 0;
            for (int other = 1; other <= kSenders; ++other) {
                if (other == number) continue;
                pc.entries[count++] = {static_cast<uint16_t>(other), 0, 4, static_cast<uint16_t>(4 * (other - 1)), 64,
                                       static_cast<uint16_t>(64 * (other - 1))};
            }
            pc.entryCount = count;
            pc.faLinkNodeCount = static_cast<uint16_t>(count);
            if (number % 2 == 0) pc.entries[0].area2Size = 32;  // a sender that has grown since
            RecordingPrompter prompter;
            CSettingsFile file(record, prompter);
            const std::string name = "node" + std::to_string(number) + ".lsm";
            file.WriteFile((dir / name).string());
            toml << "[[node]]\nnumber = " << number << "\nfile = \"" << name << "\"\n";
        }
    }
    ~BigNetwork() { std::filesystem::remove_all(dir); }
};

BigNetwork& Network() {
    static BigNetwork network;
    return network;
}

int Ctl(std::vector<const char*> args, std::string& out) {
    std::ostringstream o, e;
    const int status = RunCli(static_cast<int>(args.size()), args.data(), o, e);
    out = o.str();
    return status;
}

void BM_NetworkCheck(benchmark::State& state) {
    const std::string& net = Network().net;
    std::string out;
    for (auto _ : state) {
        if (Ctl({"linksmithctl", "network", "check", net.c_str()}, out) != 1) state.SkipWithError("unexpected status");
        benchmark::DoNotOptimize(out);
    }
    state.counters["output_bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_NetworkCheck)->Unit(benchmark::kMillisecond);

void BM_NetworkSyncDryRun(benchmark::State& state) {
    const std::string& net = Network().net;
    std::string out;
    for (auto _ : state) {
        if (Ctl({"linksmithctl", "network", "sync", "--dry-run", net.c_str()}, out) != 0)
            state.SkipWithError("unexpected status");
        benchmark::DoNotOptimize(out);
    }
    state.counters["output_bytes"] = static_cast<double>(out.size());
}
BENCHMARK(BM_NetworkSyncDryRun)->Unit(benchmark::kMillisecond);

// The parts: reading the 255 files, the page checks of every node, the checks across the nodes.
void BM_NetworkLoad(benchmark::State& state) {
    for (auto _ : state) {
        CNetworkPlan plan;
        benchmark::DoNotOptimize(plan.Load(Network().net));
    }
}
BENCHMARK(BM_NetworkLoad)->Unit(benchmark::kMillisecond);

void BM_NetworkPageChecks(benchmark::State& state) {
    CNetworkPlan plan;
    plan.Load(Network().net);
    for (auto _ : state) {
        int refused = 0;
        std::string text;
        for (const auto& n : plan.nodes) refused += CNetworkCheck::PageCheck(*n.record, text) != 0;
        if (refused) state.SkipWithError("a page check refused a node");
    }
}
BENCHMARK(BM_NetworkPageChecks)->Unit(benchmark::kMillisecond);

void BM_NetworkSyncPrepare(benchmark::State& state) {
    CNetworkPlan plan;
    plan.Load(Network().net);
    for (auto _ : state) {
        CNetworkSync sync(plan);
        if (!sync.Prepare(false) || sync.Changes().size() != kNodes / 2) state.SkipWithError("unexpected changes");
    }
}
BENCHMARK(BM_NetworkSyncPrepare)->Unit(benchmark::kMillisecond);

}  // namespace
