#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

#include <cstdio>

#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "comm/ProfileFile.h"
#include "model/Messages.h"

namespace {
const std::string kDefault = CCommuProcess::kDefaultDeviceString;

class FailingInit : public CLinkMiddleware {
public:
    using CLinkMiddleware::CLinkMiddleware;
    uint16_t Initialize() override { return 0x8123; }
};

class FailingProject : public CLinkMiddleware {
public:
    using CLinkMiddleware::CLinkMiddleware;
    uint16_t OpenProject(void*, MemoryStorage*, const std::string&, int, uint16_t*) override { return 0x8001; }
};

class Connection : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        profilePath = ::testing::TempDir() + "/profile-" + info->name() + ".ini";
        std::remove(profilePath.c_str());
        comm.SetProfileFile(profilePath);
    }
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const auto& e : prompter.shown) ids.push_back(e.id);
        return ids;
    }
    std::vector<std::string> Entries() { return mw.EntryNames(comm.m_projectHandle); }
    std::string DeviceOf(const std::string& name) {
        std::string ds, cm;
        mw.EntryOf(comm.m_projectHandle, name, &ds, &cm);
        return ds;
    }
    bool Start() { return comm.Initialize() && comm.OpenProject(); }

    CSystemClock clock;
    CLinkMiddleware mw{clock};
    CUnitSettings settings;
    RecordingPrompter prompter;
    CCommuProcess comm{settings, prompter, mw};
    std::string profilePath;
};
}  // namespace

TEST_F(Connection, NothingConfiguredGivesTheDirectEntryOnly) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(comm.m_connectionType, 0);
    EXPECT_EQ(Entries(), std::vector<std::string>{"PLC-LinkSmith"});
    EXPECT_EQ(DeviceOf("PLC-LinkSmith"), kDefault);
    EXPECT_EQ(comm.DirectComment(), " ");
    EXPECT_EQ(settings.targetPlc, kDefault);
    EXPECT_EQ(settings.targetPlcNumber, 0u);
    // The excluded device types are not offered.
    EXPECT_EQ(mw.OfferedDeviceTypes(), "VR4H,VR4K,VR3K,VR3G");
}

TEST_F(Connection, OpenProjectTwiceDoesNothingTheSecondTime) {
    ASSERT_TRUE(Start());
    uint16_t handle = comm.m_projectHandle;
    ASSERT_TRUE(comm.OpenProject());
    EXPECT_EQ(comm.m_projectHandle, handle);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Connection, DirectStringNamingTheGatewayIsResetInDirectMode) {
    comm.SetDirectDeviceString("[DEV]DEV:VR4H;CPU:X;[NET]GATE:Gateway;");
    ASSERT_TRUE(Start());
    EXPECT_EQ(DeviceOf("PLC-LinkSmith"), kDefault);
}

TEST_F(Connection, RefusedDeviceStringIsAddedAgainWithTheDefault) {
    CProfileFile(profilePath).WriteString("VLCProject", "PLCConfig", "[DEV]DEV:broken");
    CProfileFile(profilePath).WriteString("VLCProject", "PLCComment", "my plc");
    ASSERT_TRUE(Start());
    EXPECT_EQ(Ids(), std::vector<int>{32849});
    EXPECT_EQ(DeviceOf("PLC-LinkSmith"), kDefault);
    EXPECT_EQ(comm.DirectComment(), " ");
    // Recovered from: no failure left for a later refusal to be taken for.
    EXPECT_EQ(comm.LastFailure().kind, CCommuProcess::FailureKind::None);
}

TEST_F(Connection, ConnectionTypeInTheProfileIsADecimalNumber) {
    for (const auto& [text, type] : std::vector<std::pair<const char*, int>>{{"01", 1}, {"1", 1}, {"2", 0}, {"x", 0}}) {
        CProfileFile(profilePath).WriteString("VLCProject", "ConnectionType", text);
        CUnitSettings s;
        RecordingPrompter p;
        CLinkMiddleware m(clock);
        CCommuProcess c(s, p, m);
        c.SetProfileFile(profilePath);
        ASSERT_TRUE(c.Initialize() && c.OpenProject()) << text;
        EXPECT_EQ(c.m_connectionType, type) << text;
        EXPECT_EQ(s.targetPlcNumber, static_cast<uint32_t>(type)) << text;
    }
}

TEST_F(Connection, StartUpFailuresShowTheirMessage) {
    CUnitSettings s;
    RecordingPrompter p;
    FailingInit failingInit(clock);
    CCommuProcess c(s, p, failingInit);
    EXPECT_FALSE(c.Initialize());
    ASSERT_EQ(p.shown.size(), 1u);
    EXPECT_EQ(p.shown[0].id, 32843);
    EXPECT_EQ(p.shown[0].inserts, std::vector<std::string>{"0x8123"});

    RecordingPrompter p2;
    FailingProject failingProject(clock);
    CCommuProcess c2(s, p2, failingProject);
    ASSERT_TRUE(c2.Initialize());
    EXPECT_FALSE(c2.OpenProject());
    ASSERT_EQ(p2.shown.size(), 1u);
    EXPECT_EQ(p2.shown[0].id, 32847);
    EXPECT_EQ(c2.m_projectHandle, 0);
}

