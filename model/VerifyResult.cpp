#include "model/VerifyResult.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "model/Messages.h"
#include "model/ValueText.h"

namespace {
std::string Decimal(int64_t v) { return std::to_string(v); }
std::string Address(const uint8_t a[4]) {
    char buffer[20];
    std::snprintf(buffer, sizeof buffer, "%d.%d.%d.%d", a[0], a[1], a[2], a[3]);
    return buffer;
}
std::string IpMethodText(int64_t v) {
    switch (v) {
    case 0: return MessageText(33022);
    case 1: return MessageText(33023);
    case 2: return MessageText(33021);
    case 3: return MessageText(33020);
    default: return std::string();
    }
}
int64_t Packed(const uint8_t a[4]) {
    return (int64_t{a[0]} << 24) | (a[1] << 16) | (a[2] << 8) | a[3];
}
}  // namespace

void CVerifyResult::Add(int id, const std::string& item, int64_t plc, const std::string& plcText, int64_t pc,
                        const std::string& pcText) {
    if (m_rows.size() >= kMaxRows) return;
    m_rows.push_back(VerifyRow{item.empty() ? MessageText(id) : item, id, plc, plcText, pc, pcText});
}

void CVerifyResult::Number(int id, int64_t plc, int64_t pc, const std::string& item) {
    if (plc != pc) Add(id, item, plc, Decimal(plc), pc, Decimal(pc));
}

void CVerifyResult::Choice(int id, int64_t plc, int64_t pc, int zeroId, int otherId) {
    if (plc != pc) Add(id, {}, plc, MessageText(plc ? otherId : zeroId), pc, MessageText(pc ? otherId : zeroId));
}

void CVerifyResult::AreaType(int id, uint8_t plc, uint8_t pc) {
    if (plc != pc) Add(id, {}, plc, AreaTypeName(plc), pc, AreaTypeName(pc));
}

void CVerifyResult::BuildFromFiles(const SettingsImage& pc, SettingsImage b) {
    for (auto& e : b.entries)
        if (e.receiveDataOrder == 1) e.receiveDataOrder = 16;
    Build(pc, b);
}

void CVerifyResult::Build(const SettingsImage& pc, const SettingsImage& plc) {
    m_rows.clear();
    if (pc.minFrameIntervalEnabled) Number(32863, plc.minFrameInterval, pc.minFrameInterval);
    if (pc.tokenWatchdogEnabled) Number(32864, plc.tokenWatchdog, pc.tokenWatchdog);
    if (pc.minFrameWaitEnabled) Number(32865, plc.minFrameWait, pc.minFrameWait);
    if (pc.nodeNameEnabled) {
        std::string a = TextOf(plc.nodeName, sizeof plc.nodeName);
        std::string b = TextOf(pc.nodeName, sizeof pc.nodeName);
        if (a != b) Add(33043, {}, 0, a, 0, b);
    }
    Choice(32866, plc.mappingTableMethod, pc.mappingTableMethod, 33012, 33013);
    Choice(32867, plc.startupMethod, pc.startupMethod, 33014, 33015);
    Choice(32868, plc.confirmMessage, pc.confirmMessage, 33016, 33017);
    Choice(32869, plc.broadcastType, pc.broadcastType, 33018, 33019);
    if (plc.ipAddressMethod != pc.ipAddressMethod)
        Add(32870, {}, plc.ipAddressMethod, IpMethodText(plc.ipAddressMethod), pc.ipAddressMethod,
            IpMethodText(pc.ipAddressMethod));
    if (Address(plc.subnetMask) != Address(pc.subnetMask))
        Add(32871, {}, Packed(plc.subnetMask), Address(plc.subnetMask), Packed(pc.subnetMask), Address(pc.subnetMask));
    if ((plc.ipAddressMethod == 2 || pc.ipAddressMethod == 2) && Address(plc.ipAddress) != Address(pc.ipAddress))
        Add(32872, {}, Packed(plc.ipAddress), Address(plc.ipAddress), Packed(pc.ipAddress), Address(pc.ipAddress));
    Number(32873, plc.faLinkNodeCount, pc.faLinkNodeCount);
    Choice(33066, plc.etherBaudRate, pc.etherBaudRate, 33067, 33068);
    AreaType(33038, plc.localArea1Type, pc.localArea1Type);
    Number(32874, plc.localArea1Start, pc.localArea1Start);
    Number(32875, plc.localArea1Size, pc.localArea1Size);
    Number(32876, plc.localArea1ComStart, pc.localArea1ComStart);
    AreaType(33039, plc.localArea2Type, pc.localArea2Type);
    Number(32877, plc.localArea2Start, pc.localArea2Start);
    Number(32878, plc.localArea2Size, pc.localArea2Size);
    Number(32879, plc.localArea2ComStart, pc.localArea2ComStart);
    Choice(32880, plc.sendDataOrder, pc.sendDataOrder, 33031, 33005);
    AreaType(33040, plc.mapArea1Type, pc.mapArea1Type);
    Number(32881, plc.mapArea1Start, pc.mapArea1Start);
    AreaType(33041, plc.mapArea2Type, pc.mapArea2Type);
    Number(32882, plc.mapArea2Start, pc.mapArea2Start);

    uint32_t n = std::min<uint32_t>(std::max(pc.entryCount, plc.entryCount), kMaxMappingEntries);
    for (uint32_t i = 0; i < n; ++i) {
        const MappingEntry& a = pc.entries[i];
        const MappingEntry& b = plc.entries[i];
        // The row names are formatted only for a difference: a verify that matches makes none.
        auto item = [&](int id) { return FormatMessage(id, {Decimal(a.nodeNumber)}); };
        auto field = [&](int id, int64_t plcValue, int64_t pcValue) {
            if (plcValue != pcValue) Number(id, plcValue, pcValue, item(id));
        };
        Number(32883, b.nodeNumber, a.nodeNumber);
        field(32884, b.area1Offset, a.area1Offset);
        field(32886, b.area1Size, a.area1Size);
        field(32887, b.area2Offset, a.area2Offset);
        field(32889, b.area2Size, a.area2Size);
        // The unit reports the reverse order in the high four bits of its byte.
        int64_t pcOrder = a.receiveDataOrder == 1 ? 16 : a.receiveDataOrder;
        if (pcOrder != b.receiveDataOrder)
            Add(32890, item(32890), b.receiveDataOrder, MessageText(b.receiveDataOrder ? 33005 : 33031), pcOrder,
                MessageText(pcOrder ? 33005 : 33031));
    }
}
