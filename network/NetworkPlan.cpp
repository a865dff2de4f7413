#include "network/NetworkPlan.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#include "model/FileIo.h"
#include "model/Prompter.h"
#include "model/SettingsFile.h"
#include "model/TextCodec.h"

namespace {
// Below this many files per thread, a thread costs more than it saves.
constexpr size_t kNodesPerReader = 16;
}  // namespace

SendArea NetworkNode::Sending(int area) const {
    if (!record) return {};
    const SettingsImage& pc = record->pc;
    return area == 1 ? SendArea{pc.localArea1ComStart, pc.localArea1Size}
                     : SendArea{pc.localArea2ComStart, pc.localArea2Size};
}

std::string NetworkNode::NodeName() const {
    if (!Readable() || !record) return {};
    std::string name = Cp932ToUtf8(TextOf(record->pc.nodeName, sizeof record->pc.nodeName));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

bool CNetworkPlan::Load(const std::string& networkPath) {
    const bool ok = file.Read(networkPath);
    nodes.clear();
    if (!ok && !file.OnlyDuplicateErrors()) {
        Index();
        return false;
    }
    LoadNodes();
    return ok;
}

void CNetworkPlan::LoadNodes() {
    nodes.clear();
    nodes.resize(file.nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) nodes[i].entry = file.nodes[i];
    // A large network's files are read on every processor: the whole-network commands start
    // talking to the units only once they are read.
    std::atomic<size_t> next{0};
    auto reader = [this, &next] {
        for (size_t i = next++; i < nodes.size(); i = next++) ReadNode(nodes[i]);
    };
    std::vector<std::thread> helpers;
    const size_t wanted = std::min<size_t>(std::thread::hardware_concurrency(), nodes.size() / kNodesPerReader);
    for (size_t t = 1; t < wanted; ++t) {
        try {
            helpers.emplace_back(reader);
        } catch (const std::system_error&) {
            break;  // short of threads: this one reads the rest
        }
    }
    reader();
    for (auto& h : helpers) h.join();
    Index();
}

void CNetworkPlan::ReadNode(NetworkNode& node) {
    node.record = std::make_unique<CUnitSettings>();
    node.oldVersion = IsOldVersionPath(node.entry.path);
    if (!ReadWholeFile(node.entry.path, node.bytes)) {
        node.readState = NodeReadState::Unreadable;
    } else {
        // The reader's one warning for bad values is the answer here, not a message.
        RecordingPrompter prompter;
        CSettingsFile reader(*node.record, prompter);
        node.readState = reader.Apply(node.bytes, node.oldVersion) ? NodeReadState::Clean : NodeReadState::Defaults;
        node.carried[0] = reader.sendArea1Start;
        node.carried[1] = reader.sendArea1Size;
        node.carried[2] = reader.sendArea2Start;
        node.carried[3] = reader.sendArea2Size;
    }
    const CUnitSettings& r = *node.record;
    node.device = node.entry.hasDevice ? Utf8ToCp932(node.entry.device) : r.targetPlc;
    node.gateway = node.entry.hasGateway ? Utf8ToCp932(node.entry.gateway) : r.relayPlc;
    node.unit = node.entry.unit >= 0 ? static_cast<unsigned>(node.entry.unit) : r.unitNumber;
}

void CNetworkPlan::Index() {
    for (auto& p : m_byNumber) p = nullptr;
    for (const auto& n : nodes)
        if (n.Number() >= kLowestNodeNumber && n.Number() <= kHighestNodeNumber && !m_byNumber[n.Number()])
            m_byNumber[n.Number()] = &n;
}

const NetworkNode* CNetworkPlan::Find(int number) const {
    if (number < 0 || number > kHighestNodeNumber) return nullptr;
    return m_byNumber[number];
}

std::string CNetworkPlan::Serialize(const NetworkNode& node, CUnitSettings& record) {
    RecordingPrompter prompter;
    CSettingsFile writer(record, prompter);
    writer.sendArea1Start = node.carried[0];
    writer.sendArea1Size = node.carried[1];
    writer.sendArea2Start = node.carried[2];
    writer.sendArea2Size = node.carried[3];
    return writer.Serialize();
}
