#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <sstream>

#include "cli/CliFailure.h"
#include "cli/CliPrompter.h"
#include "cli/Commands.h"
#include "cli/ConnectionOptions.h"
#include "status/CycleTimeView.h"
#include "status/DataLinkStatusView.h"
#include "status/ErrorHistoryView.h"
#include "status/ErrorStatusView.h"
#include "status/MessageSequenceView.h"
#include "status/NetworkStatusView.h"
#include "status/NodeStatusView.h"

// linksmithctl status KIND: one status read through the view that shows it in the program, so
// the texts are the view's; the JSON holds the decoded values of the status records.
namespace {
using Json = nlohmann::ordered_json;

struct StatusOptions {
    ConnectionOptions connection;
    bool json = false;
    bool yes = false;
    bool clear = false;
    int node = 0;
};

struct StatusRun {
    CCommuProcess& comm;
    CUnitSettings& record;
    CCliPrompter& prompter;
    const StatusOptions& options;
    Json& json;
    std::ostream& text;
};
// Reads and fills json and text; false after the reason was shown. What was filled is printed
// also then (a history read before a failed clear).
using StatusKind = std::function<bool(StatusRun& run)>;

std::string Hex4(unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%.4X", value);
    return buffer;
}

void TabLine(std::ostream& out, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) out << (i ? "\t" : "") << fields[i];
    out << "\n";
}

Json Lamps(const IndicatorLamp* lamps, size_t count, std::ostream& text) {
    Json list = Json::array();
    for (size_t i = 0; i < count; ++i) {
        list.push_back({{"label", lamps[i].label}, {"state", LampStateToken(lamps[i].state)}});
        text << lamps[i].label << ": " << LampStateToken(lamps[i].state) << "\n";
    }
    return list;
}

bool DataLink(StatusRun& run) {
    CDataLinkStatusView view(run.record, run.prompter, [&run] { return run.comm.ReadDataLinkStatus(); });
    if (!view.Open()) return false;
    Json nodes = Json::array();
    run.text << "Nodes in the data link:";
    for (int n = 1; n <= 254; ++n) {
        if (!view.ShownParticipating(n)) continue;
        nodes.push_back(n);
        run.text << " " << n;
    }
    run.text << (nodes.empty() ? " none\n" : "\n");
    run.json["participating"] = nodes;
    return true;
}

bool Network(StatusRun& run) {
    CNetworkStatusView view(run.record, run.prompter, [&run] { return run.comm.ReadNetworkStatus(); });
    if (!view.Open()) return false;
    const CCellGrid& grid = view.Grid();
    TabLine(run.text, grid.Headers());
    Json nodes = Json::array();
    for (int r = 0; r < CNetworkStatusView::kRows; ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < grid.Columns(); ++c) row.push_back(grid.Text(r, c));
        TabLine(run.text, row);
        const NodeStatusEntry& e = run.record.status.nodeStatus[r];
        nodes.push_back({{"node", r + 1},
                         {"areaAllocError", e.areaAllocError != 0},
                         {"participating", e.participating != 0},
                         {"upperLayerError", e.upperLayerError != 0},
                         {"upperLayerRunning", e.upperLayerRunning != 0}});
    }
    run.json["nodes"] = nodes;
    return true;
}

bool Node(StatusRun& run) {
    CNodeStatusView view(run.record, run.prompter, [&run](int node) { return run.comm.ReadNodeInformation(node); });
    // No Open(): it would read node 1 first; the node asked for is read once.
    if (!view.SelectNode(run.options.node) || !view.Update()) return false;
    const NodeInfoRecord& info = run.record.status.nodeInfo;
    run.text << "Node: " << view.SelectedNode() << "\n";
    Json& j = run.json;
    j["node"] = view.SelectedNode();
    j["completion"] = info.completion;
    j["state1"] = info.state1;
    j["state2"] = info.state2;
    j["errorCode"] = info.errorCode;
    j["tokenWatchdog"] = info.tokenWatchdog;
    j["frameInterval"] = info.frameInterval;
    j["refreshAllowed"] = info.refreshAllowed;
    j["localState"] = info.localState;
    j["area1Start"] = info.area1Start;
    j["area1Size"] = info.area1Size;
    j["area2Start"] = info.area2Start;
    j["area2Size"] = info.area2Size;
    j["lamps"] = Lamps(view.Lamps().data(), view.Lamps().size(), run.text);
    for (int i = 0; i < CNodeStatusView::kNumberCount; ++i)
        run.text << CNodeStatusView::NumberLabel(i) << ": " << view.Numbers()[i] << "\n";
    return true;
}

