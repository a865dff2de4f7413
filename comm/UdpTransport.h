#pragma once
#include "comm/Transport.h"
#include "platform/UdpSocket.h"

// A connected UDP socket to one endpoint (IPv4 or IPv6); datagrams from elsewhere never reach it.
class CUdpTransport : public ITransport {
public:
    CUdpTransport(IClock& clock) : m_clock(clock) {}
    ~CUdpTransport() override;
    // host: a name, an IPv4 or an IPv6 literal (without brackets). False with a reason in error.
    bool Open(const std::string& host, uint16_t port, std::string* error);
    bool Send(const std::vector<uint8_t>& datagram, std::string* error) override;
    Receive ReceiveUntil(std::vector<uint8_t>* datagram, IClock::TimePoint deadline) override;
    void Close() override;

private:
    IClock& m_clock;
    CUdpSocket m_socket;
};
