// Cost of our middleware over loopback UDP against bare UDP ping-pong of the same datagram
// sizes, and the CPU the waiting thread burns while a reply is slow.
#include <benchmark/benchmark.h>

#include <ctime>

#include "bench/UdpBenchServer.h"
#include "comm/ZephDatagram.h"
#include "tests/comm/ScriptedUnit.h"

namespace {
constexpr int kReads = 1000;
constexpr size_t kControllerData = 44;

bool ControllerDataRead(CCommuProcess& comm) {
    return comm.RunCommand(0x0501, 0, {}, [](CCommuProcess&, uint16_t, const uint8_t*, size_t n) {
        return n == kControllerData;
    });
}

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}
}  // namespace

// 1000 sequential controller data reads through CCommuProcess against 1000 raw ping-pongs, in
// alternating batches of 50 so both see the same machine load. "ratio" is the total time of ours
// over the raw one, "ratio_median" the median of the batch ratios.
static void BM_ControllerDataReadsVsRawUdp(benchmark::State& state) {
    constexpr int kBatch = 50;
    PinClientSide();
    BenchSimulator simulator(std::make_unique<CScriptedUnit>());
    BenchConnection connection(simulator.server.Port(), 5000);
    // A 20-byte request and a 66-byte reply, as the controller data read sends and gets.
    CRawPingPong raw({std::vector<uint8_t>(ZephDatagram::kReplyHeader + kControllerData)});
    const std::vector<uint8_t> request(ZephDatagram::kRequestHeader);
    double ours = 0, bare = 0;
    std::vector<double> ratios;
    for (auto _ : state) {
        for (int b = 0; b < kReads / kBatch; ++b) {
            auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < kBatch; ++i)
                if (!ControllerDataRead(connection.comm)) state.SkipWithError("read failed");
            auto t1 = std::chrono::steady_clock::now();
            for (int i = 0; i < kBatch; ++i)
                if (raw.Exchange(request) < 0) state.SkipWithError("raw reply lost");
            auto t2 = std::chrono::steady_clock::now();
            ours += BenchSeconds(t1 - t0);
            bare += BenchSeconds(t2 - t1);
            ratios.push_back(BenchSeconds(t1 - t0) / BenchSeconds(t2 - t1));
        }
    }
    state.counters["reads_us"] = ours / state.iterations() / kReads * 1e6;
    state.counters["raw_us"] = bare / state.iterations() / kReads * 1e6;
    state.counters["ratio"] = ours / bare;
    state.counters["ratio_median"] = Median(ratios);
}
BENCHMARK(BM_ControllerDataReadsVsRawUdp)->Unit(benchmark::kMillisecond)->Iterations(5);

// One reply delayed by 1 s: CPU time of the waiting thread, with and without a UI pump.
static void BM_WaitingThreadCpuOverDelayedReply(benchmark::State& state) {
    SimFaults faults;
    faults.delayFraction = 1;
    faults.delay = std::chrono::milliseconds(1000);
    BenchSimulator simulator(std::make_unique<CScriptedUnit>(), faults);
    BenchConnection connection(simulator.server.Port(), 5000);
    if (state.range(0)) connection.comm.SetPumpHook([] { return true; });
    double cpu = 0;
    for (auto _ : state) {
        double before = ThreadCpuMs();
        if (!ControllerDataRead(connection.comm)) state.SkipWithError("read failed");
        cpu += ThreadCpuMs() - before;
    }
    state.counters["wait_cpu_ms"] = cpu / state.iterations();
}
BENCHMARK(BM_WaitingThreadCpuOverDelayedReply)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);
