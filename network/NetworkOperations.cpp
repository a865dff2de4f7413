#include "network/NetworkOperations.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <system_error>
#include <thread>

#include "app/TransferWorkflow.h"
#include "comm/Clock.h"
#include "comm/CommandFailure.h"
#include "comm/CommuProcess.h"
#include "comm/DeviceCatalog.h"
#include "comm/DeviceString.h"
#include "comm/LinkMiddleware.h"
#include "model/Messages.h"
#include "model/SettingsFile.h"
#include "network/NetworkPlan.h"
#include "app/FileTransferHost.h"

namespace {
constexpr int kAskWrite = 32941;

// One node's messages: kept rather than shown, the last one tells why a sequence stopped. The
// write confirmation was asked once for the whole network; every other question goes to the
// run's ask callback, one at a time.
class CNodePrompter : public IPrompter {
public:
    using Ask = std::function<PromptAnswer(int id, const std::vector<std::string>& inserts, PromptButtons buttons)>;
    explicit CNodePrompter(Ask ask) : m_ask(std::move(ask)) {}

    PromptAnswer Show(int id, const std::vector<std::string>& inserts, PromptButtons buttons, PromptIcon) override {
        if (buttons == PromptButtons::Ok) {
            lastId = id;
            lastInserts = inserts;
            return PromptAnswer::Ok;
        }
        if (id == kAskWrite) return PromptAnswer::Yes;
        lastId = id;
        lastInserts = inserts;
        return m_ask(id, inserts, buttons);
    }

    int lastId = 0;
    std::vector<std::string> lastInserts;

private:
    Ask m_ask;
};

void Fail(NetworkNodeResult& r, int exitCode, int id, const std::string& text, const std::string& code = {}) {
    r.outcome = NodeOutcome::Failed;
    r.exitCode = exitCode;
    r.messageId = id;
    r.text = text;
    r.code = code;
}

// Why a node's sequence stopped, as the single-unit command reports it.
void FailFrom(NetworkNodeResult& r, const CCommuProcess& comm, const CNodePrompter& prompter,
              const std::string& ownText = {}) {
    const CommandFailure f = DescribeFailure(&comm, prompter.lastId, prompter.lastInserts, ownText);
    Fail(r, f.exitCode, f.id, f.text, f.code);
}

}  // namespace

int NetworkRunResult::ExitStatus() const {
    // The statuses rise with how bad it is: a unit's failure (4) over the link's (3) over a
    // refusal (2) over a difference (1).
    int worst = refusedBy.empty() ? 0 : 2;
    for (const auto& n : nodes) worst = std::max(worst, n.exitCode);
    // The data link as the units see it differs from the network file.
    if (!unlisted.empty() || !unseen.empty()) worst = std::max(worst, 1);
    return worst;
}

size_t NetworkRunResult::Count(NodeOutcome outcome) const {
    return static_cast<size_t>(
        std::count_if(nodes.begin(), nodes.end(), [outcome](const NetworkNodeResult& n) { return n.outcome == outcome; }));
}

CNetworkOperations::CNetworkOperations(const CNetworkPlan& plan, NetworkOperationOptions options)
    : m_plan(plan), m_options(std::move(options)) {}

CNetworkOperations::~CNetworkOperations() = default;

void CNetworkOperations::Cancel() {
    m_cancel = true;
}

const char* CNetworkOperations::OutcomeName(NodeOutcome outcome) {
    switch (outcome) {
    case NodeOutcome::Pending: return "pending";
    case NodeOutcome::Running: return "running";
    case NodeOutcome::Done: return "done";
    case NodeOutcome::Differences: return "differences";
    case NodeOutcome::Failed: return "failed";
    case NodeOutcome::Cancelled: return "cancelled";
    }
    return "";
}

