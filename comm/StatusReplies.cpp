#include "comm/StatusReplies.h"

#include <algorithm>
#include <cstring>

#include "model/AreaType.h"

constexpr uint8_t CStatusReplies::kSequenceParams[8];

namespace {
uint16_t Be16(const uint8_t* d) { return static_cast<uint16_t>((d[0] << 8) | d[1]); }
uint32_t Be32(const uint8_t* d) {
    return (static_cast<uint32_t>(Be16(d)) << 16) | Be16(d + 2);
}
void AddElement(std::vector<uint8_t>& d, uint8_t area, int word) {
    d.push_back(area);
    d.push_back(static_cast<uint8_t>(word >> 8));
    d.push_back(static_cast<uint8_t>(word));
    d.push_back(0);
}
// The value of response element k (area code, BE16 word).
uint16_t ElementWord(const uint8_t* d, int k) { return Be16(d + 3 * k + 1); }
}  // namespace

std::vector<uint8_t> CStatusReplies::DataLinkRequest(unsigned unit) {
    std::vector<uint8_t> d;
    for (int i = 9; i <= 24; ++i) AddElement(d, AreaType::CIO, DataLinkWord(unit, i));
    return d;
}

std::vector<uint8_t> CStatusReplies::NetworkRequest(unsigned unit) {
    std::vector<uint8_t> d;
    for (int i = 0; i < kNetworkWords; ++i) AddElement(d, AreaType::DM, NetworkWord(unit, i));
    return d;
}

std::vector<uint8_t> CStatusReplies::ErrorStatusRequest(unsigned unit) {
    std::vector<uint8_t> d;
    AddElement(d, AreaType::CIO, DataLinkWord(unit, 6));
    return d;
}

bool CStatusReplies::DecodeDataLink(const uint8_t* d, size_t n, StatusArea& s) {
    if (n < 3u * kDataLinkWords) return false;
    std::memset(s.participation, 0, sizeof s.participation);
    for (int k = 0; k < kDataLinkWords; ++k) {
        uint16_t w = ElementWord(d, k);
        for (int j = 0; j < 16; ++j)
            if (w & (1u << j)) s.participation[16 * k + j] = 1;
    }
    return true;
}

bool CStatusReplies::DecodeNetwork(const uint8_t* d, size_t n, StatusArea& s) {
    if (n < 3u * kNetworkWords) return false;
    std::memset(s.nodeStatus, 0, sizeof s.nodeStatus);
    for (int node = 1; node <= 255; ++node) {
        unsigned nibble = (ElementWord(d, node / 4) >> (4 * (node % 4))) & 0xF;
        NodeStatusEntry& e = s.nodeStatus[node - 1];
        e.areaAllocError = nibble & 1;
        e.participating = (nibble >> 1) & 1;
        e.upperLayerError = (nibble >> 2) & 1;
        e.upperLayerRunning = (nibble >> 3) & 1;
    }
    return true;
}

bool CStatusReplies::DecodeErrorStatus(const uint8_t* d, size_t n, StatusArea& s) {
    if (n < 3) return false;
    s.errorStatusWord = ElementWord(d, 0);
    return true;
}

bool CStatusReplies::DecodeNodeInfo(uint16_t endCode, const uint8_t* d, size_t n, StatusArea& s) {
    if (n < kNodeInfoReply) return false;
    NodeInfoRecord& r = s.nodeInfo;
    r.completion = static_cast<uint8_t>(endCode);
    r.state1 = d[1];
    r.state2 = d[2];
    r.errorCode = d[3];
    r.tokenWatchdog = d[4];
    r.frameInterval = d[5];
    r.refreshAllowed = Be16(d + 6);
    r.localState = d[9];
    r.area1Start = Be16(d + 10);
    r.area1Size = Be16(d + 12);
    r.area2Start = Be16(d + 14);
    r.area2Size = Be16(d + 16);
    return true;
}

bool CStatusReplies::DecodeCycleTime(const uint8_t* d, size_t n, StatusArea& s) {
    if (n < kCycleTimeReply) return false;
    CycleTimeRecord& c = s.cycleTime;
    c.tokenNode = d[0];
    c.frameInterval = d[1];
    c.refreshAllowed = Be16(d + 2);
    c.refreshCurrent = Be16(d + 4);
    c.refreshMaximum = Be16(d + 6);
    c.refreshMinimum = Be16(d + 8);
    return true;
}

bool CStatusReplies::DecodeMessageSequence(uint8_t param, int r, const uint8_t* d, size_t n, StatusArea& s) {
    if (r < 0 || r > 7) return false;
    bool sendKind = param >= kSequenceParams[0] && param <= kSequenceParams[3];
    if (sendKind) {
        if (r > 3) return false;
        int first = kSequenceSlice * r;
        int last = std::min(kSequenceSlice * (r + 1), kSequenceNodes);
        if (n < 8 + 4u * static_cast<size_t>(last - first)) return false;
        if (param == 1) {
            s.sequenceVersion = Be32(d);
            s.sequenceSend1toN = Be32(d + 4);
        }
        for (int i = first; i < last; ++i) s.sendSequence[i] = Be32(d + 8 + 4 * (i - first));
        return true;
    }
    if (r < 4) return false;
    int first = kSequenceSlice * (r - 4);
    int last = std::min(kSequenceSlice * (r - 3), kSequenceNodes);
    if (n < 12u * static_cast<size_t>(last - first)) return false;
    for (int i = first; i < last; ++i) {
        const uint8_t* p = d + 12 * (i - first);
        s.receiveSequence[i] = ReceiveSequence{Be32(p), Be32(p + 4), Be32(p + 8)};
    }
    return true;
}

bool CStatusReplies::DecodeHistory(uint16_t start, const uint8_t* d, size_t n, StatusArea& s) {
    if (n < 6 || start >= kMaxHistoryRecords) return false;
    uint16_t inReply = Be16(d + 4);
    // Records past the 64 the record keeps, or past the reply's end, are refused.
    if (inReply > kMaxHistoryRecords - start || n < 6 + 10u * inReply) return false;
    if (start == 0) {
        s.historyMaxRecords = Be16(d);
        s.historyStored = Be16(d + 2);
        s.historyInReply = inReply;
    }
    for (uint16_t i = 0; i < inReply; ++i) {
        const uint8_t* p = d + 6 + 10 * i;
        HistoryRecord& h = s.historyRecords[start + i];
        h.errorCode = Be16(p);
        h.detail = Be16(p + 2);
        std::memcpy(h.time, p + 4, 6);
    }
    return true;
}

std::vector<uint8_t> CStatusReplies::HistoryRequest(uint16_t start, uint16_t count) {
    return {static_cast<uint8_t>(start >> 8), static_cast<uint8_t>(start), static_cast<uint8_t>(count >> 8),
            static_cast<uint8_t>(count)};
}
