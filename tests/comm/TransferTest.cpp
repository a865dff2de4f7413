#include <gtest/gtest.h>

#include <cstring>

#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "comm/ManualClock.h"
#include "comm/SettingsBlock.h"
#include "model/Messages.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"

namespace {
class Transfer : public ::testing::TestWithParam<std::tuple<int, int>> {
protected:
    void Open(int frame) {
        adapter = new CUnitSimulatorAdapter;
        server.AddPlc(0, 0, std::unique_ptr<ISimUnit>(adapter));
        mw.SetSimulatedPeer(&server);
        comm.SetProfileFile(::testing::TempDir() + "/transfer-profile.ini");
        comm.SetDirectDeviceString("[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:" + std::to_string(frame) +
                                   ";LINK:SIM;TMO:100;");
        ASSERT_TRUE(comm.Initialize());
        ASSERT_TRUE(comm.OpenProject());
        ASSERT_TRUE(comm.OpenPlc());
    }
    void TearDown() override {
        comm.ClosePlc();
        comm.Shutdown();
    }
    void Fill(int method, int records) {
        SettingsImage& pc = settings.pc;
        pc.mappingTableMethod = static_cast<uint16_t>(method);
        pc.ipAddressMethod = 2;
        pc.confirmMessage = 1;
        pc.systemFlags = CUnitSettings::ComposeSystemFlags(0, pc);
        uint8_t mask[4] = {255, 255, 255, 0}, ip[4] = {192, 168, 250, 7};
        std::memcpy(pc.subnetMask, mask, 4);
        std::memcpy(pc.ipAddress, ip, 4);
        CopyText(pc.nodeName, sizeof pc.nodeName, "LINE-7");
        pc.tokenWatchdog = 300;
        pc.minFrameInterval = 4;
        pc.minFrameWait = 5;
        pc.unitAreaWord = 0x5F;
        pc.nodeNameEnabled = pc.tokenWatchdogEnabled = pc.minFrameIntervalEnabled = pc.minFrameWaitEnabled = 1;
        pc.localArea1Type = 0xB0;
        pc.localArea1Start = 100;
        pc.localArea1Size = 10;
        pc.mapArea1Type = 0x82;
        pc.mapArea2Type = 0xB1;
        pc.mapArea2Start = 40;
        for (int i = 0; i < records; ++i)
            pc.entries[i] = {static_cast<uint16_t>(i + 2), static_cast<uint16_t>(i % 2), static_cast<uint16_t>(i + 1),
                             static_cast<uint16_t>(3 * i), static_cast<uint16_t>(i % 7),
                             static_cast<uint16_t>(1000 + i)};
        pc.entryCount = static_cast<uint32_t>(records);
        comm.m_mapMethod = method;
    }

    CManualClock clock;
    CSimServer server;
    CUnitSimulatorAdapter* adapter = nullptr;
    CLinkMiddleware mw{clock};
    CUnitSettings settings;
    RecordingPrompter prompter;
    CCommuProcess comm{settings, prompter, mw};
};
}  // namespace

TEST_P(Transfer, WriteReadVerifyGivesTheSameRecord) {
    const int frame = std::get<0>(GetParam());
    const int records = 97 + std::get<1>(GetParam());
    Open(frame);
    for (int method : {0, 1}) {
        Fill(method, method == 0 ? 3 : records);
        ASSERT_TRUE(comm.WriteUnitToPlc()) << method;
        SettingsImage written = settings.pc;
        ASSERT_TRUE(comm.VerifyUnitWithPlc());
        EXPECT_EQ(comm.m_verifyResult.Count(), 0u) << (comm.m_verifyResult.Count() ? comm.m_verifyResult.Rows()[0].item : "");
        std::memset(&settings.pc, 0, sizeof settings.pc);
        ASSERT_TRUE(comm.ReadUnitFromPlc());
        EXPECT_EQ(comm.m_mapMethod, method);
        EXPECT_EQ(CSettingsBlock::Encode(settings.pc, settings.pc.entryCount),
                  CSettingsBlock::Encode(written, written.entryCount));
        EXPECT_EQ(settings.pc.entryCount, written.entryCount);
        EXPECT_STREQ(settings.pc.nodeName, "LINE-7");
        EXPECT_EQ(settings.pc.minFrameWait, 5);
        EXPECT_STREQ(settings.pc.softwareVersion, "V1.0");
        EXPECT_EQ(comm.m_unitModel, "VR4K-LUX22");
    }
    EXPECT_TRUE(prompter.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Frames, Transfer,
                         ::testing::Combine(::testing::Values(1004, 200, 60), ::testing::Values(0, 31)));

TEST_F(Transfer, OneChangedFieldGivesOneRow) {
    Open(1004);
    Fill(1, 4);
    ASSERT_TRUE(comm.WriteUnitToPlc());
    settings.pc.entries[2].receiveDataOrder ^= 1;
    ASSERT_TRUE(comm.VerifyUnitWithPlc());
    ASSERT_EQ(comm.m_verifyResult.Count(), 1u);
    EXPECT_EQ(comm.m_verifyResult.Rows()[0].itemId, 32890);
}

TEST_F(Transfer, ProtectedWriteStopsAtTheFirstCommand) {
    Open(1004);
    Fill(1, 2);
    adapter->Unit().SetProtected(true);
    EXPECT_FALSE(comm.WriteUnitToPlc());
    EXPECT_EQ(comm.m_error, 1);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 33008);
}

