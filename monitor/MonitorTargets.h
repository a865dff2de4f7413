#pragma once
#include <string>
#include <vector>

#include "monitor/MonitorTarget.h"

class CNetworkPlan;

// The units a monitor, watch or exporter reads: one connection, or every node of a network file.
class CMonitorTargets {
public:
    // One unit, labelled "unit".
    static MonitorTarget Single(const std::string& device, const std::string& gateway, unsigned unit, int timeoutMs);
    // The device strings can be used: false with why.
    static bool Check(const MonitorTarget& target, std::string* why);
    // Every node of a loaded network, reached as FromNetworkFile reaches them.
    static std::vector<MonitorTarget> FromPlan(const CNetworkPlan& plan, int timeoutMs);
    // Every node of the network file at path, labelled with its node number, reached as the file
    // (else the node's settings file) says; each lists all the file's nodes. False with the
    // file's problems, one line each, in why.
    static bool FromNetworkFile(const std::string& path, int timeoutMs, std::vector<MonitorTarget>* targets,
                                std::vector<std::string>* why);
};