bool Error(StatusRun& run) {
    CErrorStatusView view(run.record, run.prompter, [&run] { return run.comm.ReadErrorStatusWord(); });
    if (!view.Open()) return false;
    const uint16_t word = run.record.status.errorStatusWord;
    run.text << "Error status word: " << Hex4(word) << "\n";
    run.json["errorStatusWord"] = word;
    Json lamps = Lamps(view.Lamps().data(), view.Lamps().size(), run.text);
    for (int i = 0; i < CErrorStatusView::kLampCount; ++i) lamps[i]["bit"] = CErrorStatusView::BitOfLamp(i);
    run.json["lamps"] = lamps;
    return true;
}

bool History(StatusRun& run) {
    CErrorHistoryView view(
        run.record, run.prompter, [&run] { return run.comm.ReadErrorHistory(); },
        [&run] { return run.comm.ClearErrorHistory(); });
    if (!view.Open()) return false;
    const StatusArea& s = run.record.status;
    const CCellGrid& grid = view.Grid();
    run.text << "Maximum records: " << view.MaxRecordsText() << "\n" << "Stored records: " << view.StoredText() << "\n";
    run.json["maxRecords"] = s.historyMaxRecords;
    run.json["stored"] = s.historyStored;
    const int shown = std::min<int>(s.historyStored, CErrorHistoryView::kRows);
    if (shown > 0) TabLine(run.text, grid.Headers());
    Json records = Json::array();
    for (int i = 0; i < shown; ++i) {
        TabLine(run.text, {grid.Text(i, 0), grid.Text(i, 1), grid.Text(i, 2), grid.Text(i, 3), grid.Text(i, 4)});
        records.push_back({{"no", i + 1},
                           {"date", grid.Text(i, 1)},
                           {"time", grid.Text(i, 2)},
                           {"errorCode", s.historyRecords[i].errorCode},
                           {"detail", s.historyRecords[i].detail}});
    }
    run.json["records"] = records;
    if (!run.options.clear) return true;
    const bool cleared = view.Clear();
    run.json["cleared"] = cleared;
    if (cleared) run.text << "Error history cleared.\n";
    return cleared;
}

bool Sequence(StatusRun& run) {
    // The view hands over the parameters the communication object's own table also holds.
    CMessageSequenceView view(run.record, run.prompter, [&run](const CMessageSequenceView::Parameters&,
                                                                const CMessageSequenceView::Parameters&) {
        return run.comm.ReadMessageSequence();
    });
    if (!view.Open()) return false;
    const StatusArea& s = run.record.status;
    run.text << "Sequence version: " << view.VersionText() << "\n"
             << "Sent 1:N: " << view.SendOneToNText() << "\n";
    const CCellGrid& send = view.SendGrid();
    const CCellGrid& receive = view.ReceiveGrid();
    const auto& rh = receive.Headers();
    TabLine(run.text, {send.Headers()[0], send.Headers()[1], rh[1], rh[2], rh[3]});
    run.json["sequenceVersion"] = s.sequenceVersion;
    run.json["sequenceSend1toN"] = s.sequenceSend1toN;
    Json nodes = Json::array();
    for (int r = 0; r < CMessageSequenceView::kRows; ++r) {
        TabLine(run.text, {send.Text(r, 0), send.Text(r, 1), receive.Text(r, 1), receive.Text(r, 2), receive.Text(r, 3)});
        nodes.push_back({{"node", r + 1},
                         {"send", s.sendSequence[r]},
                         {"receiveVersion", s.receiveSequence[r].version},
                         {"receiveOneToN", s.receiveSequence[r].oneToN},
                         {"receiveOneToOne", s.receiveSequence[r].oneToOne}});
    }
    run.json["nodes"] = nodes;
    return true;
}

