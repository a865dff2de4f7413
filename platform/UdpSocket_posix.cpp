#include "platform/UdpSocket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

namespace {
using Attempt = bool (*)(int socket, const addrinfo& address);

// Tries each address the name resolves to until one socket takes the step (connect or bind).
intptr_t OpenFirst(const std::string& host, uint16_t port, bool passive, Attempt step, std::string* problem,
                   bool* unresolved) {
    *unresolved = false;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = passive ? AI_PASSIVE : 0;
    addrinfo* list = nullptr;
    const std::string service = std::to_string(port);
    const int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (rc != 0) {
        *problem = gai_strerror(rc);
        *unresolved = true;
        return -1;
    }
    int chosen = -1;
    *problem = "no address";
    for (addrinfo* a = list; a && chosen < 0; a = a->ai_next) {
        const int s = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (s < 0) {
            *problem = std::strerror(errno);
            continue;
        }
        if (step(s, *a)) {
            chosen = s;
        } else {
            *problem = std::strerror(errno);
            ::close(s);
        }
    }
    freeaddrinfo(list);
    return chosen;
}
}  // namespace

CUdpSocket::~CUdpSocket() { Close(); }

bool CUdpSocket::IsOpen() const { return m_handle >= 0; }

bool CUdpSocket::Connect(const std::string& host, uint16_t port, std::string* error) {
    Close();
    std::string problem;
    bool unresolved = false;
    auto connectTo = [](int s, const addrinfo& a) { return ::connect(s, a.ai_addr, a.ai_addrlen) == 0; };
    m_handle = OpenFirst(host, port, false, connectTo, &problem, &unresolved);
    if (m_handle < 0 && error)
        *error = unresolved ? "cannot resolve host " + host + ": " + problem
                            : "cannot reach " + host + ":" + std::to_string(port) + ": " + problem;
    return m_handle >= 0;
}

bool CUdpSocket::Bind(const std::string& host, uint16_t port, std::string* error) {
    Close();
    std::string problem;
    bool unresolved = false;
    auto bindAndSize = [](int s, const addrinfo& a) {
        if (::bind(s, a.ai_addr, a.ai_addrlen) != 0) return false;
        // Room for a request from every PLC's client at once; the system caps it at its maximum.
        int room = 4 << 20;
        setsockopt(s, SOL_SOCKET, SO_RCVBUF, &room, sizeof room);
        return true;
    };
    m_handle = OpenFirst(host, port, true, bindAndSize, &problem, &unresolved);
    if (m_handle < 0 && error)
        *error = unresolved ? "cannot resolve " + host + ": " + problem
                            : "cannot listen on " + host + " port " + std::to_string(port) + ": " + problem;
    return m_handle >= 0;
}

uint16_t CUdpSocket::LocalPort() const {
    if (m_handle < 0) return 0;
    sockaddr_storage bound{};
    socklen_t len = sizeof bound;
    if (getsockname(static_cast<int>(m_handle), reinterpret_cast<sockaddr*>(&bound), &len) != 0) return 0;
    return bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                       : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
}

bool CUdpSocket::Send(const uint8_t* data, size_t size, std::string* error) {
    if (m_handle < 0) {
        if (error) *error = "socket closed";
        return false;
    }
    const ssize_t n = ::send(static_cast<int>(m_handle), data, size, 0);
    if (n != static_cast<ssize_t>(size)) {
        if (error) *error = n < 0 ? std::strerror(errno) : "short send";
        return false;
    }
    return true;
}

bool CUdpSocket::SendTo(const uint8_t* data, size_t size, const Peer& to) {
    if (m_handle < 0) return false;
    return ::sendto(static_cast<int>(m_handle), data, size, 0, reinterpret_cast<const sockaddr*>(to.bytes),
                    to.length) == static_cast<ssize_t>(size);
}

CUdpSocket::Received CUdpSocket::Receive(uint8_t* buffer, size_t capacity, size_t* length, Peer* from) {
    if (m_handle < 0) return Received::Failed;
    for (;;) {
        sockaddr_storage sender{};
        socklen_t senderLength = sizeof sender;
        const ssize_t n = ::recvfrom(static_cast<int>(m_handle), buffer, capacity, MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&sender), &senderLength);
        if (n >= 0) {
            *length = static_cast<size_t>(n);
            if (from) {
                const size_t kept = senderLength < sizeof from->bytes ? senderLength : sizeof from->bytes;
                std::memcpy(from->bytes, &sender, kept);
                from->length = senderLength;
            }
            return Received::Datagram;
        }
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNREFUSED ? Received::Nothing : Received::Failed;
    }
}

bool CUdpSocket::WaitReadable(std::chrono::nanoseconds time, bool* failed) {
    *failed = false;
    if (m_handle < 0) {
        *failed = true;
        return false;
    }
    // To the nanosecond: a wake-up a millisecond late for every command adds up over a sequence.
    const long long ns = time.count() < 0 ? 0 : static_cast<long long>(time.count());
    const timespec timeout{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    pollfd p{static_cast<int>(m_handle), POLLIN, 0};
    const int rc = ::ppoll(&p, 1, &timeout, nullptr);
    // An interrupted wait is a wait that saw nothing; the caller looks at its clock and goes on.
    if (rc < 0 && errno != EINTR) *failed = true;
    return rc > 0;
}

void CUdpSocket::Close() {
    if (m_handle >= 0) ::close(static_cast<int>(m_handle));
    m_handle = -1;
}
