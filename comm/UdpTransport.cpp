#include "comm/UdpTransport.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

CUdpTransport::~CUdpTransport() { Close(); }

bool CUdpTransport::Open(const std::string& host, uint16_t port, std::string* error) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* list = nullptr;
    std::string service = std::to_string(port);
    int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (rc != 0) {
        if (error) *error = "cannot resolve host " + host + ": " + gai_strerror(rc);
        return false;
    }
    std::string last;
    for (addrinfo* a = list; a; a = a->ai_next) {
        int s = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (s < 0) {
            last = std::strerror(errno);
            continue;
        }
        if (connect(s, a->ai_addr, a->ai_addrlen) == 0) {
            m_socket = s;
            break;
        }
        last = std::strerror(errno);
        ::close(s);
    }
    freeaddrinfo(list);
    if (m_socket < 0) {
        if (error) *error = "cannot reach " + host + ":" + service + ": " + last;
        return false;
    }
    return true;
}

bool CUdpTransport::Send(const std::vector<uint8_t>& datagram, std::string* error) {
    if (m_socket < 0) {
        if (error) *error = "socket closed";
        return false;
    }
    ssize_t n = ::send(m_socket, datagram.data(), datagram.size(), 0);
    if (n != static_cast<ssize_t>(datagram.size())) {
        if (error) *error = n < 0 ? std::strerror(errno) : "short send";
        return false;
    }
    return true;
}

ITransport::Receive CUdpTransport::ReceiveUntil(std::vector<uint8_t>* datagram, IClock::TimePoint deadline) {
    if (m_socket < 0) return Receive::Failed;
    uint8_t buffer[65536];
    for (;;) {
        // The reply is often in already: take it before polling, one system call less.
        ssize_t n = ::recv(m_socket, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n >= 0) {
            datagram->assign(buffer, buffer + n);
            return Receive::Datagram;
        }
        // An ICMP "port unreachable" from an earlier send shows here; keep waiting for the time-out.
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != ECONNREFUSED && errno != EINTR)
            return Receive::Failed;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - m_clock.Now()).count();
        if (left < 0) left = 0;
        pollfd p{m_socket, POLLIN, 0};
        int rc = ::poll(&p, 1, static_cast<int>(left));
        if (rc < 0 && errno == EINTR) continue;
        if (rc < 0) return Receive::Failed;
        if (rc == 0 && m_clock.Now() >= deadline) return Receive::TimedOut;
    }
}

void CUdpTransport::Close() {
    if (m_socket >= 0) ::close(m_socket);
    m_socket = -1;
}
