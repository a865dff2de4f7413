#include "comm/UdpTransport.h"

CUdpTransport::~CUdpTransport() { Close(); }

bool CUdpTransport::Open(const std::string& host, uint16_t port, std::string* error) {
    return m_socket.Connect(host, port, error);
}

bool CUdpTransport::Send(const std::vector<uint8_t>& datagram, std::string* error) {
    return m_socket.Send(datagram.data(), datagram.size(), error);
}

ITransport::Receive CUdpTransport::ReceiveUntil(std::vector<uint8_t>* datagram, IClock::TimePoint deadline) {
    if (!m_socket.IsOpen()) return Receive::Failed;
    uint8_t buffer[65536];
    for (;;) {
        // The reply is often in already: take it before waiting, one system call less. An ICMP
        // "port unreachable" from an earlier send reads as nothing; keep waiting for the time-out.
        size_t length = 0;
        switch (m_socket.Receive(buffer, sizeof buffer, &length, nullptr)) {
        case CUdpSocket::Received::Datagram:
            datagram->assign(buffer, buffer + length);
            return Receive::Datagram;
        case CUdpSocket::Received::Failed:
            return Receive::Failed;
        case CUdpSocket::Received::Nothing:
            break;
        }
        bool failed = false;
        const bool ready = m_socket.WaitReadable(deadline - m_clock.Now(), &failed);
        if (failed) return Receive::Failed;
        if (!ready && m_clock.Now() >= deadline) return Receive::TimedOut;
    }
}

void CUdpTransport::Close() { m_socket.Close(); }
