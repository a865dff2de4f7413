#include <gtest/gtest.h>

#include "model/AreaType.h"
#include <cstring>

#include "model/UnitSettings.h"

TEST(UnitSettings, UnitAreaWordAndSystemFlags) {
    CUnitSettings s;
    UnitAreaValues v{};
    v.nodeNameEnabled = v.tokenWatchdogEnabled = v.minFrameIntervalEnabled = v.minFrameWaitEnabled = 1;
    v.minFrameWait = 15;
    EXPECT_EQ(s.SetUnitArea(v), 0xFF);
    UnitAreaValues w{};
    w.minFrameWait = 5;
    EXPECT_EQ(s.SetUnitArea(w), 0x50);

    s.pc.sendDataOrder = 1;
    s.pc.systemFlags |= 0x0100;
    SystemSettingsValues sys = s.GetSystemSettings();
    sys.ipAddressMethod = 3;
    sys.etherBaudRate = 1;
    s.SetSystemSettings(sys);
    EXPECT_EQ(s.pc.systemFlags & 0x13C0, 0x13C0);
}

TEST(UnitSettings, GetSystemSettingsReportsEntryCountAndMappingKeepsOrder) {
    CUnitSettings s;
    s.pc.entryCount = 3;
    s.pc.faLinkNodeCount = 9;
    EXPECT_EQ(s.GetSystemSettings().faLinkNodeCount, 3);
    s.pc.entries[0].receiveDataOrder = 1;
    MappingTableValues m{};
    m.entries[0].nodeNumber = 4;
    m.entryCount = 1;
    s.SetMappingTable(m);
    EXPECT_EQ(s.pc.entries[0].receiveDataOrder, 1);
    EXPECT_EQ(s.pc.entries[0].nodeNumber, 4);
}

TEST(AreaTypeTable, IndexCodeName) {
    EXPECT_EQ(AreaType::CodeFromIndex(17), AreaType::CIO);
    EXPECT_EQ(AreaType::CodeFromIndex(-1), AreaType::CIO);
    EXPECT_EQ(AreaType::IndexFromCode(0x82), 3);
    EXPECT_EQ(AreaType::IndexFromCode(0x10), 0);
    EXPECT_EQ(AreaType::NameFromCode(0x10), "");
    EXPECT_EQ(AreaType::NameFromCode(0xAC), "EMC");
}

TEST(UnitSettings, ResetsKeepOrDropTheTargetAndKeepLiveStatus) {
    CUnitSettings s;
    s.launchUnitNumber = 7;
    s.relayPlc = "relay";
    s.targetPlc = "target";
    s.targetPlcNumber = 2;
    s.unitNumber = 3;
    s.status.participation[5] = 1;
    s.status.cycleTime.refreshCurrent = 40;
    s.status.nodeInfoNode = 9;
    s.status.historyStored = 12;
    s.status.errorStatusWord = 0x8000;
    s.pc.tokenWatchdog = 1;
    s.plc.tokenWatchdog = 1;

    EXPECT_EQ(s.ResetKeepingTarget(), 0);
    EXPECT_EQ(s.relayPlc, "relay");
    EXPECT_EQ(s.targetPlc, "target");
    EXPECT_EQ(s.targetPlcNumber, 2u);
    EXPECT_EQ(s.unitNumber, 7u);
    EXPECT_EQ(s.pc.tokenWatchdog, 50);
    EXPECT_EQ(s.plc.tokenWatchdog, 0);
    EXPECT_EQ(s.status.participation[5], 1u);
    EXPECT_EQ(s.status.cycleTime.refreshCurrent, 40);
    EXPECT_EQ(s.status.nodeInfoNode, 9u);
    EXPECT_EQ(s.status.historyStored, 0);
    EXPECT_EQ(s.status.errorStatusWord, 0);
    EXPECT_EQ(s.status.historyMaxRecords, 20);

    EXPECT_EQ(s.ResetToDefaults(), 1);
    EXPECT_EQ(s.relayPlc, "");
    EXPECT_EQ(s.targetPlc, "");
    EXPECT_EQ(s.targetPlcNumber, 0u);
}