void CNetworkOperations::Route(const NetworkNode& node, const NetworkOperationOptions& options, std::string* device,
                               std::string* gateway) {
    *device = node.device.empty() ? std::string(CCommuProcess::kDefaultDeviceString) : node.device;
    *gateway = options.gateway.empty() ? node.gateway : options.gateway;
    const bool routed = !options.gateway.empty() || options.simulatedPeer;
    CDeviceString d;
    if (!routed || !d.Parse(*device) || d.Has("ADDRESS", "DNA") || d.Has("ADDRESS", "DA1")) return;
    d.Set("ADDRESS", "DNA", std::to_string(options.networkAddress));
    d.Set("ADDRESS", "DA1", std::to_string(node.Number()));
    *device = d.Write();
}

std::vector<NetworkFinding> CNetworkOperations::WriteRefusals(const CNetworkPlan& plan) {
    CNetworkCheck check;
    std::vector<NetworkFinding> errors;
    for (auto& f : check.Run(plan))
        if (f.error) errors.push_back(std::move(f));
    return errors;
}

std::string CNetworkOperations::ReadTarget(const std::string& outDir, const NetworkNode& node) {
    // Paths are UTF-8 on every system (u8path: the wide name on Windows, the bytes on Linux).
    return (std::filesystem::u8path(outDir) / std::filesystem::u8path(node.entry.file).filename()).u8string();
}

void CNetworkOperations::Report(const NetworkNodeResult& result, const Progress& progress) {
    if (!progress) return;
    std::lock_guard<std::mutex> lock(m_reportMutex);
    progress(result);
}

NetworkRunResult CNetworkOperations::Run(NetworkOperation operation, const Progress& progress) {
    NetworkRunResult run;
    run.operation = operation;
    run.nodes.resize(m_plan.nodes.size());
    for (size_t i = 0; i < m_plan.nodes.size(); ++i) {
        run.nodes[i].index = i;
        run.nodes[i].node = m_plan.nodes[i].Number();
        run.nodes[i].file = m_plan.nodes[i].entry.file;
    }
    if (operation == NetworkOperation::Write) {
        run.refusedBy = WriteRefusals(m_plan);
        if (!run.refusedBy.empty()) {
            for (auto& r : run.nodes) {
                Fail(r, 2, 0, "not written: the network check found " + std::to_string(run.refusedBy.size()) + " error(s)");
                Report(r, progress);
            }
            return run;
        }
    }
    if (operation == NetworkOperation::Read) {
        // Two nodes whose files share a name get theirs under the node number, so neither is lost.
        std::map<std::string, int> names;
        for (const auto& n : m_plan.nodes) ++names[ReadTarget(m_options.outDir, n)];
        m_readTargets.assign(m_plan.nodes.size(), std::string());
        for (size_t i = 0; i < m_plan.nodes.size(); ++i) {
            const NetworkNode& n = m_plan.nodes[i];
            std::string target = ReadTarget(m_options.outDir, n);
            if (names[target] > 1)
                target = (std::filesystem::u8path(m_options.outDir) /
                          std::filesystem::u8path("node" + std::to_string(n.Number()) + "-" +
                                                  std::filesystem::u8path(n.entry.file).filename().u8string()))
                             .u8string();
            m_readTargets[i] = target;
        }
    }

    m_catalogFile = CDeviceCatalog::InstalledPath();
    const size_t count = run.nodes.size();
    size_t jobs = m_options.jobs > 0 ? static_cast<size_t>(m_options.jobs) : count;
    jobs = std::min(jobs, count);
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i = next++; i < count; i = next++) RunNode(operation, run.nodes[i], progress);
    };
    // Every thread first starts up to two more and joins them at the end: the threads of a large
    // run are up in a few steps, not one after another behind the nodes already working.
    std::function<void(size_t)> start = [&](size_t t) {
        std::thread children[2];
        for (size_t c = 0; c < 2; ++c) {
            if (2 * t + 1 + c >= jobs) break;
            // Short of threads (a system limit): the threads there are take the other nodes.
            try {
                children[c] = std::thread(start, 2 * t + 1 + c);
            } catch (const std::system_error&) {
                break;
            }
        }
        worker();
        for (auto& child : children)
            if (child.joinable()) child.join();
    };
    if (jobs > 0) start(0);
    run.cancelled = m_cancel;

    if (operation == NetworkOperation::Status) {
        std::set<int> seen;
        bool anyRead = false;
        for (const auto& r : run.nodes) {
            anyRead = anyRead || r.statusRead;
            seen.insert(r.participating.begin(), r.participating.end());
        }
        for (int n : seen)
            if (!m_plan.Find(n)) run.unlisted.push_back(n);
        if (anyRead) {
            std::set<int> listed;
            for (const auto& n : m_plan.nodes) listed.insert(n.Number());
            for (int n : listed)
                if (n >= kLowestNodeNumber && n <= kHighestNodeNumber && !seen.count(n)) run.unseen.push_back(n);
        }
    }
    return run;
}

