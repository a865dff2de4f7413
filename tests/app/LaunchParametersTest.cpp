#include <gtest/gtest.h>

#include "app/LaunchParameters.h"
#include "model/FileIo.h"

namespace {

// Records each edit as "+SECTION:KEY=VALUE" so the order of edits is visible.
std::string FakeWrite(const std::string& deviceString, const std::string& section, const std::string& key,
                      const std::string& value) {
    return deviceString + "+" + section + ":" + key + "=" + value;
}

const char kLaunchFile[] =
    "[RelayPLC]\r\n"
    "Name:=\"GW1\"\r\n"
    "ModelName:=\"VR4H\"\r\n"
    "Config:=\"[DEV]DEV:GW;\"\r\n"
    "[TargetCompo]\r\n"
    "Name:=\"PLC1\"\r\n"
    "ModelName:=\"Ignored\"\r\n"
    "Config:=\"[DEV]DEV:VR4H;\"\r\n"
    "NetworkAddress:=\"12abc\"\r\n"
    "NodeAddress:=\" -3\"\r\n"
    "[TargetSIOU]\r\n"
    "UnitNumber:=\"5\"\r\n"
    "UnitNumber:=\"9\"\r\n";

TEST(LaunchFile, RelayAndTargetSections) {
    LaunchParameters p;
    ApplyLaunchFile(kLaunchFile, p, FakeWrite);
    EXPECT_EQ(p.relayPlcName, "GW1");
    EXPECT_EQ(p.relayConfig, "[DEV]DEV:GW;");
    EXPECT_EQ(p.targetPlcName, "PLC1");
    EXPECT_EQ(p.targetConfig, "[DEV]DEV:VR4H;+NET:GATE=Gateway+NET:TMO=5000");
    EXPECT_EQ(p.networkAddress, 12);
    EXPECT_EQ(p.nodeAddress, -3);
    // The sub-unit block ends at its first unit number; the second is read in the target state.
    EXPECT_EQ(p.unitNumber, 9);
}

TEST(LaunchFile, SameConfigurationMeansDirectAndWithoutTargetEverythingIsTheRelays) {
    LaunchParameters p;
    ApplyLaunchFile("Config:=\"[DEV]A;\"\n[TargetCompo]\nConfig:=\"[DEV]A;\"\n", p, FakeWrite);
    EXPECT_EQ(p.relayConfig, "");
    EXPECT_EQ(p.targetConfig, "[DEV]A;+NET:TMO=5000");

    LaunchParameters q;
    ApplyLaunchFile("Name:=\"P\"\nConfig:=\"C\"\nNetworkAddress:=\"4\"\nUnitNumber:=\"3\"\nName:=\"unterminated\n", q,
                    FakeWrite);
    EXPECT_EQ(q.relayPlcName, "");
    EXPECT_EQ(q.relayConfig, "C");
    EXPECT_EQ(q.targetPlcName, "");
    EXPECT_EQ(q.networkAddress, 0);
    EXPECT_EQ(q.unitNumber, 0);
}

TEST(DocumentPath, SplitsAfterTheLastSeparator) {
    std::string folder, name;
    SplitPath("C:\\plant\\line1.lsm", folder, name);
    EXPECT_EQ(folder, "C:\\plant\\");
    EXPECT_EQ(name, "line1.lsm");
    SplitPath("/home/u/a.lsm", folder, name);
    EXPECT_EQ(folder, "/home/u/");
    SplitPath("a.lsm", folder, name);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(name, "a.lsm");
}

}  // namespace
