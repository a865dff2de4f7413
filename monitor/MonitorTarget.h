#pragma once
#include <string>
#include <vector>

// One unit to watch: how to reach it and the name its readings, events and series carry.
struct MonitorTarget {
    std::string label;    // the network file's node number, or "unit" for a single connection
    std::string device;   // device string of the PLC; empty = the default device string
    std::string gateway;  // device string of a gateway PLC to route through; empty = none
    unsigned unit = 0;    // unit number of the network unit (0-15)
    int timeoutMs = 0;    // 0 keeps the device string's "TMO"
    // Nodes the network file lists: their participation is shown (and exported) even while 0.
    std::vector<int> listedNodes;
};
