#include "monitor/MonitorTargets.h"

#include "comm/DeviceString.h"
#include "network/NetworkPlan.h"

MonitorTarget CMonitorTargets::Single(const std::string& device, const std::string& gateway, unsigned unit,
                                      int timeoutMs) {
    MonitorTarget t;
    t.label = "unit";
    t.device = device;
    t.gateway = gateway;
    t.unit = unit;
    t.timeoutMs = timeoutMs;
    return t;
}

std::vector<MonitorTarget> CMonitorTargets::FromPlan(const CNetworkPlan& plan, int timeoutMs) {
    std::vector<int> listed;
    for (const auto& n : plan.nodes) listed.push_back(n.Number());
    std::vector<MonitorTarget> targets;
    for (const auto& n : plan.nodes) {
        MonitorTarget t;
        t.label = std::to_string(n.Number());
        t.device = n.device;
        t.gateway = n.gateway;
        t.unit = n.unit;
        t.timeoutMs = timeoutMs;
        t.listedNodes = listed;
        targets.push_back(std::move(t));
    }
    return targets;
}

bool CMonitorTargets::FromNetworkFile(const std::string& path, int timeoutMs, std::vector<MonitorTarget>* targets,
                                      std::vector<std::string>* why) {
    CNetworkPlan plan;
    const bool ok = plan.Load(path);
    for (const auto& p : plan.file.Problems())
        if (p.error || !ok) why->push_back(plan.file.ProblemLine(p));
    if (!ok) return false;
    *targets = FromPlan(plan, timeoutMs);
    if (targets->empty()) {
        why->push_back(path + ": the network file names no node");
        return false;
    }
    return true;
}

bool CMonitorTargets::Check(const MonitorTarget& target, std::string* why) {
    CDeviceString check;
    if (!target.device.empty() && !check.Parse(target.device)) {
        *why = "malformed device string: " + target.device;
        return false;
    }
    if (!target.gateway.empty() && !check.Parse(target.gateway)) {
        *why = "malformed gateway device string: " + target.gateway;
        return false;
    }
    return true;
}
