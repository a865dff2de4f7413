#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <filesystem>
#include <functional>
#include <sstream>

#include "cli/Cli.h"
#include "model/FileIo.h"
#include "model/Messages.h"
#include "model/Prompter.h"
#include "model/SettingsFile.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "tests/common/LoopbackSim.h"
#include "tests/platform/TestEnvironment.h"

namespace {
// read, write and status against a simulated unit (unit number 2) served over loopback UDP.
class TransferCommand : public ::testing::Test {
protected:
    void SetUp() override {
        UseConfigFolder(::testing::TempDir());
        // Set up before the server thread starts; afterwards only through Change().
        auto adapter = std::make_unique<CUnitSimulatorAdapter>();
        adapter->Unit().SetModelName("VR4K-LUX22");
        adapter->Unit().SetUnitNumber(2);
        sim.AddPlc(0, 0, std::move(adapter));
        std::string error;
        ASSERT_TRUE(server.Start(&error)) << error;
        dir = std::filesystem::temp_directory_path() /
              ("linksmith-xfer-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        server.Stop();
        std::filesystem::remove_all(dir);
    }
    std::string Device() const { return "[NET]" + server.Endpoint(); }
    int Run(std::vector<std::string> args, std::istream* answers = nullptr) {
        args.insert(args.begin(), "linksmithctl");
        std::vector<const char*> argv;
        for (const auto& a : args) argv.push_back(a.c_str());
        out.str("");
        err.str("");
        return RunCli(static_cast<int>(argv.size()), argv.data(), out, err, answers);
    }
    // The example plant file without its comment (the unit keeps none), by the given method.
    std::string PlantFile(int method) {
        CUnitSettings record;
        RecordingPrompter prompter;
        CSettingsFile file(record, prompter);
        EXPECT_TRUE(file.ReadFile(LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm", false));
        record.comment.clear();
        record.pc.mappingTableMethod = static_cast<uint16_t>(method);
        record.pc.systemFlags = CUnitSettings::ComposeSystemFlags(record.pc.systemFlags, record.pc);
        std::string path = (dir / ("plant-" + std::to_string(method) + ".lsm")).string();
        EXPECT_TRUE(file.WriteFile(path));
        return path;
    }

    // The lines of a settings file as written: CR LF ends.
    static std::vector<std::string> Lines(const std::string& path) {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
        std::vector<std::string> lines;
        for (size_t at = 0; at < bytes.size();) {
            size_t end = bytes.find("\r\n", at);
            if (end == std::string::npos) end = bytes.size();
            lines.push_back(bytes.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
    static const std::string* LineWithKey(const std::vector<std::string>& lines, const std::string& key) {
        for (const std::string& l : lines)
            if (l.rfind("," + key + ",", 0) == 0) return &l;
        return nullptr;
    }

    // The simulated unit, changed or looked at under the server's lock: the server thread may be
    // answering a datagram at the same time.
    void Change(const std::function<void(CUnitSimulator&)>& change) {
        ASSERT_TRUE(sim.WithUnit(0, 0, [&](ISimUnit& u) { change(static_cast<CUnitSimulatorAdapter&>(u).Unit()); }));
    }
    size_t HistoryCount() {
        size_t n = 0;
        Change([&n](CUnitSimulator& u) { n = u.HistoryCount(); });
        return n;
    }
    // The one JSON object a failure prints on stdout: {"error": {...}}.
    nlohmann::json Error() const {
        nlohmann::json j = nlohmann::json::parse(out.str(), nullptr, false);
        return j.is_object() && j.contains("error") ? j["error"] : nlohmann::json();
    }

    CSimServer sim;
    LoopbackSim server{sim};
    std::filesystem::path dir;
    std::ostringstream out;
    std::ostringstream err;
};
}  // namespace

TEST_F(TransferCommand, WriteThenReadGivesTheSameRecordByEitherMethod) {
    for (int method : {0, 1}) {
        const std::string in = PlantFile(method);
        ASSERT_EQ(Run({"write", in, "--device", Device(), "--yes"}), 0) << err.str();
        const std::string back = (dir / "back.lsm").string();
        ASSERT_EQ(Run({"read", back, "--device", Device(), "--unit", "2"}), 0) << err.str();
        ASSERT_EQ(Run({"verify", in, "--device", Device()}), 0) << out.str() << err.str();
        std::string a, b;
        ASSERT_TRUE(ReadWholeFile(back, b));
        CUnitSettings wrote, read;
        RecordingPrompter p;
        CSettingsFile fa(wrote, p), fb(read, p);
        ASSERT_TRUE(fa.ReadFile(in, false));
        ASSERT_TRUE(fb.ReadFile(back, false));
        EXPECT_EQ(std::memcmp(&wrote.pc.entries, &read.pc.entries, sizeof read.pc.entries), 0) << method;
        EXPECT_EQ(read.pc.entryCount, 6u);
        EXPECT_EQ(read.pc.mappingTableMethod, method);
        EXPECT_EQ(read.pc.tokenWatchdog, wrote.pc.tokenWatchdog);
        EXPECT_EQ(read.unitNumber, 2u);
    }
}

TEST_F(TransferCommand, AFreshUnitsParametersGoBackAndVerifyUnchanged) {
    // Taking a unit's parameters and putting them back must work before anyone has written it.
    const std::string taken = (dir / "fresh.lsm").string();
    ASSERT_EQ(Run({"read", taken, "--device", Device(), "--unit", "2"}), 0) << err.str();
    ASSERT_EQ(Run({"verify", taken, "--device", Device()}), 0) << out.str() << err.str();
    ASSERT_EQ(Run({"write", taken, "--device", Device(), "--yes"}), 0) << err.str();
    EXPECT_EQ(Run({"verify", taken, "--device", Device()}), 0) << out.str() << err.str();
    // Another file differs from what the unit holds: exit 1, one line a difference and the count.
    EXPECT_EQ(Run({"verify", PlantFile(1), "--device", Device()}), 1) << err.str();
    EXPECT_NE(out.str().find(" difference(s)\n"), std::string::npos) << out.str();
    EXPECT_EQ(err.str(), "");
}

TEST_F(TransferCommand, ReadWritesTheWrittenFileByteForByteButForTheConnectionAndUnitAreaLines) {
    // What may differ, and why: TargetPLC names the connection the read used (the written file
    // names none). The node name: a file carries no enable flags, so the write sends the unit
    // area values of unchecked items (all-zero name, watchdog 50, interval 1, wait 0) and the read
    // gets those back; the plant file's watchdog, interval and wait are those values already.
    for (int method : {0, 1}) {
        const std::string in = PlantFile(method);
        ASSERT_EQ(Run({"write", in, "--device", Device(), "--yes"}), 0) << err.str();
        const std::string back = (dir / "back.lsm").string();
        ASSERT_EQ(Run({"read", back, "--device", Device(), "--unit", "2"}), 0) << err.str();
        const std::vector<std::string> a = Lines(in), b = Lines(back);
        ASSERT_EQ(a.size(), b.size()) << method;
        std::vector<std::string> differing;
        for (size_t i = 0; i < a.size(); ++i)
            if (a[i] != b[i]) differing.push_back(a[i].substr(0, a[i].find(',', 1) + 1));
        EXPECT_EQ(differing, (std::vector<std::string>{",TargetPLC,", ",Node name,"})) << method;
        ASSERT_NE(LineWithKey(b, "TargetPLC"), nullptr);
        EXPECT_EQ(*LineWithKey(b, "TargetPLC"), ",TargetPLC,0,\"" + Device() + "\"");
        EXPECT_EQ(*LineWithKey(b, "Node name"), ",Node name,,");
        EXPECT_EQ(*LineWithKey(b, "RelayPLC"), ",RelayPLC,");
    }
}

TEST_F(TransferCommand, ReadNamesTheConnectionItUsedNotAGatewayTheProfileRemembers) {
    // An earlier command through a gateway leaves that gateway in the tool's profile.
    const std::string gateway = "[DEV]DEV:VR3K;CPU:GW;[NET]" + server.Endpoint();
    const std::string routed = "[DEV]DEV:VR4H;CPU:MPU90;[NET]TMO:2000;[ADDRESS]DNA:0;DA1:0;";
    const std::string viaGateway = (dir / "via-gateway.lsm").string();
    ASSERT_EQ(Run({"read", viaGateway, "--device", routed, "--gateway", gateway, "--unit", "2"}), 0) << err.str();
    std::string profile;
    const std::string home = ::testing::TempDir();
    ASSERT_TRUE(ReadWholeFile(home + (home.back() == '/' ? "" : "/") + "LinkSmith/linksmithctl.ini", profile));
    ASSERT_NE(profile.find("CPU:GW"), std::string::npos) << "the profile keeps the gateway:\n" << profile;
    // That read names the gateway it went through, and the routed target.
    const std::vector<std::string> routedLines = Lines(viaGateway);
    EXPECT_EQ(*LineWithKey(routedLines, "RelayPLC"), ",RelayPLC,\"" + gateway + "\"");
    const std::string* target = LineWithKey(routedLines, "TargetPLC");
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(target->rfind(",TargetPLC,1,\"", 0), 0u) << *target;
    EXPECT_NE(target->find("GATE:Gateway"), std::string::npos) << *target;

    // A direct read afterwards: the file names the direct connection only.
    const std::string direct = (dir / "direct.lsm").string();
    ASSERT_EQ(Run({"read", direct, "--device", Device(), "--unit", "2"}), 0) << err.str();
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(direct, bytes));
    EXPECT_EQ(bytes.find("CPU:GW"), std::string::npos) << bytes;
    const std::vector<std::string> lines = Lines(direct);
    EXPECT_EQ(*LineWithKey(lines, "RelayPLC"), ",RelayPLC,");
    EXPECT_EQ(*LineWithKey(lines, "TargetPLC"), ",TargetPLC,0,\"" + Device() + "\"");
    // Loaded again, the file gives a direct connection (a relay string would switch to the gateway).
    CUnitSettings record;
    RecordingPrompter prompter;
    CSettingsFile file(record, prompter);
    ASSERT_TRUE(file.ReadFile(direct, false));
    EXPECT_TRUE(record.relayPlc.empty());
    EXPECT_EQ(record.targetPlcNumber, 0u);
}

TEST_F(TransferCommand, WriteIsRefusedBeforeAnyCommand) {
    // A page check failure: node number 0 in a used row is refused by the mapping table checks.
    CUnitSettings record;
    RecordingPrompter prompter;
    CSettingsFile file(record, prompter);
    ASSERT_TRUE(file.ReadFile(LINKSMITH_EXAMPLES_DIR "/plant-line1.lsm", false));
    record.pc.localArea1Type = record.pc.mapArea1Type;
    record.pc.localArea1Start = record.pc.mapArea1Start;
    const std::string bad = (dir / "overlap.lsm").string();
    ASSERT_TRUE(file.WriteFile(bad));
    EXPECT_EQ(Run({"write", bad, "--device", Device(), "--yes", "--json"}), 2);
    EXPECT_FALSE(err.str().empty());
    EXPECT_EQ(sim.Count().requests, 0u) << err.str();
    EXPECT_GE(Error()["id"], 33034) << out.str();
    EXPECT_LE(Error()["id"], 33037) << out.str();
    EXPECT_FALSE(Error().contains("code")) << "no end code was involved";

    // Without --yes and without a terminal: the question, then a refusal, and nothing sent.
    const std::string good = PlantFile(1);
    EXPECT_EQ(Run({"write", good, "--device", Device(), "--json"}), 2);
    EXPECT_NE(err.str().find(MessageText(32941)), std::string::npos) << err.str();
    EXPECT_EQ(Error()["text"], MessageText(32941));
    EXPECT_NE(err.str().find("give --yes"), std::string::npos) << err.str();
    EXPECT_EQ(sim.Count().requests, 0u);

    // A person saying no at the terminal, then yes.
    std::istringstream no("n\n");
    EXPECT_EQ(Run({"write", good, "--device", Device()}, &no), 2);
    EXPECT_EQ(sim.Count().requests, 0u);
    std::istringstream yes("y\n");
    EXPECT_EQ(Run({"write", good, "--device", Device()}, &yes), 0) << err.str();
    EXPECT_GT(sim.Count().requests, 0u);
}

TEST_F(TransferCommand, UnitFailuresExitWith4AndNameTheEndCode) {
    // A unit number the PLC has no unit at: the PLC answers 0x0202, and nothing is written.
    EXPECT_EQ(Run({"info", "--device", Device(), "--unit", "3", "--json"}), 4);
    EXPECT_EQ(err.str(), "linksmithctl: " + MessageText(33007) + "\n");
    EXPECT_EQ(Error(), (nlohmann::json{{"id", 33007}, {"text", MessageText(33007)}, {"code", "0x0202"}}));
    std::vector<uint8_t> before;
    Change([&before](CUnitSimulator& u) { before = u.SettingsBlock(); });
    EXPECT_EQ(Run({"write", PlantFile(1), "--device", Device(), "--unit", "5", "--yes"}), 4);
    EXPECT_NE(err.str().find(MessageText(33007)), std::string::npos) << err.str();
    Change([&before](CUnitSimulator& u) { EXPECT_EQ(u.SettingsBlock(), before); });

    // A protected unit refuses the first write; no mapping table chunk was sent, so no word of one.
    Change([](CUnitSimulator& u) { u.SetProtected(true); });
    EXPECT_EQ(Run({"write", PlantFile(1), "--device", Device(), "--yes", "--json"}), 4);
    EXPECT_NE(err.str().find(MessageText(33008)), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("partial"), std::string::npos) << err.str();
    EXPECT_EQ(Error()["id"], 33008);
    EXPECT_EQ(Error()["code"], "0x2102");
}

TEST_F(TransferCommand, CommunicationFailuresExitWith3) {
    const std::string plant = PlantFile(1);
    SimFaults faults;
    faults.dropFraction = 1;
    sim.SetFaults(faults);
    EXPECT_EQ(Run({"verify", plant, "--device", Device(), "--timeout", "100", "--json"}), 3);
    EXPECT_EQ(err.str(), "linksmithctl: " + MessageText(33069) + "\n");
    EXPECT_EQ(Error()["id"], 33069);
    EXPECT_EQ(Error()["code"], "0x8a1b");

    // A reply cut short: the middleware ends the exchange with its own code.
    faults = SimFaults();
    faults.truncateFraction = 1;
    sim.SetFaults(faults);
    EXPECT_EQ(Run({"read", (dir / "cut.lsm").string(), "--device", Device(), "--unit", "2", "--json"}), 3);
    EXPECT_EQ(Error()["id"], 32858);
    EXPECT_EQ(Error()["code"], "0x800a");
    EXPECT_FALSE(std::filesystem::exists(dir / "cut.lsm"));

    // A reply that is whole but too short for its data, with the end code it came with.
    faults = SimFaults();
    faults.endCodes[0x0501] = 0x0001;
    sim.SetFaults(faults);
    EXPECT_EQ(Run({"info", "--device", Device(), "--unit", "2", "--json"}), 3);
    EXPECT_EQ(err.str(), "linksmithctl: " + FormatMessage(Msg::kBadReply, {"0x0501"}) + "\n");
    EXPECT_EQ(Error()["code"], "0x0001");
}

TEST_F(TransferCommand, AChunkedWriteFailingPartWaySaysTheTableMayBePartial) {
    // FRAME 35 moves the six records' table in chunks of 25 bytes. Request 1 is the model check,
    // 2 the unit setting write, 3 the first chunk; the second chunk fails.
    const std::string device = "[NET]FRAME:35;" + Device().substr(5);
    SimFaults faults;
    faults.endCodeAt[4] = 0x1234;
    sim.SetFaults(faults);
    const std::string plant = PlantFile(1);
    EXPECT_EQ(Run({"write", plant, "--device", device, "--yes"}), 4);
    const std::string said = "linksmithctl: " + plant + ": " + FormatMessage(32858, {"0x1234"}) + "\n" +
                             "linksmithctl: the unit may now hold a partial mapping table; linksmithctl verify " +
                             plant + " shows what it holds\n";
    EXPECT_NE(err.str().find(said), std::string::npos) << err.str();
    EXPECT_EQ(sim.Count().requests, 4u);
}

TEST_F(TransferCommand, FramesOf30To39BytesTransferBothWays) {
    const std::string plant = PlantFile(1);
    for (int frame : {30, 35, 39}) {
        const std::string device = "[NET]FRAME:" + std::to_string(frame) + ";" + Device().substr(5);
        ASSERT_EQ(Run({"write", plant, "--device", device, "--yes"}), 0) << frame << err.str();
        const std::string back = (dir / "small-frame.lsm").string();
        ASSERT_EQ(Run({"read", back, "--device", device, "--unit", "2"}), 0) << frame << err.str();
        EXPECT_EQ(Run({"verify", plant, "--device", device}), 0) << frame << out.str() << err.str();
        CUnitSettings wrote, read;
        RecordingPrompter p;
        CSettingsFile fa(wrote, p), fb(read, p);
        ASSERT_TRUE(fa.ReadFile(plant, false));
        ASSERT_TRUE(fb.ReadFile(back, false));
        EXPECT_EQ(read.pc.entryCount, 6u) << frame;
        EXPECT_EQ(std::memcmp(&wrote.pc.entries, &read.pc.entries, sizeof read.pc.entries), 0) << frame;
    }
    // A frame with no room for the area header is refused before the table is asked for.
    EXPECT_EQ(Run({"read", (dir / "tiny.lsm").string(), "--device", "[NET]FRAME:29;" + Device().substr(5), "--unit",
                   "2"}),
              2);
    EXPECT_NE(err.str().find(MessageText(32859)), std::string::npos) << err.str();
}

TEST_F(TransferCommand, StatusJsonHoldsTheSimulatorsValues) {
    std::string error;
    Change([&error](CUnitSimulator& u) {
        ASSERT_TRUE(u.LoadStateText("unit 2\nmodel VR4K-LUX22\nmodelname VR4K-LUX22\nparticipate 1 3 200\n"
                                    "nodestatus 3 10\nerrorstatus 0x8001\ncycle 7 12 50 5 9 3\n"
                                    "nodeinfo 5 0 0x41 0x80 9 50 3 100 0x80 10 20 30 40\n"
                                    "history 0x0a01 2 261207102030\nsequence 11 22\nsend 253 99\nreceive 0 1 2 3\n",
                                    &error))
            << error;
    });
    const std::vector<std::string> conn = {"--device", Device(), "--unit", "2", "--json"};
    auto status = [&](std::vector<std::string> kind) {
        kind.insert(kind.begin(), "status");
        kind.insert(kind.end(), conn.begin(), conn.end());
        EXPECT_EQ(Run(kind), 0) << err.str();
        return nlohmann::json::parse(out.str());
    };
    EXPECT_EQ(status({"datalink"})["participating"], nlohmann::json::parse("[1,3,200]"));
    nlohmann::json network = status({"network"});
    EXPECT_EQ(network["nodes"][2]["participating"], true);
    EXPECT_EQ(network["nodes"][2]["upperLayerRunning"], true);
    EXPECT_EQ(network["nodes"][2]["areaAllocError"], false);
    EXPECT_EQ(status({"error"})["errorStatusWord"], 0x8001);
    nlohmann::json cycle = status({"cycle"});
    EXPECT_EQ(cycle["tokenNode"], 7);
    EXPECT_EQ(cycle["refreshMinimum"], 3);
    nlohmann::json node = status({"node", "5"});
    EXPECT_EQ(node["node"], 5);
    EXPECT_EQ(node["state1"], 0x41);
    EXPECT_EQ(node["area2Size"], 40);
    nlohmann::json history = status({"history"});
    EXPECT_EQ(history["stored"], 1);
    EXPECT_EQ(history["records"][0]["errorCode"], 0x0a01);
    EXPECT_EQ(history["records"][0]["detail"], 2);
    nlohmann::json sequence = status({"sequence"});
    EXPECT_EQ(sequence["sequenceVersion"], 11);
    EXPECT_EQ(sequence["nodes"][253]["send"], 99);
    EXPECT_EQ(sequence["nodes"][0]["receiveOneToOne"], 3);

    // Clearing asks first; not confirmed, the history read is printed with the refusal beside it
    // in the one object. With --yes the unit's history is empty afterwards.
    EXPECT_EQ(Run({"status", "history", "--clear", "--device", Device(), "--unit", "2", "--json"}), 2);
    EXPECT_EQ(HistoryCount(), 1u);
    const nlohmann::json declined = nlohmann::json::parse(out.str());
    EXPECT_EQ(declined["stored"], 1);
    EXPECT_EQ(declined["error"]["id"], Msg::kClearHistoryQuestion);
    EXPECT_EQ(Run({"status", "history", "--clear", "--yes", "--device", Device(), "--unit", "2"}), 0) << err.str();
    EXPECT_EQ(HistoryCount(), 0u);
    EXPECT_EQ(Run({"status", "node", "255", "--device", Device()}), 2);
}

#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
TEST_F(TransferCommand, InProcessSimulatorAnswersEveryNewCommand) {
    const std::string back = (dir / "sim.lsm").string();
    EXPECT_EQ(Run({"read", back, "--simulate"}), 0) << err.str();
    EXPECT_TRUE(std::filesystem::exists(back));
    for (const char* kind : {"datalink", "network", "error", "history", "sequence", "cycle"})
        EXPECT_EQ(Run({"status", kind, "--simulate"}), 0) << kind << err.str();
    EXPECT_EQ(Run({"status", "node", "1", "--simulate"}), 0) << err.str();
}
#endif