TEST(UnitSettings, SetUnitAreaAlwaysTerminatesTheTenByteName) {
    CUnitSettings s;
    CopyText(s.pc.nodeName, sizeof s.pc.nodeName, "A-LONGER-NAME-FROM-FILE");
    UnitAreaValues v{};
    std::memcpy(v.nodeName, "ABCDEFGHIJKLMNOP", 16);
    v.tokenWatchdog = 9;
    s.SetUnitArea(v);
    EXPECT_EQ(TextOf(s.pc.nodeName, sizeof s.pc.nodeName), "ABCDEFGHIJ");
    EXPECT_EQ(s.pc.tokenWatchdog, 9);
}

TEST(UnitSettings, SystemFlagWordKeepsForeignBitsBothWays) {
    CUnitSettings s;
    s.pc.systemFlags = 0x1000 | 0x0008;
    SystemSettingsValues v = s.GetSystemSettings();
    v.mappingTableMethod = 1;
    v.broadcastType = 1;
    v.ipAddressMethod = 2;
    s.SetSystemSettings(v);
    EXPECT_EQ(s.pc.systemFlags, 0x1000 | 0x0008 | 0x0001 | 0x0020 | 0x0080);
    v.mappingTableMethod = 0;
    v.ipAddressMethod = 1;
    s.SetSystemSettings(v);
    EXPECT_EQ(s.pc.systemFlags, 0x1000 | 0x0008 | 0x0020 | 0x0040);

    SettingsImage read{};
    read.systemFlags = 0x00C1;
    CUnitSettings::DeriveFromSystemFlags(read);
    EXPECT_EQ(read.mappingTableMethod, 1);
    EXPECT_EQ(read.ipAddressMethod, 3);
    EXPECT_EQ(read.startupMethod, 0);
    read.systemFlags = 0x0312;
    CUnitSettings::DeriveFromSystemFlags(read);
    EXPECT_EQ(read.ipAddressMethod, 0);
    EXPECT_EQ(read.startupMethod, 1);
    EXPECT_EQ(read.confirmMessage, 1);
    EXPECT_EQ(read.sendDataOrder, 1);
    EXPECT_EQ(read.etherBaudRate, 1);
}

TEST(UnitSettings, DataOrdersOnlyForRowsInUse) {
    CUnitSettings s;
    uint16_t nodes[kMaxMappingEntries] = {};
    uint16_t orders[kMaxMappingEntries] = {};
    nodes[0] = 3;
    nodes[2] = 9;
    orders[0] = orders[1] = orders[2] = 1;
    s.pc.entries[1].receiveDataOrder = 0;
    s.SetDataOrders(1, nodes, orders);
    EXPECT_EQ(s.pc.sendDataOrder, 1);
    EXPECT_TRUE(s.pc.systemFlags & 0x0100);
    EXPECT_EQ(s.pc.entries[0].receiveDataOrder, 1);
    EXPECT_EQ(s.pc.entries[1].receiveDataOrder, 0);
    EXPECT_EQ(s.pc.entries[2].receiveDataOrder, 1);
    s.SetDataOrders(0, nodes, orders);
    EXPECT_FALSE(s.pc.systemFlags & 0x0100);
    EXPECT_TRUE(s.pc.systemFlags & 0x1000);
}

TEST(UnitSettings, MappingTableCountIsClampedBothWays) {
    CUnitSettings s;
    MappingTableValues m{};
    m.entryCount = 4000;
    s.SetMappingTable(m);
    EXPECT_EQ(s.pc.entryCount, 128u);
    s.pc.entryCount = 999;
    EXPECT_EQ(s.GetMappingTable().entryCount, 128u);
}
