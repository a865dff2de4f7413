#include <gtest/gtest.h>

#include "model/AreaType.h"
#include <cstring>

#include "model/UnitSettings.h"

TEST(UnitSettings, ResetGivesDefaultsAndZeroPlcImage) {
    CUnitSettings s;
    EXPECT_EQ(s.pc.systemFlags, 0x10C0);
    EXPECT_EQ(s.pc.ipAddressMethod, 3);
    EXPECT_EQ(TextOf(s.pc.modelName, sizeof s.pc.modelName), "VR4K-LUX22");
    EXPECT_EQ(s.pc.subnetMask[2], 255);
    EXPECT_EQ(s.pc.subnetMask[3], 0);
    EXPECT_EQ(s.pc.localArea2Type, AreaType::DM);
    SettingsImage zero{};
    EXPECT_EQ(0, memcmp(&zero, &s.plc, sizeof zero));
}

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
