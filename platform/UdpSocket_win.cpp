#include "platform/UdpSocket.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <mswsock.h>

#include <cstring>

#include "platform/WinText.h"

namespace {
// Winsock is started once for the process and left running until it ends.
bool WinsockReady() {
    static const bool ready = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return ready;
}

// The reasons a user meets most, in the words the Linux build uses, so messages (and the scripts
// that look for them) read the same on both systems; the system's own text for the rest.
std::string LastSocketError() {
    const int code = WSAGetLastError();
    switch (code) {
    case WSAEADDRINUSE: return "Address already in use";
    case WSAEADDRNOTAVAIL: return "Cannot assign requested address";
    case WSAEAFNOSUPPORT: return "Address family not supported by protocol";
    case WSAEACCES: return "Permission denied";
    case WSAENETUNREACH: return "Network is unreachable";
    case WSAEHOSTUNREACH: return "No route to host";
    case WSAHOST_NOT_FOUND: return "Name or service not known";
    default: return SystemErrorText(static_cast<unsigned long>(code));
    }
}

SOCKET AsSocket(intptr_t handle) { return static_cast<SOCKET>(handle); }

using Attempt = bool (*)(SOCKET socket, const addrinfo& address);

intptr_t OpenFirst(const std::string& host, uint16_t port, bool passive, Attempt step, std::string* problem,
                   bool* unresolved) {
    *unresolved = false;
    if (!WinsockReady()) {
        *problem = "Winsock cannot start";
        return -1;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_protocol = IPPROTO_UDP;
    hints.ai_flags = passive ? AI_PASSIVE : 0;
    addrinfo* list = nullptr;
    const std::string service = std::to_string(port);
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &list) != 0) {
        *problem = LastSocketError();
        *unresolved = true;
        return -1;
    }
    SOCKET chosen = INVALID_SOCKET;
    *problem = "no address";
    for (addrinfo* a = list; a && chosen == INVALID_SOCKET; a = a->ai_next) {
        // Not inherited by programs this one starts, like SOCK_CLOEXEC on Linux.
        const SOCKET s =
            WSASocketW(a->ai_family, a->ai_socktype, a->ai_protocol, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
        if (s == INVALID_SOCKET) {
            *problem = LastSocketError();
            continue;
        }
        u_long nonBlocking = 1;
        if (ioctlsocket(s, FIONBIO, &nonBlocking) == 0 && step(s, *a)) {
            chosen = s;
        } else {
            *problem = LastSocketError();
            closesocket(s);
        }
    }
    freeaddrinfo(list);
    return chosen == INVALID_SOCKET ? -1 : static_cast<intptr_t>(chosen);
}
}  // namespace

CUdpSocket::~CUdpSocket() { Close(); }

bool CUdpSocket::IsOpen() const { return m_handle != -1; }

bool CUdpSocket::Connect(const std::string& host, uint16_t port, std::string* error) {
    Close();
    std::string problem;
    bool unresolved = false;
    m_handle = OpenFirst(host, port, false,
                         [](SOCKET s, const addrinfo& a) {
                             return ::connect(s, a.ai_addr, static_cast<int>(a.ai_addrlen)) == 0;
                         },
                         &problem, &unresolved);
    if (m_handle == -1 && error)
        *error = unresolved ? "cannot resolve host " + host + ": " + problem
                            : "cannot reach " + host + ":" + std::to_string(port) + ": " + problem;
    return m_handle != -1;
}

