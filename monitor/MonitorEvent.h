#pragma once
#include <chrono>
#include <string>

// What changed on a unit between two readings (or, at the start, what it stood at).
enum class MonitorEventKind {
    DataLink,        // a node joined or left the data link: "in" / "out"
    UpperLayer,      // a taking-part node's upper layer: "running" / "stopped", ", error" added
    AreaAllocation,  // a node's area allocation error: "error" / "ok"
    ErrorBit,        // a bit the error status view shows: "on" / "off"
    History,         // a new error history record, decoded as the error history view shows it
    CycleTime,       // the starting state only: current, maximum and minimum
    Read,            // a read failing ("failed: why") and recovering ("ok")
};

struct MonitorEvent {
    std::chrono::system_clock::time_point time;
    std::string target;
    MonitorEventKind kind = MonitorEventKind::Read;
    int node = -1;            // the node it is about; -1 none
    int bit = -1;             // the error status bit; -1 none
    std::string label;        // the error status lamp's label
    bool hasOld = false;      // false in the starting state and for a new history record
    std::string oldValue;
    std::string newValue;
};
