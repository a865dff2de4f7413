#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <utility>

#include "app/TransferWorkflow.h"
#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "model/AreaType.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "tests/app/FullTable.h"

namespace {

// The editor reduced to one image: what the pages would store and what they show after a read.
struct FakeHost : ITransferHost {
    CUnitSettings& record;
    SettingsImage editor{};
    SettingsImage shown{};
    bool pagesAccept = true, overlapFree = true, extension = false, busy = false;
    int ipMethodIndex = 3, busyChanges = 0, verifyShown = 0, loads = 0;
    std::string progress = "ready";
    std::vector<std::string> progressSeen;

    explicit FakeHost(CUnitSettings& r) : record(r) { editor = r.pc; }
    void PullControls() override {}
    bool CheckAllPages(bool) override { return pagesAccept; }
    bool CheckLocalOtherOverlap() override { return overlapFree; }
    int IpAddressMethodIndex() const override { return ipMethodIndex; }
    bool AutomaticBaudRate() const override { return editor.etherBaudRate != 0; }
    bool ExtensionOn() const override { return extension; }
    void CopyNodeCountToSystemSettings() override { editor.faLinkNodeCount = static_cast<uint16_t>(editor.entryCount); }
    void StorePagesIntoRecord() override {
        record.pc = editor;
        record.pc.systemFlags = CUnitSettings::ComposeSystemFlags(record.pc.systemFlags, record.pc);
    }
    void LoadPagesFromRecord() override {
        shown = record.pc;
        ++loads;
    }
    void SetBusy(bool on) override {
        busy = on;
        ++busyChanges;
    }
    std::string ProgressText() const override { return progress; }
    void SetProgressText(const std::string& text) override {
        progress = text;
        progressSeen.push_back(text);
    }
    void ShowVerifyResult() override { ++verifyShown; }
    std::vector<std::pair<int, int>> chunks;
    void SetChunkProgress(int done, int total) override { chunks.emplace_back(done, total); }
};

class TransferWorkflowTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile = ::testing::TempDir() + "/transfer-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        std::remove(profile.c_str());
        auto adapter = std::make_unique<CUnitSimulatorAdapter>();
        unit = &adapter->Unit();
        sim.AddPlc(0, 0, std::move(adapter));
        mw.SetSimulatedPeer(&sim);
        mw.SetSimulateAll(true);
        comm.SetProfileFile(profile);
        ASSERT_TRUE(comm.Initialize() && comm.OpenProject());
        // A table worth writing: 3 nodes, system settings by address, a named node.
        SettingsImage& e = host.editor;
        e.mappingTableMethod = 1;
        e.ipAddressMethod = 2;
        const uint8_t ip[4] = {192, 168, 250, 9};
        std::memcpy(e.ipAddress, ip, 4);
        e.entryCount = 3;
        for (int i = 0; i < 3; ++i) e.entries[i] = {static_cast<uint16_t>(i + 2), 0, 8, static_cast<uint16_t>(i * 8), 16,
                                                    static_cast<uint16_t>(i * 16)};
        e.faLinkNodeCount = 3;
        e.localArea1Size = 8;
        e.tokenWatchdog = 60;
        e.tokenWatchdogEnabled = 1;
        host.ipMethodIndex = 2;
    }
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const auto& e : prompter.shown) ids.push_back(e.id);
        return ids;
    }

    CSystemClock clock;
    CSimServer sim;
    CUnitSimulator* unit = nullptr;
    CLinkMiddleware mw{clock};
    CUnitSettings record;
    RecordingPrompter prompter;
    CCommuProcess comm{record, prompter, mw};
    std::string profile;
    FakeHost host{record};
    CTransferWorkflow flow{comm, record, prompter, host, [this] { return comm.m_verifyResult.Count(); }};
};

