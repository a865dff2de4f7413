#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "comm/Clock.h"

// Moves whole datagrams; framing, request-id matching and length checks live above it.
class ITransport {
public:
    enum class Receive { Datagram, TimedOut, Failed };
    virtual ~ITransport() = default;
    virtual bool Send(const std::vector<uint8_t>& datagram, std::string* error) = 0;
    virtual Receive ReceiveUntil(std::vector<uint8_t>* datagram, IClock::TimePoint deadline) = 0;
    virtual void Close() = 0;
};
