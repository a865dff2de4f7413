#include "sim/UdpSimServer.h"

#include <algorithm>
#include <chrono>
#include <queue>
#include <vector>

bool CUdpSimServer::Bind(const std::string& host, uint16_t port, std::string* error) {
    if (!m_socket.Bind(host, port, error)) return false;
    m_port = m_socket.LocalPort();
    return true;
}

void CUdpSimServer::Run() {
    using Clock = std::chrono::steady_clock;
    struct Outgoing {
        Clock::time_point due;
        uint64_t order;  // replies due at one time go out in the order they were made
        CUdpSocket::Peer to;
        std::vector<uint8_t> bytes;
    };
    // Replies wait on a timer queue, each until its unit's processing time has passed; the
    // serving thread never sleeps on one, so any number of PLCs are served side by side.
    auto later = [](const Outgoing& a, const Outgoing& b) { return a.due != b.due ? a.due > b.due : a.order > b.order; };
    std::priority_queue<Outgoing, std::vector<Outgoing>, decltype(later)> queue(later);
    uint64_t made = 0;
    std::vector<uint8_t> buffer(65536);
    while (!m_stop) {
        Clock::time_point now = Clock::now();
        while (!queue.empty() && queue.top().due <= now) {
            const Outgoing& o = queue.top();
            if (m_log) m_log(true, o.bytes.data(), o.bytes.size());
            m_socket.SendTo(o.bytes.data(), o.bytes.size(), o.to);
            queue.pop();
        }
        // To the nanosecond: a reply a millisecond late for every command would add up over a
        // sequence. At most 100 ms, which is also how soon Stop() is noticed.
        std::chrono::nanoseconds wait = std::chrono::milliseconds(100);
        if (!queue.empty()) {
            const std::chrono::nanoseconds due = queue.top().due - now;
            wait = std::min(wait, std::max(due, std::chrono::nanoseconds(0)));
        }
        bool failed = false;
        if (!m_socket.WaitReadable(wait, &failed)) continue;
        // Take every datagram waiting before the next look at the queue.
        for (;;) {
            CUdpSocket::Peer from;
            size_t n = 0;
            if (m_socket.Receive(buffer.data(), buffer.size(), &n, &from) != CUdpSocket::Received::Datagram) break;
            if (m_log) m_log(false, buffer.data(), n);
            std::vector<IDatagramPeer::Scheduled> replies;
            m_peer.Deliver(std::vector<uint8_t>(buffer.begin(), buffer.begin() + n), &replies);
            Clock::time_point at = Clock::now();
            for (auto& r : replies) queue.push({at + r.delay, made++, from, std::move(r.bytes)});
            // Replies due now go out before more requests are taken.
            if (!queue.empty() && queue.top().due <= at) break;
        }
    }
}
