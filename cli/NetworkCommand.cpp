#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>

#include "cli/Commands.h"
#include "model/FileIo.h"
#include "model/FileSystemOps.h"
#include "model/TextCodec.h"
#include "model/VerifyResult.h"
#include "network/CommonMemoryMap.h"
#include "network/NetworkCheck.h"
#include "network/NetworkPlan.h"
#include "network/NetworkSync.h"

namespace {

// Reads the network and its nodes' files; prints the network file's problems. Returns false
// when the network file cannot be used (exit 2); allowDuplicates lets check go on past a
// repeated node number, which it then reports as a finding.
bool LoadNetwork(const std::string& path, CNetworkPlan& plan, bool allowDuplicates, CliContext& ctx, int& warnings) {
    const bool ok = plan.Load(path);
    warnings = 0;
    for (const auto& p : plan.file.Problems()) {
        ctx.err << "linksmithctl: " << plan.file.ProblemLine(p) << "\n";
        if (!p.error) ++warnings;
    }
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
    int warnings = 0;
    if (!LoadNetwork(path, plan, true, ctx, warnings)) {
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
    else
        ctx.exitCode = findings.empty() && warnings == 0 ? kExitClean : kExitWarning;
}

// The PLC side of a verify (and of diff) holds the reverse receive order as the unit reports it.
SettingsImage AsUnitReports(SettingsImage image) {
    for (auto& e : image.entries)
        if (e.receiveDataOrder == 1) e.receiveDataOrder = 16;
    return image;
}

void RunSync(const std::string& path, bool dryRun, bool keepNodes, CliContext& ctx) {
    CNetworkPlan plan;
    int warnings = 0;
    if (!LoadNetwork(path, plan, false, ctx, warnings)) {
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
        rows.Build(c.after->pc, AsUnitReports(n.record->pc));
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

// The picture of common memory for commissioning documents, drawn as the network window draws
// it: exit 0 written (findings are in the picture), 2 the network file unusable or no file written.
void RunMap(const std::string& path, const std::string& svgPath, CliContext& ctx) {
    CNetworkPlan plan;
    int warnings = 0;
    if (!LoadNetwork(path, plan, true, ctx, warnings)) {
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
}
