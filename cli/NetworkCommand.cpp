#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <mutex>
#include <ostream>

#include "cli/CliPrompter.h"
#include "cli/Commands.h"
#include "model/FileIo.h"
#include "model/FileSystemOps.h"
#include "model/Messages.h"
#include "model/TextCodec.h"
#include "model/VerifyResult.h"
#include "network/CommonMemoryMap.h"
#include "network/NetworkCheck.h"
#include "network/NetworkOperations.h"
#include "network/NetworkPlan.h"
#include "network/NetworkSync.h"
#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
#include "sim/SimServer.h"
#include "sim/UnitSimulatorAdapter.h"
#endif

namespace {

// Reads the network and its nodes' files; prints the network file's problems. Returns false
// when the network file cannot be used (exit 2); allowDuplicates lets check go on past a
// repeated node number, which it then reports as a finding.
bool LoadNetwork(const std::string& path, CNetworkPlan& plan, bool allowDuplicates, CliContext& ctx) {
    const bool ok = plan.Load(path);
    for (const auto& p : plan.file.Problems()) ctx.err << "linksmithctl: " << plan.file.ProblemLine(p) << "\n";
    return ok || (allowDuplicates && plan.file.OnlyDuplicateErrors());
}

const char* ReadStateName(NodeReadState s) {
    switch (s) {
    case NodeReadState::Clean: return "clean";
    case NodeReadState::Defaults: return "defaults";
    default: return "unreadable";
    }
}

nlohmann::ordered_json NodeJson(const NetworkNode& n) {
    nlohmann::ordered_json j;
    j["number"] = n.Number();
    j["file"] = n.entry.file;
    j["line"] = n.entry.line;
    j["read"] = ReadStateName(n.readState);
    j["nodeName"] = Cp932ToUtf8(TextOf(n.record->pc.nodeName, sizeof n.record->pc.nodeName));
    j["device"] = Cp932ToUtf8(n.device);
    j["gateway"] = Cp932ToUtf8(n.gateway);
    j["unit"] = n.unit;
    nlohmann::ordered_json sends = nlohmann::ordered_json::array();
    for (int area = 1; area <= 2; ++area) {
        const SendArea s = n.Sending(area);
        if (n.Readable() && s.Sends()) sends.push_back({{"area", area}, {"first", s.start}, {"last", s.Last()}});
    }
    j["sends"] = sends;
    j["records"] = n.Readable() ? n.record->pc.entryCount : 0;
    return j;
}

nlohmann::ordered_json FindingJson(const NetworkFinding& f) {
    nlohmann::ordered_json j;
    j["kind"] = f.kind;
    j["severity"] = f.error ? "error" : "warning";
    j["nodes"] = f.nodes;
    j["area"] = f.area ? nlohmann::ordered_json(f.area) : nlohmann::ordered_json(nullptr);
    nlohmann::ordered_json ranges = nlohmann::ordered_json::array();
    for (const auto& r : f.ranges)
        ranges.push_back({{"node", r.node}, {"area", r.area}, {"first", r.first}, {"last", r.last}, {"seenBy", r.seenBy}});
    j["ranges"] = ranges;
    j["text"] = f.text;
    if (f.messageId) j["id"] = f.messageId;
    return j;
}

void RunCheck(const std::string& path, bool json, CliContext& ctx) {
    CNetworkPlan plan;
    if (!LoadNetwork(path, plan, true, ctx)) {
        ctx.exitCode = kExitRefused;
        return;
    }
    CNetworkCheck check;
    const std::vector<NetworkFinding> findings = check.Run(plan);
    size_t errors = 0;
    for (const auto& f : findings) errors += f.error ? 1 : 0;
    if (json) {
        nlohmann::ordered_json j;
        j["network"] = plan.file.name;
        j["findings"] = nlohmann::ordered_json::array();
        for (const auto& f : findings) j["findings"].push_back(FindingJson(f));
        j["nodes"] = nlohmann::ordered_json::array();
        for (const auto& n : plan.nodes) j["nodes"].push_back(NodeJson(n));
        ctx.out << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    } else {
        for (const auto& f : findings) ctx.out << (f.error ? "error" : "warning") << " " << f.kind << ": " << f.text << "\n";
        ctx.out << plan.nodes.size() << " node(s), " << errors << " error(s), " << findings.size() - errors
                << " warning(s)\n";
    }
    // A repeated node number is the network file's own fault.
    if (plan.file.HasErrors())
        ctx.exitCode = kExitRefused;
    else  // the network file's problems left are warnings
        ctx.exitCode = findings.empty() && plan.file.Problems().empty() ? kExitClean : kExitWarning;
}

void RunSync(const std::string& path, bool dryRun, bool keepNodes, CliContext& ctx) {
    CNetworkPlan plan;
    if (!LoadNetwork(path, plan, false, ctx)) {
        ctx.exitCode = kExitRefused;
        return;
    }
    CNetworkSync sync(plan);
    if (!sync.Prepare(keepNodes)) {
        for (const auto& r : sync.Refusals()) ctx.err << "linksmithctl: " << r << "\n";
        ctx.err << "linksmithctl: nothing written\n";
        ctx.exitCode = kExitRefused;
        return;
    }
    for (const auto& c : sync.Changes()) {
        const NetworkNode& n = plan.nodes[c.node];
        // The rows as `diff NEW OLD` gives them: the old value in the unit's column.
        CVerifyResult rows;
        rows.BuildFromFiles(c.after->pc, n.record->pc);
        ctx.out << "node " << n.Number() << ": " << n.entry.file << ": " << rows.Count() << " change(s)\n";
        if (dryRun) {
            size_t k = 0;
            for (const auto& r : rows.Rows()) ctx.out << ++k << "\t" << r.item << "\t" << r.plcText << "\t" << r.pcText << "\n";
        }
        std::string text;
        if (const int id = CNetworkCheck::PageCheck(*c.after, text))
            ctx.err << "linksmithctl: warning: node " << n.Number() << ": the synced settings fail a page check: "
                    << id << " " << text << "\n";
    }
    if (dryRun) {
        ctx.out << sync.Changes().size() << " file(s) would change; nothing written (--dry-run)\n";
        ctx.exitCode = kExitClean;
        return;
    }
    if (!sync.Write(CFileSystemOps::System())) {
        ctx.err << "linksmithctl: sync failed: " << sync.Error() << "\n";
        if (sync.Changed().empty()) {
            ctx.err << "linksmithctl: every settings file is as it was before the sync\n";
        } else {
            ctx.err << "linksmithctl: these files hold the synced settings, all others are as before:\n";
            for (const auto& f : sync.Changed()) ctx.err << "linksmithctl:   " << f << "\n";
        }
        ctx.exitCode = kExitRefused;
        return;
    }
    ctx.out << sync.Changes().size() << " file(s) changed\n";
    ctx.exitCode = kExitClean;
}

// What the operations on every unit share on the command line.
struct UnitRunOptions {
    std::string path;
    std::string outDir;
    int jobs = 0;
    bool json = false;
    bool yes = false;
    std::string gateway;
    int networkAddress = 1;
    int timeoutMs = 0;
    bool simulate = false;
};

std::string Hex4(unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%.4X", value);
    return buffer;
}

std::string JoinNumbers(const std::vector<int>& numbers) {
    std::string text;
    for (int n : numbers) text += (text.empty() ? "" : " ") + std::to_string(n);
    return text.empty() ? "none" : text;
}

nlohmann::ordered_json ResultJson(const NetworkNodeResult& r, NetworkOperation operation) {
    nlohmann::ordered_json j;
    j["node"] = r.node;
    j["file"] = r.file;
    j["result"] = CNetworkOperations::OutcomeName(r.outcome);
    j["exitCode"] = r.exitCode;
    if (r.outcome == NodeOutcome::Failed) {
        j["id"] = r.messageId;
        j["text"] = r.text;
        if (!r.code.empty()) j["code"] = r.code;
    }
    if (operation == NetworkOperation::Verify && (r.outcome == NodeOutcome::Done || r.outcome == NodeOutcome::Differences)) {
        j["differences"] = r.rows.size();
        nlohmann::ordered_json rows = nlohmann::ordered_json::array();
        for (const auto& row : r.rows)
            rows.push_back({{"id", row.itemId}, {"item", row.item}, {"plc", row.plcText}, {"pc", row.pcText}});
        j["rows"] = rows;
    }
    if (operation == NetworkOperation::Read && !r.outFile.empty()) j["out"] = r.outFile;
    if (operation == NetworkOperation::Status && r.statusRead) {
        j["participating"] = r.participating;
        j["errorStatusWord"] = r.errorStatusWord;
    }
    j["seconds"] = r.seconds;
    return j;
}

// One line per node: node, file, result and what it comes to.
void PrintResultLine(const NetworkNodeResult& r, NetworkOperation operation, std::ostream& out) {
    out << r.node << "\t" << r.file << "\t";
    if (operation == NetworkOperation::Status && r.statusRead) {
        out << JoinNumbers(r.participating) << "\t" << Hex4(r.errorStatusWord) << "\n";
        return;
    }
    out << CNetworkOperations::OutcomeName(r.outcome);
    switch (r.outcome) {
    case NodeOutcome::Differences: out << "\t" << r.rows.size() << " difference(s)"; break;
    case NodeOutcome::Failed:
        out << "\t" << r.messageId << "\t" << r.text;
        if (!r.code.empty()) out << "\t" << r.code;
        out << "\texit " << r.exitCode;
        break;
    case NodeOutcome::Done:
        if (operation == NetworkOperation::Read) out << "\t" << r.outFile;
        break;
    default: break;
    }
    out << "\n";
}

void RunOnUnits(NetworkOperation operation, const UnitRunOptions& o, CliContext& ctx) {
    CNetworkPlan plan;
    if (!LoadNetwork(o.path, plan, false, ctx)) {
        ctx.exitCode = kExitRefused;
        return;
    }
    NetworkOperationOptions options;
    options.jobs = o.jobs;
    options.outDir = o.outDir;
    options.gateway = o.gateway;
    options.networkAddress = o.networkAddress;
    options.timeoutMs = o.timeoutMs;
    options.stopMidCommand = false;  // nothing cancels a run here
#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
    // One simulated unit per node, at the node's number and unit number.
    CSimServer sim;
    if (o.simulate) {
        for (const auto& n : plan.nodes) {
            auto unit = std::make_unique<CUnitSimulatorAdapter>();
            unit->Unit().SetUnitNumber(static_cast<int>(n.unit));
            sim.AddPlc(static_cast<uint8_t>(o.networkAddress), static_cast<uint8_t>(n.Number()), std::move(unit));
        }
        options.simulatedPeer = &sim;
    }
#else
    if (o.simulate) {
        ctx.err << "linksmithctl: --simulate is not available in this build\n";
        ctx.exitCode = kExitRefused;
        return;
    }
#endif
    CCliPrompter prompter(ctx.err, o.yes, ctx.answers);
    if (operation == NetworkOperation::Write) {
        const std::vector<NetworkFinding> errors = CNetworkOperations::WriteRefusals(plan);
        if (!errors.empty()) {
            for (const auto& f : errors) ctx.err << "linksmithctl: error " << f.kind << ": " << f.text << "\n";
            ctx.err << "linksmithctl: not written: network check found " << errors.size()
                    << " error(s); nothing was sent to any unit\n";
            if (o.json) {
                nlohmann::ordered_json j;
                j["network"] = plan.file.name;
                j["operation"] = "write";
                j["refusedBy"] = nlohmann::ordered_json::array();
                for (const auto& f : errors) j["refusedBy"].push_back(FindingJson(f));
                j["nodes"] = nlohmann::ordered_json::array();
                ctx.out << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
            }
            ctx.exitCode = kExitRefused;
            return;
        }
        // The one confirmation, for every unit at once.
        prompter.subject = o.path;
        if (prompter.Show(32941, {}, PromptButtons::YesNo, PromptIcon::Exclamation) == PromptAnswer::No) {
            ctx.err << "linksmithctl: not written: nothing was sent to any unit\n";
            ctx.exitCode = kExitRefused;
            return;
        }
        // The questions of one node, one at a time, named after the node.
        options.ask = [&prompter](const NetworkNodeResult& node, int id, const std::vector<std::string>& inserts,
                                  PromptButtons buttons) {
            prompter.subject = "node " + std::to_string(node.node) + " (" + node.file + ")";
            return prompter.Show(id, inserts, buttons, PromptIcon::Exclamation);
        };
    }

    CNetworkOperations operations(plan, options);
    const NetworkRunResult run = operations.Run(operation);
    ctx.exitCode = run.ExitStatus();
    if (o.json) {
        nlohmann::ordered_json j;
        j["network"] = plan.file.name;
        static const char* const kNames[] = {"read", "write", "verify", "status"};
        j["operation"] = kNames[static_cast<int>(operation)];
        j["nodes"] = nlohmann::ordered_json::array();
        for (const auto& r : run.nodes) j["nodes"].push_back(ResultJson(r, operation));
        if (operation == NetworkOperation::Status) {
            j["unlisted"] = run.unlisted;
            j["unseen"] = run.unseen;
        }
        j["exitCode"] = ctx.exitCode;
        ctx.out << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return;
    }
    if (operation == NetworkOperation::Status)
        ctx.out << "node\tfile\tdata link participation\terror status word\n";
    for (const auto& r : run.nodes) PrintResultLine(r, operation, ctx.out);
    if (operation == NetworkOperation::Status) {
        ctx.out << "taking part, not in the network file: " << JoinNumbers(run.unlisted) << "\n";
        ctx.out << "in the network file, seen taking part by no unit: " << JoinNumbers(run.unseen) << "\n";
    }
    ctx.out << run.nodes.size() << " node(s): " << run.Count(NodeOutcome::Done) << " done, "
            << run.Count(NodeOutcome::Differences) << " with differences, " << run.Count(NodeOutcome::Failed)
            << " failed\n";
}

// The options of an operation on every unit.
CLI::App* AddUnitCommand(CLI::App& network, CliContext& ctx, const char* name, const std::string& help,
                         NetworkOperation operation) {
    auto* cmd = network.add_subcommand(
        name, help + ". One result row per node; exit 0 when every node is done (and matches), 1 when any "
                     "differs, 2 when refused, 3 when any node's communication failed, 4 when any unit answered "
                     "with a failure");
    auto o = std::make_shared<UnitRunOptions>();
    cmd->add_option("NET", o->path, "Network file")->required();
    if (operation == NetworkOperation::Read)
        cmd->add_option("--out", o->outDir, "Folder the settings files are written to (each under its file's name)")
            ->required();
    if (operation == NetworkOperation::Write)
        cmd->add_flag("--yes,-y", o->yes, "Answer yes to every question (needed when stdin is not a terminal)");
    cmd->add_option("--jobs,-j", o->jobs, "Nodes worked on at once (default: every node)")->check(CLI::Range(1, 1024));
    cmd->add_flag("--json", o->json, "Print the result rows as JSON");
    cmd->add_option("--gateway", o->gateway,
                    "Reach every node through this gateway PLC (device string), addressed at its node number");
    cmd->add_option("--network-address", o->networkAddress, "FL-net network address of the nodes behind --gateway")
        ->check(CLI::Range(0, 255));
    cmd->add_option("--timeout", o->timeoutMs, "Response time-out of every node, milliseconds")->check(CLI::Range(1, 3600000));
    cmd->add_flag("--simulate", o->simulate, "Talk to one simulated unit per node inside this program");
    cmd->callback([&ctx, o, operation] { RunOnUnits(operation, *o, ctx); });
    return cmd;
}

// The picture of common memory for commissioning documents, drawn as the network window draws
// it: exit 0 written (findings are in the picture), 2 the network file unusable or no file written.
void RunMap(const std::string& path, const std::string& svgPath, CliContext& ctx) {
    CNetworkPlan plan;
    if (!LoadNetwork(path, plan, true, ctx)) {
        ctx.exitCode = kExitRefused;
        return;
    }
    CCommonMemoryMap map;
    map.Build(plan, CNetworkCheck().Run(plan));
    if (!WriteFileAtomically(svgPath, map.ToSvg())) {
        ctx.err << "linksmithctl: " << svgPath << ": cannot be written\n";
        ctx.exitCode = kExitRefused;
        return;
    }
    size_t overlaps = 0;
    for (const auto& b : map.Blocks()) overlaps += b.overlap ? 1 : 0;
    ctx.out << svgPath << ": " << map.Blocks().size() << " block(s), " << overlaps << " overlapping, "
            << map.Marks().size() << " mismatched mapping(s)\n";
    ctx.exitCode = kExitClean;
}

void AddMapCommand(CLI::App* network, CliContext& ctx) {
    auto* map = network->add_subcommand(
        "map", "Draw common memory (areas 1 and 2, each node's sending part, overlaps, mismatched mappings) as SVG");
    auto path = std::make_shared<std::string>();
    auto svg = std::make_shared<std::string>();
    map->add_option("NET", *path, "Network file")->required();
    map->add_option("--svg", *svg, "The SVG file to write")->required();
    map->callback([&ctx, path, svg] { RunMap(*path, *svg, ctx); });
}

}  // namespace

