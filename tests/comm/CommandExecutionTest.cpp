#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "comm/ManualClock.h"
#include "sim/SimServer.h"
#include "tests/comm/ScriptedUnit.h"

namespace {
constexpr uint16_t kEcho = 0x7E00;

std::vector<uint8_t> Result(uint16_t command, uint16_t endCode, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> r(CommandResult::kData + data.size(), 0);
    std::memcpy(&r[CommandResult::kCommand], &command, 2);
    std::memcpy(&r[CommandResult::kEndCode], &endCode, 2);
    uint16_t n = static_cast<uint16_t>(data.size());
    std::memcpy(&r[CommandResult::kDataLength], &n, 2);
    if (!data.empty()) std::memcpy(&r[CommandResult::kData], data.data(), data.size());
    return r;
}

// A simulated unit in the same process, reached through our middleware and its worker thread.
class Execution : public ::testing::Test {
protected:
    void SetUp() override {
        unit = new CScriptedUnit;
        server.AddPlc(0, 0, std::unique_ptr<ISimUnit>(unit));
        mw.SetSimulatedPeer(&server);
        comm.SetProfileFile(::testing::TempDir() + "/exec-profile.ini");
        comm.SetDirectDeviceString("[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;LINK:SIM;TMO:100;");
        ASSERT_TRUE(comm.Initialize());
        ASSERT_TRUE(comm.OpenProject());
        ASSERT_TRUE(comm.OpenPlc());
    }
    void TearDown() override {
        comm.ClosePlc();
        comm.Shutdown();
    }
    bool Echo(const std::vector<uint8_t>& data, std::vector<uint8_t>* got = nullptr) {
        return comm.RunCommand(kEcho, 3, data, [got](CCommuProcess&, uint16_t cmd, const uint8_t* p, size_t n) {
            EXPECT_EQ(cmd, kEcho);
            if (got) got->assign(p, p + n);
            return true;
        });
    }
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const auto& e : prompter.shown) ids.push_back(e.id);
        return ids;
    }

    CManualClock clock;
    CSimServer server;
    CScriptedUnit* unit = nullptr;
    CLinkMiddleware mw{clock};
    CUnitSettings settings;
    RecordingPrompter prompter;
    CCommuProcess comm{settings, prompter, mw};
};
}  // namespace

TEST_F(Execution, GoodResponseIsCopiedAndDecoded) {
    std::vector<uint8_t> got;
    ASSERT_TRUE(Echo({1, 2, 3, 4}, &got));
    EXPECT_EQ(got, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(comm.m_responseData, got);
    EXPECT_EQ(comm.m_responseLength, 4);
    EXPECT_EQ(comm.m_error, 0);
    ASSERT_EQ(unit->seen.size(), 1u);
    EXPECT_EQ(unit->seen[0].selector, 3);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Execution, DroppedRequestEndsAsTimeoutAfterTmo) {
    SimFaults f;
    f.dropFraction = 1;
    server.SetFaults(f);
    IClock::TimePoint before = clock.Now();
    EXPECT_FALSE(Echo({9}));
    EXPECT_EQ(comm.m_error, 1);
    EXPECT_EQ(Ids(), std::vector<int>{33069});
    EXPECT_GE(clock.Now() - before, std::chrono::milliseconds(100)) << "the time-out is the TMO key's";
    EXPECT_LT(clock.Now() - before, std::chrono::milliseconds(200));
}

TEST_F(Execution, DuplicateReplyIsIgnored) {
    SimFaults f;
    f.duplicateFraction = 1;
    server.SetFaults(f);
    std::vector<uint8_t> got;
    ASSERT_TRUE(Echo({1}, &got));
    server.SetFaults(SimFaults());
    ASSERT_TRUE(Echo({2}, &got));
    EXPECT_EQ(got, std::vector<uint8_t>{2}) << "the second reply to the first request must not answer the next";
    EXPECT_EQ(mw.Dropped().duplicate, 1u);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Execution, StrayDatagramChangesNothing) {
    SimFaults f;
    f.strayFraction = 1;
    server.SetFaults(f);
    std::vector<uint8_t> got;
    ASSERT_TRUE(Echo({5, 6}, &got));
    EXPECT_EQ(got, (std::vector<uint8_t>{5, 6}));
    EXPECT_EQ(mw.Dropped().stray, 1u);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Execution, TruncatedReplyIsACommunicationError) {
    SimFaults f;
    f.truncateFraction = 1;
    server.SetFaults(f);
    bool decoded = false;
    EXPECT_FALSE(comm.RunCommand(kEcho, 0, {1, 2, 3, 4}, [&](CCommuProcess&, uint16_t, const uint8_t*, size_t) {
        decoded = true;
        return true;
    }));
    EXPECT_FALSE(decoded);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 32858);
    EXPECT_EQ(prompter.shown[0].inserts, std::vector<std::string>{"0x800a"});
}

