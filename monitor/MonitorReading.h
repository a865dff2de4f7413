#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "model/UnitSettings.h"

// What one read of a unit found: the status records the monitor shows, or why it failed.
struct MonitorReading {
    struct NodeFlags {
        bool areaAllocError = false;
        bool participating = false;
        bool upperLayerError = false;
        bool upperLayerRunning = false;
        bool operator==(const NodeFlags& o) const {
            return areaAllocError == o.areaAllocError && participating == o.participating &&
                   upperLayerError == o.upperLayerError && upperLayerRunning == o.upperLayerRunning;
        }
    };

    bool ok = false;
    bool paused = false;  // not read: a transfer or a status view of the program uses the PLC
    std::string failure;  // the message of the failed read
    std::chrono::system_clock::time_point time;  // when the read ended
    double seconds = 0;                          // how long it took

    std::array<bool, 256> dataLink{};   // by node number: takes part in the data link
    std::array<NodeFlags, 256> nodes{};  // by node number: the network status
    uint16_t errorStatusWord = 0;
    CycleTimeRecord cycle{};
    uint16_t historyMax = 0;
    uint16_t historyStored = 0;
    bool historyRead = false;             // the records themselves were read, not only the count
    std::vector<HistoryRecord> history;   // oldest first, as the unit keeps them

    int DataLinkCount() const {
        int n = 0;
        for (int i = kFirstNode; i <= kLastNode; ++i) n += dataLink[i] ? 1 : 0;
        return n;
    }
    static constexpr int kFirstNode = 1;
    static constexpr int kLastNode = 254;
};