void CNetworkOperations::RunNode(NetworkOperation operation, NetworkNodeResult& result, const Progress& progress) {
    const auto started = std::chrono::steady_clock::now();
    auto finish = [&] {
        result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        Report(result, progress);
    };
    if (m_cancel) {
        result.outcome = NodeOutcome::Cancelled;
        return finish();
    }
    result.outcome = NodeOutcome::Running;
    Report(result, progress);

    const NetworkNode& node = m_plan.nodes[result.index];
    if (!node.Readable() || !node.record) {
        Fail(result, 2, Msg::kFileNotFound, FormatMessage(Msg::kFileNotFound, {node.entry.path}));
        return finish();
    }
    if (operation == NetworkOperation::Write && node.readState == NodeReadState::Defaults) {
        // Defaults put in for bad values are not what the file's author meant to send.
        Fail(result, 2, 0,
             node.entry.file + ": not written: values of the file were replaced by defaults; fix the file first");
        return finish();
    }

    // The connection: the node's own, or routed through the run's gateway or simulated peer.
    std::string device;
    std::string gateway;
    Route(node, m_options, &device, &gateway);
    CDeviceString parsed;
    if (!parsed.Parse(device) || (!gateway.empty() && !parsed.Parse(gateway))) {
        Fail(result, 2, 0, "malformed device string: " + (gateway.empty() ? device : gateway));
        return finish();
    }
    CSystemClock clock;
    CLinkMiddleware middleware(clock);
    // Many nodes wait at once: spinning for a reply would only take the processors from the
    // nodes that have work to do.
    middleware.SetWorkerSpin(false);
    // Nothing stops a command mid-way: the node's thread can carry its commands itself, one
    // thread per node instead of two, which a few hundred nodes on a few processors notice.
    middleware.SetCarryOnCaller(!m_options.stopMidCommand);
    middleware.PrepareRoute(&device, &gateway, CCommuProcess::kGatewayEntry, m_options.simulatedPeer,
                            m_options.timeoutMs);

    // Its own copy: the workflow stores into the record, and the plan stays as it was read.
    auto record = std::make_unique<CUnitSettings>(*node.record);
    CNodePrompter prompter([this, &result](int id, const std::vector<std::string>& inserts, PromptButtons buttons) {
        std::lock_guard<std::mutex> lock(m_askMutex);
        if (m_options.ask) return m_options.ask(result, id, inserts, buttons);
        return buttons == PromptButtons::OkCancel ? PromptAnswer::Ok : PromptAnswer::Yes;
    });
    // A cancel ends the wait for the command under way; the sequence then stops.
    CCommuProcess::PumpHook pump;
    if (m_options.stopMidCommand) pump = [this] { return !m_cancel.load(); };
    CCommuProcess comm(*record, prompter, middleware, pump);
    comm.UseNoProfile();
    comm.SetSpinBeforeWait(false);
    comm.SetCatalogFile(m_catalogFile);
    comm.SetLaunchConfiguration(device, gateway);
    comm.SetUnitNumber(node.unit);
    comm.SetChunkProgress([this, &result, &progress](int done, int total) {
        result.chunksDone = done;
        result.chunksTotal = total;
        Report(result, progress);
    });

    auto end = [&] {
        comm.ClosePlc();
        comm.Shutdown();
        if (m_cancel && result.outcome == NodeOutcome::Failed && comm.LastFailure().kind == CCommuProcess::FailureKind::None) {
            NetworkNodeResult cancelled;
            cancelled.index = result.index;
            cancelled.node = result.node;
            cancelled.file = result.file;
            cancelled.outcome = NodeOutcome::Cancelled;
            result = cancelled;
        }
        finish();
    };
    if (!comm.Initialize() || !comm.OpenProject()) {
        FailFrom(result, comm, prompter);
        return end();
    }
    auto open = [&] {
        if (comm.OpenPlc()) return true;
        const std::string why = middleware.LastOpenError();
        FailFrom(result, comm, prompter);
        if (!why.empty()) result.text += " (" + why + ")";
        return false;
    };

    switch (operation) {
    case NetworkOperation::Read: {
        if (!open()) break;
        // A fresh record, as a read into a new file starts from one.
        *record = CUnitSettings();
        if (!comm.ReadUnitFromPlc() || comm.m_error) {
            FailFrom(result, comm, prompter, m_cancel ? "cancelled" : "");
            break;
        }
        // The file names the unit it was read from and how it was reached, so a later write
        // goes back to it.
        record->unitNumber = node.unit;
        const bool viaGateway = comm.ConnectionType() == 1;
        record->targetPlcNumber = viaGateway ? 1 : 0;
        record->targetPlc = comm.DirectDeviceString();
        record->relayPlc = viaGateway ? comm.GatewayDeviceString() : std::string();
        const std::string target = m_readTargets[result.index];
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::u8path(target).parent_path(), ec);
        CSettingsFile file(*record, prompter);
        prompter.lastId = 0;
        if (!file.WriteFile(target)) {
            Fail(result, 2, prompter.lastId,
                 prompter.lastId ? FormatMessage(prompter.lastId, prompter.lastInserts) : "cannot write " + target);
            break;
        }
        result.outFile = target;
        result.outcome = NodeOutcome::Done;
        break;
    }
    case NetworkOperation::Write: {
        CFileTransferHost host(*record, prompter);
        CTransferWorkflow workflow(comm, *record, prompter, host, [] { return size_t{0}; });
        if (workflow.TransferToPlc()) {
            result.outcome = NodeOutcome::Done;
            break;
        }
        const std::string why = middleware.LastOpenError();
        FailFrom(result, comm, prompter, m_cancel ? "cancelled" : "");
        if (comm.LastFailure().messageId == 32856 && !why.empty()) result.text += " (" + why + ")";
        if (result.chunksDone > 0)
            result.text += "; the unit may now hold a partial mapping table";
        break;
    }
    case NetworkOperation::Verify: {
        if (!open()) break;
        comm.m_mapMethod = record->pc.mappingTableMethod;
        if (!comm.VerifyUnitWithPlc() || comm.m_error) {
            FailFrom(result, comm, prompter, m_cancel ? "cancelled" : "");
            break;
        }
        result.rows = comm.m_verifyResult.Rows();
        result.outcome = result.rows.empty() ? NodeOutcome::Done : NodeOutcome::Differences;
        result.exitCode = result.rows.empty() ? 0 : 1;
        break;
    }
    case NetworkOperation::Status: {
        if (!open()) break;
        if (!comm.ReadDataLinkStatus() || comm.m_error) {
            FailFrom(result, comm, prompter, m_cancel ? "cancelled" : "");
            break;
        }
        for (int n = kLowestNodeNumber; n <= kHighestNodeNumber; ++n)
            if (record->status.participation[n]) result.participating.push_back(n);
        if (!comm.ReadErrorStatusWord() || comm.m_error) {
            result.participating.clear();
            FailFrom(result, comm, prompter, m_cancel ? "cancelled" : "");
            break;
        }
        result.errorStatusWord = record->status.errorStatusWord;
        result.statusRead = true;
        result.outcome = NodeOutcome::Done;
        break;
    }
    }
    end();
}
