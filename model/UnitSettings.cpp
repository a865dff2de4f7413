#include "model/UnitSettings.h"

#include <cstring>

#include "model/AreaType.h"

void CopyText(char* dest, size_t width, const std::string& text) {
    std::memset(dest, 0, width);
    std::memcpy(dest, text.data(), text.size() < width ? text.size() : width - 1);
}

std::string TextOf(const char* field, size_t width) {
    size_t n = 0;
    while (n < width && field[n] != '\0') ++n;
    return std::string(field, n);
}

CUnitSettings::CUnitSettings() {
    std::memset(&pc, 0, sizeof pc);
    std::memset(&plc, 0, sizeof plc);
    std::memset(&status, 0, sizeof status);
    ResetToDefaults();
}

void CUnitSettings::ResetImagesAndStatus() {
    std::memset(&pc, 0, sizeof pc);
    std::memset(&plc, 0, sizeof plc);
    CopyText(pc.protocolVersion, sizeof pc.protocolVersion, "1");
    CopyText(pc.modelName, sizeof pc.modelName, "VR4K-LUX22");
    pc.subnetMask[0] = pc.subnetMask[1] = pc.subnetMask[2] = 255;
    pc.tokenWatchdog = 50;
    pc.minFrameInterval = 1;
    pc.ipAddressMethod = 3;
    pc.systemFlags = 0x10C0;
    pc.localArea1Type = pc.mapArea1Type = AreaType::CIO;
    pc.localArea2Type = pc.mapArea2Type = AreaType::DM;
    comment.clear();
    extensionCheck = 0;
    unitNumber = launchUnitNumber;

    // Participation, node information and cycle time keep their values.
    status.errorStatusWord = 0;
    status.sequenceVersion = 0;
    status.sequenceSend1toN = 0;
    status.historyStored = 0;
    status.historyInReply = 0;
    status.historyMaxRecords = 20;
    std::memset(status.historyRecords, 0, sizeof status.historyRecords);
    std::memset(status.sendSequence, 0, sizeof status.sendSequence);
    std::memset(status.receiveSequence, 0, sizeof status.receiveSequence);
    std::memset(status.nodeStatus, 0, sizeof status.nodeStatus);
}

int CUnitSettings::ResetToDefaults() {
    ResetImagesAndStatus();
    relayPlc.clear();
    targetPlc.clear();
    targetPlcNumber = 0;
    return 1;
}

int CUnitSettings::ResetKeepingTarget() {
    ResetImagesAndStatus();
    return 0;
}

uint16_t CUnitSettings::SetUnitArea(const UnitAreaValues& v) {
    std::memset(pc.nodeName, 0, 12);
    std::memcpy(pc.nodeName, v.nodeName, 10);
    pc.tokenWatchdog = v.tokenWatchdog;
    pc.minFrameInterval = v.minFrameInterval;
    pc.minFrameWait = v.minFrameWait;
    pc.nodeNameEnabled = v.nodeNameEnabled;
    pc.tokenWatchdogEnabled = v.tokenWatchdogEnabled;
    pc.minFrameIntervalEnabled = v.minFrameIntervalEnabled;
    pc.minFrameWaitEnabled = v.minFrameWaitEnabled;
    uint16_t word = 0;
    if (v.nodeNameEnabled) word |= 0x01;
    if (v.tokenWatchdogEnabled) word |= 0x02;
    if (v.minFrameIntervalEnabled) word |= 0x04;
    if (v.minFrameWaitEnabled) word |= 0x08;
    word |= static_cast<uint16_t>((v.minFrameWait & 0x0F) << 4);
    return word;
}

uint16_t CUnitSettings::ComposeSystemFlags(uint16_t oldFlags, const SettingsImage& im) {
    constexpr uint16_t kOwned = 0x0001 | 0x0002 | 0x0010 | 0x0020 | 0x00C0 | 0x0100 | 0x0200;
    uint16_t w = oldFlags & static_cast<uint16_t>(~kOwned);
    if (im.mappingTableMethod) w |= 0x0001;
    if (im.startupMethod) w |= 0x0002;
    if (im.confirmMessage) w |= 0x0010;
    if (im.broadcastType) w |= 0x0020;
    w |= static_cast<uint16_t>((im.ipAddressMethod & 0x3) << 6);
    if (im.sendDataOrder) w |= 0x0100;
    if (im.etherBaudRate) w |= 0x0200;
    return w;
}

void CUnitSettings::DeriveFromSystemFlags(SettingsImage& im) {
    const uint16_t w = im.systemFlags;
    im.mappingTableMethod = (w & 0x0001) ? 1 : 0;
    im.startupMethod = (w & 0x0002) ? 1 : 0;
    im.confirmMessage = (w & 0x0010) ? 1 : 0;
    im.broadcastType = (w & 0x0020) ? 1 : 0;
    im.ipAddressMethod = static_cast<uint16_t>((w >> 6) & 0x3);
    im.sendDataOrder = (w & 0x0100) ? 1 : 0;
    im.etherBaudRate = (w & 0x0200) ? 1 : 0;
}

