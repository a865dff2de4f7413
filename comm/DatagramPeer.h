#pragma once
#include <chrono>
#include <cstdint>
#include <vector>

// The far end of the in-process transport: takes a request datagram and answers with any
// number of datagrams, each after its own delay (a simulated unit with its faults).
class IDatagramPeer {
public:
    struct Scheduled {
        std::chrono::milliseconds delay{0};
        std::vector<uint8_t> bytes;
    };
    virtual ~IDatagramPeer() = default;
    virtual void Deliver(const std::vector<uint8_t>& request, std::vector<Scheduled>* replies) = 0;
};
