// The status and diagnostic reads of the communication object.
#include <algorithm>

#include "comm/CommuProcess.h"
#include "comm/StatusReplies.h"
#include "model/Messages.h"

namespace {
constexpr uint16_t kSelectorCpu = 0x10;

using StatusDecoder = bool (*)(const uint8_t*, size_t, StatusArea&);

bool Read(CCommuProcess& c, uint16_t command, uint16_t selector, const std::vector<uint8_t>& data,
          StatusDecoder decode, CompletionCallback callback = &CCommuProcess::RawZephExecuteHelper) {
    c.m_error = 0;
    auto decoder = [decode](CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n) {
        return decode(d, n, self.Settings().status) || self.ReportBadReply(cmd);
    };
    return c.RunCommand(command, selector, data, decoder, callback) && c.m_error == 0;
}
}  // namespace

bool CCommuProcess::ReadDataLinkStatus() {
    return Read(*this, 0x0104, kSelectorCpu, CStatusReplies::DataLinkRequest(m_unitNumber),
                &CStatusReplies::DecodeDataLink, &GetDataLinkStatusHelper);
}

bool CCommuProcess::ReadNetworkStatus() {
    return Read(*this, 0x0104, kSelectorCpu, CStatusReplies::NetworkRequest(m_unitNumber),
                &CStatusReplies::DecodeNetwork, &GetNodeStatusHelper);
}

bool CCommuProcess::ReadErrorStatusWord() {
    return Read(*this, 0x0104, kSelectorCpu, CStatusReplies::ErrorStatusRequest(m_unitNumber),
                &CStatusReplies::DecodeErrorStatus);
}

bool CCommuProcess::ReadNodeInformation(int node) {
    if (node >= 0) m_settings.status.nodeInfoNode = static_cast<uint32_t>(node);
    m_nodeParam = static_cast<uint8_t>(m_settings.status.nodeInfoNode);
    m_error = 0;
    auto decoder = [](CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n) {
        return CStatusReplies::DecodeNodeInfo(self.m_endCode, d, n, self.Settings().status) || self.ReportBadReply(cmd);
    };
    return RunCommand(0x0603, m_unitNumber, {m_nodeParam}, decoder) && m_error == 0;
}

bool CCommuProcess::ReadCycleTime() {
    return Read(*this, 0x0602, m_unitNumber, {}, &CStatusReplies::DecodeCycleTime);
}

bool CCommuProcess::ReadMessageSequence() {
    // Each sequence of eight starts its slices from the first, also after one that stopped early.
    m_sequenceIndex = 0;
    for (int i = 0; i < 8; ++i) {
        const uint8_t param = CStatusReplies::kSequenceParams[i];
        m_error = 0;
        auto decoder = [param](CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n) {
            if (!CStatusReplies::DecodeMessageSequence(param, self.m_sequenceIndex, d, n, self.Settings().status))
                return self.ReportBadReply(cmd);
            self.m_sequenceIndex = self.m_sequenceIndex >= 7 ? 0 : self.m_sequenceIndex + 1;
            return true;
        };
        if (!RunCommand(0x2931, m_unitNumber, {param}, decoder) || m_error) return false;
    }
    return true;
}

bool CCommuProcess::ReadErrorHistory() {
    m_historyStart = 0;
    m_historyCount = 20;
    StatusArea& status = m_settings.status;
    auto decoder = [](CCommuProcess& self, uint16_t cmd, const uint8_t* d, size_t n) {
        return CStatusReplies::DecodeHistory(self.m_historyStart, d, n, self.Settings().status) ||
               self.ReportBadReply(cmd);
    };
    m_error = 0;
    if (!RunCommand(0x2102, m_unitNumber, CStatusReplies::HistoryRequest(m_historyStart, m_historyCount), decoder) ||
        m_error)
        return false;
    // The unit keeps at most 64 records; a larger stored count would only repeat the last read.
    unsigned stored = std::min<unsigned>(status.historyStored, kMaxHistoryRecords);
    unsigned further = stored > 20 ? stored / 20 : 0;
    for (unsigned i = 0; i < further; ++i) {
        if (m_historyStart < 60) m_historyStart = static_cast<uint16_t>(m_historyStart + 20);
        if (m_historyStart >= 60) m_historyCount = 4;
        m_error = 0;
        if (!RunCommand(0x2102, m_unitNumber, CStatusReplies::HistoryRequest(m_historyStart, m_historyCount),
                        decoder) ||
            m_error)
            return false;
    }
    return true;
}

bool CCommuProcess::ClearErrorHistory() {
    m_error = 0;
    return RunCommand(0x2103, m_unitNumber, {}) && m_error == 0;
}