TEST_F(Transfer, NodeCountAbove128IsRefused) {
    Open(1004);
    std::vector<uint8_t> bad = {0, 0, 0, 0x10, 'F', 'L', 0, 5, 0, 1, 0, 129};
    ASSERT_EQ(adapter->Unit().Execute({0x0221, 0x10, bad}).endCode, 0);
    EXPECT_FALSE(comm.ReadUnitFromPlc());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, Msg::kNodeCountTooLarge);
}

TEST_F(Transfer, InjectedEndCodeStopsTheSequence) {
    Open(1004);
    SimFaults f;
    f.endCodes[0x0601] = 0x1234;
    server.SetFaults(f);
    EXPECT_FALSE(comm.ReadUnitFromPlc());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 32858);
    EXPECT_STREQ(settings.pc.softwareVersion, "V1.0") << "the completed reads stay";
}

TEST_F(Transfer, StatusReadsFromTheSimulator) {
    Open(1004);
    comm.m_unitNumber = 15;
    CUnitSimulator& u = adapter->Unit();
    ASSERT_TRUE(u.SetUnitNumber(15));
    u.SetParticipation(33, true);
    u.SetNodeStatus(1, 0x1);
    u.SetErrorStatusWord(0x0042);
    ASSERT_TRUE(comm.ReadDataLinkStatus());
    EXPECT_EQ(settings.status.participation[33], 1u);
    ASSERT_TRUE(comm.ReadNetworkStatus());
    EXPECT_EQ(settings.status.nodeStatus[0].areaAllocError, 1u);
    ASSERT_TRUE(comm.ReadErrorStatusWord());
    EXPECT_EQ(settings.status.errorStatusWord, 0x0042);
    u.SetSendSequence(253, 99);
    u.SetReceiveSequence(200, {1, 2, 3});
    ASSERT_TRUE(comm.ReadMessageSequence());
    EXPECT_EQ(settings.status.sendSequence[253], 99u);
    EXPECT_EQ(settings.status.receiveSequence[200].oneToOne, 3u);
    ASSERT_TRUE(comm.ReadMessageSequence()) << "the index starts again";
    CUnitSimulator::NodeInfo n;
    n.completion = 1;
    n.state1 = 7;
    u.SetNodeInfo(12, n);
    ASSERT_TRUE(comm.ReadNodeInformation(12));
    EXPECT_EQ(settings.status.nodeInfo.completion, 1);
    EXPECT_EQ(settings.status.nodeInfo.state1, 7);
    ASSERT_TRUE(comm.ReadCycleTime());
    EXPECT_EQ(settings.status.cycleTime.refreshAllowed, 50);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Transfer, HistoryReadCounts) {
    Open(1004);
    CUnitSimulator& u = adapter->Unit();
    auto reads = [&] {
        size_t before = server.Count().requests;
        EXPECT_TRUE(comm.ReadErrorHistory());
        return server.Count().requests - before;
    };
    for (int i = 0; i < 20; ++i) u.AddHistory({static_cast<uint16_t>(i + 1), 0, {}});
    EXPECT_EQ(reads(), 1u);
    u.AddHistory({21, 0, {}});
    EXPECT_EQ(reads(), 2u);
    EXPECT_EQ(settings.status.historyRecords[20].errorCode, 21);
    for (int i = 21; i < 64; ++i) u.AddHistory({static_cast<uint16_t>(i + 1), 0, {}});
    EXPECT_EQ(reads(), 4u);
    EXPECT_EQ(settings.status.historyRecords[63].errorCode, 64);
    ASSERT_TRUE(comm.ClearErrorHistory());
    EXPECT_EQ(reads(), 1u);
    EXPECT_EQ(settings.status.historyStored, 0);
    u.SetProtected(true);
    EXPECT_FALSE(comm.ClearErrorHistory());
    EXPECT_EQ(prompter.shown.back().id, 33008);
}
