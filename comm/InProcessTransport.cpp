#include "comm/InProcessTransport.h"

#include <algorithm>

bool CInProcessTransport::Send(const std::vector<uint8_t>& datagram, std::string* error) {
    if (m_closed) {
        if (error) *error = "transport closed";
        return false;
    }
    std::vector<IDatagramPeer::Scheduled> replies;
    m_peer.Deliver(datagram, &replies);
    IClock::TimePoint now = m_clock.Now();
    for (auto& r : replies) {
        Pending p{now + r.delay, std::move(r.bytes)};
        auto at = std::upper_bound(m_pending.begin(), m_pending.end(), p.due,
                                   [](IClock::TimePoint t, const Pending& q) { return t < q.due; });
        m_pending.insert(at, std::move(p));
    }
    return true;
}

ITransport::Receive CInProcessTransport::ReceiveUntil(std::vector<uint8_t>* datagram, IClock::TimePoint deadline) {
    if (m_closed) return Receive::Failed;
    if (!m_pending.empty() && m_pending.front().due <= deadline) {
        // Nothing else can arrive meanwhile: the peer answers only when we send.
        if (m_pending.front().due > m_clock.Now()) m_clock.SleepUntil(m_pending.front().due);
        *datagram = std::move(m_pending.front().bytes);
        m_pending.pop_front();
        return Receive::Datagram;
    }
    if (deadline > m_clock.Now()) m_clock.SleepUntil(deadline);
    return Receive::TimedOut;
}
