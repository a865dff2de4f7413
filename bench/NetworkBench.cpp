// The whole-network commands on the largest network: 254 nodes, 128 of them sending (area 1 and
// area 2 shared out to the last word), so the 126 silent nodes' mapping tables are full with 128
// records and the senders' hold the 127 others; every second table holds a stale area-2 size,
// so sync has work on half the nodes. Measured in
// process, from reading the network file to the last line printed. Target: under 50 ms each.
//
// The operations on every unit: 254 simulated units on one linksmith-unitsim over loopback UDP,
// each answering every command after 20 ms. The units work side by side, so the floor of a
// network verify or read is the longest single node's command sequence times 20 ms; the counter
// ratio_vs_floor is the wall time over that floor (target: 1.3 or less with every node at once),
// measured beside --jobs 1, with the peak memory of this process (the client side). A read saves
// every file with a flush to the disk before its rename; the floor has no room for that, so the
// read is measured into a folder in memory (/dev/shm) and, apart, into one on the disk.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>

#include "cli/Cli.h"
#include "model/AreaType.h"
#include "model/Prompter.h"
#include "model/SettingsFile.h"
#include "comm/ZephDatagram.h"
#include "network/NetworkCheck.h"
#include "network/NetworkOperations.h"
#include "network/NetworkPlan.h"
#include "network/NetworkSync.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "tests/common/ChildProgram.h"


namespace {

constexpr int kNodes = 254;
constexpr int kSenders = 128;

struct BigNetwork {
    std::filesystem::path dir;
    std::string net;
    explicit BigNetwork(const std::string& name = "linksmith-network-bench") {
        dir = std::filesystem::temp_directory_path() / name;
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


// --- The operations on every unit ---------------------------------------------------------

constexpr int kUnitDelayMs = 20;

// The big network with its tables synced, so check finds no error and write goes ahead.
BigNetwork& SyncedNetwork() {
    static BigNetwork network = [] {
        BigNetwork n("linksmith-network-bench-units");
        std::string out;
        Ctl({"linksmithctl", "network", "sync", n.net.c_str()}, out);
        return n;
    }();
    return network;
}

// linksmith-unitsim hosting a PLC at 1:N for every node, each taking 20 ms for every command.
struct UnitSimProgram {
    ChildProgram child;
    int port = 0;
    UnitSimProgram() {
        if (child.Start({LINKSMITH_UNITSIM, "--port", "0", "--plc", "1:1-254", "--delay", std::to_string(kUnitDelayMs)}))
            port = child.ReadPort();
    }
    std::string Gateway() const { return "[NET]HOST:127.0.0.1;PORT:" + std::to_string(port) + ";TMO:5000;"; }
};

// Counts the requests each PLC gets, in front of an in-process simulator without delay.
class CountingPeer : public IDatagramPeer {
public:
    explicit CountingPeer(IDatagramPeer& peer) : m_peer(peer) {}
    void Deliver(const std::vector<uint8_t>& request, std::vector<Scheduled>* replies) override {
        ZephDatagram d;
        if (DecodeDatagram(request.data(), request.size(), &d) == DatagramCheck::Ok) {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_counts[d.destination.node];
        }
        m_peer.Deliver(request, replies);
    }
    int Longest() const {
        int most = 0;
        for (const auto& kv : m_counts) most = std::max(most, kv.second);
        return most;
    }
    void Reset() { m_counts.clear(); }

private:
    IDatagramPeer& m_peer;
    std::mutex m_mutex;
    std::map<int, int> m_counts;
};

// The units written with the network's files once, and the longest node's command sequence of a
// verify and of a read of them, counted on an in-process copy of the same units.
struct UnitsFixture {
    UnitSimProgram program;
    ~UnitsFixture() {
        std::error_code ec;
        std::filesystem::remove_all(memoryDir, ec);
    }
    int verifyCommands = 0;
    int readCommands = 0;
    bool ready = false;
    std::string diskDir;
    std::string memoryDir;
    UnitsFixture() {
        const BigNetwork& network = SyncedNetwork();
        diskDir = (network.dir / "read").string();
        memoryDir = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/linksmith-network-bench-read" : diskDir;
        if (program.port <= 0) return;
        const std::string gateway = program.Gateway();
        std::string out;
        if (Ctl({"linksmithctl", "network", "write", network.net.c_str(), "--yes", "--gateway", gateway.c_str()}, out) != 0)
            return;
        CNetworkPlan plan;
        plan.Load(network.net);
        CSimServer sim;
        for (const auto& n : plan.nodes) sim.AddPlc(1, static_cast<uint8_t>(n.Number()), std::make_unique<CUnitSimulatorAdapter>());
        CountingPeer counting(sim);
        NetworkOperationOptions options;
        options.simulatedPeer = &counting;
        options.outDir = (network.dir / "read-counted").string();
        CNetworkOperations operations(plan, options);
        if (operations.Run(NetworkOperation::Write).ExitStatus() != 0) return;
        counting.Reset();
        if (operations.Run(NetworkOperation::Verify).ExitStatus() != 0) return;
        verifyCommands = counting.Longest();
        counting.Reset();
        if (operations.Run(NetworkOperation::Read).ExitStatus() != 0) return;
        readCommands = counting.Longest();
        ready = true;
    }
};

UnitsFixture& Units() {
    static UnitsFixture fixture;
    return fixture;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// network verify or read of the 254 units; state.range(0) is --jobs, 0 for every node at once.
void RunOnUnits(benchmark::State& state, const char* operation, int commands, const std::string& outDir = {}) {
    UnitsFixture& units = Units();
    if (!units.ready) {
        state.SkipWithError("the simulated units could not be written");
        return;
    }
    const std::string gateway = units.program.Gateway();
    const std::string jobs = std::to_string(state.range(0));
    std::vector<const char*> args = {"linksmithctl", "network", operation, SyncedNetwork().net.c_str(), "--gateway",
                                     gateway.c_str()};
    if (state.range(0) > 0) {
        args.push_back("--jobs");
        args.push_back(jobs.c_str());
    }
    if (std::string(operation) == "read") {
        args.push_back("--out");
        args.push_back(outDir.c_str());
    }
    std::string out;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = Ctl(args, out);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status != 0) state.SkipWithError(("exit status " + std::to_string(status) + "\n" + out).c_str());
    }
    const double floor = commands * kUnitDelayMs / 1000.0;
    state.counters["floor_ms"] = floor * 1000;
    state.counters["commands_longest_node"] = commands;
    state.counters["ratio_vs_floor"] = seconds / static_cast<double>(state.iterations()) / floor;
    state.counters["peak_rss_mb"] = PeakMegabytes();
}

void BM_NetworkVerifyUnits(benchmark::State& state) {
    RunOnUnits(state, "verify", Units().verifyCommands);
}
BENCHMARK(BM_NetworkVerifyUnits)->Arg(0)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NetworkVerifyUnits)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NetworkReadUnits(benchmark::State& state) {
    RunOnUnits(state, "read", Units().readCommands, Units().memoryDir);
}
BENCHMARK(BM_NetworkReadUnits)->Arg(0)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NetworkReadUnits)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same into a folder on the disk, each of the 254 files flushed before its rename.
void BM_NetworkReadUnitsToDisk(benchmark::State& state) {
    RunOnUnits(state, "read", Units().readCommands, Units().diskDir);
}
BENCHMARK(BM_NetworkReadUnitsToDisk)->Arg(0)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
