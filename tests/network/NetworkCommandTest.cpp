#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "model/Messages.h"
#include "tests/network/NetworkTestFiles.h"

namespace {

struct CtlRun {
    int status;
    std::string out;
    std::string err;
};

CtlRun Ctl(std::vector<std::string> args) {
    args.insert(args.begin(), {"linksmithctl", "network"});
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
    const int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::set<std::string> Kinds(const nlohmann::json& j) {
    std::set<std::string> kinds;
    for (const auto& f : j["findings"]) kinds.insert(f["kind"].get<std::string>());
    return kinds;
}

const nlohmann::json* FindingOf(const nlohmann::json& j, const std::string& kind, std::vector<int> nodes) {
    for (const auto& f : j["findings"])
        if (f["kind"] == kind && f["nodes"].get<std::vector<int>>() == nodes) return &f;
    return nullptr;
}

// The example network with stale tables only: node 1 maps node 2 with an old area-1 size, node 2
// (which receives node 4 in reverse order) maps node 5 at an old area-2 offset, node 3 lost its
// record of node 10, node 4 still maps node 7, which left the network. A sync makes every file
// what the example holds.
void BreakTables(NetworkFolder& net) {
    net.Change("press.lsm", [](SettingsImage& pc) { pc.entries[0].area1Size = 8; });
    net.Change("line1.lsm", [](SettingsImage& pc) { pc.entries[3].area2Offset = 350; });
    net.Change("welder.lsm", [](SettingsImage& pc) {
        pc.entries[4] = MappingEntry{};
        pc.entryCount = pc.faLinkNodeCount = 4;
    });
    net.Change("paint.lsm", [](SettingsImage& pc) {
        pc.entries[5] = MappingEntry{7, 0, 0, 112, 0, 600};
        pc.entryCount = pc.faLinkNodeCount = 6;
    });
}

TEST(NetworkCommandTest, ExampleNetworkIsCleanAndInSync) {
    NetworkFolder net;
    const auto before = net.Snapshot();
    CtlRun check = Ctl({"check", net.net});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    EXPECT_EQ(check.out, "7 node(s), 0 error(s), 0 warning(s)\n");
    EXPECT_EQ(check.err, "");

    CtlRun json = Ctl({"check", "--json", net.net});
    ASSERT_EQ(json.status, 0);
    const auto j = nlohmann::json::parse(json.out);
    EXPECT_EQ(j["network"], "line1");
    EXPECT_TRUE(j["findings"].empty());
    ASSERT_EQ(j["nodes"].size(), 7u);
    // The node's connection: the network file's values where it gives them, else the settings file's.
    const auto& panel = j["nodes"][5];
    EXPECT_EQ(panel["number"], 8);
    EXPECT_EQ(panel["device"], "[DEV]DEV:VR4H;CPU:MPU90;[NET]FRAME:1004;TMO:5000;[ADDRESS]DNA:1;DA1:8;");
    EXPECT_TRUE(Has(panel["gateway"].get<std::string>(), "HOST:192.168.250.10;"));
    EXPECT_TRUE(panel["sends"].empty());
    EXPECT_EQ(j["nodes"][6]["unit"], 1);
    EXPECT_EQ(j["nodes"][1]["nodeName"], "第1ライン");
    EXPECT_EQ(j["nodes"][1]["sends"], nlohmann::json::parse(R"([{"area":1,"first":16,"last":31},{"area":2,"first":100,"last":199}])"));

    CtlRun sync = Ctl({"sync", net.net});
    EXPECT_EQ(sync.status, 0) << sync.err;
    EXPECT_EQ(sync.out, "0 file(s) changed\n");
    EXPECT_EQ(net.Snapshot(), before);
}

TEST(NetworkCommandTest, CheckReportsEveryKindOfFinding) {
    NetworkFolder net;
    // file: a bad token watchdog value is read as the default.
    std::string panel = net.Bytes("panel.lsm");
    panel.replace(panel.find(",Token watchdog timer,50,"), 25, ",Token watchdog timer,999,");
    std::ofstream(net.Path("panel.lsm"), std::ios::binary) << panel;
    // page: node 5's local area 1 lies on the PLC channels of its first record.
    net.Change("inspect.lsm", [](SettingsImage& pc) { pc.localArea1Start = 1000; });
    // overlap and mismatch: node 10 moved its area 1 onto node 5's; every table still maps it at 80.
    // ip-conflict: node 10's set address is node 3's (192.168.250 plus the node number).
    net.Change("supervisor.lsm", [](SettingsImage& pc) {
        pc.localArea1ComStart = 70;
        pc.ipAddress[3] = 3;
    });
    // unknown-node and not-received.
    net.Change("paint.lsm", [](SettingsImage& pc) {
        pc.entries[5] = MappingEntry{7, 0, 0, 112, 0, 600};
        pc.entryCount = 6;
    });
    net.Change("welder.lsm", [](SettingsImage& pc) {
        pc.entries[4] = MappingEntry{};
        pc.entryCount = 4;
    });

    CtlRun text = Ctl({"check", net.net});
    EXPECT_EQ(text.status, 1) << text.err;
    EXPECT_TRUE(Has(text.out, "error file: node 8: panel.lsm: read with defaults put in for bad values\n")) << text.out;
    EXPECT_TRUE(Has(text.out, "error page: node 5: 33034 " + FormatMessage(33034, {"1"}) + "\n")) << text.out;
    EXPECT_TRUE(Has(text.out, "error overlap: area 1: node 5 sends words 64-79, node 10 sends words 70-101\n"));
    EXPECT_TRUE(Has(text.out, "error ip-conflict: IP address 192.168.250.3 is used by nodes 3, 10\n"));
    EXPECT_TRUE(Has(text.out, "error unknown-node: node 4's mapping table maps node 7 (record 6), which is not in the network\n"));
    EXPECT_TRUE(Has(text.out, "error mismatch: area 1: node 1 maps node 10 at offset 80 size 32, node 10 sends at offset 70 size 32\n"));
    EXPECT_TRUE(Has(text.out, "warning not-received: node 10 sends area 1 words 70-101, node 3's mapping table has no record for it\n"));
    // Six tables map node 10 (node 3's no longer does): five mismatches.
    EXPECT_TRUE(Has(text.out, "7 node(s), 10 error(s), 1 warning(s)\n")) << text.out;

    CtlRun json = Ctl({"check", net.net, "--json"});
    EXPECT_EQ(json.status, 1);
    const auto j = nlohmann::json::parse(json.out);
    EXPECT_EQ(Kinds(j), (std::set<std::string>{"file", "page", "overlap", "ip-conflict", "unknown-node", "mismatch",
                                                "not-received"}));
    for (const auto& f : j["findings"]) {
        std::set<std::string> keys;
        for (const auto& [k, v] : f.items()) keys.insert(k);
        std::set<std::string> expected{"kind", "severity", "nodes", "area", "ranges", "text"};
        if (f["kind"] == "page") expected.insert("id");
        EXPECT_EQ(keys, expected) << f.dump();
        EXPECT_TRUE(f["severity"] == "error" || f["severity"] == "warning");
    }
    const auto* overlap = FindingOf(j, "overlap", {5, 10});
    ASSERT_NE(overlap, nullptr);
    EXPECT_EQ((*overlap)["area"], 1);
    EXPECT_EQ((*overlap)["ranges"], nlohmann::json::parse(R"([{"node":5,"area":1,"first":64,"last":79,"seenBy":"sends"},
                                                               {"node":10,"area":1,"first":70,"last":101,"seenBy":"sends"}])"));
    const auto* mismatch = FindingOf(j, "mismatch", {2, 10});
    ASSERT_NE(mismatch, nullptr);
    EXPECT_EQ((*mismatch)["ranges"][0], nlohmann::json::parse(R"({"node":10,"area":1,"first":80,"last":111,"seenBy":"mapped by 2"})"));
    const auto* page = FindingOf(j, "page", {5});
    ASSERT_NE(page, nullptr);
    EXPECT_EQ((*page)["id"], 33034);
    EXPECT_EQ((*page)["area"], nullptr);
    const auto* notReceived = FindingOf(j, "not-received", {3, 10});
    ASSERT_NE(notReceived, nullptr);
    EXPECT_EQ((*notReceived)["severity"], "warning");
    EXPECT_EQ((*notReceived)["area"], 1);
    EXPECT_EQ(j["nodes"][5]["read"], "defaults");

    // A node read with defaults would spread them: sync refuses and writes nothing.
    auto before = net.Snapshot();
    CtlRun refused = Ctl({"sync", net.net});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(Has(refused.err, "node 8: panel.lsm: read with defaults put in for bad values; correct it first\n"));
    EXPECT_EQ(net.Snapshot(), before);

    // With node 8 mended, sync takes the tables to the sending areas as they are; what only the
    // nodes' own settings can mend stays.
    std::string good = panel;
    good.replace(good.find(",Token watchdog timer,999,"), 26, ",Token watchdog timer,50,");
    std::ofstream(net.Path("panel.lsm"), std::ios::binary) << good;
    CtlRun sync = Ctl({"sync", net.net});
    EXPECT_EQ(sync.status, 0) << sync.err;
    CtlRun after = Ctl({"check", net.net, "--json"});
    EXPECT_EQ(after.status, 1);
    EXPECT_EQ(Kinds(nlohmann::json::parse(after.out)), (std::set<std::string>{"page", "overlap", "ip-conflict"}));
}

TEST(NetworkCommandTest, SyncMakesEveryTableAgreeAndCheckClean) {
    NetworkFolder net;
    const auto example = net.Snapshot();
    BreakTables(net);
    CtlRun check = Ctl({"check", net.net});
    EXPECT_EQ(check.status, 1);
    EXPECT_TRUE(Has(check.out, "7 node(s), 3 error(s), 1 warning(s)\n")) << check.out;

    CtlRun sync = Ctl({"sync", net.net});
    EXPECT_EQ(sync.status, 0) << sync.err;
    EXPECT_EQ(sync.out,
              "node 1: press.lsm: 1 change(s)\nnode 2: line1.lsm: 1 change(s)\nnode 3: welder.lsm: 5 change(s)\n"
              "node 4: paint.lsm: 4 change(s)\n4 file(s) changed\n");
    // Byte for byte the example again: records in node-number order, the sender's offsets and
    // sizes, node 2's reverse order for node 4 kept, the node count following the records.
    EXPECT_EQ(net.Snapshot(), example);
    CtlRun clean = Ctl({"check", net.net});
    EXPECT_EQ(clean.status, 0) << clean.out;
}

TEST(NetworkCommandTest, DryRunPrintsTheRowsAndWritesNothing) {
    NetworkFolder net;
    BreakTables(net);
    const auto before = net.Snapshot();
    CtlRun dry = Ctl({"sync", "--dry-run", net.net});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(net.Snapshot(), before);
    EXPECT_TRUE(Has(dry.out, "node 1: press.lsm: 1 change(s)\n1\t" + FormatMessage(32886, {"2"}) + "\t8\t16\n")) << dry.out;
    // Node 4 loses the record of node 7: the rows name the node count and every field of the record.
    EXPECT_TRUE(Has(dry.out, "node 4: paint.lsm: 4 change(s)\n1\t" + MessageText(32873) + "\t6\t5\n")) << dry.out;
    EXPECT_TRUE(Has(dry.out, "4 file(s) would change; nothing written (--dry-run)\n"));

    // The rows are those diff gives for the synced file against the old one.
    NetworkFolder synced("-synced");
    BreakTables(synced);
    ASSERT_EQ(Ctl({"sync", synced.net}).status, 0);
    const char* argv[] = {"linksmithctl", "diff", nullptr, nullptr};
    const std::string a = synced.Path("press.lsm"), b = net.Path("press.lsm");
    argv[2] = a.c_str();
    argv[3] = b.c_str();
    std::ostringstream out, err;
    EXPECT_EQ(RunCli(4, argv, out, err), 1);
    EXPECT_TRUE(Has(dry.out, out.str().substr(0, out.str().find(" difference(s)") - 1))) << out.str();
}

TEST(NetworkCommandTest, KeepNodesCorrectsOffsetsAndSizesOnly) {
    NetworkFolder net;
    const std::string press = net.Bytes("press.lsm");
    const std::string line1 = net.Bytes("line1.lsm");
    BreakTables(net);
    const std::string welder = net.Bytes("welder.lsm");
    const std::string paint = net.Bytes("paint.lsm");
    CtlRun sync = Ctl({"sync", "--keep-nodes", net.net});
    EXPECT_EQ(sync.status, 0) << sync.err;
    EXPECT_EQ(sync.out, "node 1: press.lsm: 1 change(s)\nnode 2: line1.lsm: 1 change(s)\n2 file(s) changed\n");
    EXPECT_EQ(net.Bytes("press.lsm"), press);
    EXPECT_EQ(net.Bytes("line1.lsm"), line1);
    EXPECT_EQ(net.Bytes("welder.lsm"), welder);
    EXPECT_EQ(net.Bytes("paint.lsm"), paint);
    const auto j = nlohmann::json::parse(Ctl({"check", "--json", net.net}).out);
    EXPECT_EQ(Kinds(j), (std::set<std::string>{"unknown-node", "not-received"}));
}

TEST(NetworkCommandTest, TooManySendersForOneTable) {
    NetworkFolder net;
    // 129 senders of 3 words each and one node that sends nothing: each sender's table needs 128
    // records, the silent node's 129.
    std::string text = "name = \"big\"\n";
    for (int number = 1; number <= 130; ++number) {
        const std::string name = "n" + std::to_string(number) + ".lsm";
        std::filesystem::copy_file(net.Path("panel.lsm"), net.Path(name));
        net.Change(name, [number](SettingsImage& pc) {
            pc.entryCount = 0;
            pc.faLinkNodeCount = 0;
            pc.localArea2Size = 0;
            pc.localArea1Size = number <= 129 ? 3 : 0;
            pc.localArea1ComStart = static_cast<uint16_t>(number <= 129 ? 3 * (number - 1) : 0);
        });
        text += "[[node]]\nnumber = " + std::to_string(number) + "\nfile = \"" + name + "\"\n";
    }
    net.WriteNet(text);
    const auto j = nlohmann::json::parse(Ctl({"check", "--json", net.net}).out);
    const auto* f = FindingOf(j, "too-many-senders", {130});
    ASSERT_NE(f, nullptr);
    EXPECT_EQ((*f)["text"], "129 nodes send, but a mapping table holds at most 128 other nodes (1 node(s) cannot map them all)");

    const auto before = net.Snapshot();
    CtlRun sync = Ctl({"sync", net.net});
    EXPECT_EQ(sync.status, 2);
    EXPECT_TRUE(Has(sync.err, "node 130: more than 128 other nodes send\n")) << sync.err;
    EXPECT_EQ(net.Snapshot(), before);
}

// Network files that cannot be used: a message naming the line (and the node where there is one),
// exit 2, and nothing written by sync.
TEST(NetworkCommandTest, BadNetworkFiles) {
    NetworkFolder net;
    const std::string good = net.Bytes("line1.toml");
    // In the example, node 3's [[node]] is line 13, its number line 14 and its file line 15.
    ASSERT_TRUE(Has(good, "\n\n[[node]]\nnumber = 3\nfile = \"welder.lsm\"\n"));
    ASSERT_EQ(std::count(good.begin(), good.begin() + good.find("number = 3"), '\n'), 13);
    auto with = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {with("number = 3\n", "number = = 3\n"), "line1.toml:14: not a TOML file: "},
        {with("welder.lsm", "gone.lsm"), "line1.toml:13: node 3: settings file \"gone.lsm\" not found\n"},
        {with("number = 4\n", "number = 3\n"), "line1.toml:17: node 3: node number repeated (first at line 13)\n"},
        {with("number = 3\n", "number = 300\n"), "line1.toml:14: node number 300 is out of range 1 to 254\n"},
        {with("number = 3\n", "number = \"3\"\n"), "line1.toml:14: number must be an integer, not a string\n"},
        {with("file = \"welder.lsm\"\n", "file = \"welder.lsm\"\nunit = 16\n"),
         "line1.toml:16: node 3: unit number 16 is out of range 0 to 15\n"},
        {with("file = \"welder.lsm\"\n", ""), "line1.toml:13: node 3: no settings file (file = \"...\")\n"},
        {with("file = \"welder.lsm\"\n", "file = \"press.lsm\"\n"),
         "line1.toml:13: node 3: settings file \"press.lsm\" is also node 1's (line 5)\n"},
        {"\xff\xfe binary", "line1.toml:1: not a TOML file: "},
        {with("number = 3\n", std::string("number = 3\0\n", 12)), "line1.toml:14: not a TOML file: a NUL byte\n"},
        // TOML allows other characters only in strings and comments (and the parser may not be
        // handed them elsewhere).
        {with("number = 3\n", "number = 3 \u3001\n"),
         "line1.toml:14: not a TOML file: a character that is not ASCII outside a string or comment\n"},
        {with("welder.lsm\"", "welder\\\u3001.lsm\""),
         "line1.toml:15: not a TOML file: a backslash before a character that is not ASCII\n"},
    };
    for (const auto& c : cases) {
        net.WriteNet(c.text);
        const auto before = net.Snapshot();
        CtlRun check = Ctl({"check", net.net});
        EXPECT_EQ(check.status, 2) << c.message;
        EXPECT_TRUE(Has(check.err, net.net + ":" + c.message.substr(c.message.find(':') + 1))) << check.err;
        CtlRun sync = Ctl({"sync", net.net});
        EXPECT_EQ(sync.status, 2) << c.message;
        EXPECT_TRUE(Has(sync.err, c.message.substr(c.message.find(':') + 1))) << sync.err;
        EXPECT_EQ(net.Snapshot(), before) << c.message;
    }

    // A repeated node is also shown among the findings, with both lines.
    net.WriteNet(with("number = 4\n", "number = 3\n"));
    CtlRun duplicate = Ctl({"check", "--json", net.net});
    EXPECT_EQ(duplicate.status, 2);
    const auto findings = nlohmann::json::parse(duplicate.out);
    const auto* f = FindingOf(findings, "duplicate-node", {3});
    ASSERT_NE(f, nullptr);
    EXPECT_EQ((*f)["text"], "node 3 is listed 2 times (lines 13, 17)");

    CtlRun missing = Ctl({"check", net.Path("none.toml")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "linksmithctl: " + net.Path("none.toml") + ": cannot be read\n");

    // In strings and comments any character is fine, in literal strings backslashes and quotes too.
    net.WriteNet(with("name = \"line1\"\n", "name = \"第1ライン、組立\"  # 組立、塗装\n"));
    CtlRun japanese = Ctl({"check", "--json", net.net});
    EXPECT_EQ(japanese.status, 0) << japanese.err;
    EXPECT_EQ(nlohmann::json::parse(japanese.out)["network"], "第1ライン、組立");
    net.WriteNet(with("name = \"line1\"\n", "name = '第1\"ライン\"\\組立'\n"));
    japanese = Ctl({"check", "--json", net.net});
    EXPECT_EQ(japanese.status, 0) << japanese.err;
    EXPECT_EQ(nlohmann::json::parse(japanese.out)["network"], "第1\"ライン\"\\組立");

    // An unknown key is only a warning, with its line; check says so in its status.
    net.WriteNet(with("file = \"welder.lsm\"\n", "file = \"welder.lsm\"\ncolour = \"red\"\n"));
    CtlRun warned = Ctl({"check", net.net});
    EXPECT_EQ(warned.status, 1);
    EXPECT_EQ(warned.err, "linksmithctl: " + net.net + ":16: warning: node 3: unknown key \"colour\" ignored\n");
    EXPECT_EQ(Ctl({"sync", net.net}).status, 0);
}

}  // namespace