TEST_F(Execution, ReplyCutInsideItsHeaderIsDroppedAndTimesOut) {
    SimFaults f;
    f.truncateFraction = 1;
    f.truncateHeader = true;
    server.SetFaults(f);
    EXPECT_FALSE(Echo({1}));
    EXPECT_EQ(Ids(), std::vector<int>{33069});
    EXPECT_EQ(mw.Dropped().malformed, 1u);
}

TEST_F(Execution, LateReplyDoesNotCompleteTheNextCommand) {
    SimFaults f;
    f.delayFraction = 1;
    f.delay = std::chrono::milliseconds(150);
    server.SetFaults(f);
    EXPECT_FALSE(Echo({1}));
    EXPECT_EQ(Ids(), std::vector<int>{33069});
    // The next reply comes after the late one, so the late one is seen first and must be passed over.
    f.delay = std::chrono::milliseconds(60);
    server.SetFaults(f);
    prompter.shown.clear();
    std::vector<uint8_t> got;
    ASSERT_TRUE(Echo({2}, &got));
    EXPECT_EQ(got, std::vector<uint8_t>{2});
    EXPECT_EQ(mw.Dropped().late, 1u);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Execution, ChosenEndCodeIsReportedWithItsMessage) {
    SimFaults f;
    f.endCodes[kEcho] = 0x8202;
    f.endCodes[0x0221] = 0x2201;
    server.SetFaults(f);
    EXPECT_FALSE(Echo({1}));
    EXPECT_FALSE(comm.RunCommand(0x0221, 0x10, {0, 0}));
    EXPECT_EQ(Ids(), (std::vector<int>{33007, 33008}));
}

TEST_F(Execution, RefusedSendIsReportedAsAFailure) {
    comm.ClosePlc();
    comm.m_error = 0;
    EXPECT_FALSE(comm.ExecuteCommand(kEcho, 0, {1}));
    EXPECT_EQ(comm.m_error, 1);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].id, 32858);
    EXPECT_EQ(prompter.shown[0].inserts, std::vector<std::string>{"0x8002"});
    ASSERT_TRUE(comm.OpenPlc());
}

TEST_F(Execution, DataLongerThanTheBlockIsRefusedWhole) {
    EXPECT_FALSE(comm.RunCommand(kEcho, 0, std::vector<uint8_t>(Mw::kMaxCommandData + 1, 7)));
    EXPECT_EQ(Ids(), std::vector<int>{32859});
    EXPECT_EQ(comm.m_error, 1);
    EXPECT_EQ(unit->seen.size(), 0u);
    prompter.shown.clear();
    std::vector<uint8_t> got;
    ASSERT_TRUE(Echo(std::vector<uint8_t>(Mw::kMaxCommandData, 7), &got));
    EXPECT_EQ(got.size(), Mw::kMaxCommandData);
}

TEST_F(Execution, DecoderFailureSetsTheErrorFlag) {
    EXPECT_FALSE(comm.RunCommand(kEcho, 0, {1}, [](CCommuProcess&, uint16_t, const uint8_t*, size_t) { return false; }));
    EXPECT_EQ(comm.m_error, 1);
}

