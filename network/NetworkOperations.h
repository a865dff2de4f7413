#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "model/Prompter.h"
#include "model/VerifyResult.h"
#include "network/NetworkCheck.h"

class CNetworkPlan;
class IDatagramPeer;
struct NetworkNode;

// What is done on every unit of the network, each node as the single-unit command does it.
enum class NetworkOperation {
    Read,    // the unit's parameters into a settings file in outDir (as `linksmithctl read`)
    Write,   // the node's settings file into the unit, through the transfer workflow (as `write`)
    Verify,  // the unit's parameters compared with the node's settings file (as `verify`)
    Status,  // the data link participation and the error status word, as the unit sees them
};

// How a node came out. Pending and Running are only seen in progress reports.
enum class NodeOutcome {
    Pending,
    Running,
    Done,         // done, and for verify matching
    Differences,  // verify: the unit differs from the file (rows)
    Failed,       // refused, communication failed or the unit answered a failure
    Cancelled,    // not started (or stopped between commands) because the run was cancelled
};

// The outcome of one node, one row of the result table.
struct NetworkNodeResult {
    size_t index = 0;  // in the plan's node list
    int node = 0;      // FL-net node number
    std::string file;  // the settings file as the network file names it
    NodeOutcome outcome = NodeOutcome::Pending;
    // The exit status the single-unit command would end with: 0 done, 1 differences, 2 refused
    // (a page check, an unreadable file, a question answered No), 3 communication failed, 4 the
    // unit answered with a failure end code.
    int exitCode = 0;
    // Failed: the string id of the message that tells why (0 for the tool's own English text),
    // the message's text (UTF-8) and the end code or middleware code it is about ("0x%.4x",
    // empty when none).
    int messageId = 0;
    std::string text;
    std::string code;
    // Verify with differences: the rows, as the verify result dialog lists them.
    std::vector<VerifyRow> rows;
    // Read: the settings file written.
    std::string outFile;
    // Status, when read: the node numbers (1-254) the unit sees taking part in the data link,
    // and its error status word.
    bool statusRead = false;
    std::vector<int> participating;
    uint16_t errorStatusWord = 0;
    // Mapping table chunks moved so far out of the node's total (0 of 0: none), for a progress bar.
    int chunksDone = 0;
    int chunksTotal = 0;
    double seconds = 0;  // from the node's start to its end
};

// Everything one run produced.
struct NetworkRunResult {
    NetworkOperation operation = NetworkOperation::Verify;
    // One per node of the plan, in the plan's order.
    std::vector<NetworkNodeResult> nodes;
    // Write: the check found these errors, so nothing was sent to any unit (every node row is
    // then Failed with exit status 2).
    std::vector<NetworkFinding> refusedBy;
    bool cancelled = false;
    // Status: node numbers some unit sees taking part that the network file does not list, and
    // listed node numbers that no unit whose status was read sees taking part.
    std::vector<int> unlisted;
    std::vector<int> unseen;

    // The exit status of the whole run: 0 every node done and matching (for status: the units
    // see taking part just the nodes the file lists); else the highest of the nodes' (4 over 3
    // over 2 over 1), and at least 1 when status found unlisted or unseen nodes.
    int ExitStatus() const;
    size_t Count(NodeOutcome outcome) const;
};

struct NetworkOperationOptions {
    // Nodes worked on at once; 0 (or more than there are nodes) = every node at once.
    int jobs = 0;
    // Read: the folder the settings files are written to, each under its own file name.
    std::string outDir;
    // Every node reached through this gateway PLC (a device string) instead of its own
    // connection; each node is then addressed as FL-net network networkAddress, node its node
    // number, unless its device string names its address (DNA, DA1) itself.
    std::string gateway;
    int networkAddress = 1;
    // Response time-out for every node, milliseconds; 0 keeps each device string's "TMO".
    int timeoutMs = 0;
    // Every node talks to this simulated peer (its device string gets LINK:SIM and the address
    // as with gateway). Null: the real links.
    IDatagramPeer* simulatedPeer = nullptr;
    // Whether Cancel() can stop a node at the command under way: each waiting node then looks
    // for it every few milliseconds. Off (the command line): a cancel waits for the command,
    // and each node's thread carries its commands itself, with no middleware worker thread.
    bool stopMidCommand = true;
    // Answers the questions a node's sequence asks beyond the one confirmation (which the
    // caller asks once for the whole network before Run; the nodes take it as answered Yes):
    // the model-specific questions of a write. Called one at a time, on a worker thread.
    // Unset: every question is answered Yes / OK.
    std::function<PromptAnswer(const NetworkNodeResult& node, int messageId, const std::vector<std::string>& inserts,
                               PromptButtons buttons)>
        ask;
};

// Runs one operation on every unit of a network, several nodes at once. Each node has its own
// communication object, middleware and connection, so one node's failure or time-out never
// stops or delays another's. Qt-free; the command line and the network window use it alike.
class CNetworkOperations {
public:
    // Called on a worker thread when a node starts (Running), when its mapping table moves a
    // chunk (Running, chunksDone/chunksTotal) and when it ends; reports are serialised, never
    // two at once. The reference is valid only during the call.
    using Progress = std::function<void(const NetworkNodeResult& node)>;

    CNetworkOperations(const CNetworkPlan& plan, NetworkOperationOptions options);
    ~CNetworkOperations();
    CNetworkOperations(const CNetworkOperations&) = delete;
    CNetworkOperations& operator=(const CNetworkOperations&) = delete;

    // Runs the operation on every node of the plan and returns when all have ended. Write runs
    // the network check first and sends nothing when it finds an error.
    NetworkRunResult Run(NetworkOperation operation, const Progress& progress = {});
    // From any thread, also before Run: nodes not yet started are not started (their rows are
    // Cancelled); running nodes stop at the command under way. Run then returns with cancelled
    // set. It stays cancelled: a later Run of this object starts no node.
    void Cancel();

    // The device and gateway strings a run with these options reaches node through: its own,
    // or through the run's gateway or simulated peer, addressed by the node's number where its
    // device string names no address. Others that talk to the units (the monitor) use these too.
    static void Route(const NetworkNode& node, const NetworkOperationOptions& options, std::string* device,
                      std::string* gateway);
    // The findings that refuse a write of this plan (the check's errors).
    static std::vector<NetworkFinding> WriteRefusals(const CNetworkPlan& plan);
    // The file a read writes for a node: outDir joined with the file name of the node's file
    // (when two nodes' files share a name, each of them is written as "nodeN-NAME" instead).
    static std::string ReadTarget(const std::string& outDir, const NetworkNode& node);
    // "done", "differences", "failed", "cancelled", "pending", "running".
    static const char* OutcomeName(NodeOutcome outcome);

private:
    void RunNode(NetworkOperation operation, NetworkNodeResult& result, const Progress& progress);
    void Report(const NetworkNodeResult& result, const Progress& progress);

    const CNetworkPlan& m_plan;
    NetworkOperationOptions m_options;
    std::atomic<bool> m_cancel{false};
    std::mutex m_reportMutex;  // one progress report at a time
    std::mutex m_askMutex;     // one question at a time
    std::vector<std::string> m_readTargets;  // by node index, for a read
    std::string m_catalogFile;               // the installed device catalog, looked up once a run
};
