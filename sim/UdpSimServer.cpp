#include "sim/UdpSimServer.h"

#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <queue>
#include <vector>

CUdpSimServer::~CUdpSimServer() {
    if (m_socket >= 0) ::close(m_socket);
}

bool CUdpSimServer::Bind(const std::string& host, uint16_t port, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* list = nullptr;
    std::string service = std::to_string(port);
    int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (rc != 0) {
        *error = "cannot resolve " + host + ": " + gai_strerror(rc);
        return false;
    }
    std::string last = "no address";
    for (addrinfo* a = list; a && m_socket < 0; a = a->ai_next) {
        int s = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (s < 0) {
            last = std::strerror(errno);
            continue;
        }
        if (bind(s, a->ai_addr, a->ai_addrlen) != 0) {
            last = std::strerror(errno);
            ::close(s);
            continue;
        }
        // Room for a request from every PLC's client at once (254 nodes asking side by side); the
        // system caps it at its own maximum.
        int room = 4 << 20;
        setsockopt(s, SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
        sockaddr_storage bound{};
        socklen_t len = sizeof bound;
        getsockname(s, reinterpret_cast<sockaddr*>(&bound), &len);
        m_port = bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                             : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
        m_socket = s;
    }
    freeaddrinfo(list);
    if (m_socket < 0) {
        *error = "cannot listen on " + host + " port " + service + ": " + last;
        return false;
    }
    return true;
}

void CUdpSimServer::Run() {
    using Clock = std::chrono::steady_clock;
    struct Outgoing {
        Clock::time_point due;
        uint64_t order;  // replies due at one time go out in the order they were made
        sockaddr_storage to;
        socklen_t toLength;
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
            ::sendto(m_socket, o.bytes.data(), o.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&o.to), o.toLength);
            queue.pop();
        }
        // To the nanosecond: a reply a millisecond late for every command would add up over a
        // sequence. At most 100 ms, which is also how soon Stop() is noticed.
        long long wait = 100000000;
        if (!queue.empty())
            wait = std::min<long long>(
                wait, std::max<long long>(
                          std::chrono::duration_cast<std::chrono::nanoseconds>(queue.top().due - now).count(), 0));
        timespec timeout{static_cast<time_t>(wait / 1000000000), static_cast<long>(wait % 1000000000)};
        pollfd p{m_socket, POLLIN, 0};
        int rc = ::ppoll(&p, 1, &timeout, nullptr);
        if (rc <= 0) continue;
        // Take every datagram waiting before the next look at the queue.
        for (;;) {
            sockaddr_storage from{};
            socklen_t fromLength = sizeof from;
            ssize_t n = ::recvfrom(m_socket, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                   reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (n < 0) break;
            if (m_log) m_log(false, buffer.data(), static_cast<size_t>(n));
            std::vector<IDatagramPeer::Scheduled> replies;
            m_peer.Deliver(std::vector<uint8_t>(buffer.begin(), buffer.begin() + n), &replies);
            Clock::time_point at = Clock::now();
            for (auto& r : replies) queue.push({at + r.delay, made++, from, fromLength, std::move(r.bytes)});
            // Replies due now go out before more requests are taken.
            if (!queue.empty() && queue.top().due <= at) break;
        }
    }
}
