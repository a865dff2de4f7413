#include "network/NetworkSync.h"

#include <algorithm>

#include "network/FileSetWriter.h"
#include "network/NetworkPlan.h"

void CNetworkSync::SyncTable(const CNetworkPlan& plan, size_t index, bool keepNodes, SettingsImage& image) {
    const NetworkNode& self = plan.nodes[index];
    const uint32_t oldCount = std::min<uint32_t>(image.entryCount, kMaxMappingEntries);
    auto fill = [](MappingEntry& e, const NetworkNode& sender) {
        const SendArea a1 = sender.Sending(1), a2 = sender.Sending(2);
        e.area1Offset = static_cast<uint16_t>(a1.start);
        e.area1Size = static_cast<uint16_t>(a1.size);
        e.area2Offset = static_cast<uint16_t>(a2.start);
        e.area2Size = static_cast<uint16_t>(a2.size);
    };
    if (keepNodes) {
        // Records of nodes outside the network (and of the node itself) have nothing to follow.
        for (uint32_t i = 0; i < oldCount; ++i) {
            const NetworkNode* sender = plan.Find(image.entries[i].nodeNumber);
            if (sender && sender != &self && sender->Number() != self.Number()) fill(image.entries[i], *sender);
        }
    } else {
        MappingEntry old[kMaxMappingEntries];
        std::copy(image.entries, image.entries + kMaxMappingEntries, old);
        uint32_t count = 0;
        // Node numbers ascending, whatever the order of the network file.
        for (int number = kLowestNodeNumber; number <= kHighestNodeNumber && count < kMaxMappingEntries; ++number) {
            const NetworkNode* sender = plan.Find(number);
            if (!sender || number == self.Number()) continue;
            if (!sender->Sending(1).Sends() && !sender->Sending(2).Sends()) continue;
            MappingEntry e{};
            e.nodeNumber = static_cast<uint16_t>(number);
            for (uint32_t i = 0; i < oldCount; ++i) {
                if (old[i].nodeNumber == number) {
                    e.receiveDataOrder = old[i].receiveDataOrder;
                    break;
                }
            }
            fill(e, *sender);
            image.entries[count++] = e;
        }
        for (uint32_t i = count; i < kMaxMappingEntries; ++i) image.entries[i] = MappingEntry{};
        image.entryCount = count;
    }
    // The editor saves the number of records as the FA Link node count.
    image.faLinkNodeCount = static_cast<uint16_t>(image.entryCount);
}

bool CNetworkSync::Prepare(bool keepNodes) {
    m_refusals.clear();
    m_changes.clear();
    for (const auto& p : m_plan.file.Problems())
        if (p.error) m_refusals.push_back(m_plan.file.ProblemLine(p));
    if (!m_refusals.empty()) return false;

    int senders = 0;
    for (const auto& n : m_plan.nodes) {
        const std::string who = "node " + std::to_string(n.Number()) + ": " + n.entry.file;
        if (n.readState == NodeReadState::Unreadable)
            m_refusals.push_back(who + ": cannot be read");
        else if (n.readState == NodeReadState::Defaults)
            m_refusals.push_back(who + ": read with defaults put in for bad values; correct it first");
        else if (n.Sending(1).Sends() || n.Sending(2).Sends())
            ++senders;
    }
    if (!m_refusals.empty()) return false;
    if (!keepNodes && senders - 1 > kMaxMappingEntries) {
        m_refusals.push_back(std::to_string(senders) + " nodes send, but a mapping table holds at most " +
                             std::to_string(kMaxMappingEntries) + " other nodes");
        return false;
    }

    for (size_t i = 0; i < m_plan.nodes.size(); ++i) {
        const NetworkNode& n = m_plan.nodes[i];
        auto after = std::make_unique<CUnitSettings>(*n.record);
        SyncTable(m_plan, i, keepNodes, after->pc);
        // The non-sending node's table holds every sender; a sending node's one fewer.
        const bool sends = n.Sending(1).Sends() || n.Sending(2).Sends();
        if (!keepNodes && senders - (sends ? 1 : 0) > kMaxMappingEntries) {
            m_refusals.push_back("node " + std::to_string(n.Number()) + ": more than " +
                                 std::to_string(kMaxMappingEntries) + " other nodes send");
            continue;
        }
        std::string newBytes = CNetworkPlan::Serialize(n, *after);
        CUnitSettings before(*n.record);
        if (newBytes == CNetworkPlan::Serialize(n, before)) continue;
        if (n.oldVersion) {
            m_refusals.push_back("node " + std::to_string(n.Number()) + ": " + n.entry.file +
                                 " is an old-version settings file; convert it to .lsm first");
            continue;
        }
        m_changes.push_back({i, std::move(after), std::move(newBytes)});
    }
    if (!m_refusals.empty()) {
        m_changes.clear();
        return false;
    }
    return true;
}

bool CNetworkSync::Write(CFileSystemOps& ops) {
    CFileSetWriter writer(ops);
    for (const auto& c : m_changes) writer.Add(m_plan.nodes[c.node].entry.path, c.newBytes, m_plan.nodes[c.node].bytes);
    const bool ok = writer.Commit();
    m_error = writer.Error();
    m_changed = ok ? std::vector<std::string>{} : writer.Changed();
    if (ok)
        for (const auto& c : m_changes) m_changed.push_back(m_plan.nodes[c.node].entry.path);
    return ok;
}
