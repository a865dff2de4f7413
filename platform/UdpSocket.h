#pragma once
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

// One UDP socket, IPv4 or IPv6, on the system's own socket calls (one file per system). Never
// blocks except in WaitReadable; failures come back as false with the system's reason.
class CUdpSocket {
public:
    // A sender's address as the system gives it, to answer it with SendTo.
    struct Peer {
        alignas(8) unsigned char bytes[128];
        unsigned length = 0;
    };
    enum class Received { Datagram, Nothing, Failed };

    CUdpSocket() = default;
    ~CUdpSocket();
    CUdpSocket(const CUdpSocket&) = delete;
    CUdpSocket& operator=(const CUdpSocket&) = delete;

    // Connected to one endpoint: datagrams from elsewhere never reach it. host: a name or an
    // IPv4/IPv6 literal (without brackets).
    bool Connect(const std::string& host, uint16_t port, std::string* error);
    // Bound to a local address; port 0 takes a free port (LocalPort tells which).
    bool Bind(const std::string& host, uint16_t port, std::string* error);
    bool IsOpen() const;
    uint16_t LocalPort() const;

    bool Send(const uint8_t* data, size_t size, std::string* error);
    bool SendTo(const uint8_t* data, size_t size, const Peer& to);
    // Takes one waiting datagram without waiting. Nothing also after an ICMP "port unreachable"
    // answering an earlier send: the caller keeps waiting for its own time-out.
    Received Receive(uint8_t* buffer, size_t capacity, size_t* length, Peer* from);
    // True when a datagram is waiting or arrives within the time (0: just look). failed is set
    // when the wait itself failed; a wait interrupted by a signal only returns false.
    bool WaitReadable(std::chrono::nanoseconds time, bool* failed);
    void Close();

private:
    // The system's socket handle (an int on Linux, a SOCKET on Windows), -1 when closed.
    intptr_t m_handle = -1;
};
