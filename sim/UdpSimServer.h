#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "comm/DatagramPeer.h"
#include "platform/UdpSocket.h"

// Serves a datagram peer (the simulator) on a UDP address; replies go back to each sender.
class CUdpSimServer {
public:
    explicit CUdpSimServer(IDatagramPeer& peer) : m_peer(peer) {}
    // host: an IPv4 or IPv6 literal or a name; port 0 picks a free port. False with a reason.
    bool Bind(const std::string& host, uint16_t port, std::string* error);
    uint16_t Port() const { return m_port; }
    // Serves until Stop() (from another thread or a signal handler).
    void Run();
    void Stop() { m_stop = true; }
    // Every datagram in and out, for logging.
    void SetLog(void (*log)(bool outgoing, const uint8_t* bytes, size_t length)) { m_log = log; }

private:
    IDatagramPeer& m_peer;
    CUdpSocket m_socket;
    uint16_t m_port = 0;
    std::atomic<bool> m_stop{false};
    void (*m_log)(bool, const uint8_t*, size_t) = nullptr;
};
