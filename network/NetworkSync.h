#pragma once
#include <memory>
#include <string>
#include <vector>

#include "model/UnitSettings.h"

class CFileSystemOps;
class CNetworkPlan;

// What a sync does to one node's settings file.
struct NodeSyncChange {
    size_t node = 0;  // index into the plan's nodes
    std::unique_ptr<CUnitSettings> after;
    std::string newBytes;
};

// Makes every node's mapping table agree with the network: one record per other node that sends,
// in node-number order, with that node's offsets and sizes. Each table keeps its own map area types
// and starts, and the receive data order of every node it already had. With keepNodes the records
// stay as they are and only their offsets and sizes are corrected.
class CNetworkSync {
public:
    explicit CNetworkSync(const CNetworkPlan& plan) : m_plan(plan) {}

    // Works out the new tables; false (nothing to write) when the network cannot be synced as it
    // stands (see Refusals()).
    bool Prepare(bool keepNodes);
    const std::vector<std::string>& Refusals() const { return m_refusals; }
    // The nodes whose file changes, in the network file's order.
    const std::vector<NodeSyncChange>& Changes() const { return m_changes; }

    // Saves every changed file, all or none (see CFileSetWriter). False with Error() and the
    // files that hold their new bytes all the same in Changed().
    bool Write(CFileSystemOps& ops);
    const std::string& Error() const { return m_error; }
    const std::vector<std::string>& Changed() const { return m_changed; }

    // The table a node's mapping table should be, from its current one.
    static void SyncTable(const CNetworkPlan& plan, size_t node, bool keepNodes, SettingsImage& image);

private:
    const CNetworkPlan& m_plan;
    std::vector<std::string> m_refusals;
    std::vector<NodeSyncChange> m_changes;
    std::string m_error;
    std::vector<std::string> m_changed;
};
