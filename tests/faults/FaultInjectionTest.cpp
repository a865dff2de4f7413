// Every transfer and status operation against the simulated unit over loopback UDP, with one
// fault aimed at each request it sends in turn, and a long run with random loss.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>
#include <tuple>

#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"
#include "comm/ZephDatagram.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "tests/common/LoopbackSim.h"

namespace {
using Steady = std::chrono::steady_clock;
using Kind = SimFaults::Kind;

constexpr int kTmoMs = 100;
// No sequence may take longer than one time-out and this much; generous, not a speed target.
constexpr auto kHangBound = std::chrono::milliseconds(kTmoMs + 1000);
// A small frame, so the mapping table travels in several chunks.
constexpr int kFrame = 200;
constexpr int kRecords = 40;
constexpr int kInfoNode = 12;

constexpr int kCommError = 32858;
constexpr int kNoSuchUnit = 33007;
constexpr int kProtected = 33008;
constexpr int kTimeoutMessage = 33069;
constexpr uint16_t kEndTimeout = 0x8A1B;
constexpr uint16_t kEndOther = 0x1234;
constexpr uint16_t kEndProtected = 0x2102;

// Which end-code table the callback of a command applies.
enum class Table { Raw, ModeOnly, WithTimeout, WithUnitMissing };

struct Step {
    uint16_t command;
    Table table;
};

struct Operation {
    const char* name;
    int method;  // mapping table method of the transfer operations
    std::vector<Step> steps;
    std::function<bool(CCommuProcess&)> run;
    bool write = false;
    // Leading steps after which the unit holds everything the write sends: with method 1 the
    // closing system area write repeats the head that the first extension chunk carried.
    size_t lastNeeded = 0;
};

std::string Hex4(uint16_t code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%.4x", code);
    return buf;
}

bool IsWrite(uint16_t command) {
    return command == 0x0221 || command == 0x2912 || command == 0x2914 || command == 0x2103;
}

struct Shown {
    int id;
    std::vector<std::string> inserts;
};

// The one message a command shows when its reply carries endCode.
Shown ForEndCode(const Step& s, uint16_t endCode) {
    if (endCode == kEndTimeout && (s.table == Table::Raw || s.table == Table::WithTimeout)) return {kTimeoutMessage, {}};
    if ((endCode & 0x7FFF) == 0x0202 && (s.table == Table::Raw || s.table == Table::WithUnitMissing))
        return {kNoSuchUnit, {}};
    if (s.table == Table::Raw && IsWrite(s.command) && endCode == kEndProtected) return {kProtected, {}};
    return {kCommError, {Hex4(endCode)}};
}

std::vector<Step> Repeat(Step s, int n) { return std::vector<Step>(static_cast<size_t>(n), s); }
std::vector<Step> Join(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Read and verify send the same commands: the head, then the table by the unit's method. With
// FRAME 200 the 40 records of method 1 come in chunks of 17, 19 and 4.
std::vector<Step> ReadSteps(int method) {
    std::vector<Step> head = {{0x2913, Table::Raw}, {0x0501, Table::Raw}, {0x0601, Table::Raw},
                              {0x0220, Table::ModeOnly}};
    if (method == 0) return Join(head, {{0x0220, Table::Raw}});
    return Join(Join(head, {{0x2911, Table::ModeOnly}}), Repeat({0x2911, Table::WithTimeout}, 3));
}

// The 432-byte block of 40 records goes as chunks of 190, 190 and 52 bytes.
std::vector<Step> WriteSteps(int method) {
    if (method == 0) return {{0x2914, Table::Raw}, {0x0221, Table::Raw}};
    return Join(Join({{0x2914, Table::Raw}}, Repeat({0x2912, Table::Raw}, 3)), {{0x0221, Table::Raw}});
}

std::vector<Operation> Operations() {
    std::vector<Operation> ops;
    for (int m : {0, 1}) {
        ops.push_back({m ? "ReadMethod1" : "ReadMethod0", m, ReadSteps(m), [](CCommuProcess& c) { return c.ReadUnitFromPlc(); }});
        ops.push_back({m ? "WriteMethod1" : "WriteMethod0", m, WriteSteps(m),
                       [](CCommuProcess& c) { return c.WriteUnitToPlc(); }, true, m ? 4u : 2u});
        ops.push_back({m ? "VerifyMethod1" : "VerifyMethod0", m, ReadSteps(m),
                       [](CCommuProcess& c) { return c.VerifyUnitWithPlc(); }});
    }
    ops.push_back({"DataLinkStatus", 0, {{0x0104, Table::WithUnitMissing}},
                   [](CCommuProcess& c) { return c.ReadDataLinkStatus(); }});
    ops.push_back({"NetworkStatus", 0, {{0x0104, Table::WithUnitMissing}},
                   [](CCommuProcess& c) { return c.ReadNetworkStatus(); }});
    ops.push_back({"ErrorStatusWord", 0, {{0x0104, Table::Raw}}, [](CCommuProcess& c) { return c.ReadErrorStatusWord(); }});
    ops.push_back({"NodeInformation", 0, {{0x0603, Table::Raw}},
                   [](CCommuProcess& c) { return c.ReadNodeInformation(kInfoNode); }});
    ops.push_back({"CycleTime", 0, {{0x0602, Table::Raw}}, [](CCommuProcess& c) { return c.ReadCycleTime(); }});
    ops.push_back({"MessageSequence", 0, Repeat({0x2931, Table::Raw}, 8),
                   [](CCommuProcess& c) { return c.ReadMessageSequence(); }});
    // 64 stored records: reads at 0, 20, 40 and 60.
    ops.push_back({"ErrorHistory", 0, Repeat({0x2102, Table::Raw}, 4), [](CCommuProcess& c) { return c.ReadErrorHistory(); }});
    ops.push_back({"ClearErrorHistory", 0, {{0x2103, Table::Raw}}, [](CCommuProcess& c) { return c.ClearErrorHistory(); }});
    return ops;
}

// The unit's parameters; variant 1 differs from variant 0 in what every write command carries.
void FillImage(SettingsImage& im, int method, int variant) {
    std::memset(&im, 0, sizeof im);
    im.mappingTableMethod = static_cast<uint16_t>(method);
    im.ipAddressMethod = 2;
    im.confirmMessage = static_cast<uint16_t>(variant);
    im.systemFlags = CUnitSettings::ComposeSystemFlags(0, im);
    uint8_t mask[4] = {255, 255, static_cast<uint8_t>(variant ? 0 : 255), 0};
    uint8_t ip[4] = {192, 168, 250, static_cast<uint8_t>(7 + variant)};
    std::memcpy(im.subnetMask, mask, 4);
    std::memcpy(im.ipAddress, ip, 4);
    CopyText(im.nodeName, sizeof im.nodeName, variant ? "LINE-8" : "LINE-7");
    im.tokenWatchdog = static_cast<uint16_t>(300 + variant);
    im.minFrameInterval = 4;
    im.minFrameWait = 5;
    im.unitAreaWord = 0x5F;
    im.nodeNameEnabled = im.tokenWatchdogEnabled = im.minFrameIntervalEnabled = im.minFrameWaitEnabled = 1;
    im.localArea1Type = 0xB0;
    im.localArea1Start = static_cast<uint16_t>(100 + variant);
    im.localArea1Size = 10;
    im.mapArea1Type = 0x82;
    im.mapArea2Type = 0xB1;
    im.mapArea2Start = 40;
    for (int i = 0; i < kRecords; ++i)
        im.entries[i] = {static_cast<uint16_t>(i + 2), static_cast<uint16_t>(i % 2), static_cast<uint16_t>(i + 1),
                         static_cast<uint16_t>(3 * i + variant), static_cast<uint16_t>(i % 7),
                         static_cast<uint16_t>(1000 + i)};
    im.entryCount = kRecords;
}

bool SameRows(const CVerifyResult& a, const CVerifyResult& b, std::string* why) {
    if (a.Count() != b.Count()) {
        *why = std::to_string(a.Count()) + " rows against " + std::to_string(b.Count());
        return false;
    }
    for (size_t i = 0; i < a.Count(); ++i) {
        const VerifyRow& x = a.Rows()[i];
        const VerifyRow& y = b.Rows()[i];
        if (x.itemId != y.itemId || x.item != y.item || x.plcValue != y.plcValue || x.pcValue != y.pcValue ||
            x.plcText != y.plcText || x.pcText != y.pcText) {
            *why = "row " + std::to_string(i) + " (" + std::to_string(x.itemId) + " against " +
                   std::to_string(y.itemId) + ")";
            return false;
        }
    }
    return true;
}

// The simulator served over loopback UDP from a thread of the test, and the communication
// object that reaches it through our middleware.
class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override {
        adapter = new CUnitSimulatorAdapter;
        sim.AddPlc(0, 0, std::unique_ptr<ISimUnit>(adapter));
        std::string error;
        ASSERT_TRUE(server.Start(&error)) << error;
        mw.SetFrameLog([this](bool outgoing, const std::vector<uint8_t>& bytes) {
            ZephDatagram d;
            if (outgoing && DecodeDatagram(bytes.data(), bytes.size(), &d) == DatagramCheck::Ok)
                sent.push_back(d.command);
            if (!outgoing) ++(std::this_thread::get_id() == testThread ? receivedHere : receivedElsewhere);
        });
        comm.SetProfileFile(::testing::TempDir() + "/faults-profile.ini");
        comm.SetDirectDeviceString(DeviceString(kTmoMs));
        ASSERT_TRUE(comm.Initialize() && comm.OpenProject());
    }
    void TearDown() override {
        comm.ClosePlc();
        comm.Shutdown();
        server.Stop();
    }
    std::string DeviceString(int tmo) const {
        return "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:" + std::to_string(kFrame) + ";" + server.Endpoint() +
               "TMO:" + std::to_string(tmo) + ";";
    }

    // The unit as every case finds it: parameters of variant 0 with the given method, status
    // values in every record, a full error history.
    void MakeBaseline(int method) {
        FillImage(settings.pc, method, 0);
        comm.m_mapMethod = method;
        ASSERT_TRUE(comm.OpenPlc());
        ASSERT_TRUE(comm.WriteUnitToPlc());
        comm.ClosePlc();
        CUnitSimulator& u = adapter->Unit();
        u.SetParticipation(33, true);
        u.SetNodeStatus(1, 0x3);
        u.SetNodeStatus(200, 0xA);
        u.SetErrorStatusWord(0x0042);
        CUnitSimulator::NodeInfo info;
        info.completion = 1;
        info.state1 = 7;
        info.area2Size = 99;
        u.SetNodeInfo(kInfoNode, info);
        u.SetSequenceHeader(5, 6);
        for (int i = 0; i < CUnitSimulator::kSequenceNodes; ++i) {
            u.SetSendSequence(i, static_cast<uint32_t>(i + 1));
            u.SetReceiveSequence(i, {static_cast<uint32_t>(i), 2, static_cast<uint32_t>(3 * i)});
        }
        for (int i = 0; i < CUnitSimulator::kHistoryCapacity; ++i)
            u.AddHistory({static_cast<uint16_t>(i + 1), static_cast<uint16_t>(i), {{1, 2, 3, 4, 5, 6}}});
        baseline = u.StateText();
        prompter.shown.clear();
    }

    // Puts the unit back as the baseline left it, and the records as the operation expects them.
    void Reset(const Operation& op) {
        std::string error;
        ASSERT_TRUE(adapter->Unit().LoadStateText(baseline, &error)) << error;
        sim.SetFaults(SimFaults());
        FillImage(settings.pc, op.method, op.write ? 1 : 0);
        std::memset(&settings.plc, 0, sizeof settings.plc);
        std::memset(&settings.status, 0, sizeof settings.status);
        comm.m_verifyResult.Clear();
        comm.m_mapMethod = op.method;
        prompter.shown.clear();
        sent.clear();
    }

    struct Outcome {
        bool ok;
        Steady::duration took;
    };
    // One user command: open the PLC, run the operation under the faults, close.
    Outcome Run(const Operation& op, const SimFaults& faults) {
        sim.SetFaults(faults);
        Outcome o{false, {}};
        if (!comm.OpenPlc()) return o;
        auto start = Steady::now();
        o.ok = op.run(comm);
        o.took = Steady::now() - start;
        comm.ClosePlc();
        sim.SetFaults(SimFaults());
        return o;
    }

    // What a run without faults leaves behind, to compare a run that recovered with.
    struct Snapshot {
        SettingsImage pc;
        SettingsImage plc;
        StatusArea status;
        CVerifyResult verify;
        std::string unit;
    };
    Snapshot Take() const {
        Snapshot s;
        s.pc = settings.pc;
        s.plc = settings.plc;
        s.status = settings.status;
        s.verify = comm.m_verifyResult;
        s.unit = adapter->Unit().StateText();
        return s;
    }
    void ExpectSame(const Snapshot& clean, const std::string& where) {
        Snapshot now = Take();
        EXPECT_EQ(std::memcmp(&now.pc, &clean.pc, sizeof now.pc), 0) << where << ": PC image";
        EXPECT_EQ(std::memcmp(&now.plc, &clean.plc, sizeof now.plc), 0) << where << ": PLC image";
        EXPECT_EQ(std::memcmp(&now.status, &clean.status, sizeof now.status), 0) << where << ": status records";
        std::string why;
        EXPECT_TRUE(SameRows(now.verify, clean.verify, &why)) << where << ": verify rows, " << why;
        EXPECT_EQ(now.unit, clean.unit) << where << ": unit state";
    }

    // After a write that failed: a verify on the next command shows what the unit really holds,
    // the same rows as a verify by a fresh communication object over the in-process link.
    void ExpectHonestVerify(const Operation& op, bool allWritten, const std::string& where) {
        prompter.shown.clear();
        comm.m_mapMethod = op.method;
        ASSERT_TRUE(comm.OpenPlc()) << where;
        ASSERT_TRUE(comm.VerifyUnitWithPlc()) << where;
        comm.ClosePlc();
        EXPECT_TRUE(prompter.shown.empty()) << where;
        // Every command up to the op's lastNeeded carries a difference, so one of them that
        // never reached the unit leaves at least one row.
        EXPECT_EQ(comm.m_verifyResult.Count() == 0, allWritten) << where << ": " << comm.m_verifyResult.Count() << " rows";

        CSystemClock freshClock;
        CLinkMiddleware fresh(freshClock);
        fresh.SetSimulatedPeer(&sim);
        CUnitSettings freshSettings;
        RecordingPrompter freshPrompter;
        CCommuProcess truth(freshSettings, freshPrompter, fresh);
        truth.SetProfileFile(::testing::TempDir() + "/faults-truth.ini");
        truth.SetDirectDeviceString("[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;LINK:SIM;TMO:1000;");
        ASSERT_TRUE(truth.Initialize() && truth.OpenProject() && truth.OpenPlc()) << where;
        freshSettings.pc = settings.pc;
        truth.m_mapMethod = op.method;
        ASSERT_TRUE(truth.VerifyUnitWithPlc()) << where;
        truth.ClosePlc();
        truth.Shutdown();
        std::string why;
        EXPECT_TRUE(SameRows(comm.m_verifyResult, truth.m_verifyResult, &why)) << where << ": " << why;
    }

    CSimServer sim;
    CUnitSimulatorAdapter* adapter = nullptr;
    LoopbackSim server{sim};
    CSystemClock clock;
    CLinkMiddleware mw{clock};
    CUnitSettings settings;
    RecordingPrompter prompter;
    CCommuProcess comm{settings, prompter, mw};
    std::string baseline;
    std::vector<uint16_t> sent;  // command codes as they left, in order
    // Replies taken on the thread that runs the sequence, and on another (the worker).
    const std::thread::id testThread = std::this_thread::get_id();
    std::atomic<int> receivedHere{0};
    std::atomic<int> receivedElsewhere{0};
};

struct FaultCase {
    const char* name;
    Kind kind;
    bool truncateHeader = false;
    bool oversizeUncounted = false;
    bool endCode = false;
    uint16_t code = 0;
    bool withinTmo = false;  // a delay that still ends before the time-out
};

enum class Effect { Recovered, TimedOut, BadReply, EndCode };

// Write replies carry no data, so cutting one short cuts into its header: it goes unnoticed
// like a loss.
Effect EffectOf(const FaultCase& f, const Step& s) {
    if (f.endCode) return Effect::EndCode;
    switch (f.kind) {
    case Kind::Duplicate:
    case Kind::Stray: return Effect::Recovered;
    case Kind::Oversize: return f.oversizeUncounted ? Effect::BadReply : Effect::Recovered;
    case Kind::Truncate: return f.truncateHeader || IsWrite(s.command) ? Effect::TimedOut : Effect::BadReply;
    case Kind::Drop: return Effect::TimedOut;
    case Kind::Delay: return f.withinTmo ? Effect::Recovered : Effect::TimedOut;
    }
    return Effect::Recovered;
}

// Whether the unit carried out the faulted request (only the reply went wrong).
bool Executed(const FaultCase& f) { return !f.endCode && f.kind != Kind::Drop; }

const FaultCase kFaults[] = {
    {"drop", Kind::Drop},
    {"delay past TMO", Kind::Delay},
    {"delay within TMO", Kind::Delay, false, false, false, 0, true},
    {"duplicate", Kind::Duplicate},
    {"stray", Kind::Stray},
    {"truncated data", Kind::Truncate},
    {"truncated header", Kind::Truncate, true},
    {"oversize", Kind::Oversize},
    {"oversize outside the length", Kind::Oversize, false, true},
    {"end code 0x1234", Kind::Drop, false, false, true, kEndOther},
    {"end code 0x2102", Kind::Drop, false, false, true, kEndProtected},
};

// Each operation with the middleware's worker thread carrying the commands, and again with the
// sending thread carrying them itself (as the whole-network commands of the command line do).
class EveryRequest : public FaultInjection, public ::testing::WithParamInterface<std::tuple<size_t, bool>> {
protected:
    void SetUp() override {
        mw.SetCarryOnCaller(std::get<1>(GetParam()));
        FaultInjection::SetUp();
    }
};
}  // namespace

