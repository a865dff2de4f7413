#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/LaunchParameters.h"
#include "model/FileIo.h"

namespace {

// Records each edit as "+SECTION:KEY=VALUE" so the order of edits is visible.
std::string FakeWrite(const std::string& deviceString, const std::string& section, const std::string& key,
                      const std::string& value) {
    return deviceString + "+" + section + ":" + key + "=" + value;
}

LaunchSwitches Parse(std::vector<std::string> args, LaunchParameters& p) {
    return ParseLaunchSwitches(args, p);
}

TEST(LaunchSwitches, OnlyThreeArgumentsStartingWithLowerCaseN) {
    LaunchParameters p;
    EXPECT_EQ(Parse({"/n", "/off", "C:\\tmp\\X.CFG"}, p), LaunchSwitches::kLaunchFile);
    EXPECT_EQ(p.launchFilePath, "C:\\tmp\\X.CFG");
    EXPECT_EQ(p.modeSwitch, "/off");
    EXPECT_EQ(p.firstSwitch, "/n");

    LaunchParameters q;
    EXPECT_EQ(Parse({"/n", "plc.cfg", "anything"}, q), LaunchSwitches::kLaunchFile);
    EXPECT_EQ(q.launchFilePath, "plc.cfg");
    EXPECT_EQ(q.modeSwitch, "");

    LaunchParameters r;
    EXPECT_EQ(Parse({"/N", "/on", "plc.cfg"}, r), LaunchSwitches::kMalformed);
    EXPECT_EQ(Parse({"/n", "/on", "plc.txt"}, r), LaunchSwitches::kMalformed);
    EXPECT_EQ(Parse({"/n", "/on", "cfg"}, r), LaunchSwitches::kMalformed);
    EXPECT_EQ(Parse({"/n", "plc.cfg"}, r), LaunchSwitches::kNone);
    EXPECT_EQ(Parse({"unit.lsm"}, r), LaunchSwitches::kNone);
    EXPECT_EQ(r.launchFilePath, "");
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

TEST(LaunchFile, DeletedOnlyAfterASuccessfulRead) {
    auto path = std::filesystem::temp_directory_path() / "linksmith-launch-test.cfg";
    std::ofstream(path) << kLaunchFile;
    LaunchParameters p;
    p.launchFilePath = path.string();
    EXPECT_TRUE(ReadLaunchFile(p, FakeWrite));
    EXPECT_EQ(p.launchedFromFile, 1);
    EXPECT_FALSE(std::filesystem::exists(path));

    LaunchParameters missing;
    missing.launchFilePath = path.string();
    EXPECT_FALSE(ReadLaunchFile(missing, FakeWrite));
    EXPECT_EQ(missing.launchedFromFile, 0);

    // A unit number outside 0-15 is refused and the file kept; 15 is the last one accepted.
    for (const char* unit : {"16", "-1", "99999999999"}) {
        std::ofstream(path) << "[TargetCompo]\nUnitNumber:=\"" << unit << "\"\n";
        LaunchParameters bad;
        bad.launchFilePath = path.string();
        EXPECT_FALSE(ReadLaunchFile(bad, FakeWrite)) << unit;
        EXPECT_EQ(bad.launchedFromFile, 0);
        EXPECT_TRUE(std::filesystem::exists(path)) << unit;
    }
    std::ofstream(path) << "[TargetCompo]\nUnitNumber:=\"15\"\n";
    LaunchParameters last;
    last.launchFilePath = path.string();
    EXPECT_TRUE(ReadLaunchFile(last, FakeWrite));
    EXPECT_EQ(last.unitNumber, 15);
    EXPECT_FALSE(std::filesystem::exists(path));
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