TEST_F(Execution, ManySequentialCommandsRaceNothing) {
    // Callbacks come from the worker thread while this thread waits; run with a pump and without.
    int pumped = 0;
    for (int round = 0; round < 2; ++round) {
        if (round == 1) comm.SetPumpHook([&] { ++pumped; return true; });
        for (int i = 0; i < 300; ++i) {
            std::vector<uint8_t> data{static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)};
            std::vector<uint8_t> got;
            ASSERT_TRUE(Echo(data, &got)) << i;
            ASSERT_EQ(got, data);
            ASSERT_EQ(comm.m_responseData, data);
        }
    }
    EXPECT_EQ(unit->Count(), 600u);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(Execution, GatewayRoutesToTheSecondPlc) {
    comm.ClosePlc();
    auto* target = new CScriptedUnit("TARGET");
    server.AddPlc(2, 5, std::unique_ptr<ISimUnit>(target));
    comm.SetGatewayDeviceString("[DEV]DEV:VR3K;CPU:G;[NET]LINK:SIM;");
    comm.SetDirectDeviceString("[DEV]DEV:VR4H;CPU:T;[NET]FRAME:1004;GATE:Gateway;TMO:100;[ADDRESS]DNA:2;DA1:5;");
    comm.SetConnectionType(1);
    ASSERT_TRUE(comm.OpenPlc());
    ASSERT_TRUE(Echo({4, 2}));
    EXPECT_EQ(target->Count(), 1u);
    EXPECT_EQ(unit->Count(), 0u);
    // A node nobody hosts is answered with the routing end code.
    comm.ClosePlc();
    comm.SetDirectDeviceString("[DEV]DEV:VR4H;[NET]GATE:Gateway;TMO:100;[ADDRESS]DNA:2;DA1:6;");
    comm.SetConnectionType(1);
    ASSERT_TRUE(comm.OpenPlc());
    EXPECT_FALSE(Echo({1}));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].inserts, std::vector<std::string>{"0x0102"});
}

TEST_F(Execution, QuitDuringTheWaitEndsItWithFalse) {
    comm.ClosePlc();
    comm.Shutdown();
    // Real time here: the reply is due later than the quit.
    CSystemClock realClock;
    CLinkMiddleware realMw(realClock);
    realMw.SetSimulatedPeer(&server);
    RecordingPrompter p;
    CCommuProcess c(settings, p, realMw);
    c.SetProfileFile(::testing::TempDir() + "/exec-quit.ini");
    c.SetDirectDeviceString("[DEV]DEV:VR4H;[NET]LINK:SIM;TMO:2000;");
    ASSERT_TRUE(c.Initialize() && c.OpenProject() && c.OpenPlc());
    SimFaults f;
    f.delayFraction = 1;
    f.delay = std::chrono::milliseconds(200);
    server.SetFaults(f);
    int calls = 0;
    c.SetPumpHook([&] { return ++calls < 3; });
    ASSERT_TRUE(c.ExecuteCommand(kEcho, 0, {1}));
    EXPECT_FALSE(c.WaitForCompletion());
    EXPECT_EQ(calls, 3);
    c.ClosePlc();  // waits for the outstanding command
    c.Shutdown();
    EXPECT_TRUE(p.shown.empty());
    ASSERT_TRUE(comm.Initialize() && comm.OpenProject() && comm.OpenPlc());
}

// The end-code tables, driven straight through the callbacks.
class Callbacks : public ::testing::Test {
protected:
    int Call(CompletionCallback cb, uint16_t command, uint16_t endCode, uint16_t kind = Mw::kCompletionKind,
             uint16_t status = 0) {
        prompter.shown.clear();
        comm.m_error = 0;
        std::vector<uint8_t> r = Result(command, endCode, {0xAB});
        return cb(0, kind, r.data(), status, &comm);
    }
    std::string Shown() const {
        if (prompter.shown.empty()) return "none";
        std::string s = std::to_string(prompter.shown[0].id);
        for (const auto& i : prompter.shown[0].inserts) s += " " + i;
        return s;
    }
    CSystemClock clock;
    CLinkMiddleware mw{clock};
    CUnitSettings settings;
    RecordingPrompter prompter;
    CCommuProcess comm{settings, prompter, mw};
};

