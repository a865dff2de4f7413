#pragma once
#include <deque>

#include "comm/DatagramPeer.h"
#include "comm/Transport.h"

// Datagrams to and from a peer in the same process; delays follow the injected clock.
class CInProcessTransport : public ITransport {
public:
    CInProcessTransport(IDatagramPeer& peer, IClock& clock) : m_peer(peer), m_clock(clock) {}
    bool Send(const std::vector<uint8_t>& datagram, std::string* error) override;
    Receive ReceiveUntil(std::vector<uint8_t>* datagram, IClock::TimePoint deadline) override;
    void Close() override { m_closed = true; }

private:
    struct Pending {
        IClock::TimePoint due;
        std::vector<uint8_t> bytes;
    };
    IDatagramPeer& m_peer;
    IClock& m_clock;
    std::deque<Pending> m_pending;  // ordered by due time
    bool m_closed = false;
};
