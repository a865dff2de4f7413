#pragma once
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/CliFailure.h"
#include "comm/CommuProcess.h"
#include "comm/LinkMiddleware.h"

namespace CLI {
class App;
}
class CCliPrompter;
class CSimServer;
struct MonitorTarget;

// The connection options every command that talks to a unit shares.
struct ConnectionOptions {
    std::string device;   // device string of the PLC; empty = the default device string
    std::string gateway;  // device string of a gateway PLC to route through
    bool simulate = false;
    int unit = 0;
    bool unitGiven = false;  // --unit was on the command line
    int timeoutMs = 0;    // 0 keeps the device string's "TMO"
    bool logFrames = false;
};

void AddConnectionOptions(CLI::App& command, ConnectionOptions& options);

// The units watch and exporter read: every node of the network file, or else the one unit the
// connection options name (with --simulate, simulated in *sim). False after the reason was
// written on err.
bool MonitorTargetsOf(const std::string& command, const std::string& network, const ConnectionOptions& connection,
                      const CLI::App& cmd, std::ostream& err, std::vector<MonitorTarget>* targets,
                      std::unique_ptr<CSimServer>* sim);

// The middleware, the communication object and (with --simulate) the simulated unit for one
// command: Open() starts them and opens the PLC, the destructor closes everything.
class CCliConnection {
public:
    CCliConnection(const ConnectionOptions& options, CUnitSettings& settings, IPrompter& prompter, std::ostream& err);
    ~CCliConnection();
    // The unit number used when --unit is not given (a settings file's own); 0 otherwise.
    void SetDefaultUnit(unsigned unit) { m_defaultUnit = unit; }
    unsigned UnitNumber() const;
    // Starts the middleware and its project without opening the PLC, for a sequence that opens
    // it itself; false after the reason was shown (through the prompter or on err).
    bool Start();
    // Start() and then opens the PLC.
    bool Open();
    // The middleware's reason why the PLC could not be opened, on err (nothing when it has none).
    void ExplainOpenFailure();
    // Why Start() or Open() failed, as the command reports it: a refused option (exit 2), or what
    // the communication object reported.
    CliFailure FailureOf(const CCliPrompter& prompter) const;
    // Puts the connection this command used into the record's communication settings: the PLC's
    // device string, and the gateway's only when the command went through one. The tool's own
    // profile may remember a gateway of an earlier command, which a file must not name.
    void DescribeConnection(CUnitSettings& record) const;
    CCommuProcess& Comm() { return m_comm; }
    CLinkMiddleware& Middleware() { return m_middleware; }

private:
    ConnectionOptions m_options;
    std::ostream& m_err;
    CSystemClock m_clock;
    std::unique_ptr<CSimServer> m_sim;
    CLinkMiddleware m_middleware;
    CCommuProcess m_comm;
    bool m_started = false;
    std::string m_refusal;  // the tool's own reason when Start() refused an option
    unsigned m_defaultUnit = 0;
};