TEST_P(EveryRequest, FaultedRequestFailsOnceOrRecovers) {
    const Operation op = Operations()[std::get<0>(GetParam())];
    MakeBaseline(op.method);

    Reset(op);
    Outcome clean = Run(op, SimFaults());
    ASSERT_TRUE(clean.ok) << op.name;
    ASSERT_TRUE(prompter.shown.empty());
    std::vector<uint16_t> expected;
    for (const Step& s : op.steps) expected.push_back(s.command);
    ASSERT_EQ(sent, expected) << op.name << " sends other commands than the test aims at";
    if (std::get<1>(GetParam()))
        EXPECT_TRUE(receivedHere > 0 && receivedElsewhere == 0) << "replies not taken on the sending thread";
    else
        EXPECT_TRUE(receivedHere == 0 && receivedElsewhere > 0) << "replies not taken on the worker thread";
    const Snapshot reference = Take();

    for (const FaultCase& f : kFaults) {
        for (size_t k = 0; k < op.steps.size(); ++k) {
            const Step& step = op.steps[k];
            const std::string where = std::string(op.name) + ", " + f.name + " at request " + std::to_string(k + 1) +
                                      " (" + Hex4(step.command) + ")";
            Reset(op);
            SimFaults faults;
            // Well inside the time-out, so a loaded machine's scheduling does not turn it into one.
            faults.delay = std::chrono::milliseconds(f.withinTmo ? kTmoMs / 20 : kTmoMs + 200);
            faults.truncateHeader = f.truncateHeader;
            faults.oversizeUncounted = f.oversizeUncounted;
            if (f.endCode)
                faults.endCodeAt[static_cast<unsigned>(k + 1)] = f.code;
            else
                faults.at[static_cast<unsigned>(k + 1)] = f.kind;
            Outcome o = Run(op, faults);
            EXPECT_LE(o.took, kHangBound) << where;

            const Effect effect = EffectOf(f, step);
            if (effect == Effect::Recovered) {
                EXPECT_TRUE(o.ok) << where;
                EXPECT_TRUE(prompter.shown.empty()) << where;
                EXPECT_EQ(sent, expected) << where;
                ExpectSame(reference, where);
                continue;
            }
            EXPECT_FALSE(o.ok) << where << ": a sequence that did not complete reported success";
            EXPECT_EQ(comm.m_error, 1) << where;
            Shown want = effect == Effect::EndCode   ? ForEndCode(step, f.code)
                         : effect == Effect::TimedOut ? ForEndCode(step, kEndTimeout)
                                                      : Shown{kCommError, {Hex4(Mw::kBadReply)}};
            ASSERT_EQ(prompter.shown.size(), 1u) << where << ": one message per failure";
            EXPECT_EQ(prompter.shown[0].id, want.id) << where;
            EXPECT_EQ(prompter.shown[0].inserts, want.inserts) << where;
            EXPECT_EQ(sent, std::vector<uint16_t>(expected.begin(), expected.begin() + static_cast<long>(k + 1)))
                << where << ": the sequence goes on after the failure";
            const size_t written = Executed(f) ? k + 1 : k;
            if (op.write) ExpectHonestVerify(op, written >= op.lastNeeded, where);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, EveryRequest,
                         ::testing::Combine(::testing::Range<size_t>(0, Operations().size()), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<size_t, bool>>& info) {
                             return std::string(Operations()[std::get<0>(info.param)].name) +
                                    (std::get<1>(info.param) ? "OnCaller" : "");
                         });

// Sequential single-command reads with 5 % of the requests lost: every loss is one reported
// failure, nothing else fails, and the reads that complete bring the unit's values.
TEST_F(FaultInjection, SoakWithLoss) {
    const int commands = 10000;
    // A short time-out keeps the 500 or so losses to about half a minute of waiting.
    const int tmo = 50;
    comm.SetDirectDeviceString(DeviceString(tmo));
    comm.RemovePlcEntry(CCommuProcess::kDirectEntry);
    ASSERT_TRUE(comm.AddPlcEntry(CCommuProcess::kDirectEntry));
    CUnitSimulator& u = adapter->Unit();
    u.SetErrorStatusWord(0x0042);
    u.SetParticipation(33, true);
    CUnitSimulator::NodeInfo info;
    info.state1 = 7;
    u.SetNodeInfo(kInfoNode, info);

    SimFaults f;
    f.seed = 20261207;
    f.dropFraction = 0.05;
    sim.SetFaults(f);
    ASSERT_TRUE(comm.OpenPlc());
    int failures = 0;
    int wrongValues = 0;
    Steady::duration longest{};
    auto start = Steady::now();
    for (int i = 0; i < commands; ++i) {
        std::memset(&settings.status, 0, sizeof settings.status);
        settings.pc.softwareVersion[0] = '\0';
        const int which = i % 5;
        auto t0 = Steady::now();
        bool ok = false;
        bool right = false;
        switch (which) {
        case 0:
            ok = comm.ReadErrorStatusWord();
            right = settings.status.errorStatusWord == 0x0042;
            break;
        case 1:
            ok = comm.ReadCycleTime();
            right = settings.status.cycleTime.refreshAllowed == 50;
            break;
        case 2:
            ok = comm.ReadNodeInformation(kInfoNode);
            right = settings.status.nodeInfo.state1 == 7;
            break;
        case 3:
            ok = comm.ReadDataLinkStatus();
            right = settings.status.participation[33] == 1 && settings.status.participation[32] == 0;
            break;
        default:
            ok = comm.ReadControllerData();
            right = std::strcmp(settings.pc.softwareVersion, "V1.0") == 0;
            break;
        }
        longest = std::max(longest, Steady::now() - t0);
        if (!ok) ++failures;
        if (ok && !right) ++wrongValues;
        if (ok == (comm.m_error != 0)) ++wrongValues;
    }
    auto took = Steady::now() - start;
    comm.ClosePlc();

    CSimServer::Counters c = sim.Count();
    CLinkMiddleware::DropCounters d = mw.Dropped();
    // A reply that a busy machine delayed past the short time-out shows up as a late one: it
    // failed like a loss, though nobody injected it.
    const unsigned unrecovered = c.dropped + d.late;
    EXPECT_EQ(c.requests, static_cast<unsigned>(commands));
    EXPECT_GT(c.dropped, static_cast<unsigned>(commands) / 40) << "5 % loss injected";
    EXPECT_LE(d.late, 5u);
    EXPECT_EQ(static_cast<unsigned>(failures), unrecovered);
    EXPECT_EQ(prompter.shown.size(), unrecovered) << "one message per failed command";
    for (const auto& e : prompter.shown) {
        const bool timeout = e.id == kTimeoutMessage && e.inserts.empty();
        const bool timeoutCode = e.id == kCommError && e.inserts == std::vector<std::string>{"0x8a1b"};
        EXPECT_TRUE(timeout || timeoutCode) << e.id;
    }
    EXPECT_EQ(wrongValues, 0);
    EXPECT_LE(longest, std::chrono::milliseconds(tmo + 1000));
    EXPECT_LT(took, std::chrono::minutes(3));
    std::printf("soak: %d commands, %u lost, %u late, %d failures, %.1f s\n", commands, c.dropped, d.late, failures,
                std::chrono::duration<double>(took).count());
}