void CUnitSettings::SetSystemSettings(const SystemSettingsValues& v) {
    pc.mappingTableMethod = v.mappingTableMethod;
    pc.startupMethod = v.startupMethod;
    pc.confirmMessage = v.confirmMessage;
    pc.broadcastType = v.broadcastType;
    pc.ipAddressMethod = v.ipAddressMethod;
    std::memcpy(pc.subnetMask, v.subnetMask, 4);
    std::memcpy(pc.ipAddress, v.ipAddress, 4);
    pc.faLinkNodeCount = v.faLinkNodeCount;
    pc.etherBaudRate = v.etherBaudRate;
    pc.systemFlags = ComposeSystemFlags(pc.systemFlags, pc);
}

SystemSettingsValues CUnitSettings::GetSystemSettings() const {
    SystemSettingsValues v{};
    v.mappingTableMethod = pc.mappingTableMethod;
    v.startupMethod = pc.startupMethod;
    v.confirmMessage = pc.confirmMessage;
    v.broadcastType = pc.broadcastType;
    v.ipAddressMethod = pc.ipAddressMethod;
    std::memcpy(v.subnetMask, pc.subnetMask, 4);
    std::memcpy(v.ipAddress, pc.ipAddress, 4);
    v.faLinkNodeCount = static_cast<uint16_t>(pc.entryCount);
    v.etherBaudRate = pc.etherBaudRate;
    return v;
}

void CUnitSettings::SetLocalNodeArea(const LocalNodeValues& v) {
    pc.localArea1Type = v.localArea1Type;
    pc.localArea2Type = v.localArea2Type;
    pc.localArea1Start = v.localArea1Start;
    pc.localArea2Start = v.localArea2Start;
    pc.localArea1Size = v.localArea1Size;
    pc.localArea2Size = v.localArea2Size;
    pc.localArea1ComStart = v.localArea1ComStart;
    pc.localArea2ComStart = v.localArea2ComStart;
}

LocalNodeValues CUnitSettings::GetLocalNodeArea() const {
    LocalNodeValues v{};
    v.localArea1Type = pc.localArea1Type;
    v.localArea2Type = pc.localArea2Type;
    v.localArea1Start = pc.localArea1Start;
    v.localArea2Start = pc.localArea2Start;
    v.localArea1Size = pc.localArea1Size;
    v.localArea2Size = pc.localArea2Size;
    v.localArea1ComStart = pc.localArea1ComStart;
    v.localArea2ComStart = pc.localArea2ComStart;
    return v;
}

void CUnitSettings::SetMappingTable(const MappingTableValues& v) {
    pc.mapArea1Type = v.mapArea1Type;
    pc.mapArea2Type = v.mapArea2Type;
    pc.mapArea1Start = v.mapArea1Start;
    pc.mapArea2Start = v.mapArea2Start;
    for (int i = 0; i < kMaxMappingEntries; ++i) {
        MappingEntry& e = pc.entries[i];
        const MappingEntry& s = v.entries[i];
        e.nodeNumber = s.nodeNumber;  // receiveDataOrder belongs to the extension settings
        e.area1Size = s.area1Size;
        e.area1Offset = s.area1Offset;
        e.area2Size = s.area2Size;
        e.area2Offset = s.area2Offset;
    }
    pc.entryCount = v.entryCount > kMaxMappingEntries ? kMaxMappingEntries : v.entryCount;
}

MappingTableValues CUnitSettings::GetMappingTable() const {
    MappingTableValues v{};
    v.mapArea1Type = pc.mapArea1Type;
    v.mapArea2Type = pc.mapArea2Type;
    v.mapArea1Start = pc.mapArea1Start;
    v.mapArea2Start = pc.mapArea2Start;
    v.entryCount = pc.entryCount > kMaxMappingEntries ? kMaxMappingEntries : pc.entryCount;
    for (uint32_t i = 0; i < v.entryCount; ++i) {
        v.entries[i] = pc.entries[i];
        v.entries[i].receiveDataOrder = 0;
    }
    return v;
}

void CUnitSettings::SetDataOrders(uint16_t sendDataOrder, const uint16_t nodeNumbers[kMaxMappingEntries],
                                  const uint16_t receiveOrders[kMaxMappingEntries]) {
    pc.sendDataOrder = sendDataOrder;
    if (sendDataOrder)
        pc.systemFlags |= 0x0100;
    else
        pc.systemFlags &= static_cast<uint16_t>(~0x0100);
    for (int i = 0; i < kMaxMappingEntries; ++i)
        if (nodeNumbers[i] != 0) pc.entries[i].receiveDataOrder = receiveOrders[i];
}
