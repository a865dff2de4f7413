#include "cli/ConnectionOptions.h"

#include "comm/DeviceCatalog.h"

#include <CLI/CLI.hpp>

#include <sys/time.h>

#include <cstdio>
#include <ctime>
#include <ostream>

#include "comm/DeviceString.h"
#include "comm/ProfileFile.h"
#include "monitor/MonitorTargets.h"
#include "platform/LocalTime.h"
#include "sim/SimServer.h"
#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
#include "sim/UnitSimulatorAdapter.h"
#endif

namespace {
std::string FrameLine(bool outgoing, const std::vector<uint8_t>& bytes) {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    const std::tm local = LocalTime(tv.tv_sec);
    char stamp[48];
    size_t n = std::strftime(stamp, sizeof stamp, "%H:%M:%S", &local);
    std::snprintf(stamp + n, sizeof stamp - n, ".%06ld", static_cast<long>(tv.tv_usec));
    std::string line = std::string(stamp) + (outgoing ? " ->" : " <-");
    char hex[4];
    for (uint8_t b : bytes) {
        std::snprintf(hex, sizeof hex, " %02x", b);
        line += hex;
    }
    return line + "\n";
}

// The command-line tool keeps its own profile, so scripts never change the program's entries.
std::string CliProfile() {
    std::string path = CProfileFile::DefaultPath();
    size_t slash = path.rfind('/');
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "linksmithctl.ini";
}
}  // namespace

void AddConnectionOptions(CLI::App& command, ConnectionOptions& options) {
    command.add_option("--device", options.device, "Device string of the PLC, e.g. \"[NET]HOST:127.0.0.1;PORT:9600;\"");
    command.add_option("--gateway", options.gateway, "Device string of a gateway PLC to route through");
    command.add_flag("--simulate", options.simulate, "Talk to a simulated unit inside this program");
    command.add_option("--unit", options.unit, "Unit number of the network unit (0-15)")
        ->check(CLI::Range(0, 15))
        ->each([&options](const std::string&) { options.unitGiven = true; });
    command.add_option("--timeout", options.timeoutMs, "Response time-out, milliseconds")
        ->check(CLI::Range(1, 3600000));
    command.add_flag("--log-frames", options.logFrames, "Write every datagram as a timestamped hex line to stderr");
}

CCliConnection::CCliConnection(const ConnectionOptions& options, CUnitSettings& settings, IPrompter& prompter,
                               std::ostream& err)
    : m_options(options), m_err(err), m_middleware(m_clock), m_comm(settings, prompter, m_middleware) {}

CCliConnection::~CCliConnection() {
    if (!m_started) return;
    m_comm.ClosePlc();
    m_comm.Shutdown();
}

unsigned CCliConnection::UnitNumber() const {
    return m_options.unitGiven ? static_cast<unsigned>(m_options.unit) : m_defaultUnit;
}

bool CCliConnection::Start() {
    std::string device = m_options.device.empty() ? std::string(CCommuProcess::kDefaultDeviceString) : m_options.device;
    CDeviceString check;
    if (!check.Parse(device)) {
        m_refusal = "malformed device string: " + device;
        m_err << "linksmithctl: " << m_refusal << "\n";
        return false;
    }
    std::string gateway = m_options.gateway;
    if (!gateway.empty() && !check.Parse(gateway)) {
        m_refusal = "malformed gateway device string: " + gateway;
        m_err << "linksmithctl: " << m_refusal << "\n";
        return false;
    }
    if (m_options.simulate) {
#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
        m_sim = std::make_unique<CSimServer>();
        // The simulated unit sits at the unit number the commands address.
        auto unit = std::make_unique<CUnitSimulatorAdapter>();
        unit->Unit().SetUnitNumber(static_cast<int>(UnitNumber()));
        m_sim->AddPlc(0, 0, std::move(unit));
#else
        m_refusal = "--simulate is not available in this build";
        m_err << "linksmithctl: " << m_refusal << "\n";
        return false;
#endif
    }
    m_middleware.PrepareRoute(&device, &gateway, CCommuProcess::kGatewayEntry, m_sim.get(), m_options.timeoutMs);
    if (m_options.logFrames) {
        std::ostream* err = &m_err;
        m_middleware.SetFrameLog([err](bool outgoing, const std::vector<uint8_t>& bytes) { *err << FrameLine(outgoing, bytes); });
    }
    m_comm.SetProfileFile(CliProfile());
    m_comm.SetCatalogFile(CDeviceCatalog::InstalledPath());
    m_comm.SetLaunchConfiguration(device, gateway);
    m_comm.SetUnitNumber(UnitNumber());
    m_started = true;
    return m_comm.Initialize() && m_comm.OpenProject();
}

bool CCliConnection::Open() {
    if (!Start()) return false;
    if (!m_comm.OpenPlc()) {
        ExplainOpenFailure();
        return false;
    }
    return true;
}

void CCliConnection::DescribeConnection(CUnitSettings& record) const {
    const bool gateway = m_comm.ConnectionType() == 1;
    record.targetPlcNumber = gateway ? 1 : 0;
    record.targetPlc = m_comm.DirectDeviceString();
    record.relayPlc = gateway ? m_comm.GatewayDeviceString() : std::string();
}

void CCliConnection::ExplainOpenFailure() {
    std::string why = m_middleware.LastOpenError();
    if (!why.empty()) m_err << "linksmithctl: " << why << "\n";
}

CliFailure CCliConnection::FailureOf(const CCliPrompter& prompter) const {
    return ::FailureOf(&m_comm, &prompter, m_refusal);
}

bool MonitorTargetsOf(const std::string& command, const std::string& network, const ConnectionOptions& connection,
                      const CLI::App& cmd, std::ostream& err, std::vector<MonitorTarget>* targets,
                      std::unique_ptr<CSimServer>* sim) {
    bool connectionGiven = false;
    for (const char* name : {"--device", "--gateway", "--simulate", "--unit"}) connectionGiven |= cmd.count(name) > 0;
    if (!network.empty() && connectionGiven) {
        err << "linksmithctl: " << command << " takes either connection options or --network, not both\n";
        return false;
    }
    if (!network.empty()) {
        std::vector<std::string> why;
        if (CMonitorTargets::FromNetworkFile(network, connection.timeoutMs, targets, &why)) return true;
        for (const auto& line : why) err << "linksmithctl: " << line << "\n";
        return false;
    }
    std::string why;
    MonitorTarget t = CMonitorTargets::Single(connection.device, connection.gateway,
                                              static_cast<unsigned>(connection.unit), connection.timeoutMs);
    if (!CMonitorTargets::Check(t, &why)) {
        err << "linksmithctl: " << why << "\n";
        return false;
    }
    targets->push_back(t);
    if (!connection.simulate) return true;
#if defined(LINKSMITH_HAVE_UNIT_SIMULATOR)
    *sim = std::make_unique<CSimServer>();
    auto unit = std::make_unique<CUnitSimulatorAdapter>();
    unit->Unit().SetUnitNumber(connection.unit);
    (*sim)->AddPlc(0, 0, std::move(unit));
    return true;
#else
    err << "linksmithctl: --simulate is not available in this build\n";
    return false;
#endif
}