TEST_F(Connection, UnknownEntryNamesAreRefused) {
    ASSERT_TRUE(Start());
    EXPECT_FALSE(comm.AddPlcEntry("Other"));
    EXPECT_FALSE(comm.ChangePlcEntry("Other"));
    EXPECT_EQ(Ids(), (std::vector<int>{32849, 32853}));
}

TEST_F(Connection, ChangeEntryThroughTheEditorHook) {
    ASSERT_TRUE(Start());
    // No editor: nothing changes, nothing is shown.
    EXPECT_FALSE(comm.ChangePlcEntry("PLC-LinkSmith"));
    EXPECT_TRUE(prompter.shown.empty());

    std::string next = "[DEV]DEV:VR3K;CPU:C;[ADDRESS]DNA:3;DA1:12;";
    bool accept = true;
    std::vector<std::string> offered;
    mw.SetEntryEditor([&](const std::string& name, std::string* ds, std::string* cm) {
        EXPECT_EQ(name, "PLC-LinkSmith");
        offered.push_back(*ds);
        *ds = next;
        *cm = "edited";
        return accept;
    });
    ASSERT_TRUE(comm.ChangePlcEntry("PLC-LinkSmith"));
    EXPECT_EQ(offered, std::vector<std::string>{kDefault}) << "the editor starts from the entry as it is";
    EXPECT_EQ(comm.DirectDeviceString(), next);
    EXPECT_EQ(settings.targetPlc, next);
    EXPECT_EQ(DeviceOf("PLC-LinkSmith"), next);
    EXPECT_EQ(comm.GetNetworkAddress(), 3);
    EXPECT_EQ(comm.GetNodeAddress(), 12);

    accept = false;
    next = "[DEV]DEV:VR4H;";
    EXPECT_FALSE(comm.ChangePlcEntry("PLC-LinkSmith"));
    EXPECT_EQ(comm.DirectDeviceString(), "[DEV]DEV:VR3K;CPU:C;[ADDRESS]DNA:3;DA1:12;");

    accept = true;
    next = "[DEV]broken";
    EXPECT_FALSE(comm.ChangePlcEntry("PLC-LinkSmith"));
    EXPECT_EQ(Ids(), std::vector<int>{32853});
}

TEST_F(Connection, TargetQueriesAndDescriptions) {
    EXPECT_EQ(comm.GetNetworkAddress(), 0);
    EXPECT_EQ(comm.GetNodeAddress(), 0);
    EXPECT_EQ(comm.GetPlcDescription(), "");
    ASSERT_TRUE(Start());
    EXPECT_EQ(comm.GetNetworkAddress(), 0);
    EXPECT_EQ(comm.GetFrameSize(), 1004);
    EXPECT_EQ(comm.GetNetworkTypeLabel(), MessageText(32846));
    EXPECT_EQ(comm.GetPlcDescription(), "VR4H_MPU90") << "no catalog: the device type stays";
    std::string catalog = ::testing::TempDir() + "/conn-catalog.ini";
    FILE* f = std::fopen(catalog.c_str(), "wb");
    std::fputs("[SOFTWARE\\QUORVEX\\Component Catalog\\COMPONENTS\\DeviceConfigurations\\VR4H]\nType=VR4H-CPU21\n", f);
    std::fclose(f);
    comm.SetCatalogFile(catalog);
    EXPECT_EQ(comm.GetPlcDescription(), "VR4H-CPU21_MPU90");
    EXPECT_EQ(comm.GetGatewayDescription(), "");
}

TEST_F(Connection, OpenPlcFailureIsShownOnce) {
    comm.SetDirectDeviceString("[DEV]DEV:VR4H;[NET]LINK:SIM;");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(comm.OpenPlc()) << "no simulated unit was given";
    EXPECT_EQ(Ids(), std::vector<int>{32856});
    EXPECT_EQ(comm.m_plcHandle, 0);
}

TEST(ProfileFile, WritingTheValueAlreadyThereLeavesTheFileAlone) {
    const std::string path = ::testing::TempDir() + "/profile-unchanged.ini";
    std::remove(path.c_str());
    CProfileFile profile(path);
    auto inode = [&] {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? st.st_ino : ino_t{0};
    };
    ASSERT_TRUE(profile.WriteString("VLCProject", "PLCConfig", "[NET]HOST:10.0.0.1;"));
    ASSERT_TRUE(profile.WriteString("VLCProject", "PLCComment", "line 1"));
    const ino_t written = inode();
    ASSERT_NE(written, ino_t{0});
    // Every save replaces the file, so an unchanged inode means no save.
    EXPECT_TRUE(profile.WriteString("VLCProject", "PLCConfig", "[NET]HOST:10.0.0.1;"));
    EXPECT_EQ(inode(), written);
    EXPECT_TRUE(profile.WriteString("VLCProject", "PLCConfig", "[NET]HOST:10.0.0.2;"));
    EXPECT_NE(inode(), written);
    EXPECT_EQ(profile.ReadString("VLCProject", "PLCConfig", 2049), "[NET]HOST:10.0.0.2;");
    EXPECT_EQ(profile.ReadString("VLCProject", "PLCComment", 2049), "line 1");
}