TEST_F(TransferWorkflowTest, WriteThenReadThenVerifyAgree) {
    ASSERT_TRUE(flow.TransferToPlc()) << ::testing::PrintToString(Ids());
    EXPECT_EQ(Ids(), (std::vector<int>{32941, 33030}));

    const SettingsImage written = record.pc;
    record.ResetToDefaults();
    ASSERT_TRUE(flow.TransferFromPlc());
    EXPECT_EQ(host.loads, 1);
    EXPECT_EQ(host.shown.entryCount, 3u);
    EXPECT_EQ(host.shown.entries[2].nodeNumber, 4);
    EXPECT_EQ(host.shown.entries[2].area2Offset, 32);
    EXPECT_EQ(host.shown.mappingTableMethod, 1);
    EXPECT_EQ(host.shown.ipAddressMethod, 2);
    EXPECT_EQ(host.shown.ipAddress[3], 9);
    EXPECT_EQ(host.shown.localArea1Size, written.localArea1Size);

    prompter.shown.clear();
    ASSERT_TRUE(flow.VerifyWithPlc());
    EXPECT_EQ(Ids(), (std::vector<int>{32891})) << "the unit holds what was written";
    EXPECT_EQ(host.verifyShown, 0);

    // One changed item is one row, shown in the dialog.
    prompter.shown.clear();
    host.editor.entries[1].area1Size = 4;
    ASSERT_TRUE(flow.VerifyWithPlc());
    EXPECT_EQ(Ids(), (std::vector<int>{32892}));
    EXPECT_EQ(comm.m_verifyResult.Count(), 1u);
    EXPECT_EQ(host.verifyShown, 1);
}

TEST_F(TransferWorkflowTest, ModelChecksStopBeforeWriting) {
    unit->SetModelText("VR5K-LUX22");  // not a unit of ours
    prompter.answers = {PromptAnswer::Yes};
    EXPECT_FALSE(flow.TransferToPlc());
    EXPECT_EQ(Ids().back(), 33007);

    // The newest unit refuses the rotary-switch IP methods.
    unit->SetModelText("VR4K-LUX22");
    prompter.shown.clear();
    host.ipMethodIndex = 1;
    EXPECT_FALSE(flow.TransferToPlc());
    EXPECT_EQ(Ids(), (std::vector<int>{32941, 32939}));

    // An older unit asks about automatic speed and extension settings; Cancel stops.
    unit->SetModelText("VR4K-LUX12");
    host.editor.etherBaudRate = 1;
    host.extension = true;
    prompter.shown.clear();
    prompter.answers = {PromptAnswer::Yes, PromptAnswer::Ok, PromptAnswer::Cancel};
    EXPECT_FALSE(flow.TransferToPlc());
    EXPECT_EQ(Ids(), (std::vector<int>{32941, 32940, 32942}));
}

TEST_F(TransferWorkflowTest, HandlersSetBusyAndPutTheStatusTextBack) {
    prompter.answers = {PromptAnswer::No};
    flow.OnTransferToPlc();
    EXPECT_FALSE(host.busy);
    EXPECT_EQ(host.busyChanges, 2);
    EXPECT_EQ(host.progressSeen.front(), "送信中....");
    EXPECT_EQ(host.progress, "ready");
    host.pagesAccept = false;
    flow.OnVerify();
    EXPECT_EQ(host.progressSeen[2], "照合中...");
    EXPECT_EQ(sim.Count().requests, 0u) << "refused pages open no connection";
}

TEST_F(TransferWorkflowTest, ChunkedTableReportsEachChunkAndEndsHidden) {
    // 128 records make 1312 block bytes: two extension chunks each way with FRAME 1004.
    FillFullTable(host.editor);
    flow.OnTransferToPlc();
    using Steps = std::vector<std::pair<int, int>>;
    EXPECT_EQ(host.chunks, (Steps{{0, 2}, {1, 2}, {2, 2}, {0, 0}}));
    EXPECT_EQ(Ids(), (std::vector<int>{32941, 33030}));

    host.chunks.clear();
    flow.OnTransferFromPlc();
    EXPECT_EQ(host.chunks, (Steps{{0, 2}, {1, 2}, {2, 2}, {0, 0}})) << "97 and 31 records";
    EXPECT_EQ(host.shown.entries[127].nodeNumber, 128);

    // A table kept in the PLC goes whole: no chunks, and the bar is told so at the end.
    host.chunks.clear();
    host.editor.mappingTableMethod = 0;
    flow.OnTransferToPlc();
    EXPECT_EQ(host.chunks, (Steps{{0, 0}}));

    // A refused chunk stops the count where it was; the end still hides it.
    host.editor.mappingTableMethod = 1;
    SimFaults faults;
    faults.endCodes[0x2912] = 0x2102;
    sim.SetFaults(faults);
    host.chunks.clear();
    prompter.shown.clear();
    flow.OnTransferToPlc();
    EXPECT_EQ(host.chunks, (Steps{{0, 2}, {0, 0}}));
    EXPECT_EQ(Ids(), (std::vector<int>{32941, 33008}));
    EXPECT_FALSE(host.busy);
}

}  // namespace
