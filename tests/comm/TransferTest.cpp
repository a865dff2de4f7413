#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "comm/ManualClock.h"
#include "comm/SettingsBlock.h"
#include "comm/ZephDatagram.h"
#include "model/Messages.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "tests/common/LoopbackSim.h"

namespace {
// How the requests reach the simulator: handed over in process, or over loopback UDP.
enum class Link { InProcess, Udp };

std::string LinkName(Link link) { return link == Link::Udp ? "Udp" : "InProcess"; }

// The manual clock in process; over UDP the socket waits in real time, so the system's.
class CLinkClock : public IClock {
public:
    TimePoint Now() const override { return m_clock->Now(); }
    void SleepUntil(TimePoint t) override { m_clock->SleepUntil(t); }
    void Use(Link link) { m_clock = link == Link::Udp ? static_cast<IClock*>(&m_system) : &m_manual; }

private:
    CManualClock m_manual;
    CSystemClock m_system;
    IClock* m_clock = &m_manual;
};

class TransferFixture : public ::testing::Test {
protected:
    void Open(int frame, Link link = Link::InProcess) {
        adapter = new CUnitSimulatorAdapter;
        server.AddPlc(0, 0, std::unique_ptr<ISimUnit>(adapter));
        clock.Use(link);
        std::string endpoint = "LINK:SIM;";
        if (link == Link::Udp) {
            std::string error;
            ASSERT_TRUE(udp.Start(&error)) << error;
            endpoint = udp.Endpoint();
        } else {
            mw.SetSimulatedPeer(&server);
        }
        comm.SetProfileFile(::testing::TempDir() + "/transfer-profile.ini");
        comm.SetDirectDeviceString("[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:" + std::to_string(frame) + ";" + endpoint +
                                   "TMO:" + (link == Link::Udp ? "2000" : "100") + ";");
        ASSERT_TRUE(comm.Initialize());
        ASSERT_TRUE(comm.OpenProject());
        ASSERT_TRUE(comm.OpenPlc());
    }
    void TearDown() override {
        comm.ClosePlc();
        comm.Shutdown();
        udp.Stop();
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

    CLinkClock clock;
    CSimServer server;
    LoopbackSim udp{server};
    CUnitSimulatorAdapter* adapter = nullptr;
    CLinkMiddleware mw{clock};
    CUnitSettings settings;
    RecordingPrompter prompter;
    CCommuProcess comm{settings, prompter, mw};
};

class Transfer : public TransferFixture {};

// (link, FRAME, records beyond 97)
class TransferRoundTrip : public TransferFixture,
                          public ::testing::WithParamInterface<std::tuple<Link, int, int>> {};

}  // namespace

TEST_P(TransferRoundTrip, WriteReadVerifyGivesTheSameRecord) {
    const Link link = std::get<0>(GetParam());
    const int frame = std::get<1>(GetParam());
    const int records = 97 + std::get<2>(GetParam());
    Open(frame, link);
    for (int method : {0, 1}) {
        Fill(method, records);
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
    if (link == Link::Udp) {
        // Every exchange answered once, in step: nothing late, doubled or foreign on the way.
        CLinkMiddleware::DropCounters d = mw.Dropped();
        EXPECT_EQ(d.stray + d.duplicate + d.late + d.malformed, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, TransferRoundTrip,
                         ::testing::Combine(::testing::Values(Link::InProcess, Link::Udp),
                                            ::testing::Values(1004, 200, 35), ::testing::Values(0, 31)),
                         [](const ::testing::TestParamInfo<std::tuple<Link, int, int>>& info) {
                             return LinkName(std::get<0>(info.param)) + "_Frame" +
                                    std::to_string(std::get<1>(info.param)) + "_Records" +
                                    std::to_string(97 + std::get<2>(info.param));
                         });

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
