// Full write, read and verify of a 128-node mapping table over loopback UDP to the simulator,
// against bare UDP ping-pong of the very datagrams that operation sends and receives. Target:
// ours within 1.3 times the bare exchanges for each operation.
#include <benchmark/benchmark.h>

#include <algorithm>
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
// Operations and bare exchanges alternate in batches, so both see the same machine load; "ratio"
// is the total time of ours over the bare one, "ratio_median" the median of the batch ratios,
// "ratio_vs_sim" ours over a bare client exchanging the same datagrams with the simulator itself.
void BM_TransferVsRawUdp(benchmark::State& state) {
    constexpr int kBatch = 20;
    constexpr int kBatches = 10;
    const int operation = static_cast<int>(state.range(0));
    const int method = static_cast<int>(state.range(1));
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

    double ours = 0, bare = 0, simulated = 0;
    std::vector<double> ratios;
    for (auto _ : state) {
        for (int b = 0; b < kBatches; ++b) {
            auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < kBatch; ++i) {
                if (!RunOperation(comm, operation)) state.SkipWithError("operation failed");
                if (operation == kRead) pc = written;
            }
            auto t1 = std::chrono::steady_clock::now();
            for (int i = 0; i < kBatch; ++i)
                for (size_t k = 0; k < captured.requests.size(); ++k)
                    if (raw.Exchange(captured.requests[k]) != static_cast<ssize_t>(captured.replies[k].size()))
                        state.SkipWithError("raw reply lost or out of step");
            auto t2 = std::chrono::steady_clock::now();
            for (int i = 0; i < kBatch; ++i)
                for (size_t k = 0; k < captured.requests.size(); ++k)
                    if (toSimulator.Exchange(captured.requests[k]) != static_cast<ssize_t>(captured.replies[k].size()))
                        state.SkipWithError("simulator reply lost or changed");
            auto t3 = std::chrono::steady_clock::now();
            simulated += BenchSeconds(t3 - t2);
            ours += BenchSeconds(t1 - t0);
            bare += BenchSeconds(t2 - t1);
            ratios.push_back(BenchSeconds(t1 - t0) / BenchSeconds(t2 - t1));
        }
    }
    std::sort(ratios.begin(), ratios.end());
    const double ops = static_cast<double>(state.iterations()) * kBatches * kBatch;
    state.counters["ours_us"] = ours / ops * 1e6;
    state.counters["raw_us"] = bare / ops * 1e6;
    state.counters["raw_sim_us"] = simulated / ops * 1e6;
    state.counters["ratio"] = ours / bare;
    state.counters["ratio_median"] = ratios[ratios.size() / 2];
    // Against the bare client talking to the same simulator: only our side's cost is compared.
    state.counters["ratio_vs_sim"] = ours / simulated;
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
