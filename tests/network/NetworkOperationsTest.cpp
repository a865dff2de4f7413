// network read, write, verify and status at the command line, against simulated units served
// over loopback UDP (in this process, and the linksmith-unitsim program), with faults aimed at
// some nodes only.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <sstream>

#include "cli/Cli.h"
#include "model/Messages.h"
#include "network/NetworkOperations.h"
#include "network/NetworkPlan.h"
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#include "tests/common/ChildProgram.h"
#include "tests/common/LoopbackSim.h"
#include "tests/network/NetworkTestFiles.h"


namespace {
using Json = nlohmann::json;

// The example network's nodes and their unit numbers.
const std::vector<std::pair<int, int>> kNodes = {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {8, 0}, {10, 1}};

int RunCtl(std::vector<std::string> args, std::string* out, std::string* err = nullptr) {
    args.insert(args.begin(), "linksmithctl");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream o, e;
    const int status = RunCli(static_cast<int>(argv.size()), argv.data(), o, e);
    *out = o.str();
    if (err) *err = e.str();
    return status;
}

// Node number -> its row of a --json result.
std::map<int, Json> Rows(const Json& j) {
    std::map<int, Json> rows;
    for (const auto& n : j["nodes"]) rows[n["node"].get<int>()] = n;
    return rows;
}

// Every node of the example network as a unit of its own, on one simulator behind one address.
class NetworkOperations : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", ::testing::TempDir().c_str(), 1);
        for (const auto& [node, unit] : kNodes) {
            auto adapter = std::make_unique<CUnitSimulatorAdapter>();
            adapter->Unit().SetUnitNumber(unit);
            sim.AddPlc(1, static_cast<uint8_t>(node), std::move(adapter));
        }
        std::string error;
        ASSERT_TRUE(server.Start(&error)) << error;
    }
    std::string Gateway() const { return "[NET]" + server.Endpoint(); }
    // network OPERATION NET --json through the simulator, with the given extra arguments.
    int Network(const std::string& operation, std::vector<std::string> extra, Json* j, std::string* err = nullptr) {
        std::vector<std::string> args = {"network", operation, folder.net, "--json", "--gateway", Gateway()};
        args.insert(args.end(), extra.begin(), extra.end());
        std::string out;
        const int status = RunCtl(args, &out, err);
        *j = Json::parse(out, nullptr, false);
        EXPECT_FALSE(j->is_discarded()) << out;
        return status;
    }
    void Faults(int node, std::function<void(SimFaults&)> set) {
        SimFaults f;
        set(f);
        ASSERT_TRUE(sim.SetPlcFaults(1, static_cast<uint8_t>(node), f));
    }

    NetworkFolder folder;
    CSimServer sim;
    LoopbackSim server{sim};
};
}  // namespace