TEST_F(Callbacks, RawTableAcceptsOneExceptForTheUnitSettingRead) {
    EXPECT_EQ(Call(&CCommuProcess::RawZephExecuteHelper, 0x0501, 1), 1);
    EXPECT_EQ(Shown(), "none");
    EXPECT_EQ(comm.m_responseData, std::vector<uint8_t>{0xAB});
    EXPECT_EQ(Call(&CCommuProcess::RawZephExecuteHelper, 0x2913, 1), 0);
    EXPECT_EQ(Shown(), "32858 0x0001");
    EXPECT_EQ(comm.m_error, 1);
}

TEST_F(Callbacks, RawTableMessages) {
    Call(&CCommuProcess::RawZephExecuteHelper, 0x0501, 0x8A1B);
    EXPECT_EQ(Shown(), "33069");
    Call(&CCommuProcess::RawZephExecuteHelper, 0x0501, 0x0202);
    EXPECT_EQ(Shown(), "33007");
    Call(&CCommuProcess::RawZephExecuteHelper, 0x0501, 0x8202);
    EXPECT_EQ(Shown(), "33007");
    Call(&CCommuProcess::RawZephExecuteHelper, 0x2914, 0x2102);
    EXPECT_EQ(Shown(), "33008");
    Call(&CCommuProcess::RawZephExecuteHelper, 0x2103, 0x2201);
    EXPECT_EQ(Shown(), "33008");
    Call(&CCommuProcess::RawZephExecuteHelper, 0x0501, 0x2102);
    EXPECT_EQ(Shown(), "32858 0x2102") << "protection is only a write command's message";
    EXPECT_TRUE(comm.m_responseData.empty()) << "an error keeps no response copy";
}

TEST_F(Callbacks, OtherTables) {
    EXPECT_EQ(Call(&CCommuProcess::ReadModeHelper, 0x0220, 1), 0);
    EXPECT_EQ(Shown(), "32858 0x0001");
    Call(&CCommuProcess::ReadOtherNodeNumHelper, 0x2911, 0x8A1B);
    EXPECT_EQ(Shown(), "32858 0x8a1b");
    Call(&CCommuProcess::ReadFALinkExtendHelper, 0x2911, 0x8A1B);
    EXPECT_EQ(Shown(), "33069");
    Call(&CCommuProcess::ReadFALinkExtendHelper, 0x2911, 0x0202);
    EXPECT_EQ(Shown(), "32858 0x0202");
    Call(&CCommuProcess::GetDataLinkStatusHelper, 0x0104, 0x8202);
    EXPECT_EQ(Shown(), "33007");
    Call(&CCommuProcess::GetNodeStatusHelper, 0x0104, 0x8A1B);
    EXPECT_EQ(Shown(), "32858 0x8a1b");
    EXPECT_EQ(Call(&CCommuProcess::GetNodeStatusHelper, 0x0104, 0), 1);
}

TEST_F(Callbacks, FailedStatusAndForeignKind) {
    EXPECT_EQ(Call(&CCommuProcess::RawZephExecuteHelper, 0x0501, 0, Mw::kCompletionKind, 0x8009), 0);
    EXPECT_EQ(Shown(), "32858 0x8009");
    EXPECT_EQ(comm.m_error, 1);
    // Another kind decodes nothing, sets no error, but still ends the wait.
    EXPECT_EQ(Call(&CCommuProcess::RawZephExecuteHelper, 0x0501, 0x8A1B, 421), 0);
    EXPECT_EQ(Shown(), "none");
    EXPECT_EQ(comm.m_error, 0);
    EXPECT_TRUE(comm.WaitForCompletion());
}