// The whole network: the network file's nodes checked together and their mapping tables synced.
void AddNetworkCommand(CLI::App& app, CliContext& ctx) {
    auto* network = app.add_subcommand("network", "Work on every node of an FL-net network file (TOML)");
    network->require_subcommand(1);

    auto* check = network->add_subcommand(
        "check", "Check the nodes' settings across the network: exit 0 clean, 1 findings, 2 network file unusable");
    auto checkPath = std::make_shared<std::string>();
    auto json = std::make_shared<bool>(false);
    check->add_option("NET", *checkPath, "Network file")->required();
    check->add_flag("--json", *json, "Print the findings and the nodes as JSON");
    check->callback([&ctx, checkPath, json] { RunCheck(*checkPath, *json, ctx); });

    auto* sync = network->add_subcommand(
        "sync", "Make every node's mapping table agree with the network's sending areas: exit 0 done, 2 refused");
    auto syncPath = std::make_shared<std::string>();
    auto dryRun = std::make_shared<bool>(false);
    auto keepNodes = std::make_shared<bool>(false);
    sync->add_option("NET", *syncPath, "Network file")->required();
    sync->add_flag("--dry-run", *dryRun, "Print per node what would change (the rows as diff prints them); write nothing");
    sync->add_flag("--keep-nodes", *keepNodes, "Correct offsets and sizes only; keep each table's set of nodes");
    sync->callback([&ctx, syncPath, dryRun, keepNodes] { RunSync(*syncPath, *dryRun, *keepNodes, ctx); });
    AddMapCommand(network, ctx);

    AddUnitCommand(*network, ctx, "read", "Read every unit's parameters into a settings file each", NetworkOperation::Read);
    AddUnitCommand(*network, ctx, "write",
                   "Write every node's settings file to its unit as write does; refused as a whole when network "
                   "check finds an error. Asks once for every unit; without a terminal only --yes goes ahead",
                   NetworkOperation::Write);
    AddUnitCommand(*network, ctx, "verify", "Compare every unit with its node's settings file", NetworkOperation::Verify);
    AddUnitCommand(*network, ctx, "status",
                   "Data link participation as each unit sees it and each unit's error status word, in one table, "
                   "with the nodes taking part that the file does not list and the listed nodes no unit sees",
                   NetworkOperation::Status);
}
