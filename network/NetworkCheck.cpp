#include "network/NetworkCheck.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "app/FileTransferHost.h"
#include "model/Messages.h"
#include "model/Prompter.h"
#include "model/ValueText.h"
#include "network/NetworkPlan.h"

namespace {

std::string NodeName(int number) { return "node " + std::to_string(number); }

std::string Words(int first, int last) {
    return first == last ? "word " + std::to_string(first) : "words " + std::to_string(first) + "-" + std::to_string(last);
}

WordRange Sent(int node, int area, const SendArea& a) { return {node, area, a.start, a.Last(), "sends"}; }

WordRange Mapped(int by, int node, int area, int offset, int size) {
    return {node, area, offset, offset + size - 1, "mapped by " + std::to_string(by)};
}

std::string Dotted(const uint8_t a[4]) {
    char buffer[20];
    std::snprintf(buffer, sizeof buffer, "%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
    return buffer;
}

NetworkFinding Finding(const char* kind, bool error, std::vector<int> nodes = {}, int area = 0) {
    NetworkFinding f;
    f.kind = kind;
    f.error = error;
    f.nodes = std::move(nodes);
    f.area = area;
    return f;
}

}  // namespace

std::vector<NetworkFinding> CNetworkCheck::Run(const CNetworkPlan& plan) {
    m_findings.clear();
    Duplicates(plan);
    Files(plan);
    Pages(plan);
    Overlaps(plan);
    IpConflicts(plan);
    TooManySenders(plan);
    Tables(plan);
    return std::move(m_findings);
}

void CNetworkCheck::Duplicates(const CNetworkPlan& plan) {
    std::map<int, std::vector<const NetworkNode*>> byNumber;
    for (const auto& n : plan.nodes) byNumber[n.Number()].push_back(&n);
    for (const auto& [number, list] : byNumber) {
        if (list.size() < 2) continue;
        NetworkFinding f = Finding(kDuplicateNode, true, {number});
        f.text = NodeName(number) + " is listed " + std::to_string(list.size()) + " times (lines";
        for (size_t i = 0; i < list.size(); ++i) f.text += (i ? ", " : " ") + std::to_string(list[i]->entry.line);
        f.text += ")";
        m_findings.push_back(std::move(f));
    }
}

void CNetworkCheck::Files(const CNetworkPlan& plan) {
    for (const auto& n : plan.nodes) {
        if (n.readState == NodeReadState::Clean) continue;
        NetworkFinding f = Finding(kFile, true, {n.Number()});
        f.text = NodeName(n.Number()) + ": " + n.entry.file +
                 (n.readState == NodeReadState::Unreadable ? ": cannot be read"
                                                           : ": read with defaults put in for bad values");
        m_findings.push_back(std::move(f));
    }
}

int CNetworkCheck::PageCheck(const CUnitSettings& record, std::string& text) {
    text.clear();
    // Checked as a transfer checks it; the host only reads the record, here a copy of it.
    CUnitSettings copy(record);
    RecordingPrompter prompter;
    CFileTransferHost host(copy, prompter);
    if (host.CheckAllPages(false)) host.CheckLocalOtherOverlap();
    if (prompter.shown.empty()) return 0;
    text = FormatMessage(prompter.shown.front().id, prompter.shown.front().inserts);
    return prompter.shown.front().id;
}

void CNetworkCheck::Pages(const CNetworkPlan& plan) {
    for (const auto& n : plan.nodes) {
        if (!n.Readable()) continue;
        std::string text;
        const int id = PageCheck(*n.record, text);
        if (id == 0) continue;
        NetworkFinding f = Finding(kPage, true, {n.Number()});
        f.messageId = id;
        f.text = NodeName(n.Number()) + ": " + std::to_string(id) + " " + text;
        m_findings.push_back(std::move(f));
    }
}

void CNetworkCheck::Overlaps(const CNetworkPlan& plan) {
    for (int area = 1; area <= 2; ++area) {
        std::vector<std::pair<SendArea, int>> senders;
        for (const auto& n : plan.nodes)
            if (n.Readable() && n.Sending(area).Sends()) senders.push_back({n.Sending(area), n.Number()});
        std::sort(senders.begin(), senders.end(), [](const auto& a, const auto& b) {
            return a.first.start != b.first.start ? a.first.start < b.first.start : a.second < b.second;
        });
        // Sorted by start, a range can only collide with those after it that start before it ends.
        for (size_t i = 0; i < senders.size(); ++i) {
            for (size_t j = i + 1; j < senders.size() && senders[j].first.start <= senders[i].first.Last(); ++j) {
                const auto& [a, na] = senders[i];
                const auto& [b, nb] = senders[j];
                if (na == nb) continue;  // a repeated node is its own finding
                NetworkFinding f = Finding(kOverlap, true, {na, nb}, area);
                f.ranges = {Sent(na, area, a), Sent(nb, area, b)};
                f.text = "area " + std::to_string(area) + ": " + NodeName(na) + " sends " + Words(a.start, a.Last()) +
                         ", " + NodeName(nb) + " sends " + Words(b.start, b.Last());
                m_findings.push_back(std::move(f));
            }
        }
    }
}

void CNetworkCheck::IpConflicts(const CNetworkPlan& plan) {
    std::map<std::string, std::vector<int>> byAddress;
    for (const auto& n : plan.nodes) {
        if (!n.Readable()) continue;
        const SettingsImage& pc = n.record->pc;
        if (pc.ipAddressMethod == 2)
            byAddress[Dotted(pc.ipAddress)].push_back(n.Number());
        else if (pc.ipAddressMethod == 3)
            byAddress["192.168.250." + std::to_string(n.Number())].push_back(n.Number());
    }
    for (const auto& [address, list] : byAddress) {
        if (list.size() < 2) continue;
        NetworkFinding f = Finding(kIpConflict, true, list);
        f.text = "IP address " + address + " is used by nodes";
        for (size_t i = 0; i < list.size(); ++i) f.text += (i ? ", " : " ") + std::to_string(list[i]);
        m_findings.push_back(std::move(f));
    }
}

void CNetworkCheck::TooManySenders(const CNetworkPlan& plan) {
    int senders = 0;
    for (const auto& n : plan.nodes)
        if (n.Readable() && (n.Sending(1).Sends() || n.Sending(2).Sends())) ++senders;
    NetworkFinding f = Finding(kTooManySenders, true);
    for (const auto& n : plan.nodes) {
        if (!n.Readable()) continue;
        const int others = senders - (n.Sending(1).Sends() || n.Sending(2).Sends() ? 1 : 0);
        if (others > kMaxMappingEntries) f.nodes.push_back(n.Number());
    }
    if (f.nodes.empty()) return;
    f.text = std::to_string(senders) + " nodes send, but a mapping table holds at most " +
             std::to_string(kMaxMappingEntries) + " other nodes (" + std::to_string(f.nodes.size()) +
             " node(s) cannot map them all)";
    m_findings.push_back(std::move(f));
}

void CNetworkCheck::Tables(const CNetworkPlan& plan) {
    std::vector<NetworkFinding> mismatch, unknown, notReceived;
    for (const auto& a : plan.nodes) {
        if (!a.Readable()) continue;
        const SettingsImage& pc = a.record->pc;
        const uint32_t count = std::min<uint32_t>(pc.entryCount, kMaxMappingEntries);
        bool mapped[kHighestNodeNumber + 1] = {};
        for (uint32_t i = 0; i < count; ++i) {
            const MappingEntry& e = pc.entries[i];
            const int nb = e.nodeNumber;
            const NetworkNode* b = plan.Find(nb);
            if (nb == a.Number()) {
                NetworkFinding f = Finding(kMismatch, false, {a.Number()});
                f.text = NodeName(a.Number()) + "'s mapping table maps the node itself (record " +
                         std::to_string(i + 1) + ")";
                mismatch.push_back(std::move(f));
                continue;
            }
            if (!b) {
                NetworkFinding f = Finding(kUnknownNode, true, {a.Number(), nb});
                f.text = NodeName(a.Number()) + "'s mapping table maps " + NodeName(nb) + " (record " +
                         std::to_string(i + 1) + "), which is not in the network";
                unknown.push_back(std::move(f));
                continue;
            }
            if (nb <= kHighestNodeNumber) mapped[nb] = true;
            if (!b->Readable()) continue;
            for (int area = 1; area <= 2; ++area) {
                const SendArea s = b->Sending(area);
                const int offset = area == 1 ? e.area1Offset : e.area2Offset;
                const int size = area == 1 ? e.area1Size : e.area2Size;
                // Nothing sent and nothing mapped agree whatever the offsets say.
                if (s.size == size && (size == 0 || s.start == offset)) continue;
                NetworkFinding f = Finding(kMismatch, true, {a.Number(), nb}, area);
                if (size > 0) f.ranges.push_back(Mapped(a.Number(), nb, area, offset, size));
                if (s.Sends()) f.ranges.push_back(Sent(nb, area, s));
                f.text = "area " + std::to_string(area) + ": " + NodeName(a.Number()) + " maps " + NodeName(nb) +
                         " at offset " + std::to_string(offset) + " size " + std::to_string(size) + ", " +
                         NodeName(nb) + " sends " +
                         (s.Sends() ? "at offset " + std::to_string(s.start) + " size " + std::to_string(s.size)
                                    : std::string("nothing"));
                mismatch.push_back(std::move(f));
            }
        }
        for (const auto& b : plan.nodes) {
            if (&b == &a || b.Number() == a.Number() || !b.Readable() || mapped[b.Number()]) continue;
            const SendArea s1 = b.Sending(1), s2 = b.Sending(2);
            if (!s1.Sends() && !s2.Sends()) continue;
            NetworkFinding f = Finding(kNotReceived, false, {a.Number(), b.Number()}, s1.Sends() && s2.Sends() ? 0 : (s1.Sends() ? 1 : 2));
            std::string what;
            if (s1.Sends()) {
                f.ranges.push_back(Sent(b.Number(), 1, s1));
                what = "area 1 " + Words(s1.start, s1.Last());
            }
            if (s2.Sends()) {
                f.ranges.push_back(Sent(b.Number(), 2, s2));
                what += (what.empty() ? "" : " and ") + std::string("area 2 ") + Words(s2.start, s2.Last());
            }
            f.text = NodeName(b.Number()) + " sends " + what + ", " + NodeName(a.Number()) +
                     "'s mapping table has no record for it";
            notReceived.push_back(std::move(f));
        }
    }
    for (auto* list : {&unknown, &mismatch, &notReceived})
        for (auto& f : *list) m_findings.push_back(std::move(f));
}
