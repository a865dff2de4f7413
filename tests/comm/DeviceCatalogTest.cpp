#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "comm/DeviceCatalog.h"
#include "comm/ProfileFile.h"

namespace {
std::string TempFile(const std::string& name, const std::string& content) {
    std::string path = ::testing::TempDir() + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}
}  // namespace

TEST(DeviceCatalog, MissingFileFailsEveryLookUp) {
    CDeviceCatalog c(::testing::TempDir() + "/no-such-catalog.ini");
    std::string s;
    int major = 5, minor = 5;
    EXPECT_FALSE(c.GetType("VR4H", &s));
    EXPECT_FALSE(c.GetName("VR4H", &s));
    EXPECT_FALSE(c.GetKeyByName("VR4H", &s));
    EXPECT_FALSE(c.GetVersion("VR4H", &s, &major, &minor));
    EXPECT_EQ(major, 0);
    EXPECT_EQ(minor, 0);
}

TEST(DeviceCatalog, ReadsBothGroupsWithDefaultsAndVersions) {
    std::string path = TempFile("catalog.ini",
                                "; test catalog\n"
                                "[SOFTWARE\\QUORVEX\\Component Catalog\\COMPONENTS\\DeviceConfigurations\\VR4H]\n"
                                "Name=VR4H PLC\nType=VR4H-CPU\nVersionName=V3.9\nMajorVersion=3.9\nMinorVersion=\n"
                                "[SOFTWARE\\QUORVEX\\Component Catalog\\COMPONENTS\\DeviceConfigurations\\VR3K\\]\n"
                                "Name=VR3K PLC\n"
                                "[SOFTWARE\\QUORVEX\\Component Catalog\\GROUPS\\AllLegacyDevices\\VR4H]\n"
                                "Name=Legacy VR4H\nType=OLD\n"
                                "[SOFTWARE\\Elsewhere\\X]\nName=ignored\n");
    CDeviceCatalog c(path);
    std::string s;
    int major = 0, minor = 0;
    ASSERT_TRUE(c.GetType("VR3K", &s));
    EXPECT_EQ(s, "VR3K") << "a configuration without Type gives its key";
    // The legacy group is read later and replaces the earlier entry with the same key.
    ASSERT_TRUE(c.GetType("VR4H", &s));
    EXPECT_EQ(s, "OLD");
    ASSERT_TRUE(c.GetKeyByName("VR3K PLC", &s));
    EXPECT_EQ(s, "VR3K");
    ASSERT_TRUE(c.GetVersion("VR4H", &s, &major, &minor));
    EXPECT_EQ(major, 0);
    EXPECT_FALSE(c.GetType("X", &s));
}

TEST(DeviceCatalog, MajorVersionIsTruncatedAndLongTextsFail) {
    std::string longType(300, 'T');
    std::string path = TempFile("catalog2.ini",
                                "[SOFTWARE\\QUORVEX\\Component Catalog\\COMPONENTS\\DeviceConfigurations\\A]\n"
                                "MajorVersion=3.9\nMinorVersion=12\nVersionName=\"V3\"\nType=" +
                                    longType + "\n");
    CDeviceCatalog c(path);
    std::string s;
    int major = 0, minor = 0;
    ASSERT_TRUE(c.GetVersion("A", &s, &major, &minor));
    EXPECT_EQ(major, 3);
    EXPECT_EQ(minor, 12);
    EXPECT_EQ(s, "V3");
    EXPECT_FALSE(c.GetType("A", &s));
}

TEST(ProfileFile, WritesAndReadsKeysOfASection) {
    std::string path = ::testing::TempDir() + "/profile-test/sub/LinkSmith.ini";
    std::remove(path.c_str());
    CProfileFile p(path);
    EXPECT_EQ(p.ReadString("VLCProject", "PLCConfig", 2049), "");
    ASSERT_TRUE(p.WriteString("Other", "PLCConfig", "elsewhere"));
    ASSERT_TRUE(p.WriteString("VLCProject", "PLCConfig", "[DEV]DEV:VR4H;"));
    ASSERT_TRUE(p.WriteString("VLCProject", "ConnectionType", "1"));
    ASSERT_TRUE(p.WriteString("VLCProject", "PLCConfig", "[DEV]DEV:VR3K;"));
    EXPECT_EQ(p.ReadString("VLCProject", "PLCConfig", 2049), "[DEV]DEV:VR3K;");
    EXPECT_EQ(p.ReadString("VLCProject", "ConnectionType", 2049), "1");
    EXPECT_EQ(p.ReadString("Other", "PLCConfig", 2049), "elsewhere");
    EXPECT_EQ(p.ReadString("VLCProject", "PLCConfig", 5), "[DEV");
    ASSERT_TRUE(p.WriteString("VLCProject", "PLCComment", "two\nlines"));
    EXPECT_EQ(p.ReadString("VLCProject", "PLCComment", 2049), "two lines");
}