TEST_F(NetworkOperations, WriteThenVerifyEveryUnitAndAFaultAimedAtOneNode) {
    // A protected unit refuses the write with 0x2102; the others are written all the same.
    Faults(3, [](SimFaults& f) { f.endCodes[0x2914] = 0x2102; });
    Json j;
    std::string err;
    EXPECT_EQ(Network("write", {"--yes"}, &j, &err), 4) << err;
    auto rows = Rows(j);
    ASSERT_EQ(rows.size(), kNodes.size());
    for (const auto& [node, unit] : kNodes) {
        if (node == 3) continue;
        EXPECT_EQ(rows[node]["result"], "done") << node << rows[node].dump();
        EXPECT_EQ(rows[node]["exitCode"], 0);
    }
    EXPECT_EQ(rows[3]["result"], "failed");
    EXPECT_EQ(rows[3]["id"], 33008);
    EXPECT_EQ(rows[3]["text"], MessageText(33008));
    EXPECT_EQ(rows[3]["code"], "0x2102");
    EXPECT_EQ(rows[3]["exitCode"], 4);
    EXPECT_EQ(j["exitCode"], 4);

    // Every written unit matches its file (the supervisor's, at unit number 1, too); node 3's unit
    // still holds its defaults.
    EXPECT_EQ(Network("verify", {}, &j), 1);
    rows = Rows(j);
    for (const auto& [node, unit] : kNodes) {
        if (node == 3) continue;
        EXPECT_EQ(rows[node]["result"], "done") << node;
        EXPECT_EQ(rows[node]["differences"], 0);
    }
    EXPECT_EQ(rows[3]["result"], "differences");
    EXPECT_GT(rows[3]["differences"].get<int>(), 0);
    EXPECT_EQ(rows[3]["rows"].size(), rows[3]["differences"].get<size_t>());

    // Written now, one difference made in node 4's unit (its subnet mask): exit 1, that node alone with its row.
    Faults(3, [](SimFaults&) {});
    EXPECT_EQ(Network("write", {"--yes"}, &j), 0) << j.dump();
    sim.WithUnit(1, 4, [](ISimUnit& u) {
        std::string error;
        EXPECT_TRUE(static_cast<CUnitSimulatorAdapter&>(u).Unit().ApplyStateLine("block 2 FFFF0000", &error)) << error;
    });
    EXPECT_EQ(Network("verify", {}, &j), 1);
    rows = Rows(j);
    for (const auto& [node, unit] : kNodes) EXPECT_EQ(rows[node]["result"], node == 4 ? "differences" : "done") << node;
    ASSERT_EQ(rows[4]["rows"].size(), 1u);
    EXPECT_EQ(rows[4]["rows"][0]["id"], 32871);
    EXPECT_EQ(rows[4]["rows"][0]["plc"], "255.255.0.0");

    // One at a time gives the same rows.
    Json serial;
    EXPECT_EQ(Network("verify", {"--jobs", "1"}, &serial), 1);
    for (auto* k : {&j, &serial})
        for (auto& n : (*k)["nodes"]) n.erase("seconds");
    EXPECT_EQ(serial, j);

    // The text form: one line per node and a summary.
    std::string out;
    EXPECT_EQ(RunCtl({"network", "verify", folder.net, "--gateway", Gateway()}, &out), 1);
    EXPECT_NE(out.find("4\tpaint.lsm\tdifferences\t1 difference(s)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("1\tpress.lsm\tdone\n"), std::string::npos) << out;
    EXPECT_NE(out.find("7 node(s): 6 done, 1 with differences, 0 failed\n"), std::string::npos) << out;
}

TEST_F(NetworkOperations, SilentUnitTimesOutWithoutHoldingBackTheOthers) {
    Faults(5, [](SimFaults& f) { f.dropFraction = 1; });
    Json j;
    for (const char* jobs : {"7", "1"}) {
        EXPECT_EQ(Network("read", {"--out", (folder.dir / "read").string(), "--timeout", "3000", "--jobs", jobs}, &j), 3);
        auto rows = Rows(j);
        EXPECT_EQ(rows[5]["result"], "failed");
        EXPECT_EQ(rows[5]["id"], 33069);
        EXPECT_EQ(rows[5]["exitCode"], 3);
        const double silent = rows[5]["seconds"].get<double>();
        for (const auto& [node, unit] : kNodes) {
            if (node == 5) continue;
            EXPECT_EQ(rows[node]["result"], "done") << node;
            // Side by side, no node waits for the silent one's time-out.
            if (std::string(jobs) == "7") {
                EXPECT_LT(rows[node]["seconds"].get<double>(), silent / 2) << node;
            }
        }
    }
    // What was read is a settings file of the unit: the press unit still holds its defaults, so
    // verify of the read file against it matches.
    const std::string read = (folder.dir / "read" / "press.lsm").string();
    ASSERT_TRUE(std::filesystem::exists(read));
    EXPECT_FALSE(std::filesystem::exists(folder.dir / "read" / "inspect.lsm"));
    std::string out, err;
    const std::string device = Gateway();
    EXPECT_EQ(RunCtl({"verify", read, "--gateway", device, "--device", "[ADDRESS]DNA:1;DA1:1;"}, &out, &err), 0)
        << out << err;
}

TEST_F(NetworkOperations, WriteIsRefusedAsAWholeWhenCheckFindsAnError) {
    // A second node with the welder's settings sends in the welder's words: an overlap.
    std::filesystem::copy_file(folder.Path("welder.lsm"), folder.Path("welder2.lsm"));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(folder.net, text));
    folder.WriteNet(text + "\n[[node]]\nnumber = 20\nfile = \"welder2.lsm\"\n");
    Json j;
    std::string err;
    EXPECT_EQ(Network("write", {"--yes"}, &j, &err), 2);
    EXPECT_EQ(sim.Count().requests, 0u) << "nothing is sent to any unit";
    ASSERT_FALSE(j["refusedBy"].empty());
    EXPECT_EQ(j["refusedBy"][0]["kind"], "overlap");
    EXPECT_NE(err.find("not written: network check found"), std::string::npos) << err;

    // Without --yes and without a terminal the one question is declined: nothing sent either.
    folder.WriteNet(text);
    EXPECT_EQ(RunCtl({"network", "write", folder.net, "--gateway", Gateway()}, &text, &err), 2);
    EXPECT_EQ(sim.Count().requests, 0u);
}

TEST_F(NetworkOperations, StatusShowsEveryUnitsViewAndTheNodesTheFileDoesNotAgreeWith) {
    // Every unit sees nodes 1-5 and 8, and a node 12 the file does not list; none sees node 10.
    for (const auto& [node, unit] : kNodes)
        sim.WithUnit(1, static_cast<uint8_t>(node), [node = node](ISimUnit& u) {
            auto& s = static_cast<CUnitSimulatorAdapter&>(u).Unit();
            for (int n : {1, 2, 3, 4, 5, 8, 12}) s.SetParticipation(n, true);
            std::string error;
            if (node == 2) {
                EXPECT_TRUE(s.ApplyStateLine("errorstatus 0x0041", &error)) << error;
            }
        });
    Faults(8, [](SimFaults& f) { f.endCodes[0x0104] = 0x0202; });
    Json j;
    EXPECT_EQ(Network("status", {}, &j), 4);
    auto rows = Rows(j);
    EXPECT_EQ(rows[2]["errorStatusWord"], 0x41);
    EXPECT_EQ(rows[1]["errorStatusWord"], 0);
    EXPECT_EQ(rows[1]["participating"], Json({1, 2, 3, 4, 5, 8, 12}));
    EXPECT_EQ(rows[8]["result"], "failed");
    EXPECT_EQ(rows[8]["id"], 33007);
    EXPECT_FALSE(rows[8].contains("participating"));
    EXPECT_EQ(j["unlisted"], Json({12}));
    EXPECT_EQ(j["unseen"], Json({10}));

    std::string out;
    EXPECT_EQ(RunCtl({"network", "status", folder.net, "--gateway", Gateway()}, &out), 4);
    EXPECT_NE(out.find("node\tfile\tdata link participation\terror status word\n"), std::string::npos) << out;
    EXPECT_NE(out.find("2\tline1.lsm\t1 2 3 4 5 8 12\t0x0041\n"), std::string::npos) << out;
    EXPECT_NE(out.find("taking part, not in the network file: 12\n"), std::string::npos) << out;
    EXPECT_NE(out.find("in the network file, seen taking part by no unit: 10\n"), std::string::npos) << out;

    // Every unit read: what they see still differs from the file (exit 1) until node 10 takes
    // part and node 12 no longer does.
    Faults(8, [](SimFaults&) {});
    EXPECT_EQ(Network("status", {}, &j), 1);
    for (const auto& [node, unit] : kNodes)
        sim.WithUnit(1, static_cast<uint8_t>(node), [](ISimUnit& u) {
            auto& s = static_cast<CUnitSimulatorAdapter&>(u).Unit();
            s.SetParticipation(10, true);
            s.SetParticipation(12, false);
        });
    EXPECT_EQ(Network("status", {}, &j), 0) << j.dump();
    EXPECT_EQ(j["unlisted"], Json::array());
    EXPECT_EQ(j["unseen"], Json::array());
}

TEST_F(NetworkOperations, RunnerReportsEveryNodeAndStopsOnCancel) {
    // The interface the network window uses: a report when each node starts and ends, and a
    // cancel that leaves the nodes not yet started alone.
    CNetworkPlan plan;
    ASSERT_TRUE(plan.Load(folder.net));
    NetworkOperationOptions options;
    options.gateway = Gateway();
    options.jobs = 1;
    CNetworkOperations operations(plan, options);
    std::vector<std::pair<int, NodeOutcome>> reports;
    const NetworkRunResult run = operations.Run(NetworkOperation::Verify, [&](const NetworkNodeResult& r) {
        reports.emplace_back(r.node, r.outcome);
        if (r.node == 3 && r.outcome != NodeOutcome::Running) operations.Cancel();
    });
    EXPECT_TRUE(run.cancelled);
    const std::vector<std::pair<int, NodeOutcome>> expected = {
        {1, NodeOutcome::Running}, {1, NodeOutcome::Differences}, {2, NodeOutcome::Running},
        {2, NodeOutcome::Differences}, {3, NodeOutcome::Running}, {3, NodeOutcome::Differences},
        {4, NodeOutcome::Cancelled}, {5, NodeOutcome::Cancelled}, {8, NodeOutcome::Cancelled},
        {10, NodeOutcome::Cancelled}};
    EXPECT_EQ(reports, expected);
    EXPECT_EQ(run.Count(NodeOutcome::Cancelled), 4u);
    EXPECT_EQ(run.ExitStatus(), 1);
}

TEST(NetworkOperationsProgram, EveryNodeOnOneUnitSimWithFaultsAimedAtSomeNodes) {
    setenv("XDG_CONFIG_HOME", ::testing::TempDir().c_str(), 1);
    NetworkFolder folder;
    // 254 PLCs by the range form; the supervisor's unit at unit number 1; node 3 protected and
    // node 5 silent, each by options of its own.
    ChildProgram sim;
    ASSERT_TRUE(sim.Start({LINKSMITH_UNITSIM, "--port", "0", "--plc", "1:1-254", "--on", "1:10 --unit 1", "--on",
                           "1:3 --end-code 2914=2102", "--on", "1:5 --drop 1"}));
    const int port = sim.ReadPort();
    ASSERT_GT(port, 0);
    const std::string gateway = "[NET]HOST:127.0.0.1;PORT:" + std::to_string(port) + ";";
    std::string out, err;
    EXPECT_EQ(RunCtl({"network", "write", folder.net, "--yes", "--json", "--timeout", "1000", "--gateway", gateway}, &out,
                     &err),
              4)
        << out << err;
    Json j = Json::parse(out, nullptr, false);
    auto rows = Rows(j);
    EXPECT_EQ(rows[3]["code"], "0x2102");
    EXPECT_EQ(rows[3]["exitCode"], 4);
    EXPECT_EQ(rows[5]["id"], 33069);
    EXPECT_EQ(rows[5]["exitCode"], 3);
    for (int node : {1, 2, 4, 8, 10}) EXPECT_EQ(rows[node]["result"], "done") << node << rows[node].dump();
    EXPECT_EQ(RunCtl({"network", "verify", folder.net, "--json", "--timeout", "1000", "--gateway", gateway}, &out), 3);
    rows = Rows(Json::parse(out));
    for (int node : {1, 2, 4, 8, 10}) EXPECT_EQ(rows[node]["result"], "done") << node;
    EXPECT_EQ(rows[3]["result"], "differences");
}
