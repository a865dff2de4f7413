#pragma once
#include <chrono>
#include <cstdint>
#include <map>

// Faults the simulator injects; every choice is drawn from a generator seeded with seed, so a
// run with the same requests and seed misbehaves the same way.
struct SimFaults {
    // One fault aimed at a single request (see at).
    enum class Kind { Drop, Delay, Duplicate, Stray, Truncate, Oversize };

    uint32_t seed = 1;
    double dropFraction = 0;       // requests that get no reply at all
    double delayFraction = 0;      // replies sent late by delay
    std::chrono::milliseconds delay{0};
    double duplicateFraction = 0;  // replies sent twice
    double strayFraction = 0;      // a datagram with an id nobody asked for, before the reply
    double truncateFraction = 0;   // replies cut short (the header stays, the data is cut)
    bool truncateHeader = false;   // cut truncated replies inside the header instead
    double oversizeFraction = 0;   // replies with extra bytes after their data, counted in its length
    bool oversizeUncounted = false;  // leave the extra bytes out of the data length instead
    std::map<uint16_t, uint16_t> endCodes;  // command -> end code answered instead of executing
    // By request number, 1 being the first request after the faults were set: a fault for that
    // request alone (delay, truncateHeader and oversizeUncounted apply), or an end code answered
    // instead of executing it.
    std::map<unsigned, Kind> at;
    std::map<unsigned, uint16_t> endCodeAt;
};
