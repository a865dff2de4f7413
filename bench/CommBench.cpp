// Cost of our middleware over loopback UDP against bare UDP ping-pong of the same datagram
// sizes, and the CPU the waiting thread burns while a reply is slow.
#include <benchmark/benchmark.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <thread>

#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "comm/ZephDatagram.h"
#include "sim/SimServer.h"
#include "sim/UdpSimServer.h"
#include "tests/comm/ScriptedUnit.h"

namespace {
constexpr int kReads = 1000;
constexpr size_t kControllerData = 44;

// A simulator over loopback UDP with one scripted unit, served from a thread.
struct Simulator {
    CSimServer sim;
    CUdpSimServer server{sim};
    std::thread thread;
    explicit Simulator(const SimFaults& faults = SimFaults()) : sim(faults) {
        sim.AddPlc(0, 0, std::make_unique<CScriptedUnit>());
        std::string error;
        if (!server.Bind("127.0.0.1", 0, &error)) std::abort();
        thread = std::thread([this] { server.Run(); });
    }
    ~Simulator() {
        server.Stop();
        thread.join();
    }
};

struct Connection {
    CSystemClock clock;
    CLinkMiddleware mw{clock};
    CUnitSettings settings;
    RecordingPrompter prompter;
    CCommuProcess comm{settings, prompter, mw};
    Connection(uint16_t port, int tmo) {
        comm.SetProfileFile("/tmp/linksmith-bench-profile.ini");
        comm.SetDirectDeviceString("[NET]HOST:127.0.0.1;PORT:" + std::to_string(port) + ";TMO:" + std::to_string(tmo) + ";");
        if (!comm.Initialize() || !comm.OpenProject() || !comm.OpenPlc()) std::abort();
    }
    ~Connection() {
        comm.ClosePlc();
        comm.Shutdown();
    }
    bool Read() {
        return comm.RunCommand(0x0501, 0, {}, [](CCommuProcess&, uint16_t, const uint8_t*, size_t n) {
            return n == kControllerData;
        });
    }
};

// Bare UDP: a thread answers each 20-byte request with a 66-byte reply.
struct RawEcho {
    int server = -1;
    int client = -1;
    std::atomic<bool> stop{false};
    std::thread thread;
    RawEcho() {
        server = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(server, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(server, reinterpret_cast<sockaddr*>(&a), &len);
        client = socket(AF_INET, SOCK_DGRAM, 0);
        connect(client, reinterpret_cast<sockaddr*>(&a), sizeof a);
        thread = std::thread([this] {
            uint8_t in[2048];
            uint8_t out[ZephDatagram::kReplyHeader + kControllerData] = {};
            while (!stop) {
                pollfd p{server, POLLIN, 0};
                if (poll(&p, 1, 50) <= 0) continue;
                sockaddr_storage from{};
                socklen_t fl = sizeof from;
                ssize_t n = recvfrom(server, in, sizeof in, 0, reinterpret_cast<sockaddr*>(&from), &fl);
                if (n > 0) sendto(server, out, sizeof out, 0, reinterpret_cast<sockaddr*>(&from), fl);
            }
        });
    }
    ~RawEcho() {
        stop = true;
        thread.join();
        close(server);
        close(client);
    }
    void PingPong() {
        uint8_t request[ZephDatagram::kRequestHeader] = {};
        uint8_t reply[2048];
        send(client, request, sizeof request, 0);
        pollfd p{client, POLLIN, 0};
        poll(&p, 1, 1000);
        recv(client, reply, sizeof reply, 0);
    }
};

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

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
    Simulator simulator;
    Connection connection(simulator.server.Port(), 5000);
    RawEcho raw;
    double ours = 0, bare = 0;
    std::vector<double> ratios;
    for (auto _ : state) {
        for (int b = 0; b < kReads / kBatch; ++b) {
            auto t0 = std::chrono::steady_clock::now();
            for (int i = 0; i < kBatch; ++i)
                if (!connection.Read()) state.SkipWithError("read failed");
            auto t1 = std::chrono::steady_clock::now();
            for (int i = 0; i < kBatch; ++i) raw.PingPong();
            auto t2 = std::chrono::steady_clock::now();
            ours += Seconds(t1 - t0);
            bare += Seconds(t2 - t1);
            ratios.push_back(Seconds(t1 - t0) / Seconds(t2 - t1));
        }
    }
    std::sort(ratios.begin(), ratios.end());
    state.counters["reads_us"] = ours / state.iterations() / kReads * 1e6;
    state.counters["raw_us"] = bare / state.iterations() / kReads * 1e6;
    state.counters["ratio"] = ours / bare;
    state.counters["ratio_median"] = ratios[ratios.size() / 2];
}
BENCHMARK(BM_ControllerDataReadsVsRawUdp)->Unit(benchmark::kMillisecond)->Iterations(5);

// One reply delayed by 1 s: CPU time of the waiting thread, with and without a UI pump.
static void BM_WaitingThreadCpuOverDelayedReply(benchmark::State& state) {
    SimFaults faults;
    faults.delayFraction = 1;
    faults.delay = std::chrono::milliseconds(1000);
    Simulator simulator(faults);
    Connection connection(simulator.server.Port(), 5000);
    if (state.range(0)) connection.comm.SetPumpHook([] { return true; });
    double cpu = 0;
    for (auto _ : state) {
        double before = ThreadCpuMs();
        if (!connection.Read()) state.SkipWithError("read failed");
        cpu += ThreadCpuMs() - before;
    }
    state.counters["wait_cpu_ms"] = cpu / state.iterations();
}
BENCHMARK(BM_WaitingThreadCpuOverDelayedReply)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);
