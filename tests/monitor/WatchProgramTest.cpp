// linksmithctl watch as a user runs it: the built program against a simulated unit whose state
// the test changes while it watches.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <regex>
#include <sstream>

#include "tests/common/ChildProgram.h"
#include "UdpSimUnit.h"
#include "cli/Cli.h"
#include "model/FileIo.h"

namespace {
// A unit at number 2 with four nodes in the data link, node 4's upper layer in error, two error
// bits on and one history record.
const char kState[] =
    "unit 2\nparticipate 1 2 3 4\nnodestatus 1 10\nnodestatus 2 10\nnodestatus 3 11\nnodestatus 4 6\n"
    "errorstatus 0x8041\ncycle 1 10 50 48 60 3\nhistory 0x0201 0x0001 000107042612\n";

const std::regex kIsoTime(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d )");

class WatchProgram : public ::testing::Test {
protected:
    std::string ErrPath() const {
        return ::testing::TempDir() + "watch-err-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    bool StartWatch(std::vector<std::string> args) {
        args.insert(args.begin(), {LINKSMITHCTL, "watch"});
        return watch.Start(args, ErrPath());
    }
    static bool Has(const std::vector<std::string>& lines, const std::string& tail) {
        for (const auto& l : lines)
            if (l.size() >= tail.size() && l.compare(l.size() - tail.size(), tail.size(), tail) == 0) return true;
        return false;
    }

    UdpSimUnit unit{kState};
    ChildProgram watch;
};
}  // namespace

TEST_F(WatchProgram, StartingStateThenEveryChangeAsALineAndSigtermEndsWithZero) {
    ASSERT_TRUE(unit.Loaded());
    ASSERT_TRUE(StartWatch({"--device", unit.Device(), "--unit", "2", "--interval", "200"}));
    const auto start = watch.LinesUntil(" unit cycle-time: ");
    ASSERT_FALSE(start.empty()) << watch.Errors();
    for (const auto& line : start) EXPECT_TRUE(std::regex_search(line, kIsoTime)) << line;
    EXPECT_TRUE(Has(start, " unit datalink node 1: in"));
    EXPECT_TRUE(Has(start, " unit datalink node 4: in"));
    EXPECT_FALSE(Has(start, " unit datalink node 5: in"));
    EXPECT_TRUE(Has(start, " unit upper-layer node 3: running"));
    EXPECT_TRUE(Has(start, " unit upper-layer node 4: stopped, error"));
    EXPECT_TRUE(Has(start, " unit area-allocation node 3: error"));
    EXPECT_TRUE(Has(start, " unit error-bit bit 15 EEP-ROM異常: on"));
    EXPECT_TRUE(Has(start, " unit error-bit bit 0 FAﾘﾝｸ動作中: on"));
    EXPECT_TRUE(Has(start, " unit history: 1 records"));
    EXPECT_TRUE(Has(start, " unit cycle-time: current 48 ms, maximum 60 ms, minimum 3 ms"));

    // Node 4 drops out, node 2's upper layer stops, EEP-ROM clears, P/S comes on, a new record.
    unit.Change([](CUnitSimulator& u) {
        u.SetParticipation(4, false);
        u.SetNodeStatus(4, 4);
        u.SetNodeStatus(2, 2);
        u.SetErrorStatusWord(0x00C1);
        u.AddHistory({0x0234, 0x0056, {0x05, 0x30, 0x21, 0x13, 0x05, 0x10}});
    });
    const auto changes = watch.LinesUntil(" unit history: ");
    ASSERT_FALSE(changes.empty()) << watch.Errors();
    std::vector<std::string> all = changes;
    std::string line;
    // The rest of that round's events follow at once.
    while (watch.ReadLine(&line, std::chrono::milliseconds(150))) all.push_back(line);
    EXPECT_TRUE(Has(all, " unit datalink node 4: in -> out"));
    EXPECT_TRUE(Has(all, " unit upper-layer node 2: running -> stopped"));
    EXPECT_TRUE(Has(all, " unit error-bit bit 15 EEP-ROM異常: on -> off"));
    EXPECT_TRUE(Has(all, " unit error-bit bit 7 P/S　供給中: off -> on"));
    EXPECT_TRUE(Has(all, " unit history: 05/10/21 13:05:30 0234 0056"));
    // Node 4 left: its upper layer is no longer followed, so it makes no line of its own.
    EXPECT_FALSE(Has(all, " unit upper-layer node 4: stopped, error -> stopped"));
    EXPECT_EQ(watch.Stop(SIGTERM), 0) << watch.Errors();
}

