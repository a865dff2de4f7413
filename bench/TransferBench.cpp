// Full write, read and verify of a 128-node mapping table over loopback UDP to the simulator,
// against bare UDP ping-pong of the very datagrams that operation sends and receives. Target:
// ours within 1.3 times the bare exchanges for each operation.
#include <benchmark/benchmark.h>

#include <numeric>
#include <vector>

#include "bench/UdpBenchServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "tests/app/FullTable.h"

namespace {
enum Operation { kWrite, kRead, kVerify };

bool RunOperation(CCommuProcess& comm, int operation) {
    switch (operation) {
    case kWrite: return comm.WriteUnitToPlc();
    case kRead: return comm.ReadUnitFromPlc() && comm.m_error == 0;
    default: return comm.VerifyUnitWithPlc() && comm.m_verifyResult.Count() == 0;
    }
}

// Arguments: the operation, the mapping table method (0 in the PLC, 1 in the unit, in chunks).
// Ours and the bare exchanges run in short batches that alternate, and swap which goes first, so
// both see the same machine load. Loopback wake-ups on a virtual machine are bimodal (a switch on
// the same core, or waking an idle one), so a batch now and then takes twice as long for either
// side: "ratio" compares the median batch times, "ratio_total" the sums, "ratio_vs_sim" ours
// against a bare client exchanging the same datagrams with the simulator itself.
void BM_TransferVsRawUdp(benchmark::State& state) {
    constexpr int kBatch = 5;
    constexpr int kBatches = 60;
    const int operation = static_cast<int>(state.range(0));
    const int method = static_cast<int>(state.range(1));
    PinClientSide();
    BenchSimulator simulator(std::make_unique<CUnitSimulatorAdapter>());
    BenchConnection connection(simulator.server.Port(), 5000, "FRAME:1004;");
    CCommuProcess& comm = connection.comm;
    SettingsImage& pc = connection.settings.pc;
    pc.mappingTableMethod = static_cast<uint16_t>(method);
    pc.systemFlags = CUnitSettings::ComposeSystemFlags(pc.systemFlags, pc);
    FillFullTable(pc);
    comm.m_mapMethod = method;
    // The unit holds the table before a read or a verify; a read leaves the same record behind.
    if (!comm.WriteUnitToPlc()) {
        state.SkipWithError("first write failed");
        return;
    }
    const SettingsImage written = pc;

    CapturedExchanges captured;
    captured.Start(connection.mw);
    bool ok = RunOperation(comm, operation);
    captured.Stop(connection.mw);
    if (!ok || !captured.Paired()) {
        state.SkipWithError("captured sequence failed");
        return;
    }
    CRawPingPong raw(captured.replies);
    // The same requests from a bare client to the simulator: what its side of the exchange costs.
    CRawClient toSimulator(simulator.server.Port());
    size_t bytes = 0;
    for (size_t i = 0; i < captured.requests.size(); ++i)
        bytes += captured.requests[i].size() + captured.replies[i].size();

    auto runOurs = [&] {
        auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < kBatch; ++i) {
            if (!RunOperation(comm, operation)) state.SkipWithError("operation failed");
            if (operation == kRead) pc = written;
        }
        return BenchSeconds(std::chrono::steady_clock::now() - t0);
    };
    auto runBare = [&](auto& peer, const char* lost) {
        auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < kBatch; ++i)
            for (size_t k = 0; k < captured.requests.size(); ++k)
                if (peer.Exchange(captured.requests[k]) != static_cast<ssize_t>(captured.replies[k].size()))
                    state.SkipWithError(lost);
        return BenchSeconds(std::chrono::steady_clock::now() - t0);
    };
    std::vector<double> ours, bare, simulated;
    for (auto _ : state) {
        for (int b = 0; b < kBatches; ++b) {
            if (b % 2) ours.push_back(runOurs());
            bare.push_back(runBare(raw, "raw reply lost or out of step"));
            simulated.push_back(runBare(toSimulator, "simulator reply lost or changed"));
            if (b % 2 == 0) ours.push_back(runOurs());
        }
    }
    auto total = [](const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0); };
    const double ops = static_cast<double>(ours.size()) * kBatch;
    state.counters["ours_us"] = total(ours) / ops * 1e6;
    state.counters["raw_us"] = total(bare) / ops * 1e6;
    state.counters["raw_sim_us"] = total(simulated) / ops * 1e6;
    state.counters["ratio"] = Median(ours) / Median(bare);
    state.counters["ratio_total"] = total(ours) / total(bare);
    state.counters["ratio_vs_sim"] = Median(ours) / Median(simulated);
    state.counters["datagrams"] = static_cast<double>(captured.requests.size());
    state.counters["bytes"] = static_cast<double>(bytes);
    if (!connection.prompter.shown.empty()) state.SkipWithError("a message was shown");
}
BENCHMARK(BM_TransferVsRawUdp)
    ->ArgNames({"op", "method"})
    ->ArgsProduct({{kWrite, kRead, kVerify}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
}  // namespace