bool Cycle(StatusRun& run) {
    CCycleTimeView view(run.record, run.prompter, [&run] { return run.comm.ReadCycleTime(); });
    if (!view.Open()) return false;
    for (int i = 0; i < CCycleTimeView::kFieldCount; ++i) {
        const std::string unit = CCycleTimeView::FieldUnit(i);
        run.text << CCycleTimeView::FieldLabel(i) << ": " << view.Fields()[i] << (unit.empty() ? "" : " " + unit)
                 << "\n";
    }
    const CycleTimeRecord& c = run.record.status.cycleTime;
    run.json["tokenNode"] = c.tokenNode;
    run.json["frameInterval"] = c.frameInterval;
    run.json["refreshAllowed"] = c.refreshAllowed;
    run.json["refreshCurrent"] = c.refreshCurrent;
    run.json["refreshMaximum"] = c.refreshMaximum;
    run.json["refreshMinimum"] = c.refreshMinimum;
    return true;
}

CLI::App* AddKind(CLI::App& status, CliContext& ctx, const std::shared_ptr<StatusOptions>& options,
                  const char* name, const std::string& help, StatusKind kind) {
    auto* cmd = status.add_subcommand(name, help + "; exit 0 when read, 2 when refused, 3 when the communication "
                                                     "failed, 4 when the unit answered with a failure");
    AddConnectionOptions(*cmd, options->connection);
    cmd->add_flag("--json", options->json, "Print JSON (the decoded values) instead of text");
    cmd->callback([&ctx, options, kind] {
        auto record = std::make_unique<CUnitSettings>();
        CCliPrompter prompter(ctx.err, options->yes, ctx.answers);
        CCliConnection connection(options->connection, *record, prompter, ctx.err);
        if (!connection.Open()) return EndWithFailure(ctx, connection.FailureOf(prompter), options->json);
        Json json = Json::object();
        std::ostringstream text;
        StatusRun run{connection.Comm(), *record, prompter, *options, json, text};
        const bool ok = kind(run);
        const CliFailure failure = ok ? CliFailure{kExitClean, 0, {}, {}} : connection.FailureOf(prompter);
        ctx.exitCode = failure.exitCode;
        if (options->json) {
            // One object: what was read (a history before a failed clear) and the failure beside it.
            if (!ok) json.update(FailureJson(failure));
            if (!json.empty()) ctx.out << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        } else {
            ctx.out << text.str();
        }
    });
    return cmd;
}
}  // namespace

void AddStatusCommand(CLI::App& app, CliContext& ctx) {
    auto* status = app.add_subcommand("status", "Read one kind of live status from the unit");
    status->require_subcommand(1);
    auto options = std::make_shared<StatusOptions>();
    AddKind(*status, ctx, options, "datalink", "Which nodes take part in the data link", &DataLink);
    AddKind(*status, ctx, options, "network",
            "Network status of nodes 1-254: area allocation error, participating, upper layer error and running",
            &Network);
    auto* node = AddKind(*status, ctx, options, "node",
                         "What the unit reports about node N: its lamps and numbers", &Node);
    node->add_option("N", options->node, "Node number (1-254)")->required()->check(CLI::Range(1, 254));
    AddKind(*status, ctx, options, "error", "The unit's error status word and its lamps", &Error);
    auto* history = AddKind(*status, ctx, options, "history",
                            "The error history (up to 64 records); with --clear, printed and then cleared", &History);
    history->add_flag("--clear", options->clear, "Clear the unit's error history after printing it (asks first)");
    history->add_flag("--yes,-y", options->yes, "Clear without asking (needed when stdin is not a terminal)");
    AddKind(*status, ctx, options, "sequence", "Message sequence numbers sent and received, by node", &Sequence);
    AddKind(*status, ctx, options, "cycle", "Token-holding node, frame interval and refresh cycle times", &Cycle);
}
