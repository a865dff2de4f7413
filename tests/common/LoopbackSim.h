#pragma once
// A simulator served over UDP from a thread of the test's own, until Stop() or the end of the
// object: the units a test talks to over the real transport, as the programs reach them.
#include <cstdint>
#include <string>
#include <thread>

#include "comm/DatagramPeer.h"
#include "sim/UdpSimServer.h"

class LoopbackSim {
public:
    explicit LoopbackSim(IDatagramPeer& peer) : m_server(peer) {}
    ~LoopbackSim() { Stop(); }
    LoopbackSim(const LoopbackSim&) = delete;
    LoopbackSim& operator=(const LoopbackSim&) = delete;

    // Binds host:port (0: a free port) and starts serving; false with error when it cannot bind.
    bool Start(std::string* error, const std::string& host = "127.0.0.1", uint16_t port = 0) {
        if (!m_server.Bind(host, port, error)) return false;
        m_host = host;
        m_thread = std::thread([this] { m_server.Run(); });
        return true;
    }
    void Stop() {
        if (!m_thread.joinable()) return;
        m_server.Stop();
        m_thread.join();
    }
    int Port() const { return m_server.Port(); }
    // The device string's endpoint keys: "HOST:...;PORT:...;".
    std::string Endpoint() const { return "HOST:" + m_host + ";PORT:" + std::to_string(Port()) + ";"; }

private:
    CUdpSimServer m_server;
    std::thread m_thread;
    std::string m_host;
};