bool CUdpSocket::Bind(const std::string& host, uint16_t port, std::string* error) {
    Close();
    std::string problem;
    bool unresolved = false;
    auto bindAndSize = [](SOCKET s, const addrinfo& a) {
        // Without this an ICMP "port unreachable" for a reply to a client gone away would make
        // the next receive fail with WSAECONNRESET, for every client of the server.
        BOOL report = FALSE;
        DWORD returned = 0;
        WSAIoctl(s, SIO_UDP_CONNRESET, &report, sizeof report, nullptr, 0, &returned, nullptr, nullptr);
        // Another program may not take the port from under us (SO_REUSEADDR is different here).
        BOOL exclusive = TRUE;
        setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
        if (::bind(s, a.ai_addr, static_cast<int>(a.ai_addrlen)) != 0) return false;
        int room = 4 << 20;
        setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&room), sizeof room);
        return true;
    };
    m_handle = OpenFirst(host, port, true, bindAndSize, &problem, &unresolved);
    if (m_handle == -1 && error)
        *error = unresolved ? "cannot resolve " + host + ": " + problem
                            : "cannot listen on " + host + " port " + std::to_string(port) + ": " + problem;
    return m_handle != -1;
}

uint16_t CUdpSocket::LocalPort() const {
    if (m_handle == -1) return 0;
    sockaddr_storage bound{};
    int len = sizeof bound;
    if (getsockname(AsSocket(m_handle), reinterpret_cast<sockaddr*>(&bound), &len) != 0) return 0;
    return bound.ss_family == AF_INET6 ? ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port)
                                       : ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
}

bool CUdpSocket::Send(const uint8_t* data, size_t size, std::string* error) {
    if (m_handle == -1) {
        if (error) *error = "socket closed";
        return false;
    }
    const int n = ::send(AsSocket(m_handle), reinterpret_cast<const char*>(data), static_cast<int>(size), 0);
    if (n != static_cast<int>(size)) {
        if (error) *error = n == SOCKET_ERROR ? LastSocketError() : "short send";
        return false;
    }
    return true;
}

bool CUdpSocket::SendTo(const uint8_t* data, size_t size, const Peer& to) {
    if (m_handle == -1) return false;
    return ::sendto(AsSocket(m_handle), reinterpret_cast<const char*>(data), static_cast<int>(size), 0,
                    reinterpret_cast<const sockaddr*>(to.bytes), static_cast<int>(to.length)) == static_cast<int>(size);
}

CUdpSocket::Received CUdpSocket::Receive(uint8_t* buffer, size_t capacity, size_t* length, Peer* from) {
    if (m_handle == -1) return Received::Failed;
    sockaddr_storage sender{};
    int senderLength = sizeof sender;
    const int n = ::recvfrom(AsSocket(m_handle), reinterpret_cast<char*>(buffer), static_cast<int>(capacity), 0,
                             reinterpret_cast<sockaddr*>(&sender), &senderLength);
    if (n != SOCKET_ERROR) {
        *length = static_cast<size_t>(n);
        if (from) {
            std::memcpy(from->bytes, &sender, static_cast<size_t>(senderLength));
            from->length = static_cast<unsigned>(senderLength);
        }
        return Received::Datagram;
    }
    // WSAECONNRESET on a connected socket is Windows' word for Linux's ECONNREFUSED.
    const int code = WSAGetLastError();
    return code == WSAEWOULDBLOCK || code == WSAECONNRESET || code == WSAEINTR ? Received::Nothing : Received::Failed;
}

bool CUdpSocket::WaitReadable(std::chrono::nanoseconds time, bool* failed) {
    *failed = false;
    if (m_handle == -1) {
        *failed = true;
        return false;
    }
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(AsSocket(m_handle), &readable);
    // Rounded up to the microsecond, so the wake-up is never before the time asked for.
    long long us = (static_cast<long long>(time.count()) + 999) / 1000;
    if (us < 0) us = 0;
    timeval limit{static_cast<long>(us / 1000000), static_cast<long>(us % 1000000)};
    const int rc = ::select(0, &readable, nullptr, nullptr, &limit);
    if (rc == SOCKET_ERROR) *failed = true;
    return rc > 0;
}

void CUdpSocket::Close() {
    if (m_handle != -1) closesocket(AsSocket(m_handle));
    m_handle = -1;
}