TEST_F(WatchProgram, JsonLinesAndCountEndTheWatchByItself) {
    ASSERT_TRUE(unit.Loaded());
    ASSERT_TRUE(StartWatch({"--device", unit.Device(), "--unit", "2", "--interval", "100", "--count", "3", "--json"}));
    std::vector<nlohmann::json> events;
    std::string line;
    while (watch.ReadLine(&line)) {
        auto j = nlohmann::json::parse(line, nullptr, false);
        ASSERT_FALSE(j.is_discarded()) << line;
        events.push_back(j);
    }
    EXPECT_EQ(watch.Stop(0), 0) << watch.Errors();
    // Three reads of an unchanged unit: the starting state only.
    ASSERT_EQ(events.size(), 13u);
    for (const auto& e : events) {
        std::vector<std::string> keys;
        for (auto it = e.begin(); it != e.end(); ++it) keys.push_back(it.key());
        EXPECT_TRUE(std::regex_search(e["time"].get<std::string>() + " ", kIsoTime)) << e.dump();
        EXPECT_EQ(e["target"], "unit");
        EXPECT_TRUE(e["old"].is_null()) << "the starting state has no old value: " << e.dump();
    }
    EXPECT_EQ(events[0]["kind"], "datalink");
    EXPECT_EQ(events[0]["node"], 1);
    EXPECT_EQ(events[0]["new"], "in");
    bool bit15 = false;
    for (const auto& e : events)
        if (e["kind"] == "error-bit" && e["bit"] == 15) bit15 = e["node"].is_null() && e["new"] == "on";
    EXPECT_TRUE(bit15);
}

TEST_F(WatchProgram, AFailingReadAndItsRecoveryAreEvents) {
    ASSERT_TRUE(unit.Loaded());
    const int port = unit.Port();
    ASSERT_TRUE(StartWatch({"--device", unit.Device(0, 300), "--unit", "2", "--interval", "200"}));
    ASSERT_FALSE(watch.LinesUntil(" unit cycle-time: ").empty()) << watch.Errors();
    unit.Halt();
    const auto failed = watch.LinesUntil(" unit read: ok -> failed: ");
    ASSERT_FALSE(failed.empty()) << watch.Errors();
    // Nothing else is claimed about a unit that does not answer.
    EXPECT_EQ(failed.size(), 1u) << failed.front();
    ASSERT_TRUE(unit.Serve(port));
    const auto back = watch.LinesUntil(" -> ok");
    ASSERT_FALSE(back.empty()) << watch.Errors();
    EXPECT_NE(back.back().find(" unit read: failed: "), std::string::npos) << back.back();
    EXPECT_EQ(watch.Stop(SIGINT), 0) << watch.Errors();
}

TEST_F(WatchProgram, NetworkFileWatchesEveryNodeByItsNumber) {
    UdpSimUnit plcs(kState, {1, 2});
    ASSERT_TRUE(plcs.Loaded());
    const std::string dir = ::testing::TempDir();
    std::ostringstream toml;
    toml << "name = \"watched\"\n";
    // Node 7's PLC is not there: its reads fail from the start.
    for (int n : {1, 2, 7}) {
        const std::string file = "watch-node" + std::to_string(n) + ".lsm";
        ASSERT_TRUE(WriteFileAtomically(dir + file, ""));
        toml << "[[node]]\nnumber = " << n << "\nfile = \"" << file << "\"\nunit = 2\ndevice = \""
             << plcs.Device(n, 300) << "\"\n";
    }
    const std::string network = dir + "watch-network.toml";
    ASSERT_TRUE(WriteFileAtomically(network, toml.str()));
    ASSERT_TRUE(StartWatch({"--network", network, "--interval", "100", "--count", "1"}));
    std::vector<std::string> lines;
    std::string line;
    while (watch.ReadLine(&line)) lines.push_back(line);
    EXPECT_EQ(watch.Stop(0), 0) << watch.Errors();
    EXPECT_TRUE(Has(lines, " 1 datalink node 4: in"));
    EXPECT_TRUE(Has(lines, " 2 datalink node 4: in"));
    // Listed but not in the data link.
    EXPECT_TRUE(Has(lines, " 1 datalink node 7: out"));
    bool failed7 = false;
    for (const auto& l : lines) failed7 = failed7 || l.find(" 7 read: failed: ") != std::string::npos;
    EXPECT_TRUE(failed7) << watch.Errors();
    std::remove(network.c_str());
}

TEST(WatchRefusals, BadArgumentsExitWithTwoBeforeReading) {
    const std::string missing = ::testing::TempDir() + "no-such-network.toml";
    const std::vector<std::vector<const char*>> cases = {
        {"linksmithctl", "watch", "--network", missing.c_str()},
        {"linksmithctl", "watch", "--network", missing.c_str(), "--device", "[NET]HOST:127.0.0.1;"},
        {"linksmithctl", "watch", "--device", "[NET]HOST"},
        {"linksmithctl", "watch", "--simulate", "--interval", "5"},
        {"linksmithctl", "watch", "--simulate", "--count", "0"},
    };
    for (const auto& argv : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCli(static_cast<int>(argv.size()), argv.data(), out, err), 2) << argv.back();
        EXPECT_EQ(out.str(), "") << argv.back();
        EXPECT_NE(err.str().find("linksmithctl: "), std::string::npos) << argv.back();
    }
}

TEST(WatchInProcess, SimulatedUnitCountsItsReads) {
    const char* argv[] = {"linksmithctl", "watch", "--simulate", "--count", "2", "--interval", "100"};
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(7, argv, out, err), 0) << err.str();
    // The default simulated unit: nothing in the data link, no error bits, no history.
    EXPECT_NE(out.str().find(" unit history: 0 records\n"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find(" datalink "), std::string::npos) << out.str();
}
