#pragma once
// Loopback UDP fixtures of the communication benchmarks: the simulator served from a thread, a
// connection to it through our middleware, and a bare UDP ping-pong of given datagrams that
// measures what the same exchanges cost without our code on either side.
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "sim/SimServer.h"
#include "sim/UdpSimServer.h"

// Loopback wake-ups on a virtual machine cost a few microseconds when the woken thread shares the
// processor and several times that when an idle processor has to be woken, and the scheduler
// changes its mind over time. With two or more processors the peers answer from the last one and
// the client side keeps the others, so every exchange, ours or bare, crosses processors alike.
// LINKSMITH_BENCH_ONE_CPU=1 puts every thread on the first processor instead: the worst case for
// our side, whose worker thread then costs two more switches per exchange than a bare client.
inline void PinThread(pthread_t thread, bool peer) {
    const int count = static_cast<int>(std::thread::hardware_concurrency());
    if (count < 2) return;
    const bool oneCpu = std::getenv("LINKSMITH_BENCH_ONE_CPU") != nullptr;
    cpu_set_t set;
    CPU_ZERO(&set);
    if (oneCpu)
        CPU_SET(0, &set);
    else if (peer)
        CPU_SET(count - 1, &set);
    else
        for (int cpu = 0; cpu < count - 1; ++cpu) CPU_SET(cpu, &set);
    pthread_setaffinity_np(thread, sizeof set, &set);
}
// The calling thread, and the threads it starts from now on, on the client side.
inline void PinClientSide() { PinThread(pthread_self(), false); }

// A simulator over loopback UDP with one unit at 0/0, served from a thread.
struct BenchSimulator {
    CSimServer sim;
    CUdpSimServer server{sim};
    std::thread thread;
    explicit BenchSimulator(std::unique_ptr<ISimUnit> unit, const SimFaults& faults = SimFaults()) : sim(faults) {
        sim.AddPlc(0, 0, std::move(unit));
        std::string error;
        if (!server.Bind("127.0.0.1", 0, &error)) std::abort();
        thread = std::thread([this] { server.Run(); });
        PinThread(thread.native_handle(), true);
    }
    ~BenchSimulator() {
        server.Stop();
        thread.join();
    }
};

// Our middleware and communication object with the PLC open on the simulator's port.
struct BenchConnection {
    CSystemClock clock;
    CLinkMiddleware mw{clock};
    CUnitSettings settings;
    RecordingPrompter prompter;
    CCommuProcess comm{settings, prompter, mw};
    // extra: more device string keys, e.g. "FRAME:1004;".
    BenchConnection(uint16_t port, int tmo, const std::string& extra = std::string()) {
        comm.SetProfileFile("/tmp/linksmith-bench-profile.ini");
        comm.SetDirectDeviceString("[NET]" + extra + "HOST:127.0.0.1;PORT:" + std::to_string(port) +
                                   ";TMO:" + std::to_string(tmo) + ";");
        if (!comm.Initialize() || !comm.OpenProject() || !comm.OpenPlc()) std::abort();
    }
    ~BenchConnection() {
        comm.ClosePlc();
        comm.Shutdown();
    }
};

// The datagrams of one command sequence as our middleware sent and received them, in order.
struct CapturedExchanges {
    std::vector<std::vector<uint8_t>> requests;
    std::vector<std::vector<uint8_t>> replies;
    // Records every datagram of the connection until Stop().
    void Start(CLinkMiddleware& mw) {
        requests.clear();
        replies.clear();
        mw.SetFrameLog([this](bool outgoing, const std::vector<uint8_t>& bytes) {
            std::lock_guard<std::mutex> lock(m_mutex);
            (outgoing ? requests : replies).push_back(bytes);
        });
    }
    void Stop(CLinkMiddleware& mw) { mw.SetFrameLog({}); }
    // One reply to each request, nothing lost or doubled on the way.
    bool Paired() const { return !requests.empty() && requests.size() == replies.size(); }

private:
    std::mutex m_mutex;
};

// A bare UDP client on loopback: Exchange() sends one datagram and waits for one back.
class CRawClient {
public:
    explicit CRawClient(uint16_t port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        m_socket = socket(AF_INET, SOCK_DGRAM, 0);
        if (m_socket < 0 || connect(m_socket, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) std::abort();
    }
    ~CRawClient() { close(m_socket); }
    CRawClient(const CRawClient&) = delete;
    CRawClient& operator=(const CRawClient&) = delete;

    // The size of the answer, or -1 when none came within a second.
    ssize_t Exchange(const std::vector<uint8_t>& request) {
        send(m_socket, request.data(), request.size(), 0);
        pollfd p{m_socket, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0) return -1;
        return recv(m_socket, m_in, sizeof m_in, 0);
    }

private:
    int m_socket = -1;
    uint8_t m_in[65536];
};

// Bare UDP on both sides: a thread answers the k-th request with replies[k % n], byte for byte.
class CRawPingPong {
public:
    explicit CRawPingPong(std::vector<std::vector<uint8_t>> replies)
        : m_replies(std::move(replies)), m_server(BoundSocket()), m_client(PortOf(m_server)) {
        m_thread = std::thread([this] { Serve(); });
        PinThread(m_thread.native_handle(), true);
    }
    ~CRawPingPong() {
        m_stop = true;
        m_thread.join();
        close(m_server);
    }
    CRawPingPong(const CRawPingPong&) = delete;
    CRawPingPong& operator=(const CRawPingPong&) = delete;

    ssize_t Exchange(const std::vector<uint8_t>& request) { return m_client.Exchange(request); }

private:
    static int BoundSocket() {
        int s = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) std::abort();
        return s;
    }
    static uint16_t PortOf(int s) {
        sockaddr_in a{};
        socklen_t len = sizeof a;
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        return ntohs(a.sin_port);
    }
    void Serve() {
        uint8_t in[65536];
        size_t next = 0;
        while (!m_stop) {
            pollfd p{m_server, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            sockaddr_storage from{};
            socklen_t fl = sizeof from;
            ssize_t n = recvfrom(m_server, in, sizeof in, 0, reinterpret_cast<sockaddr*>(&from), &fl);
            if (n < 0) continue;
            const std::vector<uint8_t>& out = m_replies[next++ % m_replies.size()];
            sendto(m_server, out.data(), out.size(), 0, reinterpret_cast<sockaddr*>(&from), fl);
        }
    }

    std::vector<std::vector<uint8_t>> m_replies;
    int m_server;
    CRawClient m_client;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

inline double BenchSeconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
